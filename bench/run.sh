#!/usr/bin/env bash
# Measures the text model on a generated 1,000,000-line source against its targets and prints
# a table with PASS or FAIL for each; exits 1 when a target fails.
# usage: bench/run.sh BINDIR   (BINDIR holds bench_text_model)
#
# Targets:
#   load     loading the file into a document takes at most 3 times what `wc -l` takes on the
#            same file, both timed in this run (best of several runs each)
#   edit     a typed character, Enter and Backspace in the middle of the big text cost at most
#            1.5 times what they cost in a 1,000-line text
#   memory   the peak memory of a process that loaded the file is at most twice the file size
#            plus 48 bytes a line
#   undo     undoing an indent of every line costs, per line, at most 2 times as much at
#            1,000,000 lines as at 10,000 lines (cache misses allow some growth; work that grows
#            faster than the change shows up as tens of times)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: run.sh BINDIR}
prog=$bindir/bench_text_model
if [ ! -x "$prog" ]; then
  echo "run.sh: $prog not found; build the bench_text_model target first" >&2
  exit 2
fi

runs=${MARLO_BENCH_RUNS:-15}
big_source "$bindir"


echo "bench: timing wc -l and the document load, best of $runs runs each"
best_wc=0 best_load=0 best_proc=0 peak=0 base=0 loaded=0
for ((i = 0; i < runs; i++)); do
  t0=$(now_us)
  wc -l "$big" >/dev/null
  t1=$(now_us)
  out=$("$prog" --load-only "$big")
  t2=$(now_us)
  wc_us=$((t1 - t0))
  proc_us=$((t2 - t1))
  load_us=$(($(field load_ns "$out") / 1000))
  p=$(field peak_bytes "$out")
  loaded=$(field lines "$out")
  base=$(field base_bytes "$out")
  if ((best_wc == 0 || wc_us < best_wc)); then best_wc=$wc_us; fi
  if ((best_load == 0 || load_us < best_load)); then best_load=$load_us; fi
  if ((best_proc == 0 || proc_us < best_proc)); then best_proc=$proc_us; fi
  if ((p > peak)); then peak=$p; fi
done

echo "bench: running bench_text_model"
"$prog" --source="$big" --benchmark_out="$work/results.json" --benchmark_out_format=json

# "name nanoseconds" for every benchmark run, "name ERROR" for one that reported an error.
awk '
  /^ *"name":/ { n = $0; sub(/^ *"name": "/, "", n); sub(/",?$/, "", n); err = 0 }
  /"error_occurred": true/ { err = 1; print n, "ERROR" }
  /^ *"real_time":/ { t = $2; sub(/,$/, "", t) }
  /^ *"time_unit":/ {
    u = $2; gsub(/[",]/, "", u)
    f = (u == "s") ? 1e9 : (u == "ms") ? 1e6 : (u == "us") ? 1e3 : 1
    if (!err) printf "%s %.3f\n", n, t * f
  }' "$work/results.json" >"$work/times.txt"

# Time in ns of the first benchmark whose name starts with $1 (and ends with $2), or empty.
ns() {
  awk -v p="$1" -v s="${2:-}" 'index($1, p) == 1 && $2 != "ERROR" &&
    substr($1, length($1) - length(s) + 1) == s { print $2; exit }' "$work/times.txt"
}

status=0
row() { # target measured limit pass(1/0/empty)
  local verdict=FAIL
  if [ -z "$4" ]; then verdict=ERROR; elif [ "$4" = 1 ]; then verdict=PASS; fi
  [ "$verdict" = PASS ] || status=1
  printf '%-36s %-40s %-12s %s\n' "$1" "$2" "$3" "$verdict"
}
ratio_row() { # target numerator-ns denominator-ns limit unit-label
  if [ -z "$2" ] || [ -z "$3" ]; then
    row "$1" "no result" "<= $4" ""
    return
  fi
  local r
  r=$(calc "%.2f" "$2 / $3")
  row "$1" "${r}x ($(calc "%.1f" "$2 / $6") / $(calc "%.1f" "$3 / $6") $5)" "<= $4" \
    "$(calc "%d" "($2 / $3) <= $4")"
}

type_1k=$(ns type_backspace/1000/ _min)
type_1m=$(ns "type_backspace/$lines/" _min)
enter_1k=$(ns enter_backspace/1000/ _min)
enter_1m=$(ns "enter_backspace/$lines/" _min)
undo_10k=$(ns "undo_indent_all/10000/")
undo_100k=$(ns "undo_indent_all/100000/")
undo_1m=$(ns "undo_indent_all/$lines/")
per_line() { [ -n "$1" ] && calc "%.3f" "$1 / $2"; }
undo_pl_10k=$(per_line "$undo_10k" 10000 || true)
undo_pl_100k=$(per_line "$undo_100k" 100000 || true)
undo_pl_1m=$(per_line "$undo_1m" "$lines" || true)
budget=$((2 * size + 48 * lines))

echo
echo "file: $lines lines, $size bytes; the document loaded $loaded lines"
printf '%-36s %-40s %-12s %s\n' TARGET MEASURED LIMIT RESULT
ratio_row "load / wc -l" "$((best_load * 1000))" "$((best_wc * 1000))" 3 ms 1e6
ratio_row "type+Backspace, 1M / 1k lines" "$type_1m" "$type_1k" 1.5 ns 1
ratio_row "Enter+Backspace, 1M / 1k lines" "$enter_1m" "$enter_1k" 1.5 ns 1
row "peak memory after load" "$(calc "%.1f" "$peak / 1048576") MiB ($(calc "%.1f" \
  "($peak - $base) / 1048576") MiB above start)" "<= $(calc "%.1f" "$budget / 1048576") MiB" \
  "$( ((peak > 0 && peak <= budget)) && echo 1 || echo 0)"
ratio_row "undo indent-all per line, 1M / 10k" "$undo_pl_1m" "$undo_pl_10k" 2 ns/line 1
[ "$loaded" = "$lines" ] || row "lines loaded" "$loaded" "= $lines" 0

echo
echo "details:"
echo "  wc -l $(calc "%.1f" "$best_wc / 1000") ms; load in process $(calc "%.1f" "$best_load / 1000") ms;" \
  "whole --load-only process $(calc "%.1f" "$best_proc / 1000") ms"
echo "  undo of indent-all per line: 10k ${undo_pl_10k:-?} ns, 100k ${undo_pl_100k:-?} ns," \
  "1M ${undo_pl_1m:-?} ns"
for b in load_bytes save_bytes save_file; do
  t=$(ns "$b/")
  echo "  $b ${t:+$(calc "%.1f" "$t / 1e6") ms}"
done
if grep -q ERROR "$work/times.txt"; then
  echo "  benchmarks that reported an error:"
  awk '$2 == "ERROR" { print "    " $1 }' "$work/times.txt"
  status=1
fi
exit $status
