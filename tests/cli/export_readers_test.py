#!/usr/bin/env python3
"""Runs `marlo-cli export` as a user does and hands its output to real readers: the RTF
to unrtf, the HTML to Python's HTML parser. Each must give back the source text with its
line breaks. Also compares the command's output with the hand-written expected files and
checks its failures.

Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree).
"""
import html.parser
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

CLI = os.environ["MARLO_CLI"]
DATA = os.path.join(os.environ["MARLO_SOURCE_DIR"], "tests", "data", "export")
KEYWORDS = os.path.join(DATA, "keywords.txt")
failures = []


def check(ok, name, detail=""):
    print(("ok: " if ok else "FAILED: ") + name)
    if not ok:
        failures.append(name)
        if detail:
            print("  " + detail.replace("\n", "\n  "))


def source_lines(path):
    """The lines of a source as the editor holds them: trailing blanks dropped, no empty
    line after a final line break."""
    text = open(path, "rb").read().decode("latin-1")
    lines = text.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [line.rstrip(" \t") for line in lines]


def run(*args):
    return subprocess.run([CLI, *args], capture_output=True)


class PageText(html.parser.HTMLParser):
    """The text a browser shows, with BR as a line break, and whether tags pair up."""

    PAIRED = {"html", "head", "title", "body", "font", "b", "i", "u", "s"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.text = []
        self.title = False
        self.open = []
        self.errors = []

    def handle_starttag(self, tag, attrs):
        if tag == "br":
            self.text.append("\n")
        elif tag in self.PAIRED:
            self.open.append(tag)
            self.title = self.title or tag == "title"
        else:
            self.errors.append("unexpected tag <%s>" % tag)

    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            self.errors.append("</%s> closes %s" % (tag, self.open[-1:] or "nothing"))
        else:
            self.open.pop()
            self.title = self.title and tag != "title"

    def handle_data(self, data):
        if self.title:
            return
        # Line breaks in the markup are not text; &nbsp; is a space of the source.
        self.text.append(data.replace("\r\n", "").replace("\xa0", " "))


def html_text(page):
    p = PageText()
    p.feed(page.decode("latin-1"))
    p.close()
    if p.open:
        p.errors.append("left open: %s" % p.open)
    return "".join(p.text), p.errors


def collapse_spaces(text):
    """unrtf writes a run of spaces as one, as word processors' text filters do."""
    return re.sub(" +", " ", text)


def rtf_text(path):
    out = subprocess.run(["unrtf", "--text", path], capture_output=True, check=True).stdout
    text = out.decode("latin-1")
    marker = "-----------------\n"
    return text[text.index(marker) + len(marker):] if marker in text else text


def generated_source(path):
    rnd = random.Random(7)
    words = ["print", "if", "then", "endif", "x", "score#", "name$", "42", "3.25", "=", "<",
             ">", "&", "(", ")", ",", ":", '"a < b"', '"{x}"', "\\", "{", "}", "rem note",
             "` back {quote}", "a&b", '""']
    lines = []
    for _ in range(60):
        n = rnd.randrange(0, 8)
        line = " " * rnd.choice([0, 0, 3, 6]) + " ".join(rnd.choice(words) for _ in range(n))
        lines.append(line.rstrip())
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("latin-1"))


def main():
    if shutil.which("unrtf") is None:
        print("FAILED: unrtf is not installed (scripts/bootstrap installs it)")
        return 1
    work = tempfile.mkdtemp()
    try:
        generated = os.path.join(work, "generated.zba")
        generated_source(generated)
        sources = [os.path.join(DATA, n) for n in ("sample.zba", "braces.zba", "empty.zba")]
        sources.append(generated)
        for src in sources:
            name = os.path.basename(src)
            expected = "\n".join(source_lines(src))
            for syntax in ([], ["--no-syntax"]):
                label = name + (" without highlighting" if syntax else "")
                rtf = os.path.join(work, "out.rtf")
                r = run("export", "--rtf", "--keywords", KEYWORDS, *syntax, src, rtf)
                check(r.returncode == 0 and r.stdout == b"", "rtf export of " + label,
                      r.stderr.decode("latin-1"))
                got = rtf_text(rtf)
                check(got == collapse_spaces(expected), "unrtf reads the source text of " + label,
                      "expected %r\ngot      %r" % (expected, got))

                r = run("export", "--html", "--keywords", KEYWORDS, *syntax, src, "-")
                check(r.returncode == 0, "html export of " + label, r.stderr.decode("latin-1"))
                got, errors = html_text(r.stdout)
                check(not errors, "html tags of %s pair up" % label, "\n".join(errors))
                check(got == expected, "the HTML parser reads the source text of " + label,
                      "expected %r\ngot      %r" % (expected, got))

        # The hand-written files use the styles a document window starts with. Stored
        # settings that match them (italic strings, plain numbers) give those files; the
        # program's default settings (plain strings, bold numbers) do not.
        registry = os.path.join(work, "registry.reg")
        with open(registry, "w") as f:
            f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n'
                    '"Strings Style"="I"\n"Numbers Style"=""\n')
        os.environ["MARLO_REGISTRY"] = registry
        r = run("export", "--html", "--defaults", "--keywords", KEYWORDS,
                os.path.join(DATA, "sample.zba"), "-")
        check(r.returncode == 0 and r.stdout != open(os.path.join(DATA, "sample.htm"), "rb").read()
              and b"<B>" in r.stdout, "--defaults ignores the stored settings")

        # The command writes what the hand-written files say, to a file and to stdout.
        for src, fmt, syntax, want in (("sample.zba", "--html", [], "sample.htm"),
                                       ("sample.zba", "--rtf", [], "sample.rtf"),
                                       ("sample.zba", "--rtf", ["--no-syntax"], "sample.plain.rtf"),
                                       ("braces.zba", "--html", [], "braces.htm")):
            expected = open(os.path.join(DATA, want), "rb").read()
            out = os.path.join(work, want)
            r = run("export", fmt, "--keywords", KEYWORDS, *syntax, os.path.join(DATA, src), out)
            check(r.returncode == 0 and open(out, "rb").read() == expected, "file " + want)
            r = run("export", fmt, "--keywords", KEYWORDS, *syntax, os.path.join(DATA, src), "-")
            check(r.returncode == 0 and r.stdout == expected, "stdout " + want)

        # An existing file is replaced; a file that cannot be written is reported by name
        # and leaves nothing behind.
        target = os.path.join(work, "listing.HTML")
        open(target, "wb").write(b"old")
        r = run("export", "--html", "--keywords", KEYWORDS, os.path.join(DATA, "sample.zba"),
                target)
        check(r.returncode == 0 and open(target, "rb").read() ==
              open(os.path.join(DATA, "sample.htm"), "rb").read(), "an existing file is replaced")
        missing = os.path.join(work, "no", "such.rtf")
        r = run("export", "--rtf", "--keywords", KEYWORDS, os.path.join(DATA, "sample.zba"),
                missing)
        check(r.returncode == 1 and missing.encode() in r.stderr and r.stdout == b"",
              "an unwritable output is reported", r.stderr.decode("latin-1"))
        r = run("export", "--keywords", KEYWORDS, os.path.join(DATA, "sample.zba"), "-")
        check(r.returncode == 2 and b"--html or --rtf" in r.stderr, "a format is needed")
        r = run("export", "--rtf", "--keywords", KEYWORDS, os.path.join(work, "none.zba"), "-")
        check(r.returncode == 2 and r.stdout == b"", "a missing source is refused")
    finally:
        shutil.rmtree(work)
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
