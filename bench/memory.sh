#!/usr/bin/env bash
# Peak memory of the real marlo: started on an empty file, and started on a generated
# 1,000,000-line source with Ctrl+End pressed, which colours every line once. Prints both
# and the target; exits 1 when the target fails.
# usage: bench/memory.sh BINDIR   (BINDIR holds marlo and bench_text_model)
#
# Target:
#   end of file   the peak after Ctrl+End is at most the empty program's peak plus twice the
#                 file size plus 48 bytes a line
set -euo pipefail
bindir=$(cd "${1:?usage: memory.sh BINDIR}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${MARLO_MEMORY_INNER:-}" ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "memory: $tool is missing" >&2; exit 2; }
  done
  for p in marlo bench_text_model; do
    [ -x "$bindir/$p" ] || { echo "memory: $bindir/$p not found; build it first" >&2; exit 2; }
  done
  exec env MARLO_MEMORY_INNER=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

source "$here/bench_lib.sh"
scratch=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export MARLO_REGISTRY="$scratch/registry.reg"
export HOME="$scratch"
lines=1000000
big=$scratch/big.zba
"$bindir/bench_text_model" --generate "$lines" "$big"
size=$(stat -c %s "$big")
: >"$scratch/empty.zba"

# The process's CPU ticks so far.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo x; }
# Waits until the process has used no CPU for half a second.
settle() {
  local last now quiet=0
  last=$(ticks "$1")
  while ((quiet < 5)); do
    sleep 0.1
    now=$(ticks "$1")
    [ "$now" != x ] || { echo "memory: marlo ended early" >&2; exit 1; }
    if [ "$now" = "$last" ]; then quiet=$((quiet + 1)); else quiet=0; fi
    last=$now
  done
}
peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# run FILE [KEYS...]: marlo on FILE, the keys pressed once it settled; prints its peak in kB.
run() {
  local file=$1 win=
  shift
  "$bindir/marlo" "$file" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --name '^Marlo' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || { echo "memory: no main window" >&2; exit 1; }
  settle "$pid"
  for k in "$@"; do
    xdotool key --delay 50 "$k"
    settle "$pid"
  done
  peak_kb "$pid"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}

echo "bench: marlo on an empty file, then on $lines lines with Ctrl+End"
empty=$(($(run "$scratch/empty.zba") * 1024))
atend=$(($(run "$big" ctrl+End) * 1024))
target=$((empty + 2 * size + 48 * lines))

mib() { calc "%.1f" "$1 / 1048576"; }
verdict=FAIL
((atend <= target)) && verdict=PASS
echo
echo "file: $lines lines, $size bytes"
printf '%-36s %s MiB\n' "peak, empty file" "$(mib "$empty")"
printf '%-36s %s MiB\n' "peak, big file after Ctrl+End" "$(mib "$atend")"
printf '%-36s %s MiB (empty + 2 x file + 48 B a line)\n' "target" "$(mib "$target")"
echo "result: $verdict"
[ "$verdict" = PASS ]
