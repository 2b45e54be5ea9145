#!/usr/bin/env bash
# Drives `marlo-cli preprocess` as a user does, on temporary files, and compares its output,
# its standard error and its exit status byte for byte.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"

# expect NAME STATUS STDOUT STDERR: the last run ended with STATUS and printed exactly these.
expect() {
  printf '%s' "$3" >"$work/expected_out"
  printf '%s' "$4" >"$work/expected_err"
  if [ "$status" -eq "$2" ] && cmp -s "$work/expected_out" "$work/out" &&
    cmp -s "$work/expected_err" "$work/err"; then
    ok "$1"
  else
    not_ok "$1" "exit status $status, expected $2"
    diff -u "$work/expected_out" "$work/out" | sed 's/^/  out /' || true
    diff -u "$work/expected_err" "$work/err" | sed 's/^/  err /' || true
  fi
}

# expect_usage NAME PATTERN: the last run ended with status 2, printed nothing on stdout and
# said something matching PATTERN on stderr.
expect_usage() {
  if [ "$status" -eq 2 ] && [ ! -s "$work/out" ] && grep -q -- "$2" "$work/err"; then
    ok "$1"
  else
    not_ok "$1" "exit status $status"
  fi
}

# ---- Structures, as a document loads the file ---------------------------------------------
printf 'TYPE vec\r\nx y\r\npos(3)\r\nENDTYPE\r\nDIMTYPE vec, a, b(10)\r\nb(2).pos(1) = a.y\r\n' \
  >"$work/vec.zba"
# The structure pass leaves a blank at the end of the lines it writes.
vec_out='REM Removed by Marlo - TYPE found "TYPE vec" 
` Marlo DIMs for instance a
DIM a_x(1,1) 
DIM a_y(1,1) 
DIM a_pos(1,3) 
` Marlo DIMs for instance b
DIM b_x(10,1) 
DIM b_y(10,1) 
DIM b_pos(10,3) 
b_pos(2,1) = a_y(1,1) 
'
run preprocess --types "$work/vec.zba"
expect "the structure example, trailing blanks and all" 0 "$vec_out" ''

run preprocess --globals --types --defines "$work/vec.zba"
nl=$'\n'
expect "the later passes trim what the structure pass leaves" 0 "${vec_out// $nl/$nl}" ''

# ---- Defines and globals, with the status lines ---------------------------------------------
# Tabs reach the passes as the document's three blanks; trailing blanks are gone at load.
printf 'GLOBAL score\nDEFINE\tsq(1), %%1*%%1   \r? sq(score)\r\n\r\n  \r\nIF a = TRUE THEN ? "sq(score)"\n' \
  >"$work/dg.zba"
run preprocess --defines --globals --status "$work/dg.zba"
expect "defines then globals, one output line per line, status on stderr" 0 \
'dim score(1): rem Marlo global replacement
REM : Marlo comment - DEFINE:sq(1), %1*%1 (1) parameters.
PRINT score(1)*score(1)


IF a = (1) THEN PRINT "sq(score)"
' 'Looking for DEFINEs...
Adding sq
(declaration line replaced)REM : Marlo comment - DEFINE:sq(1), %1*%1 (1) parameters.
Replacing the defined names...
Replaced ? with PRINT at line 3.
Replaced TRUE with (1) at line 6.
Replaced ? with PRINT at line 6.
Done.
Looking for GLOBALs...
Adding score
dim score(1): rem Marlo global replacement (declaration line replaced)
Replacing the global names...
Replaced score with score(1) at line 3.
Replaced score with score(1) at line 3.
Done.
'

run preprocess --globals "$work/dg.zba"
expect "without the define pass DEFINE lines stay" 0 \
'dim score(1): rem Marlo global replacement
DEFINE   sq(1), %1*%1
? sq(score(1))


IF a = TRUE THEN ? "sq(score)"
' ''

printf 'PRINT 1\r\n   \r\n' >"$work/plain.zba"
run preprocess --types --status "$work/plain.zba"
expect "the structure pass alone without types writes nothing" 0 '' \
'Looking for TYPE structures...
None found.
'
run preprocess --types --globals "$work/plain.zba"
expect "no types and no globals give the document's lines" 0 'PRINT 1

' ''

# ---- Errors ---------------------------------------------------------------------------------
printf 'a\nb\nc\nd\ne\nf\nx = sq\nDEFINE sq(1), %%1\n' >"$work/err7.zba"
run preprocess --defines --globals "$work/err7.zba"
expect "an error prints the dialog's error text and nothing on stdout" 1 '' \
' #: 7. Parameters in parentheses are expected after sq.
'
run preprocess --defines --status "$work/err7.zba"
expect "with --status the status lines come first" 1 '' \
'Looking for DEFINEs...
Adding sq
(declaration line replaced)REM : Marlo comment - DEFINE:sq(1), %1 (1) parameters.
Replacing the defined names...
Stopped at an error (see below).
 #: 7. Parameters in parentheses are expected after sq.
'
printf 'TYPE t\nf\nENDTYPE\nDIMTYPE t, i\nGLOBAL j, J\n' >"$work/err5.zba"
run preprocess --types --globals "$work/err5.zba"
expect "after structures, errors count the structure pass's lines" 1 '' \
' #: 4. This name is already declared: J
'
printf 'TYPE t\nf\n' >"$work/open.zba"
run preprocess --types --defines "$work/open.zba"
expect "an unclosed TYPE names the line after the last" 1 '' \
' #: 3. The TYPE block is not closed: ENDTYPE is missing.
'

# ---- The language file ------------------------------------------------------------------------
printf 'preGlobalTrue=WAHR\r\nPreErrorDefExpected=Text fehlt.\r\n' >"$work/de.txt"
printf 'x = wahr\r\nx = TRUE\r\n' >"$work/de.zba"
run preprocess --defines --language "$work/de.txt" "$work/de.zba"
expect "--language names the texts, the truth values included" 0 'x = (1)
x = TRUE
' ''
printf 'DEFINE x,\r\n' >"$work/de2.zba"
run preprocess --defines --language="$work/de.txt" "$work/de2.zba"
expect "--language= gives the error texts" 1 '' ' #: 1. Text fehlt.
'

# ---- Usage ------------------------------------------------------------------------------------
run preprocess "$work/plain.zba"
expect_usage "no pass named is a usage error" "--types"
run preprocess --defines
expect_usage "no SOURCE is a usage error" "SOURCE"
run preprocess --defines --bogus "$work/plain.zba"
expect_usage "an unknown option is a usage error" "bogus"
run preprocess --defines "$work/missing.zba"
expect_usage "a missing source is refused" "missing.zba"
run preprocess --defines --language "$work/missing.txt" "$work/plain.zba"
expect_usage "a missing language file is refused" "missing.txt"
run preprocess --help
if [ "$status" -eq 0 ] && grep -q -- "--globals" "$work/out"; then ok "--help"; else
  not_ok "--help" "exit status $status"
fi

# ---- The bundled example ----------------------------------------------------------------------
run preprocess --types --defines --globals "$src/examples/demo.zba"
if [ "$status" -eq 0 ]; then ok "the bundled example preprocesses"; else
  not_ok "the bundled example preprocesses" "exit status $status"
fi

finish
