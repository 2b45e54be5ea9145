# What the end-to-end scripts share, sourced after `set -euo pipefail`: the tools and the
# display checked; a scratch folder ($scratch) with a copy of the example, the program's
# registry and recovery folder; the leaks of the system's D-Bus library left out of the
# sanitizer's report; shot NAME, fail MESSAGE and wait_for_main_window. At exit the program
# whose process is $pid is sent E2E_KILL (TERM unless set) and the scratch folder goes.
# Screenshots are $MARLO_ARTIFACTS/$E2E_SHOT_PREFIX<NAME>.png.

for tool in xdotool xwd; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/bootstrap installs it)" >&2; exit 1; }
done
: "${DISPLAY:?e2e: no display; run under xvfb-run -a}"

scratch=$(mktemp -d)
pid=
e2e_cleanup() {
  [ -n "$pid" ] && kill "-${E2E_KILL:-TERM}" "$pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap e2e_cleanup EXIT
mkdir -p "$MARLO_ARTIFACTS"
cp "$MARLO_SOURCE_DIR/examples/demo.zba" "$scratch/demo.zba"
# Under the sanitizers, what the system's D-Bus library keeps until exit is not ours.
printf 'leak:libdbus-1.so\n' >"$scratch/lsan.supp"
export LSAN_OPTIONS="suppressions=$scratch/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export MARLO_REGISTRY="$scratch/registry.reg"
export MARLO_RECOVERY_DIR="$scratch/recovery"

shot() {
  xwd -root -silent >"$scratch/shot.xwd"
  "$MARLO_SOURCE_DIR/scripts/xwd-to-png" "$scratch/shot.xwd" \
    "$MARLO_ARTIFACTS/${E2E_SHOT_PREFIX:-}$1.png"
}

fail() {
  echo "e2e: $*" >&2
  shot failure || true
  exit 1
}

# Waits for marlo's main window and a second more for it to settle; its id is then in $win.
wait_for_main_window() {
  win=
  for _ in $(seq 100); do
    win=$(xdotool search --name '^Marlo' 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || fail "the main window did not appear"
  sleep 1
}
