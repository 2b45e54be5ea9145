#!/usr/bin/env bash
# Drives `marlo-cli preprocess` as a user does, on temporary files, and compares its output,
# its standard error and its exit status byte for byte. What each pass does is the core's
# (tests/core/preproc); here: the passes chosen, what goes to stdout and stderr, the status.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

source "$(dirname "$0")/cli_test_lib.sh"

printf 'TYPE vec\r\nx y\r\npos(3)\r\nENDTYPE\r\nDIMTYPE vec, a, b(10)\r\nb(2).pos(1) = a.y\r\n' \
  >"$work/vec.zba"
run preprocess --types "$work/vec.zba"
# The structure pass leaves a blank at the end of the lines it writes.
expect "the structure example, trailing blanks and all" 0 \
  'REM Removed by Marlo - TYPE found "TYPE vec" 
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
printf 'PRINT 1\r\n   \r\n' >"$work/plain.zba"
run preprocess --types --status "$work/plain.zba"
expect "the structure pass alone without types writes nothing" 0 '' \
  $'Looking for TYPE structures...\nNone found.\n'
run preprocess --types --globals "$work/plain.zba"
expect "no types and no globals give the document's lines" 0 $'PRINT 1\n\n' ''

printf 'a\nb\nc\nd\ne\nf\nx = sq\nDEFINE sq(1), %%1\n' >"$work/err7.zba"
error7=$' #: 7. Parameters in parentheses are expected after sq.\n'
run preprocess --defines --globals "$work/err7.zba"
expect "an error prints the dialog's error text and nothing on stdout" 1 '' "$error7"
run preprocess --defines --status "$work/err7.zba"
expect "with --status the status lines come first" 1 '' 'Looking for DEFINEs...
Adding sq
(declaration line replaced)REM : Marlo comment - DEFINE:sq(1), %1 (1) parameters.
Replacing the defined names...
Stopped at an error (see below).
'"$error7"

printf 'preGlobalTrue=WAHR\r\nPreErrorDefExpected=Text fehlt.\r\n' >"$work/de.txt"
printf 'x = wahr\r\nx = TRUE\r\n' >"$work/de.zba"
run preprocess --defines --language "$work/de.txt" "$work/de.zba"
expect "--language names the texts, the truth values included" 0 $'x = (1)\nx = TRUE\n'
printf 'DEFINE x,\r\n' >"$work/de2.zba"
run preprocess --defines --language="$work/de.txt" "$work/de2.zba"
expect "--language= gives the error texts" 1 '' $' #: 1. Text fehlt.\n'

table <<TABLE
no pass named is a usage error|2|preprocess $work/plain.zba|--types
no SOURCE is a usage error|2|preprocess --defines|SOURCE
an unknown option is a usage error|2|preprocess --defines --bogus $work/plain.zba|bogus
a missing source is refused|2|preprocess --defines $work/missing.zba|missing.zba
a missing language file is refused|2|preprocess --defines --language $work/missing.txt $work/plain.zba|missing.txt
--help|0|preprocess --help|--globals
the bundled example preprocesses|0|preprocess --types --defines --globals $src/examples/demo.zba|.
TABLE

finish
