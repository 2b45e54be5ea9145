# Shared by the marlo-cli test scripts: runs the program, keeps its output and exit
# status, and counts passed and failed checks. Source it after `set -euo pipefail`.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).

cli=${MARLO_CLI:?MARLO_CLI must name the marlo-cli program}
src=${MARLO_SOURCE_DIR:?MARLO_SOURCE_DIR must name the source tree}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0 status=0

# run ARGS...: runs marlo-cli, keeping stdout, stderr and the exit status.
run() {
  status=0
  "$cli" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
}

ok() {
  passed=$((passed + 1))
  echo "ok: $1"
}

not_ok() {
  failed=$((failed + 1))
  echo "FAILED: $1"
  shift
  [ $# -gt 0 ] && printf '  %s\n' "$@"
  echo "  --- stderr:"
  sed 's/^/  /' "$work/err"
}

# expect NAME STATUS STDOUT [STDERR]: the last run ended with STATUS and printed exactly
# STDOUT, and exactly STDERR on stderr (nothing when not given).
expect() {
  printf '%s' "$3" >"$work/expected_out"
  printf '%s' "${4:-}" >"$work/expected_err"
  if [ "$status" -eq "$2" ] && cmp -s "$work/expected_out" "$work/out" &&
    cmp -s "$work/expected_err" "$work/err"; then
    ok "$1"
  else
    not_ok "$1" "exit status $status, expected $2"
    diff -u "$work/expected_out" "$work/out" | sed 's/^/  out /' || true
    diff -u "$work/expected_err" "$work/err" | sed 's/^/  err /' || true
  fi
}

# expect_failure NAME STATUS PATTERN: the last run ended with STATUS, printed nothing on
# stdout and said something matching PATTERN on stderr.
expect_failure() {
  if [ "$status" -ne "$2" ]; then
    not_ok "$1" "exit status $status, expected $2"
  elif [ -s "$work/out" ]; then
    not_ok "$1" "stdout not empty: $(head -c 200 "$work/out")"
  elif ! grep -q -- "$3" "$work/err"; then
    not_ok "$1" "stderr does not mention \"$3\""
  else
    ok "$1"
  fi
}

# table: reads NAME|STATUS|ARGS|PATTERN lines and runs marlo-cli with each ARGS (split at
# blanks). A run must end with STATUS; with 0 its stdout matches PATTERN, otherwise it
# prints nothing on stdout and something matching PATTERN on stderr.
table() {
  local name want args pattern
  while IFS='|' read -r name want args pattern; do
    set -f
    # shellcheck disable=SC2086
    run $args
    set +f
    if [ "$want" -ne 0 ]; then
      expect_failure "$name" "$want" "$pattern"
    elif [ "$status" -eq 0 ] && grep -q -- "$pattern" "$work/out"; then
      ok "$name"
    else
      not_ok "$name" "exit status $status; stdout does not mention \"$pattern\""
    fi
  done
}

# expect_file NAME FILE BYTES: FILE holds exactly BYTES (printf format).
expect_file() {
  # shellcheck disable=SC2059
  printf "$3" >"$work/expected"
  if [ -f "$2" ] && cmp -s "$work/expected" "$2"; then
    ok "$1"
  else
    not_ok "$1" "$2 differs"
    od -c "$2" 2>/dev/null | head -10 | sed 's/^/  got /' || true
  fi
}

# finish: prints the counts; the script's status says whether all passed.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
