#!/usr/bin/env bash
# marlo-cli print as a user drives it: the command line, the statuses and messages, the
# PDF written (or left alone) and its text read back with pdftotext -layout.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

cli=${MARLO_CLI:?MARLO_CLI must name the marlo-cli program}
src=${MARLO_SOURCE_DIR:?MARLO_SOURCE_DIR must name the source tree}
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
passed=0 failed=0 status=0
keywords="$src/tests/data/export/keywords.txt"

run() { status=0 && "$cli" print "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?; }
ok() { passed=$((passed + 1)) && echo "ok: $1"; }
not_ok() {
  failed=$((failed + 1))
  echo "FAILED: $1"
  shift
  [ $# -gt 0 ] && printf '  %s\n' "$@"
  echo "  --- stderr:" && sed 's/^/  /' "$work/err"
}
check() { if "${@:2}"; then ok "$1"; else not_ok "$1"; fi; }

run --header "$work/none.zba" "$work/none.pdf"
if [ "$status" -eq 2 ] && grep -q "built without Qt" "$work/err"; then
  ok "built without Qt: print says so, status 2"
  echo "passed: $passed, failed: $failed (the rest needs Qt)"
  exit 0
fi

# A source of 150 numbered lines, one of 200 columns, and a remark block.
{
  for i in $(seq 1 150); do printf 'print "line %s"\r\n' "$i"; done
} >"$work/long.zba"
{
  printf 'a = 1\r\n'
  printf 'b$ = "'; printf 'x%.0s' $(seq 1 194); printf '"\r\n'
  printf 'remstart\r\ninside the remark\r\nremend\r\nend\r\n'
} >"$work/wide.zba"
: >"$work/empty.zba"
printf 'keep me' >"$work/kept.pdf"

# ---- Bad input: status 2, a message, OUT neither created nor changed.
# NAME|STATUS|ARGS|PATTERN on stderr
while IFS='|' read -r name want args pattern; do
  set -f
  # shellcheck disable=SC2086
  run $args
  set +f
  if [ "$status" -ne "$want" ] || [ -s "$work/out" ] || ! grep -q -- "$pattern" "$work/err"; then
    not_ok "$name" "exit status $status, expected $want, pattern \"$pattern\""
  elif [ "$(cat "$work/kept.pdf")" != "keep me" ] || [ -e "$work/new.pdf" ]; then
    not_ok "$name" "OUT was touched"
  elif [ -n "$(find "$work" -name '*.tmp*' -o -name '.*kept*' -o -name '.*new*')" ]; then
    not_ok "$name" "a temporary file was left"
  else
    ok "$name"
  fi
done <<TABLE
no arguments|2||no source file
no OUT|2|$work/long.zba|no output file
an unknown option|2|--colour $work/long.zba $work/kept.pdf|--colour
a missing source|2|$work/missing.zba $work/kept.pdf|no such file
a folder as source|2|$work $work/new.pdf|not a regular file
a missing keyword list|2|--syntax --keywords $work/nokeys.txt $work/long.zba $work/kept.pdf|nokeys
a bad page size|2|--page-size A5 $work/long.zba $work/kept.pdf|A4 or Letter
a selection of three numbers|2|--selection 1,2,3 $work/long.zba $work/new.pdf|BX,BY,EX,EY
a selection with a word|2|--selection 1,a,3,4 $work/long.zba $work/kept.pdf|BX,BY,EX,EY
an empty selection|2|--selection 3,1,3,1 $work/long.zba $work/kept.pdf|empty
a reversed selection|2|--selection 0,5,0,4 $work/long.zba $work/new.pdf|before it begins
a selection beyond the text|2|--selection 0,900,4,901 $work/long.zba $work/kept.pdf|empty
TABLE

# ---- OUT that cannot be written: status 1, no OUT, no temporary file.
mkdir -p "$work/locked" "$work/afolder.pdf"
chmod a-w "$work/locked"
# Root writes anywhere: the permission row then proves nothing.
[ "$(id -u)" -eq 0 ] && echo "SKIPPED: a folder without write permission (running as root)"
while IFS='|' read -r name out; do
  [ "$(id -u)" -eq 0 ] && [ "${out#"$work/locked"}" != "$out" ] && continue
  run "$work/long.zba" "$out"
  left=$(find "$work/locked" "$work/afolder.pdf" -mindepth 1 | head -1)
  if [ "$status" -ne 1 ] || [ -s "$work/out" ] || [ ! -s "$work/err" ] || [ -n "$left" ]; then
    not_ok "$name" "exit status $status, left: $left"
  elif [ -f "$out" ]; then
    not_ok "$name" "OUT was written"
  else
    ok "$name"
  fi
done <<TABLE
a missing folder|$work/no/such/dir/out.pdf
a folder as OUT|$work/afolder.pdf
a folder without write permission|$work/locked/out.pdf
TABLE

# ---- Success: the summary line, the PDF and its pages.
pages_of() { pdfinfo "$1" 2>/dev/null | sed -n 's/^Pages: *//p'; }
summary() { grep -qx "pages=$1 lines-per-page=[0-9][0-9]*" "$work/out"; }
run --defaults "$work/long.zba" "$work/plain.pdf"
L=$(sed -n 's/.*lines-per-page=//p' "$work/out")
check "a plain print: status 0 and the summary line" summary "$(((150 + L - 1) / L))"
run --defaults --header "$work/long.zba" "$work/header.pdf"
check "the header takes one row of each page" grep -qx "pages=[0-9]* lines-per-page=$((L - 1))" \
  "$work/out"
run --defaults "$work/empty.zba" "$work/empty.pdf"
check "an empty text prints one page" summary 1
run --defaults --page-size Letter "$work/long.zba" "$work/letter.pdf"
check "Letter paper holds fewer rows than A4" [ "$(sed -n 's/.*lines-per-page=//p' "$work/out")" -lt "$L" ]
n=$(((150 + L - 1) / L))
for k in $(seq 1 "$n"); do echo "Printing page $k from $n"; done >"$work/progress"
run --defaults --progress --left-margin abc "$work/long.zba" "$work/progress.pdf"
check "--progress tells each page as it begins, on stderr" cmp -s "$work/progress" "$work/err"
run --defaults "$work/long.zba" "$work/kept.pdf"
check "OUT is replaced, no temporary file left" \
  [ "$(head -c 5 "$work/kept.pdf")" = "%PDF-" -a -z "$(find "$work" -name '.*' -newer "$work/long.zba")" ]

if ! command -v pdftotext >/dev/null || ! command -v pdfinfo >/dev/null; then
  echo "SKIPPED: the PDF's text is not read back: pdftotext and pdfinfo (Debian poppler-utils)" \
    "are not installed"
  echo "passed: $passed, failed: $failed"
  [ "$failed" -eq 0 ]
  exit
fi

text() { pdftotext -layout "$1" - 2>/dev/null; }
page() { pdftotext -layout -f "$2" -l "$2" "$1" - 2>/dev/null; }
check "the PDF has the pages the summary counts" [ "$(pages_of "$work/plain.pdf")" = "$n" ]
check "page 2 starts with line L+1" \
  sh -c "pdftotext -layout -f 2 -l 2 '$work/plain.pdf' - | grep -v '^\s*$' | head -1 | grep -q 'line $((L + 1))\"'"
check "the header: the absolute path left, Page k/N right" \
  sh -c "pdftotext -layout -f 2 -l 2 '$work/header.pdf' - | head -1 | grep -q '^$work/long.zba  *Page 2/$(pages_of "$work/header.pdf")\$'"

run --defaults --line-numbers --wrap --syntax --keywords "$keywords" "$work/wide.zba" "$work/wrap.pdf"
text "$work/wrap.pdf" | grep -v '^\s*$' >"$work/wrap.txt"
wrapped() {
  sed -n 2p "$work/wrap.txt" | grep -q '^ *2  *b\$ = "x\{74\}$' &&
    sed -n 3p "$work/wrap.txt" | grep -q '^ *x\{80\}$' &&
    sed -n 4p "$work/wrap.txt" | grep -q '^ *x\{40\}"$' &&
    sed -n 5p "$work/wrap.txt" | grep -q '^ *3  *remstart$'
}
check "wrapping: 200 columns on three rows, the number on the first only" wrapped
run --defaults --line-numbers --selection 3,3,5,5 "$work/wide.zba" "$work/sel.pdf"
text "$work/sel.pdf" | grep -v '^\s*$' >"$work/sel.txt"
check "a selection: its text only, numbered from 1" \
  [ "$(sed 's/  */ /g; s/ $//' "$work/sel.txt")" = "$(printf '1 ide the remark\n2 remend\n3 end')" ]
run --defaults --line-numbers --selection 3,3,3000000000,99999999999 "$work/wide.zba" \
  "$work/selbig.pdf"
text "$work/selbig.pdf" | grep -v '^\s*$' >"$work/selbig.txt"
check "a selection's numbers past any int mean the end of the text" \
  [ "$(sed 's/  */ /g; s/ $//' "$work/selbig.txt")" = "$(printf '1 ide the remark\n2 remend\n3 end')" ]
run --defaults --header --selection 0,0,1,0 "$work/wide.zba" "$work/selhead.pdf"
check "a selection's title is <Selected block>" \
  sh -c "pdftotext -layout '$work/selhead.pdf' - | head -1 | grep -q '^<Selected block>  *Page 1/1'"

# Colour: any pixel whose red, green and blue differ is coloured.
colored() {
  pdftoppm -r 40 -f 1 -l 1 "$1" | python3 -c '
import sys
data = sys.stdin.buffer.read()
parts = data.split(maxsplit=4)
pixels = parts[4]
sys.exit(0 if any(pixels[i] != pixels[i + 1] or pixels[i + 1] != pixels[i + 2]
                  for i in range(0, len(pixels) - 2, 3)) else 1)'
}
run --defaults --syntax --keywords "$keywords" "$work/wide.zba" "$work/black.pdf"
uncolored() { ! colored "$1"; }
check "--syntax without --color prints no colour" uncolored "$work/black.pdf"
run --defaults --syntax --color --keywords "$keywords" "$work/wide.zba" "$work/color.pdf"
check "--syntax --color prints the styles' colours" colored "$work/color.pdf"

echo "passed: $passed, failed: $failed"
[ "$failed" -eq 0 ]
