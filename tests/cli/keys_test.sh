#!/usr/bin/env bash
# Drives `marlo-cli keys` as a user does, on temporary files, and compares its output,
# exit status and saved files byte for byte. What each key does is the core's
# (tests/core/text); here: key names, options, the state lines and the file written.
# Also the failures every command shares: the command line and a full standard output.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"
state0=$'@selection none 0 0 0 0\n@modified 1\n@overwrite 0\n'

printf 'hello\r\nworld\r\n' >"$work/type.zba"
run keys --state "$work/type.zba" End 'type:!' Down B Shift+B 5 Space '[' Ctrl+K type:x B
expect "unbound keys type, type: types and ends a pending prefix" 0 \
  $'hello!\nworldbB5 [xb\n@caret 12 1\n'"$state0"
expect_file "without --save the file is untouched" "$work/type.zba" 'hello\r\nworld\r\n'

printf 'alpha\r\nbeta\r\ngamma\r\ndelta\r\n' >"$work/block.zba"
run keys --state "$work/block.zba" Ctrl+K 0 Down Right Right Ctrl+K B Down Ctrl+K Ctrl+K \
  Shift+Ctrl+3
expect "a marked block and bookmarks in number order in the state lines" 0 \
  $'alpha\nbeta\ngamma\ndelta\n@caret 2 2\n@selection stream 2 1 2 2\n@bookmark 3 2 2
@bookmark 10 0 0\n@modified 0\n@overwrite 0\n'

printf 'x = 1\r\ny = 2\r\n' >"$work/save.zba"
run keys --state --save "$work/save.zba" Ctrl+End Enter 'type:z = 3'
expect "--save prints the saved text" 0 $'x = 1\ny = 2\nz = 3\n@caret 5 2\n'"${state0/1/0}"
expect_file "--save writes CR LF lines" "$work/save.zba" 'x = 1\r\ny = 2\r\nz = 3'
expect_file "--save keeps the previous file as a backup" "$work/save.~zb" 'x = 1\r\ny = 2\r\n'

printf 'keep\r\n' >"$work/keep.zba"
demo="$src/examples/demo.zba"
before=$(cksum <"$demo")
table <<TABLE
an unknown key name ends with status 2|2|keys --save $work/keep.zba Down Hyper+K Up|Hyper+K
F13 is no key|2|keys $work/keep.zba F13|F13
a missing file ends with status 2|2|keys --state $work/missing.zba Down|missing.zba
a page of 0 lines is refused|2|keys --page 0 $work/keep.zba Down|page
keys without a file is refused|2|keys|FILE
no arguments prints the usage with status 2|2||usage
an unknown command ends with status 2|2|frobnicate|frobnicate
--help lists the commands|0|--help|^  keys
the bundled example loads|0|keys --state $demo Ctrl+End Enter type:rem Shift+Ctrl+1|^@bookmark 1 3 [0-9]*$
TABLE
expect_file "an unknown key name leaves the file alone" "$work/keep.zba" 'keep\r\n'
[ "$(cksum <"$demo")" = "$before" ] && ok "the bundled example stays untouched" ||
  not_ok "the bundled example stays untouched"

# The options, and the document window's own rules: a run of Up and Down, Left Arrow Up,
# Past EOL. Each row: NAME|OPTIONS|KEYS|a line the state must hold.
printf 'long line\r\nab\r\nlong line two\r\nx\r\nl4\r\nl5\r\nl6\r\n' >"$work/rules.zba"
while IFS='|' read -r name opts keys want; do
  # shellcheck disable=SC2086
  run keys --state $opts "$work/rules.zba" $keys
  if [ "$status" -eq 0 ] && grep -qx "$want" "$work/out"; then ok "$name"; else
    not_ok "$name" "exit status $status, $(grep "${want%% *}" "$work/out" || true)"
  fi
done <<'TABLE'
a run of Down keeps its column through a short line||End Down Down|@caret 9 2
the kept column stops at the end of a short line||End Down Down Up|@caret 2 1
past the end of lines the kept column stays|--past-eol|End Down Down Up|@caret 9 1
Left at a line start stays without Left Arrow Up||Down Home Left|@caret 0 1
Left at a line start goes up with Left Arrow Up|--left-arrow-up|Down Home Left|@caret 9 0
Right at a line end wraps unless past the end is allowed||End Right|@caret 0 1
Right at a line end goes on with Past EOL|--past-eol|End Right|@caret 10 0
--page sets the page of PgDn and Ctrl+PgDn|--page 2|PgDn PgDn Ctrl+PgDn|@caret 0 5
Ins switches to overwrite||Ins|@overwrite 1
TABLE

# Every command fails when its output cannot be written; an export onto a folder too.
kw="$src/data/keywords.txt"
printf 'print 1\r\n' >"$work/small.zba"
if [ -w /dev/full ]; then
  for args in "keys $work/small.zba End" "colors --keywords $kw $work/small.zba" \
    "preprocess --types --defines --globals $demo" "export --html --keywords $kw $work/small.zba -" \
    "settings"; do
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
mkdir "$work/folder"
run export --html --keywords "$kw" "$work/small.zba" "$work/folder"
expect_failure "an export onto a folder is refused" 1 "Is a directory"

finish
