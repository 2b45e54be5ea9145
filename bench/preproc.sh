#!/usr/bin/env bash
# Times the preprocessor on a generated 1,000,000-line source that uses a few dozen TYPEs, a
# few hundred DEFINEs (with and without parameters) and a few hundred GLOBALs on most lines,
# and GNU cpp -P and GNU m4 expanding the same macro uses over the same number of lines, all in
# this run. Prints lines per second for each pass and the ratios; exits 1 when the target fails.
# usage: bench/preproc.sh BINDIR   (BINDIR holds bench_preproc, marlo-cli and Language.txt)
#
# Target: the whole marlo-cli preprocess process (load, three passes, output) is at least 3
# times faster than the faster of cpp -P and m4.
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: preproc.sh BINDIR}
prog=$bindir/bench_preproc
cli=$bindir/marlo-cli
for p in "$prog" "$cli"; do
  if [ ! -x "$p" ]; then
    echo "preproc.sh: $p not found; build it first" >&2
    exit 2
  fi
done
for tool in cpp m4; do
  if ! command -v "$tool" >/dev/null; then
    echo "preproc.sh: $tool not found (scripts/bootstrap installs it)" >&2
    exit 2
  fi
done

lines=${MARLO_BENCH_LINES:-1000000}
runs=${MARLO_BENCH_RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$prog" --generate "$lines" "$work/big.zba"
"$prog" --generate-cpp "$lines" "$work/big.c"
"$prog" --generate-m4 "$lines" "$work/big.m4"

# time_us COMMAND...: the wall time of one run, output to /dev/null, in microseconds.
time_us() {
  local t0 t1
  t0=$(now_us)
  "$@" >/dev/null
  t1=$(now_us)
  echo $((t1 - t0))
}

echo "bench: $lines lines, best of $runs runs each, taken in turn"
# The three programs take turns, so that a busy moment of the machine costs each the same,
# and each keeps its best run. Every one writes to /dev/null and reads a file of its own
# dialect generated from the same statements.
cpp_us=0 m4_us=0 cli_us=0
best() { if (($1 == 0 || $2 < $1)); then echo "$2"; else echo "$1"; fi; }
for ((r = 0; r < runs; r++)); do
  cpp_us=$(best "$cpp_us" "$(time_us cpp -P "$work/big.c")")
  m4_us=$(best "$m4_us" "$(time_us m4 "$work/big.m4")")
  cli_us=$(best "$cli_us" "$(time_us "$cli" preprocess --types --defines --globals "$work/big.zba")")
done
cpp_out=$(cpp -P "$work/big.c" | wc -l)
m4_out=$(m4 "$work/big.m4" | wc -l)
cli_out=$("$cli" preprocess --types --defines --globals "$work/big.zba" | wc -l)
passes=$("$prog" --run "$work/big.zba" "$runs")

echo
printf '%-34s %14s %12s\n' "in process (document loaded)" "lines/s" "ms"
for p in load types defines globals all all+status; do
  printf '%-34s %14s %12s\n' "$p" "$(calc "%.0f" "$(field "$p" "$passes" 4)")" \
    "$(calc "%.1f" "$(field "$p" "$passes" 3) * 1000")"
done
echo
printf '%-34s %14s %12s %10s\n' "whole process" "lines/s" "ms" "out lines"
printf '%-34s %14s %12s %10s\n' "marlo-cli preprocess (3 passes)" \
  "$(calc "%.0f" "$lines / ($cli_us / 1e6)")" "$(calc "%.1f" "$cli_us / 1000")" "$cli_out"
printf '%-34s %14s %12s %10s\n' "cpp -P" "$(calc "%.0f" "$lines / ($cpp_us / 1e6)")" \
  "$(calc "%.1f" "$cpp_us / 1000")" "$cpp_out"
printf '%-34s %14s %12s %10s\n' "m4" "$(calc "%.0f" "$lines / ($m4_us / 1e6)")" \
  "$(calc "%.1f" "$m4_us / 1000")" "$m4_out"

faster=$cpp_us
((m4_us < faster)) && faster=$m4_us
all_us=$(calc "%.0f" "$(field all "$passes" 3) * 1e6")
echo
echo "ratios (their time / ours; higher is better for Marlo):"
echo "  cpp -P / marlo-cli process      $(calc "%.2f" "$cpp_us / $cli_us")x"
echo "  m4     / marlo-cli process      $(calc "%.2f" "$m4_us / $cli_us")x"
echo "  cpp -P / three passes in process $(calc "%.2f" "$cpp_us / $all_us")x"
echo "  m4     / three passes in process $(calc "%.2f" "$m4_us / $all_us")x"
ratio=$(calc "%.2f" "$faster / $cli_us")
if [ "$(calc "%d" "($faster / $cli_us >= 3)")" = 1 ]; then
  echo "PASS: marlo-cli preprocess is ${ratio}x faster than the faster of cpp and m4 (>= 3)"
else
  echo "FAIL: marlo-cli preprocess is ${ratio}x faster than the faster of cpp and m4 (>= 3)"
  exit 1
fi
