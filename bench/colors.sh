#!/usr/bin/env bash
# Measures colouring and export on a generated 1,000,000-line source against their targets
# and prints a table with PASS or FAIL for each; exits 1 when a target fails.
# usage: bench/colors.sh BINDIR   (BINDIR holds bench_text_model, bench_colors, marlo-cli)
#
# Targets:
#   long line   colouring a 1 MB line of short words costs per byte at most 2 times what
#               ordinary code costs (the scan is linear in a line's length)
#   remstart    typing "remstart" on line 10 with lines 0-59 shown scans at most the lines
#               up to the view plus 100
#   html, rtf   loading, colouring and exporting the whole file with marlo-cli is at least
#               20 times faster than highlight doing the same highlighting (a language
#               definition made from data/keywords.txt) and writing the same format from the
#               same file in this run, both to standard output (discarded), so that the
#               highlighting is compared, not the disk; the export to a file, which marlo-cli
#               syncs to disk before it renames it into place and highlight does not, is
#               timed for the record, as are pygmentize and source-highlight
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: colors.sh BINDIR}
here=$(cd "$(dirname "$0")" && pwd)
keywords=$here/../data/keywords.txt
for p in bench_text_model bench_colors marlo-cli; do
  if [ ! -x "$bindir/$p" ]; then
    echo "colors.sh: $bindir/$p not found; build it first" >&2
    exit 2
  fi
done

