#!/usr/bin/env bash
# Drives marlo-cli as a user does, on temporary files, and compares its output, standard
# error, exit status and the files it writes byte for byte. What the commands compute is the
# core's (tests/core); here: the command line, the messages, the statuses, the files written,
# the data files beside the program and the document window's key rules.
# Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
set -euo pipefail

cli=${MARLO_CLI:?MARLO_CLI must name the marlo-cli program}
src=${MARLO_SOURCE_DIR:?MARLO_SOURCE_DIR must name the source tree}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failed=0 status=0

# run ARGS...: runs marlo-cli, keeping stdout, stderr and the exit status.
run() { status=0 && "$cli" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?; }
ok() { passed=$((passed + 1)) && echo "ok: $1"; }
not_ok() {
  failed=$((failed + 1))
  echo "FAILED: $1"
  shift
  [ $# -gt 0 ] && printf '  %s\n' "$@"
  echo "  --- stderr:" && sed 's/^/  /' "$work/err"
}
# check NAME COMMAND...: COMMAND succeeds.
check() { if "${@:2}"; then ok "$1"; else not_ok "$1"; fi; }
# same FILE BYTES: FILE holds exactly BYTES (printf format).
# shellcheck disable=SC2059
same() { [ -f "$1" ] && cmp -s "$1" <(printf "$2"); }

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
    if [ "$status" -ne "$want" ]; then
      not_ok "$name" "exit status $status, expected $want"
    elif [ "$want" -ne 0 ] && [ -s "$work/out" ]; then
      not_ok "$name" "stdout not empty: $(head -c 200 "$work/out")"
    elif ! grep -q -- "$pattern" "$work/$([ "$want" -eq 0 ] && echo out || echo err)"; then
      not_ok "$name" "the output does not mention \"$pattern\"" "$(head -5 "$work/out")"
    else
      ok "$name"
    fi
  done
}

# ---- keys: key names, options, the state lines, the file written, the window's key rules.
# What each key does to the text is the core's (tests/core/text).
state0=$'@selection none 0 0 0 0\n@modified 1\n@overwrite 0\n'
printf 'hello\r\nworld\r\n' >"$work/type.zba"
run keys --state "$work/type.zba" End 'type:!' Down B Shift+B 5 Space '[' Ctrl+K type:x B
expect "unbound keys type, type: types and ends a pending prefix" 0 \
  $'hello!\nworldbB5 [xb\n@caret 12 1\n'"$state0"
check "without --save the file is untouched" same "$work/type.zba" 'hello\r\nworld\r\n'

printf 'alpha\r\nbeta\r\ngamma\r\ndelta\r\n' >"$work/block.zba"
run keys --state "$work/block.zba" Ctrl+K 0 Down Right Right Ctrl+K B Down Ctrl+K Ctrl+K \
  Shift+Ctrl+3
expect "a marked block and bookmarks in number order in the state lines" 0 \
  $'alpha\nbeta\ngamma\ndelta\n@caret 2 2\n@selection stream 2 1 2 2\n@bookmark 3 2 2
@bookmark 10 0 0\n@modified 0\n@overwrite 0\n'

printf 'x = 1\r\ny = 2\r\n' >"$work/save.zba"
run keys --state --save "$work/save.zba" Ctrl+End Enter 'type:z = 3'
expect "--save prints the saved text" 0 $'x = 1\ny = 2\nz = 3\n@caret 5 2\n'"${state0/1/0}"
check "--save writes CR LF lines" same "$work/save.zba" 'x = 1\r\ny = 2\r\nz = 3'
check "--save keeps the previous file as a backup" same "$work/save.~zb" 'x = 1\r\ny = 2\r\n'

