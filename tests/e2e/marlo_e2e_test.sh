#!/usr/bin/env bash
# The real marlo on a copy of the example, driven with X key and mouse events under a
# virtual display: a line typed at the top, saved with Ctrl+S, the about box shown and
# closed, another line saved; a find with F3, a Replace All undone and done again, an error
# found by F4 and mended, a jump from the function pop-up, saved; a 14-point font set in
# Edit Options; F1 with a stand-in browser; Ctrl+P to a PDF file; the program left through
# the File menu. Then the file, its backup, the stored recent files and the font size are
# checked.
# Screenshots go to $MARLO_ARTIFACTS.
# usage (inside xvfb-run): MARLO=... MARLO_SOURCE_DIR=... MARLO_ARTIFACTS=... marlo_e2e_test.sh
set -euo pipefail

source "$(dirname "$0")/e2e_lib.sh"

# F1 starts this stand-in browser, whose name has a blank, on a help page in a folder with
# a blank; it writes down the arguments it was given, one a line.
mkdir -p "$scratch/help pages"
echo '<html><body>help</body></html>' >"$scratch/help pages/menu.htm"
printf '#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a"; done >"%s/browser.args"\n' "$scratch" \
  >"$scratch/my browser"
chmod +x "$scratch/my browser"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n"Browser Path"="%s"\n"Help Path"="%s"\n' \
  "$scratch/my browser" "$scratch/help pages/menu.htm" >"$MARLO_REGISTRY"

cd "$scratch"
"$MARLO" demo.zba &
pid=$!

# The main window, and in it the document window's caption, the file's absolute name.
wait_for_main_window
eval "$(xdotool getwindowgeometry --shell "$win")"
shot started

# No click and no window manager: the program itself makes its window active, so the
# menu's Ctrl+S is taken at once. Ctrl+Home takes the caret to the start.
xdotool key --delay 50 ctrl+Home type --delay 30 'rem typed by e2e'
xdotool key --delay 50 Return ctrl+s sleep 0.5
shot saved
# The about box through the Help menu (Alt+H, then A); after it the short-cuts still work.
xdotool key --delay 100 alt+h sleep 0.3 key --delay 100 a sleep 0.5
shot about
xdotool key --delay 50 Return sleep 0.3 type --delay 30 'rem after the about box'
xdotool key --delay 50 Return ctrl+s sleep 0.5
# Find: Ctrl+F, the text, Enter; the caret ends the match, so what is typed lands after it.
# F3 finds nothing more and says so; Return closes the message.
xdotool key --delay 50 ctrl+f sleep 0.5 key ctrl+a type --delay 30 'after the about'
xdotool key --delay 50 Return sleep 0.5 type 'X'
xdotool key --delay 50 F3 sleep 0.5
shot not_found
xdotool key --delay 50 Return sleep 0.3
# Replace All (Alt+A in the replace dialog), taken back by one Ctrl+Z, then again.
for round in 1 2; do
  xdotool key --delay 50 ctrl+h sleep 0.5 key ctrl+a type --delay 30 'typed by'
  xdotool key --delay 50 Tab ctrl+a type --delay 30 'written by'
  xdotool key --delay 50 alt+a sleep 0.5
  [ "$round" = 1 ] && xdotool key --delay 50 ctrl+z sleep 0.3
