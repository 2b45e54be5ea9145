#!/usr/bin/env bash
# marlo-cli recover on journals written by the journal library (make_journal): the list,
# the text as Save writes it, discarding, live and unreadable journals, unknown ids.
# Environment: MARLO_CLI (the program), MAKE_JOURNAL (the journal maker).
set -euo pipefail

cli=${MARLO_CLI:?MARLO_CLI must name the marlo-cli program}
maker=${MAKE_JOURNAL:?MAKE_JOURNAL must name the make_journal program}
work=$(mktemp -d)
holder=
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
export MARLO_RECOVERY_DIR=$work/recovery
passed=0 failed=0 status=0

run() { status=0 && "$cli" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?; }
ok() { passed=$((passed + 1)) && echo "ok: $1"; }
not_ok() {
  failed=$((failed + 1))
  echo "FAILED: $1 (exit status $status)"
  sed 's/^/  out /' "$work/out"
  sed 's/^/  err /' "$work/err"
}
# expect NAME STATUS STDOUT-REGEX STDERR-REGEX: the last run's status, and its whole stdout
# and stderr matching (an empty regex: nothing printed).
expect() {
  local out err
  out=$(cat "$work/out") err=$(cat "$work/err")
  if [ "$status" -eq "$2" ] && [[ $out =~ ^$3$ ]] && [[ $err =~ ^$4$ ]]; then ok "$1"; else not_ok "$1"; fi
}
# same NAME BYTES: the last run printed exactly BYTES (printf format).
# shellcheck disable=SC2059
same() { if [ "$status" -eq 0 ] && cmp -s "$work/out" <(printf "$2"); then ok "$1"; else not_ok "$1"; fi; }

time='20[0-9]{2}-[01][0-9]-[0-3][0-9]T[0-2][0-9]:[0-5][0-9]:[0-6][0-9]Z'
tab=$'\t'

run recover list
expect "no folder: nothing listed" 0 "" ""

printf 'one\ntwo\n' >"$work/a.zba"
printf 'a\n' >"$work/b.zba"
a=$("$maker" "$MARLO_RECOVERY_DIR" /src/a.zba windows "$work/a.zba" 'X|Y')
b=$("$maker" "$MARLO_RECOVERY_DIR" Untitled1 unix "$work/b.zba")

run recover show "$a"
same "show: windows line ends between lines" 'oneX\r\nY\r\ntwo'
run recover show "$b"
same "show: unix line ends after every line" 'a\n'
run recover list
expect "list: one line per journal" 0 \
  "($a$tab""ok$tab/src/a.zba${tab}3$tab$time
$b$tab""ok${tab}Untitled1${tab}1$tab$time|$b$tab""ok${tab}Untitled1${tab}1$tab$time
$a$tab""ok$tab/src/a.zba${tab}3$tab$time)" ""

printf 'not a journal' >"$MARLO_RECOVERY_DIR/bad.journal"
run recover list
if grep -q "^bad${tab}unreadable${tab}${tab}0${tab}" "$work/out" && [ "$(wc -l <"$work/out")" -eq 3 ]; then
  ok "list: an unreadable journal"
else
  not_ok "list: an unreadable journal"
fi
run recover show bad
expect "show: unreadable" 1 "" "marlo-cli recover: Can't read the recovery journal .*bad.journal: not a recovery journal"
[ -f "$MARLO_RECOVERY_DIR/bad.journal" ] && ok "show: the unreadable journal is kept" || not_ok "kept"
run recover discard bad
expect "discard: unreadable" 0 "" ""

for id in nope ../x a/b ..; do
  run recover show "$id"
  expect "show: unknown id $id" 2 "" "marlo-cli recover: no journal \"[^\"]*\" in .*"
  run recover discard "$id"
  expect "discard: unknown id $id" 2 "" "marlo-cli recover: no journal \"[^\"]*\" in .*"
done
run recover
expect "no action" 2 "" "marlo-cli recover: no action given
usage: .*"
run recover fix "$a"
expect "unknown action" 2 "" "marlo-cli recover: unknown action \"fix\"
usage: .*"
run recover show
expect "show without id" 2 "" "marlo-cli recover: no ID given
usage: .*"
run recover --help
expect "help" 0 "usage: marlo-cli recover .*recover: .*" ""

# A journal another program holds open is live and cannot be discarded.
mkfifo "$work/hold"
"$maker" --hold "$MARLO_RECOVERY_DIR" /src/c.zba unix "$work/b.zba" c <"$work/hold" >"$work/c.id" &
holder=$!
exec 3>"$work/hold"
for _ in $(seq 100); do [ -s "$work/c.id" ] && break; sleep 0.05; done
c=$(cat "$work/c.id")
run recover list
if grep -q "^$c${tab}live${tab}/src/c.zba${tab}1${tab}" "$work/out"; then ok "list: live"; else not_ok "list: live"; fi
run recover discard "$c"
expect "discard: live" 1 "" "marlo-cli recover: cannot discard .*in use.*"
exec 3>&-
wait "$holder"
holder=
run recover list
if grep -q "^$c${tab}ok${tab}" "$work/out"; then ok "list: no longer live"; else not_ok "list: no longer live"; fi

run recover discard "$a"
expect "discard" 0 "" ""
run recover show "$a"
expect "show: discarded" 2 "" "marlo-cli recover: no journal .*"

echo "recover: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
