#!/usr/bin/env bash
# Drives `marlo-cli keys` as a user does, on temporary files, and compares its output,
# exit status and saved files byte for byte.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"

# ---- Typing, unbound keys, the state lines ----------------------------------------------
printf 'hello\r\nworld\r\n' >"$work/type.zba"
run keys --state "$work/type.zba" End 'type:!' Down B Shift+B 5 Space '[' Ctrl+K type:x B
expect_output "unbound keys type, type: types and ends a pending prefix" \
'hello!
worldbB5 [xb
@caret 12 1
@selection none 0 0 0 0
@modified 1
@overwrite 0
'
expect_file "without --save the file is untouched" "$work/type.zba" 'hello\r\nworld\r\n'

# ---- Blocks and bookmarks ---------------------------------------------------------------
printf 'alpha\r\nbeta\r\ngamma\r\ndelta\r\n' >"$work/block.zba"
mark=(Ctrl+K 0 Down Right Right Ctrl+K B Down Ctrl+K Ctrl+K Shift+Ctrl+3)
run keys --state "$work/block.zba" "${mark[@]}"
expect_output "Ctrl+K B, Ctrl+K K mark a block; bookmarks print in number order" \
'alpha
beta
gamma
delta
@caret 2 2
@selection stream 2 1 2 2
@bookmark 3 2 2
@bookmark 10 0 0
@modified 0
@overwrite 0
'
run keys --state "$work/block.zba" "${mark[@]}" Ctrl+K Y Ctrl+Q 0
expect_output "Ctrl+K Y deletes the block, Ctrl+Q 0 goes to bookmark 10" \
'alpha
bemma
delta
@caret 0 0
@selection none 2 1 2 1
@bookmark 3 2 1
@bookmark 10 0 0
@modified 1
@overwrite 0
'

# ---- Brackets, pages, overwrite -----------------------------------------------------------
printf 'a(b[c])\r\n' >"$work/bracket.zba"
run keys --state "$work/bracket.zba" Right 'Ctrl+[' Ins X
expect_output "Ctrl+[ goes to the matching bracket; Ins switches to overwrite" \
'a(b[c]x
@caret 7 0
@selection none 0 0 0 0
@modified 1
@overwrite 1
'
printf 'l0\r\nl1\r\nl2\r\nl3\r\nl4\r\nl5\r\nl6\r\n' >"$work/page.zba"
run keys --state --page 2 "$work/page.zba" PgDn PgDn Ctrl+PgDn
expect_output "--page sets the page of PgDn and Ctrl+PgDn" \
'l0
l1
l2
l3
l4
l5
l6
@caret 0 5
@selection none 0 0 0 0
@modified 0
@overwrite 0
'

# ---- Saving --------------------------------------------------------------------------------
printf 'x = 1\r\ny = 2\r\n' >"$work/save.zba"
run keys --state --save "$work/save.zba" Ctrl+End Enter 'type:z = 3'
expect_output "--save prints the saved text" \
'x = 1
y = 2
z = 3
@caret 5 2
@selection none 0 0 0 0
@modified 0
@overwrite 0
'
expect_file "--save writes CR LF lines" "$work/save.zba" 'x = 1\r\ny = 2\r\nz = 3'
expect_file "--save keeps the previous file as a backup" "$work/save.~zb" 'x = 1\r\ny = 2\r\n'

# ---- Failures ------------------------------------------------------------------------------
printf 'keep\r\n' >"$work/keep.zba"
run keys --save "$work/keep.zba" Down Hyper+K Up
expect_failure "an unknown key name ends with status 2" 2 "Hyper+K"
expect_file "an unknown key name leaves the file alone" "$work/keep.zba" 'keep\r\n'
run keys "$work/keep.zba" F13
expect_failure "F13 is no key" 2 "F13"
run keys --state "$work/missing.zba" Down
expect_failure "a missing file ends with status 2" 2 "missing.zba"
run keys --page 0 "$work/keep.zba" Down
expect_failure "a page of 0 lines is refused" 2 "page"
run keys
expect_failure "keys without a file is refused" 2 "FILE"
run
expect_failure "no arguments prints the usage with status 2" 2 "usage"
run frobnicate
expect_failure "an unknown command ends with status 2" 2 "frobnicate"
run --help
if [ "$status" -eq 0 ] && grep -q "keys" "$work/out"; then ok "--help lists the commands"; else
  not_ok "--help lists the commands" "exit status $status"
fi

# ---- The bundled example -------------------------------------------------------------------
demo="$src/examples/demo.zba"
before=$(cksum <"$demo")
run keys --state "$demo" Ctrl+End Enter 'type:rem the end' Shift+Ctrl+1
if [ "$status" -eq 0 ] && tail -3 "$work/out" | head -1 | grep -qx '@bookmark 1 11 [0-9]*' &&
  [ "$(cksum <"$demo")" = "$before" ]; then
  ok "the bundled example loads and stays untouched"
else
  not_ok "the bundled example loads and stays untouched" "exit status $status"
fi

# ---- The document window's own rules: a run of Up and Down, Left Arrow Up, Past EOL -------
printf 'long line\r\nab\r\nlong line two\r\nx\r\n' >"$work/rules.zba"
while IFS='|' read -r name opts keys want; do
  # shellcheck disable=SC2086
  run keys --state $opts "$work/rules.zba" $keys
  if [ "$status" -eq 0 ] && grep -qx "@caret $want" "$work/out"; then
    ok "$name"
  else
    not_ok "$name" "exit status $status, $(grep @caret "$work/out" || true)"
  fi
done <<'TABLE'
a run of Down keeps its column through a short line||End Down Down|9 2
the kept column stops at the end of a short line||End Down Down Up|2 1
past the end of lines the kept column stays|--past-eol|End Down Down Up|9 1
Left at a line start stays without Left Arrow Up||Down Home Left|0 1
Left at a line start goes up with Left Arrow Up|--left-arrow-up|Down Home Left|9 0
Right at a line end wraps unless past the end is allowed||End Right|0 1
Right at a line end goes on with Past EOL|--past-eol|End Right|10 0
TABLE

# ---- Output that cannot be written (every command) ----------------------------------------
printf 'print 1\r\n' >"$work/small.zba"
kw="$src/data/keywords.txt"
if [ -w /dev/full ]; then
  for args in "keys $work/small.zba End" "colors --keywords $kw $work/small.zba" \
    "preprocess --types --defines --globals $src/examples/demo.zba" "export --html --keywords $kw $work/small.zba -" "settings"; do
    status=0
    # shellcheck disable=SC2086
    "$cli" $args >/dev/full 2>"$work/err" || status=$?
    if [ "$status" -eq 1 ] && grep -q "cannot write to standard output: No space" "$work/err"; then
      ok "a full standard output fails ${args%% *}"
    else
      not_ok "a full standard output fails ${args%% *}" "exit status $status"
    fi
  done
fi

# A pipe is written in place, never renamed over; a folder is refused.
run export --html --keywords "$kw" "$work/small.zba" "$work/expected.htm"
mkfifo "$work/pipe"
cat "$work/pipe" >"$work/piped" &
run export --html --keywords "$kw" "$work/small.zba" "$work/pipe"
wait
if [ "$status" -eq 0 ] && [ -p "$work/pipe" ] && cmp -s "$work/piped" "$work/expected.htm"; then
  ok "an export into a pipe writes through it"
else
  not_ok "an export into a pipe writes through it" "exit status $status"
fi
mkdir "$work/folder"
run export --html --keywords "$kw" "$work/small.zba" "$work/folder"
expect_failure "an export onto a folder is refused" 1 "Is a directory"

finish
