#!/usr/bin/env python3
"""Makes Marlo's Zorbic help pages in data/help from pages.txt, the table beside this script.

    python3 data/help/source/make_help.py           writes the pages
    python3 data/help/source/make_help.py --check   only tells whether they are current

The table must document every keyword of data/keywords.txt exactly once, and every
[[keyword]] it links to must be one of them; the script refuses otherwise. The pages are
checked in, so that building Marlo needs no Python; help.css is written by hand."""
import html
import os
import re
import sys
import tempfile

SOURCE = os.path.dirname(os.path.abspath(__file__))
HELP = os.path.dirname(SOURCE)
KEYWORDS = os.path.join(os.path.dirname(HELP), "keywords.txt")
TABLE = os.path.join(SOURCE, "pages.txt")
MENU = "menu.htm"


class TableError(Exception):
    pass


def keyword_lines(path):
    """The keyword list as the editor reads it: one keyword a line, cut at CR LF, CR or LF,
    ended by a NUL, nothing trimmed."""
    text = open(path, "rb").read().split(b"\0")[0].decode("latin-1")
    lines = re.split(r"\r\n|\r|\n", text)
    return lines[:-1] if lines and lines[-1] == "" else lines


def anchor(keyword):
    """The fragment of a keyword's heading: "abs#" gives abs-float, "str$" str-str,
    "#include" hash-include, "make object box" make-object-box."""
    name = re.sub(r"^#", "hash-", keyword.lower()).replace("$", "-str").replace("#", "-float")
    return re.sub(r"[^a-z0-9]+", "-", name).strip("-")


class Entry:
    def __init__(self, keyword, page, line):
        self.keyword, self.page, self.line = keyword, page, line
        self.forms, self.text = [], []


class Page:
    def __init__(self, file, title):
        self.file, self.title = file, title
        self.intro, self.sections = [], []  # sections: [title or None, [entries]]

    def entries(self):
        return [e for _, entries in self.sections for e in entries]


def read_table(keywords):
    """The menu's intro paragraphs and the pages of the table, checked against the
    keyword list."""
    known = {k.lower(): k for k in keywords}
    menu_intro, pages, seen = [], [], {}
    entry = None
    for number, line in enumerate(open(TABLE, encoding="utf-8").read().splitlines(), 1):
        line = line.rstrip()
        where = "pages.txt:%d: " % number
        if line.startswith("--"):
            continue
        if not line:
            entry = None
        elif line.startswith("@page "):
            file, _, title = line[6:].partition(" ")
            if not re.fullmatch(r"[a-z0-9]+\.htm", file) or file == MENU or not title:
                raise TableError(where + "a page needs a file name like maths.htm and a title")
            if any(p.file == file for p in pages):
                raise TableError(where + file + " is made twice")
            pages.append(Page(file, title.strip()))
            entry = None
        elif line.startswith("@intro "):
            (pages[-1].intro if pages else menu_intro).append(line[7:].strip())
        elif line.startswith("@section ") and pages:
            pages[-1].sections.append([line[9:].strip(), []])
            entry = None
        elif line.startswith("@"):
            raise TableError(where + "unknown or misplaced directive " + line.split()[0])
        elif entry is None:
            if not pages:
                raise TableError(where + "an entry before the first @page")
            keyword = known.get(line.lower())
            if keyword is None:
                raise TableError(where + '"%s" is not in keywords.txt' % line)
            if keyword.lower() in seen:
                raise TableError(where + '"%s" was documented at line %d already'
                                 % (line, seen[keyword.lower()].line))
            page = pages[-1]
            if not page.sections:
                page.sections.append([None, []])
            entry = Entry(keyword, page, number)
            page.sections[-1][1].append(entry)
            seen[keyword.lower()] = entry
        elif line.startswith("|"):
            if entry.text:
                raise TableError(where + "a form after the description")
            entry.forms.append(line[2:])
        else:
            entry.text.append(line.strip())
    for e in seen.values():
        if not e.forms or not e.text:
            raise TableError("pages.txt:%d: %s needs a form and a description"
                             % (e.line, e.keyword))
    missing = [k for k in keywords if k.lower() not in seen]
    if missing:
        raise TableError("not documented: " + ", ".join(missing))
    anchors = {}
    for e in seen.values():
        other = anchors.setdefault(anchor(e.keyword), e.keyword)
        if other != e.keyword:
            raise TableError("%s and %s would share an anchor" % (other, e.keyword))
    return menu_intro, pages, seen


def href(entry, here):
    target = "#" + anchor(entry.keyword)
    return target if entry.page.file == here else entry.page.file + target


def inline(text, seen, here):
    """Escapes a paragraph and turns its [[keyword]] into a link and `text` into code;
    `` is a backquote of its own."""
    out = html.escape(text, quote=False)
    out = out.replace("``", "<code>&#96;</code>")
    out = re.sub(r"`([^`]+)`", r"<code>\1</code>", out)

    def link(match):
        entry = seen.get(html.unescape(match.group(1)).lower())
        if entry is None:
            raise TableError('[[%s]] names no documented keyword (in %s)'
                             % (match.group(1), here))
        return '<a href="%s"><code>%s</code></a>' % (href(entry, here),
                                                      html.escape(entry.keyword))

    return re.sub(r"\[\[(.+?)\]\]", link, out)


def section_id(title):
    return "sec-" + re.sub(r"[^a-z0-9]+", "-", title.lower()).strip("-")


