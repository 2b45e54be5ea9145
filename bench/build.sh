#!/usr/bin/env bash
# The build road on a generated 1,000,000-line source, timed against peers in the same run.
# Prints each figure against its target; exits 1 when one fails.
# usage: bench/build.sh BINDIR   (BINDIR holds zbcheck and bench_text_model)
#
# Targets (best of several runs each, whole processes):
#   zbcheck    `zbcheck -c` reads and checks the whole file in at most 25 times what `wc -l`
#              takes on it; the generated source leaves a block open near its end, so the
#              answer names a line near the end only when every line was read
#   build-list the temporary file's bytes at most 1.25 times `marlo-cli preprocess` of the
#              same passes, 1.5 times with break lines
#   F4         in a document window (offscreen, defines and globals on, Continue pressed),
#              from the key to the report at most 1.5 times preprocess + zbcheck
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: build.sh BINDIR}
for p in zbcheck bench_text_model; do
  [ -x "$bindir/$p" ] || { echo "build.sh: $bindir/$p not found; build it first" >&2; exit 2; }
done
runs=${MARLO_BENCH_RUNS:-5}
big_source "$bindir"
zbcheck=$(cd "$bindir" && pwd)/zbcheck

status=0

echo "file: $lines lines, $size bytes; best of $runs runs each"
answer=$(cd "$work" && "$zbcheck" -c big.zba || true)
echo "zbcheck -c: $answer"
printf '%-34s %-46s %-10s %s\n' TARGET MEASURED LIMIT RESULT

wc_us=$(best wc -l "$big")
ratio_row "zbcheck -c / wc -l" "$(best "$zbcheck" -c big.zba)" "$wc_us" 25
# The answer must come from the last lines: an error near the top would mean a short run.
at=$(sed -n 's/^Syntax error at line \([0-9]*\):.*/\1/p' <<<"$answer")
row "zbcheck read every line" "${answer:0:46}" "line > $((lines - 100))" \
  "$( ((${at:-0} > lines - 100)) && echo 1 || echo 0)"

# -- marlo-cli build-list: the temporary file's bytes (build list, preprocessor, map, break
# lines, CR LF) against marlo-cli preprocess printing the same passes' lines. Targets: at
# most 1.25 times as long with --defines --globals, 1.5 times with --step as well. The three
# take turns, so that a busy moment of the machine costs each the same.
cli=$bindir/marlo-cli
if [ -x "$cli" ]; then
  pre_us=0 list_us=0 step_us=0
  keep() { if (($1 == 0 || $2 < $1)); then echo "$2"; else echo "$1"; fi; }
  once() {
    local t0 t1
    t0=$(now_us)
    "$cli" "$@" "$big" >/dev/null
    t1=$(now_us)
    echo $((t1 - t0))
  }
  for ((r = 0; r < runs; r++)); do
    pre_us=$(keep "$pre_us" "$(once preprocess --defines --globals)")
    list_us=$(keep "$list_us" "$(once build-list --defines --globals)")
    step_us=$(keep "$step_us" "$(once build-list --defines --globals --step)")
  done
  ratio_row "build-list / preprocess" "$list_us" "$pre_us" 1.25
  ratio_row "build-list --step / preprocess" "$step_us" "$pre_us" 1.5
else
  row "build-list / preprocess" "$cli not found" "<= 1.25" 0
fi

# -- F4 in a document window, against the two programs it stands for run one after the other.
if [ -x "$bindir/bench_f4" ] && [ -x "$cli" ]; then
  f4=$(cd "$bindir" && pwd)/bench_f4
  f4_ms=$(cd "$work" && "$f4" "$big" 2>/dev/null | sed -n 's/^f4_ms=//p')
  "$cli" preprocess --defines --globals "$big" >"$work/pre.zba"
  road_us=$((pre_us + $(best "$zbcheck" -c pre.zba)))
  ratio_row "F4 window / preprocess + zbcheck" "$(calc "%d" "${f4_ms:-0} * 1000")" "$road_us" 1.5
else
  row "F4 window / preprocess + zbcheck" "bench_f4 or marlo-cli not built" "<= 1.5" 0
fi

exit $status
