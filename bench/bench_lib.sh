# Shared by the benchmark scripts. Source it after `set -euo pipefail`.

# Microseconds since the epoch without starting a process.
now_us() {
  local t=$EPOCHREALTIME
  echo "${t//[.,]/}"
}
# field KEY TEXT [COLUMN]: the value after KEY in "KEY VALUE..." lines of TEXT, or the one in
# COLUMN (2 by default).
field() { awk -v k="$1" -v c="${3:-2}" '$1 == k { print $c }' <<<"$2"; }
# calc FORMAT EXPRESSION: the expression worked out by awk and printed in FORMAT.
calc() { awk "BEGIN { printf \"$1\", $2 }"; }
# big_source BINDIR: makes $work, a scratch folder removed on exit, with $big in it, a
# generated source of $lines lines (1,000,000 unless set), and sets $size to its bytes.
big_source() {
  lines=${lines:-1000000}
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  big=$work/big.zba
  "$1/bench_text_model" --generate "$lines" "$big"
  size=$(stat -c %s "$big")
}
# row TARGET MEASURED LIMIT PASS(1/0): one line of a result table; a FAIL sets status=1.
row() {
  local verdict=FAIL
  [ "$4" = 1 ] && verdict=PASS
  [ "$verdict" = PASS ] || status=1
  printf '%-34s %-46s %-10s %s\n' "$1" "$2" "$3" "$verdict"
}
# best COMMAND...: the best wall time of `runs` runs, in microseconds. Runs in $work (a
# program may write beside the file there); called as $(best ...), so the cd stays in that
# subshell. Output goes to a file, not /dev/null, where grep would stop at its first match.
best() {
  local b=0 t0 t1
  cd "$work"
  for ((i = 0; i < runs; i++)); do
    t0=$(now_us)
    "$@" >"$work/out" 2>/dev/null || true
    t1=$(now_us)
    if ((b == 0 || t1 - t0 < b)); then b=$((t1 - t0)); fi
  done
  echo "$b"
}
# ratio_row NAME OURS-US THEIRS-US LIMIT: a row of OURS / THEIRS against LIMIT.
ratio_row() {
  row "$1" "$(calc "%.2f" "$2 / $3")x ($(calc "%.1f" "$2 / 1000") / $(calc "%.1f" "$3 / 1000") ms)" \
    "<= $4" "$(calc "%d" "($2 / $3) <= $4")"
}
