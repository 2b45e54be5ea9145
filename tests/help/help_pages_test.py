#!/usr/bin/env python3
"""The Zorbic help pages of data/help: every keyword of keywords.txt documented exactly
once under its own heading, menu.htm's index listing each of them once and pointing at
that heading, every link and anchor of every page resolving inside the help folder, no
scripts or outside resources, the pages as make_help.py makes them from its table, and
the copy beside the programs the same as the source.
Environment: MARLO_SOURCE_DIR (the source tree), MARLO_HELP_COPY (build/bin/help)."""
import html.parser
import os
import re
import subprocess
import sys
from urllib.parse import unquote, urlsplit

SOURCE = os.environ["MARLO_SOURCE_DIR"]
HELP = os.path.join(SOURCE, "data", "help")
COPY = os.environ.get("MARLO_HELP_COPY", "")
failures = []


def check(ok, name, detail=""):
    print(("ok: " if ok else "FAILED: ") + name)
    if not ok:
        failures.append(name)
        if detail:
            print("  " + str(detail)[:2000])


def keywords():
    """The keyword list read as the editor reads it (CR, LF or CR LF; a NUL ends it)."""
    text = open(os.path.join(SOURCE, "data", "keywords.txt"), "rb").read()
    lines = re.split(r"\r\n|\r|\n", text.split(b"\0")[0].decode("latin-1"))
    return lines[:-1] if lines[-1] == "" else lines


class Page(html.parser.HTMLParser):
    """What the checks need of one page: its ids, its keyword headings, its links (and
    whether they stand in the A-Z index), and tags and attributes that fetch things."""

    def __init__(self, name):
        super().__init__(convert_charrefs=True)
        self.name, self.ids, self.headings, self.links, self.fetches = name, [], [], [], []
        self.h3 = self.a = None
        self.index_depth = 0  # >0 inside <ul class="index">
        self.ul_depth = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.append(attrs["id"])
        if tag == "script" or any(a.startswith("on") for a in attrs):
            self.fetches.append("<%s> runs a script" % tag)
        if "src" in attrs:
            self.fetches.append("<%s src=%s>" % (tag, attrs["src"]))
        if tag == "ul":
            self.ul_depth += 1
            if attrs.get("class") == "index":
                self.index_depth = self.ul_depth
        elif tag == "h3":
            self.h3 = [attrs.get("id"), ""]
        elif tag in ("a", "link") and "href" in attrs:
            self.a = [attrs["href"], "", self.index_depth > 0]
            self.links.append(self.a)
            if tag == "link":
                self.a = None

    def handle_endtag(self, tag):
        if tag == "ul":
            if self.ul_depth == self.index_depth:
                self.index_depth = 0
            self.ul_depth -= 1
        elif tag == "h3" and self.h3:
            self.headings.append((self.h3[0], self.h3[1].strip()))
            self.h3 = None
        elif tag == "a":
            self.a = None

    def handle_data(self, data):
        for part in (self.h3, self.a):
            if part is not None:
                part[1] += data


def read_pages():
    pages = {}
    for name in sorted(os.listdir(HELP)):
        if name.endswith(".htm"):
            page = Page(name)
            page.feed(open(os.path.join(HELP, name), encoding="utf-8").read())
            page.close()
            pages[name] = page
    return pages


def resolve(page, href):
    """The page and fragment a link leads to, or the reason it leads nowhere."""
    parts = urlsplit(href)
    if parts.scheme or parts.netloc or href.startswith("/"):
        return None, "not a relative link"
    target = os.path.normpath(os.path.join(os.path.dirname(page), unquote(parts.path)))
    if target.startswith(".."):
        return None, "leads out of the help folder"
    return (target if parts.path else page), unquote(parts.fragment)


def main():
    kws = keywords()
    run = subprocess.run([sys.executable, os.path.join(HELP, "source", "make_help.py"),
                          "--check"], capture_output=True, text=True)
    check(run.returncode == 0, "the pages are as make_help.py makes them from pages.txt",
          run.stderr)

    pages = read_pages()
    documented = {}  # keyword, lower case -> [(page, id)]
    dup, fetches = [], []
    for name, page in pages.items():
        dup += ["%s: %s" % (name, i) for i in sorted({i for i in page.ids
                                                      if page.ids.count(i) > 1})]
        fetches += ["%s: %s" % (name, f) for f in page.fetches]
        for anchor, text in page.headings:
            documented.setdefault(text.lower(), []).append((name, anchor))
    check(not dup, "no page uses an id twice", dup)
    check(not fetches, "no scripts and nothing fetched", fetches)
    known = {k.lower() for k in kws}
    missing = [k for k in kws if k.lower() not in documented]
    twice = sorted(k for k, places in documented.items() if len(places) > 1)
    extra = sorted(k for k in documented if k not in known)
    no_id = sorted(k for k, places in documented.items() if any(not i for _, i in places))
    check(not missing, "every keyword of keywords.txt has a heading", missing)
    check(not twice, "no keyword is documented twice", twice)
    check(not extra, "every keyword heading is a keyword of keywords.txt", extra)
    check(not no_id, "every keyword heading has an anchor", no_id)
    check("menu.htm" in pages and not pages["menu.htm"].headings,
          "menu.htm only links to the keywords' headings")

    broken = []
    for name, page in pages.items():
        for href, _, _ in page.links:
            target, fragment = resolve(name, href)
            if target is None:
                broken.append("%s: %s %s" % (name, href, fragment))
            elif not os.path.isfile(os.path.join(HELP, target)):
                broken.append("%s: %s names no file" % (name, href))
            elif fragment and (target not in pages or fragment not in pages[target].ids):
                broken.append("%s: %s names no anchor" % (name, href))
    check(not broken, "every link and anchor resolves", sorted(set(broken)))

    menu = pages.get("menu.htm")
    if menu:
        listed, wrong = {}, []
        for href, text, in_index in menu.links:
            if in_index:
                listed[text.strip().lower()] = listed.get(text.strip().lower(), 0) + 1
                target, fragment = resolve("menu.htm", href)
                if (target, fragment) not in documented.get(text.strip().lower(), []):
                    wrong.append("%s -> %s" % (text, href))
        check([k for k in kws if listed.get(k.lower()) != 1] == [],
              "menu.htm's index lists every keyword once",
              [k for k in kws if listed.get(k.lower()) != 1])
        check(not wrong, "every index entry leads to its keyword's heading", wrong)
        linked = {resolve("menu.htm", h)[0] for h, _, _ in menu.links}
        check(set(pages) - {"menu.htm"} <= linked, "menu.htm links every page",
              sorted(set(pages) - {"menu.htm"} - linked))

    if COPY:
        shipped = sorted(f for f in os.listdir(HELP) if os.path.isfile(os.path.join(HELP, f)))
        stale = [f for f in shipped if not os.path.isfile(os.path.join(COPY, f)) or
                 open(os.path.join(COPY, f), "rb").read() !=
                 open(os.path.join(HELP, f), "rb").read()]
        check(not stale, "the build's help folder holds every page as it is", stale)
        check(not os.path.exists(os.path.join(COPY, "source")),
              "the pages' source table stays out of the build's help folder")

    print("%d keywords, %d pages" % (len(kws), len(pages)))
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
