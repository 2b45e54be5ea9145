#!/usr/bin/env bash
# Drives `marlo-cli colors` as a user does: the sample sources, the shipped keyword list
# beside the program, and what happens with missing files. The colours themselves are the
# core's (tests/core/syntax); here, that the command reads and prints them.
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"
samples="$src/tests/data/colors"

for source in "$samples"/*.zba; do
  run colors --keywords "$samples/keywords.txt" "$source"
  want=$(cat "${source%.zba}.colors" && echo .)
  expect "sample $(basename "$source")" 0 "${want%.}"
done

printf 'a=1:rem x\r\nsync on\r\n' >"$work/plain.zba"
run colors "$work/plain.zba"
expect "the keyword list beside the program is the default" 0 $'304022222\n6666666\n'
printf 'x\n' >"$work/kw.txt"
run colors --keywords "$work/kw.txt" "$work/plain.zba"
expect "--keywords names another list" 0 $'304022222\n3333033\n'
: >"$work/empty.zba"
run colors "$work/empty.zba"
expect "an empty file prints nothing" 0 ''

table <<TABLE
a missing keyword list is a usage error|2|colors --keywords $work/none.txt $work/plain.zba|keyword list.*none.txt.*no such file
a folder is no keyword list|2|colors --keywords $work $work/plain.zba|not a regular file
a missing source is a usage error|2|colors $work/missing.zba|missing.zba.*no such file
no source|2|colors|usage: marlo-cli colors
an unknown option|2|colors --bogus $work/plain.zba|unknown option
TABLE

finish
