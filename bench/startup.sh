#!/usr/bin/env bash
# Start-up time to the first shown main window: marlo, and a peer editor from Debian
# (scite or geany, whichever is installed) opened on the same file under the same
# virtual display, each started several times; prints the median of each.
# usage: bench/startup.sh BINDIR [RUNS]
set -euo pipefail
bindir=$(cd "$1" && pwd)
runs=${2:-5}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

if [ -z "${MARLO_STARTUP_INNER:-}" ]; then
  for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "startup: $tool is missing" >&2; exit 1; }
  done
  exec env MARLO_STARTUP_INNER=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

source "$here/bench_lib.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$root/examples/demo.zba" "$scratch/demo.zba"
export MARLO_REGISTRY="$scratch/registry.reg"
export HOME="$scratch" # the peers keep their settings there too

# One start: microseconds from the start of the program to its window being shown.
time_start() {
  local title=$1
  shift
  local start end pid
  start=$(now_us)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "startup: $1 ended before showing a window" >&2; return 1; }
  done
  end=$(now_us)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo $((end - start))
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

measure() {
  local name=$1 title=$2
  shift 2
  local times=()
  time_start "$title" "$@" >/dev/null || return 1 # a first start fills the caches
  for _ in $(seq "$runs"); do times+=("$(time_start "$title" "$@")"); done
  local ms
  ms=$(calc "%.1f" "$(printf '%s\n' "${times[@]}" | median) / 1000")
  printf '%-8s start-up to the shown main window: %7s ms (median of %d)\n' "$name" "$ms" "$runs"
}

measure marlo '^Marlo' "$bindir/marlo" "$scratch/demo.zba"
peer=
for candidate in scite geany; do
  if command -v "$candidate" >/dev/null; then peer=$candidate; break; fi
done
case "$peer" in
scite) measure scite 'demo.zba' scite "$scratch/demo.zba" ;;
geany) measure geany 'demo.zba' geany --new-instance "$scratch/demo.zba" ;;
*) echo "startup: no peer editor (scite or geany) installed; scripts/bootstrap --bench adds scite" ;;
esac