printf 'keep\r\n' >"$work/keep.zba"
printf 'long line\r\nab\r\nlong line two\r\nx\r\nl4\r\nl5\r\nl6\r\n' >"$work/rules.zba"
demo="$src/examples/demo.zba"
before=$(cksum <"$demo")
k="keys --state" r="$work/rules.zba"
table <<TABLE
an unknown key name ends with status 2|2|keys --save $work/keep.zba Down Hyper+K Up|Hyper+K
F13 is no key|2|keys $work/keep.zba F13|F13
a missing file ends with status 2|2|keys --state $work/missing.zba Down|missing.zba
a page of 0 lines is refused|2|keys --page 0 $work/keep.zba Down|page
keys without a file is refused|2|keys|FILE
no arguments prints the usage with status 2|2||usage
an unknown command ends with status 2|2|frobnicate|frobnicate
--help lists the commands|0|--help|^  keys
the bundled example loads|0|keys --state $demo Ctrl+End Enter type:rem Shift+Ctrl+1|^@bookmark 1 3 [0-9]*$
a run of Down keeps its column through a short line|0|$k $r End Down Down|^@caret 9 2$
the kept column stops at the end of a short line|0|$k $r End Down Down Up|^@caret 2 1$
past the end of lines the kept column stays|0|$k --past-eol $r End Down Down Up|^@caret 9 1$
Left at a line start stays without Left Arrow Up|0|$k $r Down Home Left|^@caret 0 1$
Left at a line start goes up with Left Arrow Up|0|$k --left-arrow-up $r Down Home Left|^@caret 9 0$
Right at a line end wraps unless past the end is allowed|0|$k $r End Right|^@caret 0 1$
Right at a line end goes on with Past EOL|0|$k --past-eol $r End Right|^@caret 10 0$
--page sets the page of PgDn and Ctrl+PgDn|0|$k --page 2 $r PgDn PgDn Ctrl+PgDn|^@caret 0 5$
Ins switches to overwrite|0|$k $r Ins|^@overwrite 1$
TABLE
check "an unknown key name leaves the file alone" same "$work/keep.zba" 'keep\r\n'
check "the bundled example stays untouched" [ "$(cksum <"$demo")" = "$before" ]

# Every command fails when its output cannot be written; an export onto a folder too.
kw="$src/data/keywords.txt"
printf 'print 1\r\n' >"$work/small.zba"
full() {
  "$cli" "$@" >/dev/full 2>"$work/err" || [ $? -eq 1 ] &&
    grep -q "cannot write to standard output: No space" "$work/err"
}
if [ -w /dev/full ]; then
  check "a full standard output fails keys" full keys "$work/small.zba" End
  check "a full standard output fails colors" full colors --keywords "$kw" "$work/small.zba"
  check "a full standard output fails preprocess" full preprocess --types --defines --globals "$demo"
  check "a full standard output fails export" full export --html --keywords "$kw" "$work/small.zba" -
  check "a full standard output fails settings" full settings
fi
mkdir "$work/folder"
table <<TABLE
an export onto a folder is refused|1|export --html --keywords $kw $work/small.zba $work/folder|Is a directory
TABLE