def head(title):
    return ['<!DOCTYPE html>', '<html lang="en">', '<head>', '<meta charset="utf-8">',
            '<meta name="viewport" content="width=device-width, initial-scale=1">',
            '<title>%s</title>' % html.escape(title),
            '<link rel="stylesheet" href="help.css">', '</head>', '<body>']


def nav(pages, here):
    links = ['<a href="%s">Contents and index</a>' % MENU]
    for p in pages:
        name = html.escape(p.title)
        links.append('<strong>%s</strong>' % name if p.file == here
                     else '<a href="%s">%s</a>' % (p.file, name))
    return '<nav>' + " |\n".join(links) + '</nav>'


def write_page(page, pages, seen):
    out = head(page.title + " - Zorbic help") + [nav(pages, page.file)]
    out.append('<h1>%s</h1>' % html.escape(page.title))
    out += ['<p>%s</p>' % inline(p, seen, page.file) for p in page.intro]
    contents = []
    for title, entries in page.sections:
        words = ", ".join('<a href="#%s">%s</a>' % (anchor(e.keyword), html.escape(e.keyword))
                          for e in entries)
        if title:
            words = '<a href="#%s">%s</a>: %s' % (section_id(title), html.escape(title), words)
        contents.append('<li>%s</li>' % words)
    out += ['<ul class="contents">'] + contents + ['</ul>']
    for title, entries in page.sections:
        if title:
            out.append('<h2 id="%s">%s</h2>' % (section_id(title), html.escape(title)))
        for e in entries:
            out.append('<h3 id="%s">%s</h3>' % (anchor(e.keyword), html.escape(e.keyword)))
            out.append('<pre>%s</pre>' % html.escape("\n".join(e.forms), quote=False))
            out.append('<p>%s</p>' % inline(" ".join(e.text), seen, page.file))
    out += ['<footer><a href="%s">Contents and index</a></footer>' % MENU, '</body>',
            '</html>']
    return "\n".join(out) + "\n"


def index_letter(keyword):
    return keyword[0].upper() if keyword[0].isalpha() else "#"


def letter_id(letter):
    return "index-" + (letter.lower() if letter.isalpha() else "symbols")


def write_menu(intro, pages, seen):
    out = head("Zorbic help") + ['<h1>Zorbic help</h1>']
    out += ['<p>%s</p>' % inline(p, seen, MENU) for p in intro]
    out.append('<h2 id="subjects">Keywords by subject</h2>')
    out.append('<ul class="subjects">')
    for p in pages:
        sections = [t for t, _ in p.sections if t]
        out.append('<li><a href="%s">%s</a> (%d keywords)%s</li>'
                   % (p.file, html.escape(p.title), len(p.entries()),
                      ": " + html.escape(", ".join(sections)) if sections else ""))
    out.append('</ul>')
    entries = sorted(seen.values(), key=lambda e: (e.keyword.lower(), e.keyword))
    letters = []
    for e in entries:
        if not letters or letters[-1] != index_letter(e.keyword):
            letters.append(index_letter(e.keyword))
    out.append('<h2 id="index">Index A&ndash;Z</h2>')
    out.append('<p class="letters">%s</p>' % " ".join(
        '<a href="#%s">%s</a>' % (letter_id(x), x) for x in letters))
    letter = None
    for e in entries:
        if index_letter(e.keyword) != letter:
            if letter is not None:
                out.append('</ul>')
            letter = index_letter(e.keyword)
            out.append('<h2 class="letter" id="%s">%s</h2>' % (letter_id(letter), letter))
            out.append('<ul class="index">')
        out.append('<li><a href="%s">%s</a> <span class="subject">%s</span></li>'
                   % (href(e, MENU), html.escape(e.keyword), html.escape(e.page.title)))
    out += ['</ul>', '</body>', '</html>']
    return "\n".join(out) + "\n"


def pages_text():
    """Every generated page, by file name."""
    intro, pages, seen = read_table(keyword_lines(KEYWORDS))
    files = {p.file: write_page(p, pages, seen) for p in pages}
    files[MENU] = write_menu(intro, pages, seen)
    return files


def write_atomic(path, text):
    fd, temp = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".help-")
    try:
        with os.fdopen(fd, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        os.chmod(temp, 0o644)
        os.replace(temp, path)
    except BaseException:
        os.unlink(temp)
        raise


def main(args):
    if args not in ([], ["--check"]):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        files = pages_text()
    except (TableError, OSError, UnicodeDecodeError) as e:
        print("make_help: %s" % e, file=sys.stderr)
        return 2
    stale = sorted(f for f in os.listdir(HELP) if f.endswith(".htm") and f not in files)
    differ = [f for f in sorted(files) if not os.path.isfile(os.path.join(HELP, f))
              or open(os.path.join(HELP, f), encoding="utf-8", newline="").read() != files[f]]
    if args == ["--check"]:
        for f in differ:
            print("make_help: %s is not as pages.txt makes it" % f, file=sys.stderr)
        for f in stale:
            print("make_help: %s is made by nothing in pages.txt" % f, file=sys.stderr)
        return 1 if differ or stale else 0
    for f in differ:
        write_atomic(os.path.join(HELP, f), files[f])
    for f in stale:
        os.unlink(os.path.join(HELP, f))
    print("make_help: %d pages, %d written, %d removed" % (len(files), len(differ), len(stale)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
