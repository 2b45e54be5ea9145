#!/usr/bin/env bash
# Drives `marlo-cli settings` as a user does, on temporary registry files, and compares its
# output, exit status and the files byte for byte. Each default value is the core's
# (tests/core/shell); here: the listing, the paths from the user's world, the store read.
# Environment: MARLO_CLI (the program).
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"

# The user's world for every run: a home with a Documents folder, a browser on PATH.
mkdir -p "$work/home/Documents" "$work/bin"
printf '#!/bin/sh\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export HOME="$work/home" PATH="$work/bin:$PATH"
unset XDG_CONFIG_HOME
export MARLO_REGISTRY="$work/registry.reg"
folder=$(dirname "$(readlink -f "$cli")")

run settings
cp "$work/out" "$work/defaults"
if [ "$status" -eq 0 ] && [ "$(wc -l <"$work/defaults")" -eq 53 ] &&
  ! grep -qv '^[A-Za-z0-9 ]*=\(string\|dword\):' "$work/defaults" &&
  head -3 "$work/defaults" | cmp -s - <(printf '%s\n' "Core Path=string:$folder/zbcheck" \
    "Browser Path=string:$work/bin/xdg-open" "Source Path=string:$work/home/Documents") &&
  tail -2 "$work/defaults" | cmp -s - <(printf 'Width=dword:0\nHeight=dword:0\n'); then
  ok "without a store every setting shows its default, as Name=type:value"
else
  not_ok "without a store every setting shows its default, as Name=type:value" "exit status $status"
  head -60 "$work/defaults" | sed 's/^/  /'
fi
[ -e "$MARLO_REGISTRY" ] && not_ok "reading makes no store" || ok "reading makes no store"

# defaults [SED-EXPRESSION]: the first run's output, edited by the expression.
defaults() { sed "${1:-}" "$work/defaults"; }

rmdir "$work/home/Documents"
run settings --desktop=800x600
expect "--desktop sizes the window; without Documents the source path is the home" 0 \
  "$(defaults "s|^Source Path=.*|Source Path=string:$work/home|; s|^Width=.*|Width=dword:800|; s|^Height=.*|Height=dword:600|")
"
mkdir "$work/home/Documents"

printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zorbic]\r\n"Core Path"="C:\\\\ZB\\\\ZB.exe"\r\n"keywords style"="IB"\r\n"Comments Style"="bi"\r\n"Font Size"=dword:0000000c\r\n"Left"=dword:fffffc40\r\n"Show Gutter"=dword:00000000\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zorbic\\MRU Items]\r\n"F0"="/x.zba"\r\n' >"$MARLO_REGISTRY"
cp "$MARLO_REGISTRY" "$work/stored"
run settings
expect "stored values are shown, styles as their letters in B I U S order" 0 "$(defaults '
s|^Core Path=.*|Core Path=string:C:\\ZB\\ZB.exe|
s|^Keywords Style=.*|Keywords Style=string:BI|
s|^Comments Style=.*|Comments Style=string:|
s|^Font Size=.*|Font Size=dword:12|
s|^Left=.*|Left=dword:-960|
s|^Show Gutter=.*|Show Gutter=dword:0|')
"
cmp -s "$work/stored" "$MARLO_REGISTRY" && ok "the store is left as it was" ||
  not_ok "the store is left as it was"

printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Font Size"="12"\n"Top"=dword:00000005\n' \
  >"$MARLO_REGISTRY"
run settings
expect "a value of the wrong type keeps its default, the rest load, status 1" 1 \
  "$(defaults 's|^Top=.*|Top=dword:5|')
" $'marlo-cli settings: Invalid data type for \'Font Size\' (its default is used)\n'

printf 'REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Top"=dword:5\nrubbish\n' >"$MARLO_REGISTRY"
cp "$MARLO_REGISTRY" "$work/stored"
run settings
expect "a store that cannot be parsed shows the defaults, status 1" 1 "$(defaults)
" "marlo-cli settings: The registry file \"$MARLO_REGISTRY\" could not be read (line 4: neither a key nor a value); the defaults apply.
"
if cmp -s "$work/stored" "$MARLO_REGISTRY" && [ ! -e "$MARLO_REGISTRY.bad" ]; then
  ok "a store that cannot be parsed stays where it is"
else
  not_ok "a store that cannot be parsed stays where it is"
fi
MARLO_REGISTRY="$work" run settings
expect_failure "a store that cannot be read prints nothing, status 1" 1 "$work"

rm "$MARLO_REGISTRY"
table <<'TABLE'
--desktop W H gives the default width|0|settings --desktop 1920x1080|^Width=dword:1920$
settings --desktop is refused with status 2|2|settings --desktop|usage
settings --desktop 12 is refused with status 2|2|settings --desktop 12|usage
settings --desktop axb is refused with status 2|2|settings --desktop axb|usage
settings --desktop=-1x5 is refused with status 2|2|settings --desktop=-1x5|usage
settings extra is refused with status 2|2|settings extra|usage
settings --help|0|settings --help|Name=string:TEXT
--help lists settings|0|--help|^  settings
TABLE

finish
