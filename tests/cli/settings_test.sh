#!/usr/bin/env bash
# Drives `marlo-cli settings` as a user does, on temporary registry files, and compares its
# output, exit status and the files byte for byte.
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

# expect NAME STATUS TEXT [PATTERN]: the last run ended with STATUS, printed exactly TEXT
# and, when PATTERN is given, said something matching it on stderr (otherwise nothing).
expect() {
  printf '%s' "$3" >"$work/expected"
  if [ "$status" -ne "$2" ]; then
    not_ok "$1" "exit status $status, expected $2"
  elif ! cmp -s "$work/expected" "$work/out"; then
    not_ok "$1" "stdout differs"
    diff -u "$work/expected" "$work/out" | sed 's/^/  /' || true
  elif [ $# -ge 4 ] && ! grep -q -- "$4" "$work/err"; then
    not_ok "$1" "stderr does not mention \"$4\""
  elif [ $# -lt 4 ] && [ -s "$work/err" ]; then
    not_ok "$1" "stderr not empty"
  else
    ok "$1"
  fi
}

# ---- A first run -------------------------------------------------------------------------
# Each default value is pinned by the core's tests; here: every setting is printed as
# Name=type:value, in order, with the paths that come from the user's world.
run settings
cp "$work/out" "$work/defaults"
if [ "$status" -eq 0 ] && [ "$(wc -l <"$work/defaults")" -eq 53 ] &&
  ! grep -qv '^[A-Za-z0-9 ]*=\(string\|dword\):' "$work/defaults" &&
  head -3 "$work/defaults" | cmp -s - <(printf '%s\n' "Core Path=string:$folder/zbcheck" \
    "Browser Path=string:$work/bin/xdg-open" "Source Path=string:$work/home/Documents") &&
  tail -2 "$work/defaults" | cmp -s - <(printf 'Width=dword:0\nHeight=dword:0\n'); then
  ok "without a store every setting shows its default"
else
  not_ok "without a store every setting shows its default" "exit status $status"
  head -60 "$work/defaults" | sed 's/^/  /'
fi
[ -e "$MARLO_REGISTRY" ] && not_ok "reading makes no store" || ok "reading makes no store"

# defaults [SED-EXPRESSION]: the first run's output, edited by the expression.
defaults() {
  sed "${1:-}" "$work/defaults"
}

run settings --desktop 1920x1080
expect "--desktop gives the default width and height" 0 \
  "$(defaults 's|^Width=.*|Width=dword:1920|; s|^Height=.*|Height=dword:1080|')
"
rmdir "$work/home/Documents"
run settings --desktop=800x600
expect "without a Documents folder the source path is the home folder" 0 \
  "$(defaults "s|^Source Path=.*|Source Path=string:$work/home|; s|^Width=.*|Width=dword:800|; s|^Height=.*|Height=dword:600|")
"
mkdir "$work/home/Documents"

# ---- Stored values -----------------------------------------------------------------------
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

# ---- Problems in the store ----------------------------------------------------------------
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Font Size"="12"\n"Top"=dword:00000005\n' \
  >"$MARLO_REGISTRY"
run settings
expect "a value of the wrong type keeps its default, the rest load, status 1" 1 \
  "$(defaults 's|^Top=.*|Top=dword:5|')
" "Invalid data type for 'Font Size'"

printf 'REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Top"=dword:5\nrubbish\n' >"$MARLO_REGISTRY"
cp "$MARLO_REGISTRY" "$work/stored"
run settings
expect "a store that cannot be parsed shows the defaults, status 1" 1 "$(defaults)
" "could not be read (line 4"
if cmp -s "$work/stored" "$MARLO_REGISTRY" && [ ! -e "$MARLO_REGISTRY.bad" ]; then
  ok "a store that cannot be parsed stays where it is"
else
  not_ok "a store that cannot be parsed stays where it is"
fi

MARLO_REGISTRY="$work" run settings
if [ "$status" -eq 1 ] && [ ! -s "$work/out" ] && grep -q "$work" "$work/err"; then
  ok "a store that cannot be read prints nothing, status 1"
else
  not_ok "a store that cannot be read prints nothing, status 1" "exit status $status"
fi

# ---- Arguments -----------------------------------------------------------------------------
for bad in "--desktop" "--desktop 12" "--desktop axb" "--desktop=-1x5" "extra"; do
  # shellcheck disable=SC2086
  run settings $bad
  if [ "$status" -eq 2 ] && [ ! -s "$work/out" ] && grep -q "usage" "$work/err"; then
    ok "settings $bad is refused with status 2"
  else
    not_ok "settings $bad is refused with status 2" "exit status $status"
  fi
done
run settings --help
if [ "$status" -eq 0 ] && grep -q "Name=string:TEXT" "$work/out"; then ok "settings --help"; else
  not_ok "settings --help" "exit status $status"
fi
run --help
if [ "$status" -eq 0 ] && grep -q "^  settings" "$work/out"; then ok "--help lists settings"; else
  not_ok "--help lists settings" "exit status $status"
fi

finish
