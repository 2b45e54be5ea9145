#!/usr/bin/env bash
# What the recovery journal costs the UI thread on a generated 1,000,000-line source, against
# its targets; prints a table with PASS or FAIL for each and exits 1 when a target fails.
# usage: bench/journal.sh BINDIR   (BINDIR holds bench_journal)
#
# Times are the UI thread's own running time, best of several rounds unless said otherwise;
# the worker thread that writes the journal runs beside it.
#
# Targets:
#   typing   a typed character and its Backspace at line 500,000 cost at most 10% more with
#            a journal than without
#   start    starting a journal of the whole text takes the UI thread at most 30 ms, the
#            slowest of five (a frozen copy of the lines; the worker writes them)
#   indent   indenting every line takes at most 1.5 times as long with a journal, and the
#            journal writes at most 1.25 times the bytes of the lines it changed (a change
#            bigger than the text is written as a snapshot of the text)
#   frames   in a document window (bench_first_edit, when the desktop program is built), no
#            frame of the first key press, which starts the journal, or of the 200 after it
#            over 50 ms
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: journal.sh BINDIR}
if [ ! -x "$bindir/bench_journal" ]; then
  echo "journal.sh: $bindir/bench_journal not found; build it first" >&2
  exit 2
fi

echo "bench: bench_journal on a generated source"
out=$("$bindir/bench_journal" "${MARLO_BENCH_LINES:-1000000}")
lines=$(field lines "$out")
plain=$(field type_ns_plain "$out")
journal=$(field type_ns_journal "$out")
start=$(field start_ms "$out")
ip=$(field indent_ms_plain "$out")
ij=$(field indent_ms_journal "$out")
bytes=$(field indent_journal_bytes "$out")
text=$(field indented_text_bytes "$out")

status=0
echo
echo "text: $lines lines"
printf '%-34s %-46s %-10s %s\n' TARGET MEASURED LIMIT RESULT
row "typing at the middle, journal/none" "$(calc "%.2f" "$journal / $plain")x ($journal / $plain ns)" \
  "<= 1.10" "$(calc "%d" "($journal / $plain) <= 1.10")"
row "starting a journal (UI thread)" "$start ms" "<= 30 ms" "$(calc "%d" "$start <= 30")"
row "indent all lines, journal/none" "$(calc "%.2f" "$ij / $ip")x ($ij / $ip ms)" "<= 1.5" \
  "$(calc "%d" "($ij / $ip) <= 1.5")"
row "journal bytes / bytes of the lines" "$(calc "%.2f" "$bytes / $text")x ($bytes / $text)" \
  "<= 1.25" "$(calc "%d" "($bytes / $text) <= 1.25")"
if [ -x "$bindir/bench_first_edit" ]; then
  "$bindir/bench_first_edit" 2>/dev/null | tail -1 || status=1
fi
exit $status
