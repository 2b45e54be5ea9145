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

# ---- Column selection, copy and paste as a column ----------------------------------------
for i in 1 2 3 4 5; do printf '0123456789\r\n'; done >"$work/column.zba"
run keys --state "$work/column.zba" Right Right Right Right Right \
  Shift+Alt+Down Shift+Alt+Down Shift+Alt+Down
expect_output "Shift+Alt+Down three times selects a column four lines high" \
'0123456789
0123456789
0123456789
0123456789
0123456789
@caret 5 3
@selection column 5 0 5 3
@modified 0
@overwrite 0
'
run keys "$work/column.zba" Right Right Right Right Right \
  Shift+Alt+Down Shift+Alt+Down Shift+Alt+Down Ctrl+Ins Ctrl+Home Shift+Ins
expect_output "a column copied here pastes as a column" \
'50123456789
50123456789
50123456789
50123456789
0123456789
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

finish
