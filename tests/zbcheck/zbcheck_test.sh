#!/usr/bin/env bash
# Runs zbcheck as Marlo runs it, in a scratch folder: the exit status, standard output and
# error, and ZBCOMPILE.LOG byte for byte. What the checker finds is tested in
# zb_checker_test.cpp; here: the arguments, the modes, the log and the messages.
# Environment: ZBCHECK (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

zbcheck=$(realpath -m "${ZBCHECK:?ZBCHECK must name the zbcheck program}")
src=${MARLO_SOURCE_DIR:?MARLO_SOURCE_DIR must name the source tree}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
passed=0 failed=0 status=0

# run ARGS...: runs zbcheck in the scratch folder, a fresh log each time.
run() {
  rm -f ZBCOMPILE.LOG
  status=0 && "$zbcheck" "$@" </dev/null >out 2>err || status=$?
}
ok() { passed=$((passed + 1)) && echo "ok: $1"; }
not_ok() {
  failed=$((failed + 1))
  echo "FAILED: $1"
  shift
  [ $# -gt 0 ] && printf '  %s\n' "$@"
  echo "  --- stdout:" && sed 's/^/  /' out
  echo "  --- stderr:" && sed 's/^/  /' err
}

# expect NAME STATUS STDOUT STDERR LOG: the last run ended with STATUS, printed exactly STDOUT
# and STDERR, and left exactly LOG in ZBCOMPILE.LOG ("-" for no log at all).
expect() {
  local problems=()
  [ "$status" -eq "$2" ] || problems+=("exit status $status, expected $2")
  cmp -s out <(printf '%s' "$3") || problems+=("stdout differs")
  cmp -s err <(printf '%s' "$4") || problems+=("stderr differs")
  if [ "$5" = - ]; then
    [ ! -e ZBCOMPILE.LOG ] || problems+=("a log was written")
  else
    cmp -s ZBCOMPILE.LOG <(printf '%s' "$5") ||
      problems+=("the log differs: $(od -c ZBCOMPILE.LOG 2>&1 | head -3 || true)")
  fi
  if [ ${#problems[@]} -eq 0 ]; then ok "$1"; else not_ok "$1" "${problems[@]}"; fi
}

# answer NAME STATUS LINE ARGS...: a run whose one line goes to stdout and to the log.
answer() {
  run "${@:4}"
  expect "$1" "$2" "$3"$'\n' "" "$3"$'\r\n'
}
# refused NAME LINE ARGS...: a run that ends with status 2, LINE on stderr and in the log.
refused() {
  run "${@:3}"
  expect "$1" 2 "" "$2"$'\n' "$2"$'\r\n'
}

printf 'for i = 1 to 3\r\n  print "i"\r\nnext i\r\n' >clean.zba
printf 'do\n  print "a\nloop\n' >broken.zba
mkdir "with blank"
cp clean.zba "with blank/my prog.TMP"
no_run="Cannot run: zbcheck only checks the syntax; point Core Path at the Zorbic core to run programs."
no_exe="Cannot build an executable: zbcheck only checks the syntax; point Core Path at the Zorbic core to build executables."

answer "-c on a clean source" 0 "No errors found (3 lines checked)." -c clean.zba
answer "-c on an error names its line" 1 "Syntax error at line 2: string not closed: a double quote is missing" -c broken.zba
answer "-x on a clean source cannot run it" 3 "$no_run" -x clean.zba
answer "-x reports an error first" 1 "Syntax error at line 2: string not closed: a double quote is missing" -x broken.zba
answer "-b on a clean source cannot build" 3 "$no_exe" -b "$work/clean.EXE" clean.zba
answer "-f on a clean source cannot build" 3 "$no_exe" -f clean.EXE clean.zba
answer "-f reports an error first" 1 "Syntax error at line 2: string not closed: a double quote is missing" -f x.EXE broken.zba
answer "a name with blanks, in a folder" 0 "No errors found (3 lines checked)." -c "with blank/my prog.TMP"
answer "an absolute name" 0 "No errors found (99 lines checked)." -c "$src/examples/demo.zba"
printf '' >empty.zba
answer "an empty source" 0 "No errors found (0 lines checked)." -c empty.zba

refused "no arguments" "zbcheck: no arguments (see zbcheck --help)"
refused "an unknown switch" 'zbcheck: unknown switch "-C" (see zbcheck --help)' -C clean.zba
refused "-c without SOURCE" "zbcheck: -c takes one argument, SOURCE (see zbcheck --help)" -c
refused "-c with two names" "zbcheck: -c takes one argument, SOURCE (see zbcheck --help)" -c a.EXE clean.zba
refused "-b without EXECUTABLE" \
  "zbcheck: -b takes two arguments, EXECUTABLE and SOURCE (see zbcheck --help)" -b clean.zba
refused "a missing SOURCE" 'zbcheck: Can'"'"'t open file "missing.zba": No such file or directory' \
  -c missing.zba
refused "a folder as SOURCE" 'zbcheck: Can'"'"'t read file "with blank": Is a directory' \
  -c "with blank"

run --help
if [ "$status" -eq 0 ] && grep -q '^usage: zbcheck -c SOURCE$' out && [ ! -s err ] &&
  [ ! -e ZBCOMPILE.LOG ]; then
  ok "--help prints the usage and writes no log"
else
  not_ok "--help prints the usage and writes no log" "exit status $status"
fi

# An old log of another run is replaced whole.
printf 'Syntax error at line 99999: a much longer line from an earlier run\r\nsecond\r\n' \
  >ZBCOMPILE.LOG
status=0 && "$zbcheck" -c clean.zba >out 2>err || status=$?
expect "an old log is replaced" 0 "No errors found (3 lines checked)."$'\n' "" \
  "No errors found (3 lines checked)."$'\r\n'

# A log that cannot be written is told on stderr; the answer still reaches stdout.
rm -f ZBCOMPILE.LOG && mkdir ZBCOMPILE.LOG
status=0 && "$zbcheck" -c clean.zba >out 2>err || status=$?
if [ "$status" -eq 2 ] && grep -q '^zbcheck: .*ZBCOMPILE.LOG' err &&
  [ "$(cat out)" = "No errors found (3 lines checked)." ]; then
  ok "a log that cannot be written"
else
  not_ok "a log that cannot be written" "exit status $status"
fi
rmdir ZBCOMPILE.LOG

echo "zbcheck: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
