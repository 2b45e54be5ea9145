#!/usr/bin/env bash
# cmake --install into a scratch prefix: the programs, the desktop entry and the Zorbic
# source type land where a desktop looks for them, the entry has what a launcher needs
# (checked by desktop-file-validate too when it is there) and the type is one that
# update-mime-database accepts.
# Environment: MARLO_BUILD (the build folder).
set -u
fails=0
fail() {
  echo "install: $*" >&2
  fails=$((fails + 1))
}

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
if ! cmake --install "$MARLO_BUILD" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log" >&2
  rm -f "$prefix.log"
  echo "install: cmake --install failed" >&2
  exit 1
fi
rm -f "$prefix.log"

for file in bin/marlo bin/marlo-cli lib/marlo/marlo lib/marlo/Language.txt \
  share/applications/marlo.desktop share/mime/packages/marlo-zorbic.xml \
  share/icons/hicolor/64x64/apps/marlo.png; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done

entry="$prefix/share/applications/marlo.desktop"
# key NAME: the value of NAME in the [Desktop Entry] group.
key() { sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$1"'=//p}' "$entry"; }
[ "$(head -1 "$entry")" = "[Desktop Entry]" ] || fail "the entry does not open with its group"
[ "$(key Type)" = Application ] || fail "Type is not Application"
[ -n "$(key Name)" ] || fail "the entry has no Name"
case " $(key Exec) " in *" %F "*) ;; *) fail "Exec does not take files (%F): $(key Exec)" ;; esac
[ -x "$prefix/bin/$(key Exec | cut -d' ' -f1)" ] || fail "Exec names no installed program"
[ "$(key Icon)" = marlo ] || fail "Icon is not the installed marlo.png"
case ";$(key MimeType)" in *";text/x-zorbic;"*) ;; *) fail "MimeType lacks text/x-zorbic" ;; esac
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate refuses the entry"
else
  echo "install: desktop-file-validate is not installed; the entry's keys were checked here"
fi

if command -v update-mime-database >/dev/null; then
  mime="$prefix/share/mime"
  # It exits 0 over a file it cannot parse: anything it says is a failure. Told that the
  # prefix is where types are looked for, it has nothing else to say.
  if ! out=$(XDG_DATA_DIRS="$prefix/share" update-mime-database "$mime" 2>&1) || [ -n "$out" ]; then
    fail "update-mime-database refuses the type: $out"
  fi
  grep -qx 'text/x-zorbic:\*\.zba' "$mime/globs" || fail "*.zba is not a Zorbic source"
  grep -qx 'text/x-zorbic text/plain' "$mime/subclasses" || fail "a Zorbic source is no text"
  grep -q '<comment>Zorbic source</comment>' "$mime/text/x-zorbic.xml" ||
    fail "the type has no comment"
else
  fail "update-mime-database is missing (shared-mime-info)"
fi

[ "$fails" -eq 0 ] || exit 1
echo "install: all checks passed"
