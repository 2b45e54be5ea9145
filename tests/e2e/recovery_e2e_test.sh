#!/usr/bin/env bash
# Killing marlo while it edits loses at most the last second: the real program under a
# virtual display, a line typed into a copy of the example and, in a second run, into a new
# untitled window; two seconds later the program is killed with SIGKILL. The next start
# offers the journals, OK recovers them, and the saved files are compared with what was
# typed. marlo-cli recover lists the journals between the runs. Screenshots go to
# $MARLO_ARTIFACTS.
# usage (inside xvfb-run): MARLO=... MARLO_CLI=... MARLO_SOURCE_DIR=... MARLO_ARTIFACTS=...
#        recovery_e2e_test.sh
set -euo pipefail

E2E_KILL=KILL
E2E_SHOT_PREFIX=recovery-
source "$(dirname "$0")/e2e_lib.sh"
export XDG_STATE_HOME="$scratch/state"

# start ARGS...: starts marlo and waits for its main window.
start() {
  "$MARLO" --new-instance "$@" &
  pid=$!
  wait_for_main_window
}

# killed: SIGKILL, as a crash or a power cut would end it.
killed() {
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}

# recovered NAME: the next start shows the recovery window; Return is OK, whose choice for
# every journal is Recover.
recovered() {
  start
  local dlg=
  for _ in $(seq 50); do
    dlg=$(xdotool search --name '^Recover' 2>/dev/null | head -1 || true)
    [ -n "$dlg" ] && break
    sleep 0.1
  done
  [ -n "$dlg" ] || fail "no recovery window after the kill ($1)"
  shot "$1-offered"
  xdotool key --delay 100 Return sleep 1
  shot "$1-recovered"
}

cd "$scratch"
# A titled document: a line typed at the top, the caret left after it.
start demo.zba
xdotool key --delay 50 ctrl+Home type --delay 30 'rem kept through a kill'
xdotool key --delay 50 Return
sleep 2
shot titled-typed
killed
list=$("$MARLO_CLI" recover list)
echo "$list" | grep -q "	ok	$scratch/demo.zba	" || fail "recover list: $list"
id=$(echo "$list" | cut -f1)
"$MARLO_CLI" recover show "$id" >"$scratch/shown.zba"
# Saved as the example's lines joined by CR LF, without one after the last.
demo=$(cat "$MARLO_SOURCE_DIR/examples/demo.zba")
expected=$(printf 'rem kept through a kill\r\n%s' "${demo%$'\r'}")
[ "$(cat "$scratch/shown.zba")" = "$expected" ] || {
  diff <(echo "$expected") "$scratch/shown.zba" >&2 || true
  fail "recover show is not the typed text"
}

recovered titled
# Recovered, modified, under the file's own name: Ctrl+S writes it there, ending the text
# with a line break as Save does (the command substitution keeps its CR).
xdotool key --delay 50 ctrl+s sleep 0.5
[ "$(cat "$scratch/demo.zba")" = "$expected"$'\r' ] || {
  diff <(echo "$expected") <(cat "$scratch/demo.zba") >&2 || true
  fail "the recovered and saved file is not what was typed"
}
[ -z "$("$MARLO_CLI" recover list)" ] || fail "the journal was not removed by the save"
killed

# An untitled document: Ctrl+N, a line, killed; recovered under an untitled caption and
# saved with Save As.
start
xdotool key --delay 50 ctrl+n sleep 0.5 type --delay 30 'print "never saved"'
sleep 2
shot untitled-typed
killed
recovered untitled
xdotool key --delay 50 ctrl+s sleep 1
shot untitled-save-as
xdotool key --delay 50 ctrl+a type --delay 30 "$scratch/untitled.zba"
xdotool key --delay 100 Return sleep 0.5
[ "$(cat "$scratch/untitled.zba" 2>/dev/null)" = 'print "never saved"'$'\r' ] ||
  fail "the recovered untitled text was not saved: $(cat "$scratch/untitled.zba" 2>/dev/null)"
[ -z "$("$MARLO_CLI" recover list)" ] || fail "the untitled journal was not removed by the save"
killed
echo "e2e: two documents killed, recovered and saved; screenshots in $MARLO_ARTIFACTS"
