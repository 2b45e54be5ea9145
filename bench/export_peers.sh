#!/usr/bin/env bash
# Times `marlo-cli export` on a generated 1,000,000-line source against the highlighters
# installed here (highlight, pygmentize, source-highlight), each writing HTML and RTF
# where it can. Prints one line per run; the peers take many seconds each.
# usage: bench/export_peers.sh BINDIR   (BINDIR holds marlo-cli and bench_text_model)
set -euo pipefail

bindir=${1:?usage: export_peers.sh BINDIR}
lines=${MARLO_BENCH_LINES:-1000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/big.bas
"$bindir/bench_text_model" --generate "$lines" "$src"
printf '%s\n' for to next do loop while endwhile if then else endif repeat until function \
  endfunction print gosub return exit >"$work/keywords.txt"
echo "source: $lines lines, $(stat -c %s "$src") bytes"

timed() {
  local name=$1
  shift
  local t0=$EPOCHREALTIME
  if "$@" >/dev/null 2>&1; then
    local t1=$EPOCHREALTIME
    awk -v a="$t0" -v b="$t1" -v n="$name" 'BEGIN { printf "%-28s %8.2f s\n", n, b - a }'
  else
    echo "$name: failed"
  fi
  rm -f "$work"/out.*
}

timed "marlo-cli export --html" "$bindir/marlo-cli" export --html --keywords "$work/keywords.txt" \
  "$src" "$work/out.htm"
timed "marlo-cli export --rtf" "$bindir/marlo-cli" export --rtf --keywords "$work/keywords.txt" \
  "$src" "$work/out.rtf"
if command -v highlight >/dev/null; then
  timed "highlight html" highlight -S vb -O html -i "$src" -o "$work/out.html"
  timed "highlight rtf" highlight -S vb -O rtf -i "$src" -o "$work/out.rtf"
fi
if command -v pygmentize >/dev/null; then
  timed "pygmentize html" pygmentize -l vbnet -f html -o "$work/out.html" "$src"
  timed "pygmentize rtf" pygmentize -l vbnet -f rtf -o "$work/out.rtf" "$src"
fi
if command -v source-highlight >/dev/null; then
  timed "source-highlight html" source-highlight -s vbscript -f html -i "$src" -o "$work/out.html"
fi