# ---- colors: the sample sources, the shipped keyword list beside the program, missing files.
# The colours themselves are the core's (tests/core/syntax).
samples="$src/tests/data/colors"
for source in "$samples"/*.zba; do
  run colors --keywords "$samples/keywords.txt" "$source"
  want=$(cat "${source%.zba}.colors" && echo .)
  expect "sample $(basename "$source")" 0 "${want%.}"
done
printf 'a=1:rem x\r\nsync on\r\n' >"$work/plain.zba"
run colors "$work/plain.zba"
expect "the keyword list beside the program is the default" 0 $'304022222\n6666666\n'
printf 'x\n' >"$work/kw.txt"
run colors --keywords "$work/kw.txt" "$work/plain.zba"
expect "--keywords names another list" 0 $'304022222\n3333033\n'
: >"$work/empty.zba"
run colors "$work/empty.zba"
expect "an empty file prints nothing" 0 ''
table <<TABLE
a missing keyword list is a usage error|2|colors --keywords $work/none.txt $work/plain.zba|keyword list.*none.txt.*no such file
a folder is no keyword list|2|colors --keywords $work $work/plain.zba|not a regular file
a missing source is a usage error|2|colors $work/missing.zba|missing.zba.*no such file
no source|2|colors|usage: marlo-cli colors
an unknown option|2|colors --bogus $work/plain.zba|unknown option
TABLE

# ---- preprocess: the passes chosen, what goes to stdout and stderr, the status. What each
# pass does is the core's (tests/core/preproc). The structure pass ends its lines in a blank.
printf 'TYPE vec\r\nx y\r\nENDTYPE\r\nDIMTYPE vec, b(10)\r\nb(2).y = 1\r\n' >"$work/vec.zba"
run preprocess --types "$work/vec.zba"
expect "the structure example, trailing blanks and all" 0 \
  'REM Removed by Marlo - TYPE found "TYPE vec" 
` Marlo DIMs for instance b
DIM b_x(10,1) 
DIM b_y(10,1) 
b_y(2,1) = 1 
'
# Tabs reach the passes as the document's three blanks; trailing blanks are gone at load.
printf 'GLOBAL score\nDEFINE\tsq(1), %%1*%%1   \r? sq(score)\r\n  \r\nx\n' >"$work/dg.zba"
run preprocess --defines --globals --status "$work/dg.zba"
expect "defines then globals, one output line per line, status on stderr" 0 \
  'dim score(1): rem Marlo global replacement
REM : Marlo comment - DEFINE:sq(1), %1*%1 (1) parameters.
PRINT score(1)*score(1)

x
' 'Looking for DEFINEs...
Adding sq
(declaration line replaced)REM : Marlo comment - DEFINE:sq(1), %1*%1 (1) parameters.
Replacing the defined names...
Replaced ? with PRINT at line 3.
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
the bundled example preprocesses|0|preprocess --types --defines --globals $demo|.
TABLE

# ---- settings: the listing, the paths from the user's world, the store read. Each default
# is the core's (tests/core/shell). The user's world from here on: a home with a Documents
# folder, a browser on PATH, a store of our own.
mkdir -p "$work/home/Documents" "$work/bin"
printf '#!/bin/sh\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export HOME="$work/home" PATH="$work/bin:$PATH" MARLO_REGISTRY="$work/registry.reg"
unset XDG_CONFIG_HOME
folder=$(dirname "$(readlink -f "$cli")")

run settings
cp "$work/out" "$work/defaults"
listed() {
  [ "$status" -eq 0 ] && [ "$(wc -l <"$work/defaults")" -eq 54 ] &&
    ! grep -qv '^[A-Za-z0-9 ]*=\(string\|dword\):' "$work/defaults" &&
    head -3 "$work/defaults" | cmp -s - <(printf '%s\n' "Core Path=string:$folder/zbcheck" \
      "Browser Path=string:$work/bin/xdg-open" "Source Path=string:$work/home/Documents") &&
    tail -2 "$work/defaults" | cmp -s - <(printf 'Width=dword:0\nHeight=dword:0\n')
}
check "without a store every setting shows its default, as Name=type:value" listed
check "reading makes no store" [ ! -e "$MARLO_REGISTRY" ]
# defaults [SED-EXPRESSION]: the first run's output, edited by the expression.
defaults() { sed "${1:-}" "$work/defaults"; }

rmdir "$work/home/Documents"
run settings --desktop=800x600
expect "--desktop sizes the window; without Documents the source path is the home" 0 \
  "$(defaults "s|^Source Path=.*|Source Path=string:$work/home|; s|^Width=.*|Width=dword:800|; s|^Height=.*|Height=dword:600|")
"
mkdir "$work/home/Documents"

printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zorbic]\r\n"Core Path"="C:\\\\ZB\\\\ZB.exe"\r\n"keywords style"="IB"\r\n"Comments Style"="bi"\r\n"Font Size"=dword:0000000c\r\n"Left"=dword:fffffc40\r\n"Show Gutter"=dword:00000000\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zorbic\\MRU Items]\r\n"F0"="/x.zba"\r\n' >"$MARLO_REGISTRY"
cp "$MARLO_REGISTRY" "$work/stored"
run settings
expect "stored values are shown, styles as their letters in B I U S order" 0 "$(defaults '
s|^Core Path=.*|Core Path=string:C:\\ZB\\ZB.exe|
s|^Keywords Style=.*|Keywords Style=string:BI|
s|^Comments Style=.*|Comments Style=string:|
s|^Font Size=.*|Font Size=dword:12|
s|^Left=.*|Left=dword:-960|
s|^Show Gutter=.*|Show Gutter=dword:0|')
"
check "the store is left as it was" cmp -s "$work/stored" "$MARLO_REGISTRY"

printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Font Size"="12"\n"Top"=dword:00000005\n' \
  >"$MARLO_REGISTRY"
run settings
expect "a value of the wrong type keeps its default, the rest load, status 1" 1 \
  "$(defaults 's|^Top=.*|Top=dword:5|')
" $'marlo-cli settings: Invalid data type for \'Font Size\' (its default is used)\n'

printf 'REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Top"=dword:5\nrubbish\n' >"$MARLO_REGISTRY"
cp "$MARLO_REGISTRY" "$work/stored"
run settings
expect "a store that cannot be parsed shows the defaults, status 1" 1 "$(defaults)
" "marlo-cli settings: The registry file \"$MARLO_REGISTRY\" could not be read (line 4: neither a key nor a value); the defaults apply.
"
kept() { cmp -s "$work/stored" "$MARLO_REGISTRY" && [ ! -e "$MARLO_REGISTRY.bad" ]; }
check "a store that cannot be parsed stays where it is" kept
MARLO_REGISTRY="$work" run settings
refused() { [ "$status" -eq 1 ] && [ ! -s "$work/out" ] && grep -q "$work" "$work/err"; }
check "a store that cannot be read prints nothing, status 1" refused

rm "$MARLO_REGISTRY"
table <<'TABLE'
--desktop W H gives the default width|0|settings --desktop 1920x1080|^Width=dword:1920$
settings --desktop is refused with status 2|2|settings --desktop|usage
settings --desktop 12 is refused with status 2|2|settings --desktop 12|usage
settings --desktop axb is refused with status 2|2|settings --desktop axb|usage
settings --desktop=-1x5 is refused with status 2|2|settings --desktop=-1x5|usage
settings extra is refused with status 2|2|settings extra|usage
settings --help|0|settings --help|Name=string:TEXT
--help lists settings|0|--help|^  settings
TABLE

# ---- find, functions, labels: the command line, what is printed, the statuses. What a
# search finds is the core's (tests/core/text/search_test.cpp).
printf 'for for\r\nfunction Draw(a) : x\r\nstart:\r\n  banana\r\n' >"$work/find.zba"
f="$work/find.zba"
run find "$f" for
expect "find prints each match as it is found" 0 $'0 0 3\n4 0 3\n'
run find --backward --words "$f" for
expect "find backward, whole words" 0 $'4 0 3\n0 0 3\n'
run find --replace o --all --undo --state "$f" a
expect "Replace All, then one Undo" 0 $'for for\nfunction Draw(a) : x\nstart:\n  banana\n@replaced 6\n@caret 0 0\n@selection none 0 0 0 0\n@found none\n@modified 0\n@options case=0 words=0 regex=0 prompt=0\n'
run find --replace '' --prompt nya --all "$f" a
expect "the prompt's answers" 0 $'for for\nfunction Draw() : x\nstrt:\n  bnn\n@replaced 5\n'
run find --regex --caret 0 3 --from-cursor -- "$f" 'n{an}*'
expect "a pattern from the caret, after --" 0 $'4 3 3\n'
run find "$f" zz
expect "nothing found: status 1 and the message" 1 '' $'marlo-cli find: Search string \'zz\' not found\n'
run find --regex "$f" 'a**'
expect "an invalid pattern: status 2" 2 '' $'marlo-cli find: a** is invalid mask at (3)\n'
run find --selected --from-cursor --caret 0 0 --select 0 1 4 1 "$f" a
expect "a caret outside the selection: status 2" 2 '' $'marlo-cli find: Tried to search marked block from cursor but cursor is outside block\n'
run functions "$f"
expect "functions lists the headers" 0 $'Draw(a)   [2]\n'
run labels "$f"
expect "labels lists the labels" 0 $'start:   [3]\n'
printf 'FUNCTION=FUNKTION\r\n' >"$work/lang.txt"
run functions --language "$work/lang.txt" "$f"
expect "functions takes the keyword from the language file" 0 ''
table <<TABLE
find without TEXT is refused|2|find $f|no TEXT given
find with a bad --prompt is refused|2|find --replace x --prompt yq $f a|--prompt
find --all without --replace is refused|2|find --all $f a|needs --replace
find on a missing file is refused|2|find $work/none.zba a|no such file
functions on a missing file is refused|2|functions $work/none.zba|no such file
functions with a missing language file is refused|2|functions --language $work/none.txt $f|language
labels without SOURCE is refused|2|labels|no SOURCE given
--help lists find, functions and labels|0|--help|^  labels
TABLE

# ---- build-list, build-names, core-log: the command line, the bytes printed, the statuses.
# What the build rules compute is the core's (tests/core/build).
printf 'PRINT 1\r\nREMSTART\r\nx\r\nREMEND\r\n\tIF a\r\n  rem hi\r\n' >"$work/step.zba"
run build-list "$work/step.zba"
expect "build-list prints the temporary file, CR LF after every line" 0 \
  $'PRINT 1\r\nREMSTART\r\nx\r\nREMEND\r\n   IF a\r\n  rem hi\r\n'
run build-list --step "$work/step.zba"
expect "--step takes BreakLineCommand from the language file beside the program" 0 \
  $'PRINT 1\r\nBREAK "Line 1"\r\nREMSTART\r\nx\r\nREMEND\r\n   IF a\r\nBREAK "Line 5"\r\n  rem hi\r\n'
printf 'BreakLineCommand=STOP #:#\r\n' >"$work/brk.txt"
run build-list --language "$work/brk.txt" --map --step "$work/step.zba"
expect "--map prints each temporary line's document line; a break line its line's" 0 \
  $'1\n1\n2\n3\n4\n5\n5\n6\n'
run build-list --step --language="$work/brk.txt" "$work/step.zba"
expect "every # of the command is the line's number" 0 \
  $'PRINT 1\r\nSTOP 1:1\r\nREMSTART\r\nx\r\nREMEND\r\n   IF a\r\nSTOP 5:5\r\n  rem hi\r\n'
run build-list --types "$work/vec.zba"
expect "--types alone starts no preprocessing" 0 \
  $'TYPE vec\r\nx y\r\nENDTYPE\r\nDIMTYPE vec, b(10)\r\nb(2).y = 1\r\n'
run build-list --globals --types "$work/vec.zba"
expect "structures, then globals: the lines as the passes leave them" 0 \
  $'REM Removed by Marlo - TYPE found "TYPE vec" \r\n` Marlo DIMs for instance b\r\nDIM b_x(10,1) \r\nDIM b_y(10,1) \r\nb_y(2,1) = 1 \r\n'
run build-list --map --types --globals --step "$work/vec.zba"
expect "the map leads a TYPE block to its TYPE line and a DIMTYPE's arrays to it" 0 \
  $'1\n4\n4\n4\n4\n4\n5\n5\n'
run build-list --defines --step "$work/err7.zba"
expect "a preprocessor error: its text on stderr, nothing on stdout, status 1" 1 '' "$error7"
: >"$work/empty.zba"
run build-list --step --map "$work/empty.zba"
expect "an empty source builds an empty file" 0 ''
table <<TABLE
build-list without SOURCE is refused|2|build-list --step|no SOURCE given
build-list wants SOURCE last|2|build-list $work/step.zba --step|SOURCE must be the last argument
build-list on a missing source is refused|2|build-list $work/missing.zba|missing.zba
build-list --step with a missing language file is refused|2|build-list --step --language $work/missing.txt $work/step.zba|missing.txt
build-list with an unknown option is refused|2|build-list --bogus $work/step.zba|bogus
build-list --help|0|build-list --help|BreakLineCommand
--help lists build-list|0|--help|^  build-list
TABLE

printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zorbic]\r\n"Core Path"="wine \\"/opt/z/ZB.exe\\""\r\n"Source Path"="/src//"\r\n"EXE Switch"="-b -q"\r\n' >"$MARLO_REGISTRY"
run build-names "$work/demo.zba"
expect "build-names: the names and the core's command, Core Path split as a command line" 0 \
  "temp=$work/demo.TMP
folder=$work/
log=$work/ZBCOMPILE.LOG
program=wine
arg=/opt/z/ZB.exe
arg=-c
arg=demo.TMP
"
run build-names --mode exe --untitled
expect "an untitled EXE build stops at the dialog, which proposes no name" 0 \
  $'temp=/src/MARLO.TMP\nfolder=/src/\nlog=/src/ZBCOMPILE.LOG\nexe-folder=/src/\nexe-name=\n'
pushd "$work" >/dev/null
run build-names --mode exe --core zb --exe out/x.exe notes.tmp
popd >/dev/null
expect "relative names from the current folder; .TMP appended to a .tmp source" 0 \
  "temp=$work/notes.tmp.TMP
folder=$work/
log=$work/ZBCOMPILE.LOG
exe-folder=$work/
exe-name=notes.EXE
program=zb
arg=-b
arg=-q
arg=$work/out/x.exe
arg=notes.tmp.TMP
"
run build-names --untitled --source-path '' --mode step --core "$work/step.zba"
expect "step runs the Execute Switch; an empty Source Path is the home folder" 0 \
  "temp=$HOME/MARLO.TMP
folder=$HOME/
log=$HOME/ZBCOMPILE.LOG
program=$work/step.zba
arg=-x
arg=MARLO.TMP
"
run build-names --mode final --core '  ' "$work/demo.zba"
expect "a blank Core Path when the core would start: status 1, nothing printed" 1 '' \
  $'marlo-cli build-names: no Core Path: the setting names no program to start\n'
rm "$MARLO_REGISTRY"
table <<TABLE
build-names by default checks with the stand-in core|0|build-names --source-path /s $work/a.zba|^program=$folder/zbcheck$
build-names without FILE or --untitled is refused|2|build-names --mode run|--untitled
build-names with both FILE and --untitled is refused|2|build-names --untitled $work/a.zba|exclude
build-names wants FILE last|2|build-names $work/a.zba --mode run|FILE must be the last argument
build-names with an unknown mode is refused|2|build-names --mode build $work/a.zba|--mode
build-names --help|0|build-names --help|exe-folder=
TABLE

printf 'Syntax error at line 12: missing ENDIF\r\nnext\r\n' >"$work/ZBCOMPILE.LOG"
run core-log "$work/ZBCOMPILE.LOG"
expect "core-log: the first line and its number" 0 \
  $'text=Syntax error at line 12: missing ENDIF\nline=12\n'
check "core-log leaves the log where it is" [ -f "$work/ZBCOMPILE.LOG" ]
printf '\xe9chec LINE7\n' >"$work/high.log"
run core-log "$work/high.log"
expect "bytes are printed unchanged; LINE without its blank names no line" 0 \
  $'text=\xe9chec LINE7\nline=none\n'
printf ' \t\r\nLINE 3\r\n' >"$work/blank.log"
run core-log "$work/blank.log"
expect "a blank first line shows nothing" 0 $'nothing\n'
run core-log "$work/zbcompile.log"
expect "only the name given: no other letter case" 0 $'nothing\n'
table <<TABLE
core-log on a folder fails with status 1|1|core-log $work|$work
core-log without LOGFILE is refused|2|core-log|LOGFILE
core-log --help|0|core-log --help|line=N
TABLE

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
