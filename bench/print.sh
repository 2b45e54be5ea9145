#!/usr/bin/env bash
# Printing a generated 1,000,000-line source to PDF with marlo-cli print, plain
# (--header --line-numbers) and coloured (with --syntax --color), beside enscript piped into
# ps2pdf printing the same file in the same run; prints a table with PASS or FAIL for each
# target and exits 1 when one fails.
# usage: bench/print.sh BINDIR   (BINDIR holds bench_text_model and marlo-cli)
#
# Targets:
#   plain      pages per second at least the peer's (enscript -C -b ... | ps2pdf)
#   coloured   pages per second at least half the peer's
#   memory     the peak of the plain print at most 3 times the peak of loading the file
#              alone (marlo-cli print of the file's first line: the same program, the same
#              load, one page)
#   preview    the print preview of the same source shows its first page within 0.5 s
#              (bench_preview, when the desktop program is built)
# Without enscript or ps2pdf (Debian enscript, ghostscript; bootstrap --bench installs them)
# the peer's rows are skipped with a message and the speed targets are not judged.
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: print.sh BINDIR}
for p in bench_text_model marlo-cli; do
  if [ ! -x "$bindir/$p" ]; then
    echo "print.sh: $bindir/$p not found; build it first" >&2
    exit 2
  fi
done
big_source "$bindir"
export MARLO_REGISTRY="$work/registry.reg"
keywords=$(dirname "$0")/../data/keywords.txt
status=0

# timed NAME COMMAND...: runs COMMAND, leaving its seconds in $secs and peak kB in $peak.
timed() {
  local start end
  start=$(now_us)
  /usr/bin/time -f %M -o "$work/$1.mem" "${@:2}" >"$work/$1.out" 2>"$work/$1.err"
  end=$(now_us)
  secs=$(calc %.3f "($end - $start) / 1000000")
  peak=$(cat "$work/$1.mem")
}
pages_of() { sed -n 's/^pages=\([0-9]*\) .*/\1/p' "$work/$1.out"; }

timed load "$bindir/marlo-cli" print --defaults --selection 0,0,1,0 "$big" "$work/load.pdf"
load_peak=$peak
timed plain "$bindir/marlo-cli" print --defaults --header --line-numbers "$big" "$work/plain.pdf"
plain_secs=$secs plain_peak=$peak plain_pages=$(pages_of plain)
timed color "$bindir/marlo-cli" print --defaults --header --line-numbers --syntax --color \
  --keywords "$keywords" "$big" "$work/color.pdf"
color_secs=$secs color_pages=$(pages_of color)
plain_rate=$(calc %.0f "$plain_pages / $plain_secs")
color_rate=$(calc %.0f "$color_pages / $color_secs")

peer_rate=
if command -v enscript >/dev/null && command -v ps2pdf >/dev/null; then
  start=$(now_us)
  enscript -C -b '$n||Page $% of $=' -p - "$big" 2>"$work/enscript.err" |
    ps2pdf - "$work/peer.pdf"
  end=$(now_us)
  peer_secs=$(calc %.3f "($end - $start) / 1000000")
  peer_pages=$(sed -n 's/.*\[ \([0-9]*\) pages\? \*.*/\1/p' "$work/enscript.err" | tail -1)
  [ -n "$peer_pages" ] || peer_pages=$(grep -o '[0-9]* pages' "$work/enscript.err" | tail -1 | cut -d' ' -f1)
  peer_rate=$(calc %.0f "$peer_pages / $peer_secs")
else
  echo "print.sh: enscript or ps2pdf is missing (Debian enscript, ghostscript): the peer's" \
    "rows are skipped" >&2
fi

echo "$lines lines, $size bytes"
printf '%-34s %-46s %-10s %s\n' TARGET MEASURED LIMIT RESULT
if [ -n "$peer_rate" ]; then
  printf '%-34s %-46s\n' "peer: enscript | ps2pdf" "$peer_pages pages in $peer_secs s: $peer_rate pages/s"
  row "plain print pages/s" "$plain_pages pages in $plain_secs s: $plain_rate/s" \
    ">= $peer_rate" "$(calc %d "($plain_rate >= $peer_rate)")"
  row "coloured print pages/s" "$color_pages pages in $color_secs s: $color_rate/s" \
    ">= $(calc %.0f "$peer_rate / 2")" "$(calc %d "($color_rate >= $peer_rate / 2)")"
  echo "ratios: plain $(calc %.2f "$plain_rate / $peer_rate"), coloured" \
    "$(calc %.2f "$color_rate / $peer_rate") of the peer's pages per second"
else
  printf '%-34s %-46s\n' "plain print pages/s" "$plain_pages pages in $plain_secs s: $plain_rate/s"
  printf '%-34s %-46s\n' "coloured print pages/s" "$color_pages pages in $color_secs s: $color_rate/s"
  echo "SKIPPED: the peer's rows and the speed targets (enscript or ps2pdf missing)"
fi
row "plain print peak memory" "${plain_peak} kB, loading alone ${load_peak} kB" \
  "<= 3x" "$(calc %d "($plain_peak <= 3 * $load_peak)")"
if [ -x "$bindir/bench_preview" ]; then
  preview_dir=$(cd "$bindir" && pwd)
  if ! (cd "$work" && "$preview_dir/bench_preview" "$preview_dir" 2>"$work/preview.err" |
    tail -1); then
    status=1
  fi
fi
exit $status
