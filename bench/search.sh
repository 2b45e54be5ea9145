#!/usr/bin/env bash
# marlo-cli find on a generated 1,000,000-line source against grep and sed timed in the
# same run. Prints each figure against its target; exits 1 when one fails.
# usage: bench/search.sh BINDIR   (BINDIR holds marlo-cli and bench_text_model)
#
# Targets (best of several runs each; marlo-cli's time includes loading the file):
#   count      every match of a literal: at most 3x `grep -c`; ignoring case 3x `grep -ci`;
#              the pattern [0-9]+\.[0-9]+ 3x `grep -cE`
#   replace    Replace All of a literal, one undo step: faster than sed 's/../../g' to a file
#   undo       the Undo of that Replace All costs about the same per replacement at 10,000
#              and 1,000,000 lines (within 2x)
set -euo pipefail
source "$(dirname "$0")/bench_lib.sh"

bindir=${1:?usage: search.sh BINDIR}
for p in marlo-cli bench_text_model; do
  [ -x "$bindir/$p" ] || { echo "search.sh: $bindir/$p not found; build it first" >&2; exit 2; }
done
runs=${MARLO_BENCH_RUNS:-5}
big_source "$bindir"
cli="$(cd "$bindir" && pwd)/marlo-cli"

status=0

echo "file: $lines lines, $size bytes; best of $runs runs each"
printf '%-34s %-46s %-10s %s\n' TARGET MEASURED LIMIT RESULT

literal=score
grep_n=$(grep -o "$literal" "$big" | wc -l)
ours_n=$("$cli" find --case "$big" "$literal" | wc -l)
[ "$grep_n" = "$ours_n" ] || row "matches of $literal" "$ours_n" "= $grep_n" 0
ratio_row "count '$literal' / grep -c" "$(best "$cli" find --case "$big" "$literal")" \
  "$(best grep -c "$literal" "$big")" 3
ratio_row "count '$literal', any case / grep -ci" "$(best "$cli" find "$big" "$literal")" \
  "$(best grep -ci "$literal" "$big")" 3
pattern='[0-9]+\.[0-9]+'
ratio_row "count $pattern / grep -cE" "$(best "$cli" find --regex "$big" "$pattern")" \
  "$(best grep -cE "$pattern" "$big")" 3

ours=$(best "$cli" find --case --replace points --all "$big" "$literal")
sed_t=$(best sed "s/$literal/points/g" "$big")
ratio_row "Replace All / sed 's/../../g'" "$ours" "$sed_t" 1

# The Undo of a Replace All, per replacement, at two sizes.
per_undo() { # file -> microseconds per replacement the Undo adds
  local f=$1 n with without
  n=$("$cli" find --case "$f" "$literal" | wc -l)
  with=$(best "$cli" find --case --replace points --all --undo "$f" "$literal")
  without=$(best "$cli" find --case --replace points --all "$f" "$literal")
  calc "%.4f" "($with - $without) / $n"
}
head -n 10000 "$big" >"$work/small.zba"
small_undo=$(per_undo "$work/small.zba")
big_undo=$(per_undo "$big")
row "Undo per replacement, 1M / 10k" "$(calc "%.2f" "$big_undo / ($small_undo > 0.001 ? $small_undo : 0.001)")x ($big_undo / $small_undo us)" \
  "<= 2" "$(calc "%d" "$big_undo <= 2 * ($small_undo > 0.05 ? $small_undo : 0.05)")"
exit $status