done
# F4 with the stand-in core: a string left open on a new first line; the caret is sent to
# the end of the text, F4 saves, and the report puts the caret back on line 1, where End
# and a quote close the string. The second F4 finds nothing, so the caret stays for the X.
xdotool key --delay 50 ctrl+Home type --delay 30 'print "open'
xdotool key --delay 50 Return ctrl+End F4 sleep 1.5
shot check_error
xdotool key --delay 50 End type '"'
xdotool key --delay 50 F4 sleep 1.5
shot check_clean
xdotool type 'X'
xdotool key --delay 50 ctrl+s sleep 0.5
[ ! -e "$scratch/ZBCOMPILE.LOG" ] || fail "the core's log was not removed after its report"
[ -e "$scratch/demo.TMP" ] || fail "F4 wrote no temporary file"
# F8: the function pop-up; Down chooses the first header, Return closes the list, and the
# caret waits at the start of that line.
xdotool key --delay 50 F8 sleep 0.5
shot functions
xdotool key --delay 100 Down Return sleep 0.3 type --delay 30 'rem F8 '
xdotool key --delay 50 ctrl+s sleep 0.5
# Edit Options, the last item of the Edit menu: Set Font, 14 points in the font dialog's
# Size box, OK in both; the store holds the new size at once.
xdotool key --delay 100 alt+e sleep 0.3 key --delay 100 Up Return sleep 1
options=$(xdotool search --name '^Options$' 2>/dev/null | head -1 || true)
[ -n "$options" ] || fail "Edit Options did not open"
shot options
# No window manager: the dialog stands where it placed itself; Set Font is at (170, 90).
eval "$(xdotool getwindowgeometry --shell "$options" | sed 's/^/OPT_/')"
xdotool mousemove --sync $((OPT_X + 170)) $((OPT_Y + 90)) click 1 sleep 1
shot font-dialog
# Alt+S is the font dialog's Size box; Return in its family list (Alt+F) is OK.
xdotool key --delay 100 alt+s ctrl+a type --delay 50 '14'
xdotool key --delay 100 alt+f Return sleep 0.5
shot font-chosen
xdotool key --delay 100 Return sleep 0.5
grep -q '"Font Size"=dword:0000000e' "$MARLO_REGISTRY" || fail "the options did not store the 14-point font"
# F1: the stand-in browser gets the help page as its one argument.
xdotool key --delay 50 F1
for _ in $(seq 30); do [ -s "$scratch/browser.args" ] && break; sleep 0.1; done
[ "$(cat "$scratch/browser.args" 2>/dev/null)" = "$scratch/help pages/menu.htm" ] ||
  fail "F1 did not start the browser on the help page: $(cat "$scratch/browser.args" 2>/dev/null)"
# Ctrl+P, Return for Ok; with no printer the print goes to a PDF file, whose name the file
# dialog proposes (the document's own, .pdf): Return again.
if command -v lpstat >/dev/null && lpstat -a 2>/dev/null | grep -q .; then
  echo "e2e: a printer is installed; Ctrl+P is not tried, it would print on it"
else
  xdotool key --delay 50 ctrl+p sleep 1
  shot print-dialog
  xdotool key --delay 100 Return sleep 1
  shot pdf-name
  xdotool key --delay 100 Return
  for _ in $(seq 50); do [ -s "$scratch/demo.pdf" ] && break; sleep 0.1; done
  [ -s "$scratch/demo.pdf" ] || fail "Ctrl+P wrote no PDF"
  sleep 0.5
  cp "$scratch/demo.pdf" "$MARLO_ARTIFACTS/printed.pdf"
  if command -v pdftotext >/dev/null; then
    pdftotext -layout "$scratch/demo.pdf" "$scratch/printed.txt"
    # The layout may widen the gaps between runs of other fonts: blanks are squeezed.
    tr -s ' ' <"$scratch/printed.txt" | grep -q '^print "open"X$' ||
      fail "the printed PDF does not hold the text: $(head -3 "$scratch/printed.txt")"
  fi
  shot printed
fi
# Leave through the menu: Alt+F opens File, x is E&xit.
xdotool key --delay 100 alt+f sleep 0.3 key --delay 100 x
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then fail "marlo did not end after File Exit"; fi
wait "$pid" || fail "marlo ended with status $?"
pid=

demo=$(cat "$MARLO_SOURCE_DIR/examples/demo.zba")
header=$(grep -n '^function' "$MARLO_SOURCE_DIR/examples/demo.zba" | head -1 | cut -d: -f1)
marked=$(sed "${header}s/^/rem F8 /" "$MARLO_SOURCE_DIR/examples/demo.zba")
edited=$(printf 'rem written by e2e\r\nrem after the aboutX box\r\n%s' "$marked")
expected=$(printf 'print "open"X\r\n%s' "$edited")
second=$(printf 'print "open"X\r\nrem written by e2e\r\nrem after the aboutX box\r\n%s' "$demo")
actual=$(cat "$scratch/demo.zba")
[ "$actual" = "$expected" ] || {
  diff <(echo "$expected") <(echo "$actual") | head -20 >&2
  fail "the saved file is not the example with the typed, found, replaced, F8 and F4 edits"
}
# The backup holds the file as the save before the last left it.
[ "$(cat "$scratch/demo.~zb")" = "$second" ] || fail "no backup of the old file"
grep -q '"F0"="'"$scratch"'/demo.zba"' "$MARLO_REGISTRY" || fail "the recent files do not hold the file"
grep -q '"Width"=dword:' "$MARLO_REGISTRY" || fail "the settings were not written"
grep -q '"Font Size"=dword:0000000e' "$MARLO_REGISTRY" || fail "the font size chosen in Options was lost"
echo "e2e: typed, found, replaced, jumped, saved and closed; screenshots in $MARLO_ARTIFACTS"
