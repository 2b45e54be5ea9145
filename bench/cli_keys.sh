#!/usr/bin/env bash
# marlo-cli keys on a generated 1,000,000-line source with no keys: the whole file loaded
# and printed back. Prints its time and peak memory against the targets; exits 1 when one
# fails.
# usage: bench/cli_keys.sh BINDIR   (BINDIR holds marlo-cli and bench_text_model)
#
# Targets:
#   time     the run, printing included, takes at most 5 times what `wc -l` takes on the
#            same file (best of several runs each)
#   memory   its peak is at most twice the file size plus 48 bytes a line
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: cli_keys.sh BINDIR}
for p in marlo-cli bench_text_model; do
  [ -x "$bindir/$p" ] || { echo "cli_keys.sh: $bindir/$p not found; build it first" >&2; exit 2; }
done
command -v /usr/bin/time >/dev/null || { echo "cli_keys.sh: /usr/bin/time is missing" >&2; exit 2; }

runs=${MARLO_BENCH_RUNS:-7}
big_source "$bindir"

echo "bench: wc -l and marlo-cli keys, best of $runs runs each"
best_wc=0 best_keys=0
for ((i = 0; i < runs; i++)); do
  t0=$(now_us)
  wc -l "$big" >/dev/null
  t1=$(now_us)
  "$bindir/marlo-cli" keys "$big" >"$work/out"
  t2=$(now_us)
  if ((best_wc == 0 || t1 - t0 < best_wc)); then best_wc=$((t1 - t0)); fi
  if ((best_keys == 0 || t2 - t1 < best_keys)); then best_keys=$((t2 - t1)); fi
done
# The peak, from a run of its own: the timed runs are not slowed by the measuring.
/usr/bin/time -f "%M" -o "$work/peak" "$bindir/marlo-cli" keys "$big" >"$work/out"
peak=$(($(tail -1 "$work/peak") * 1024))
printed=$(wc -l <"$work/out")
budget=$((2 * size + 48 * lines))

status=0
row() { # target measured limit pass(1/0)
  local verdict=FAIL
  [ "$4" = 1 ] && verdict=PASS
  [ "$verdict" = PASS ] || status=1
  printf '%-30s %-44s %-14s %s\n' "$1" "$2" "$3" "$verdict"
}
echo
echo "file: $lines lines, $size bytes; marlo-cli printed $printed lines"
printf '%-30s %-44s %-14s %s\n' TARGET MEASURED LIMIT RESULT
measured="$(calc "%.2f" "$best_keys / $best_wc")x ($(calc "%.1f" "$best_keys / 1000") /"
measured+=" $(calc "%.1f" "$best_wc / 1000") ms)"
row "keys FILE / wc -l" "$measured" "<= 5" "$(calc "%d" "($best_keys / $best_wc) <= 5")"
row "keys FILE peak memory" "$(calc "%.1f" "$peak / 1048576") MiB" \
  "<= $(calc "%.1f" "$budget / 1048576") MiB" "$( ((peak <= budget)) && echo 1 || echo 0)"
[ "$printed" = "$lines" ] || row "lines printed" "$printed" "= $lines" 0
exit $status