# The peers come from Debian; install the missing ones as the bootstrap does.
missing=()
command -v highlight >/dev/null || missing+=(highlight)
command -v pygmentize >/dev/null || missing+=(python3-pygments)
command -v source-highlight >/dev/null || missing+=(source-highlight)
if [ ${#missing[@]} -gt 0 ]; then
  echo "colors.sh: installing ${missing[*]}" >&2
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >&2
fi

runs=${MARLO_BENCH_RUNS:-5}
big_source "$bindir"

# zorbic_lang KEYWORDS: a highlight language definition for Zorbic on standard output.
# Single words form the keyword list; entries of several words, which a list cannot hold,
# form one case-insensitive regular expression. Remarks and strings as the highlighter has
# them: rem and ` to the line end, remstart to remend, "...".
zorbic_lang() {
  local words phrases
  words=$(grep -v '[[:space:]]' "$1" | grep -v '^$' | sed 's/"/\\"/g; s/.*/"&"/' | paste -sd, -)
  phrases=$(grep '[^[:space:]][[:space:]]\+[^[:space:]]' "$1" |
    sed 's/[][\\.^$*+?(){}|#]/\\&/g; s/[[:space:]]\+/\\s+/g' | paste -sd'|' -)
  cat <<LANG
Description="Zorbic"
IgnoreCase=true
Identifiers=[[[a-zA-Z_#][\w\$#]*]]
Keywords={
  { Id=1, List={ $words } },
  { Id=2, Regex=[[(?i)\b(?:$phrases)\b]] },
}
Strings={ Delimiter=[["]] }
Comments={
  { Block=false, Delimiter={ [[(?i)\brem\b|\x60]] } },
  { Block=true, Nested=false, Delimiter={ [[(?i)\bremstart\b]], [[(?i)\bremend\b]] } },
}
Digits=[[\d+(\.\d+)?]]
Operators=[[\(|\)|\,|\:|<|>|\=|\/|\*|\^|\+|\-]]
LANG
}
zorbic_lang "$keywords" >"$work/zorbic.lang"
highlight_zorbic() { highlight --config-file="$work/zorbic.lang" -S zorbic "$@"; }

# best_us RUNS COMMAND...: the shortest wall time of RUNS runs, in microseconds.
best_us() {
  local n=$1 best=0 t0 t1
  shift
  for ((i = 0; i < n; i++)); do
    t0=$(now_us)
    "$@" >/dev/null 2>&1 || { echo 0; return; }
    t1=$(now_us)
    if ((best == 0 || t1 - t0 < best)); then best=$((t1 - t0)); fi
  done
  echo "$best"
}

echo "bench: colouring in process"
color=$("$bindir/bench_colors" --color-file "$big" "$keywords")
oneline=$("$bindir/bench_colors" --one-line "$keywords" "$big")
remstart=$("$bindir/bench_colors" --remstart "$big" "$keywords")

echo "bench: marlo-cli export, best of $runs runs each"
ours_html=$(best_us "$runs" "$bindir/marlo-cli" export --html --defaults --keywords "$keywords" \
  "$big" -)
ours_rtf=$(best_us "$runs" "$bindir/marlo-cli" export --rtf --defaults --keywords "$keywords" \
  "$big" -)
file_html=$(best_us "$runs" "$bindir/marlo-cli" export --html --defaults --keywords "$keywords" \
  "$big" "$work/ours.htm")
file_rtf=$(best_us "$runs" "$bindir/marlo-cli" export --rtf --defaults --keywords "$keywords" \
  "$big" "$work/ours.rtf")

echo "bench: the peers, once each"
highlight_html=$(best_us 1 highlight_zorbic -O html -i "$big")
highlight_rtf=$(best_us 1 highlight_zorbic -O rtf -i "$big")
peer_html=() peer_rtf=()
t=$(best_us 1 source-highlight --src-lang=vbscript --out-format=html -i "$big" -o "$work/s.html")
peer_html+=("source-highlight $t")
t=$(best_us 1 pygmentize -l blitzbasic -f html -o "$work/p.html" "$big")
peer_html+=("pygmentize $t")
t=$(best_us 1 pygmentize -l blitzbasic -f rtf -o "$work/p.rtf" "$big")
peer_rtf+=("pygmentize $t")

status=0
speed_row() { # format ours-us highlight-us
  if [ "$2" -le 0 ] || [ "$3" -le 0 ]; then
    row "$1 export vs highlight" "no result (ours $2 us, highlight $3 us)" ">= 20" 0
    return
  fi
  local r
  r=$(calc "%.1f" "$3 / $2")
  row "$1 export vs highlight" "${r}x (ours $(calc "%.0f" "$2 / 1000") ms, highlight $(calc \
    "%.0f" "$3 / 1000") ms)" ">= 20" "$(calc "%d" "(($3 / $2) >= 20)")"
}

words=$(field words_ns_per_byte "$oneline")
code=$(field code_ns_per_byte "$oneline")
scanned=$(field scanned_after_edit "$remstart")
color_s=$(field color_s "$color")

echo
echo "file: $lines lines, $size bytes"
printf '%-34s %-46s %-10s %s\n' TARGET MEASURED LIMIT RESULT
row "1 MB line of words / code, per byte" "$(calc "%.2f" "$words / $code")x ($words / $code ns)" \
  "<= 2" "$(calc "%d" "($words / $code) <= 2")"
row "lines scanned after typing remstart" "$scanned" "<= 160" "$( ((scanned <= 160)) && echo 1 || echo 0)"
speed_row html "$ours_html" "$highlight_html"
speed_row rtf "$ours_rtf" "$highlight_rtf"

echo
echo "details:"
echo "  colouring every line in process: $(calc "%.1f" "$color_s * 1000") ms," \
  "$(calc "%.0f" "$(field bytes "$color") / $color_s / 1048576") MiB/s"
for f in html rtf; do
  us=ours_$f file=file_$f
  echo "  marlo-cli export --$f: $(calc "%.1f" "${!us} / 1000") ms for the whole process," \
    "$(calc "%.0f" "$size / ${!us} * 1e6 / 1048576") MiB/s of source; into a file, synced:" \
    "$(calc "%.1f" "${!file} / 1000") ms"
done
echo "  highlight with the Zorbic definition (us): html $highlight_html, rtf $highlight_rtf;" \
  "our output: $(stat -c %s "$work/ours.htm") bytes of HTML, $(stat -c %s "$work/ours.rtf") of RTF"
echo "  other peers (us): ${peer_html[*]}; rtf: ${peer_rtf[*]}"
echo "  in process, to a stream that keeps nothing (bench_export):"
"$bindir/bench_export" --benchmark_min_time=1 2>/dev/null | awk '/^(BM_|[a-z_]+\/)/ { print "    " $0 }' || true
exit $status
