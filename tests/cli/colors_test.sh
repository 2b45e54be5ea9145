#!/usr/bin/env bash
# Drives `marlo-cli colors` as a user does: the sample sources, the shipped keyword list
# beside the program, and what happens with missing files.
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"
samples="$src/tests/data/colors"

for source in "$samples"/*.zba; do
  name=$(basename "$source" .zba)
  run colors --keywords "$samples/keywords.txt" "$source"
  if [ "$status" -eq 0 ] && cmp -s "$work/out" "$samples/$name.colors"; then
    ok "sample $name"
  else
    not_ok "sample $name" "exit status $status"
    diff "$samples/$name.colors" "$work/out" | head -5 | sed 's/^/  /' || true
  fi
done

printf 'a=1:rem x\r\nsync on\r\n' >"$work/plain.zba"
run colors "$work/plain.zba"
expect_output "the keyword list beside the program is the default" '304022222
6666666
'

printf 'x\n' >"$work/kw.txt"
run colors --keywords "$work/kw.txt" "$work/plain.zba"
expect_output "--keywords names another list" '304022222
3333033
'

run colors --keywords "$work/none.txt" "$work/plain.zba"
expect_failure "a missing keyword list is a usage error" 2 'keyword list.*none.txt.*no such file'
run colors --keywords "$work" "$work/plain.zba"
expect_failure "a folder is no keyword list" 2 'not a regular file'
run colors "$work/missing.zba"
expect_failure "a missing source is a usage error" 2 'missing.zba.*no such file'
run colors
expect_failure "no source" 2 'usage: marlo-cli colors'
run colors --bogus "$work/plain.zba"
expect_failure "an unknown option" 2 'unknown option'

: >"$work/empty.zba"
run colors "$work/empty.zba"
expect_output "an empty file prints nothing" ''

finish
