#!/usr/bin/env python3
"""Runs `marlo-cli export` and hands its output to real readers (unrtf, Python's HTML
parser): each must give back the source text with its line breaks. Also the hand-written
files (their bytes are the core's, tests/core/export) to a file and to stdout, and failures.
Environment: MARLO_CLI (the program), MARLO_SOURCE_DIR (the source tree)."""
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
SAMPLE = os.path.join(DATA, "sample.zba")
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
    return [line.rstrip(" \t") for line in lines[:-1 if lines[-1] == "" else None]]


def read(path):
    return open(path, "rb").read()


def export(*args):
    return subprocess.run([CLI, "export", "--keywords", KEYWORDS, *args], capture_output=True)


class PageText(html.parser.HTMLParser):
    """The text a browser shows, with BR as a line break, and whether tags pair up."""

    PAIRED = {"html", "head", "title", "body", "font", "b", "i", "u", "s"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.text, self.open, self.errors, self.title = [], [], [], False

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
        # Line breaks in the markup are not text; &nbsp; is a space of the source.
        if not self.title:
            self.text.append(data.replace("\r\n", "").replace("\xa0", " "))


def html_text(page):
    p = PageText()
    p.feed(page.decode("latin-1"))
    p.close()
    return "".join(p.text), p.errors + (["left open: %s" % p.open] if p.open else [])


def rtf_text(path):
    text = subprocess.run(["unrtf", "--text", path], capture_output=True,
                          check=True).stdout.decode("latin-1")
    marker = "-----------------\n"
    return text[text.index(marker) + len(marker):] if marker in text else text


def generated_source(path):
    rnd = random.Random(7)
    words = ["print", "if", "then", "endif", "x", "score#", "name$", "42", "3.25", "=", "<",
             ">", "&", "(", ")", ",", ":", '"a < b"', '"{x}"', "\\", "{", "}", "rem note",
             "` back {quote}", "a&b", '""']
    lines = [(" " * rnd.choice([0, 0, 3, 6]) +
              " ".join(rnd.choice(words) for _ in range(rnd.randrange(0, 8)))).rstrip()
             for _ in range(60)]
    open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("latin-1"))


def main():
    if shutil.which("unrtf") is None:
        print("FAILED: unrtf is not installed (scripts/bootstrap installs it)")
        return 1
    work = tempfile.mkdtemp()
    try:
        generated = os.path.join(work, "generated.zba")
        generated_source(generated)
        rtf = os.path.join(work, "out.rtf")
        for src in [SAMPLE, os.path.join(DATA, "braces.zba"), os.path.join(DATA, "empty.zba"),
                    generated]:
            expected = "\n".join(source_lines(src))
            for syntax in ([], ["--no-syntax"]):
                label = os.path.basename(src) + (" without highlighting" if syntax else "")
                r = export("--rtf", *syntax, src, rtf)
                check(r.returncode == 0 and r.stdout == b"", "rtf export of " + label,
                      r.stderr.decode("latin-1"))
                # unrtf writes a run of spaces as one, as word processors' text filters do.
                got = rtf_text(rtf)
                check(got == re.sub(" +", " ", expected), "unrtf reads the source text of " + label,
                      "expected %r\ngot      %r" % (expected, got))
                r = export("--html", *syntax, src, "-")
                got, errors = html_text(r.stdout)
                check(r.returncode == 0 and not errors, "html export of %s, tags paired" % label,
                      "\n".join(errors) + r.stderr.decode("latin-1"))
                check(got == expected, "the HTML parser reads the source text of " + label,
                      "expected %r\ngot      %r" % (expected, got))

        # The hand-written files use the styles a document window starts with. Stored
        # settings that match them (italic strings, plain numbers) give those files; the
        # program's default settings (plain strings, bold numbers) do not.
        os.environ["MARLO_REGISTRY"] = registry = os.path.join(work, "registry.reg")
        open(registry, "w").write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Zorbic]\n'
                    '"Strings Style"="I"\n"Numbers Style"=""\n')
        # The command writes what those files say, to a file (an existing one is replaced)
        # and to stdout.
        for src, fmt, syntax, want, to in (("sample.zba", "--html", [], "sample.htm", "old"),
                                           ("sample.zba", "--rtf", [], "sample.rtf", "new"),
                                           ("sample.zba", "--rtf", ["--no-syntax"],
                                            "sample.plain.rtf", "-"),
                                           ("braces.zba", "--html", [], "braces.htm", "-")):
            expected = read(os.path.join(DATA, want))
            out = os.path.join(work, want.upper() if to == "old" else want)
            if to == "old":
                open(out, "wb").write(b"old")
            r = export(fmt, *syntax, os.path.join(DATA, src), "-" if to == "-" else out)
            got = r.stdout if to == "-" else read(out)
            check(r.returncode == 0 and got == expected,
                  want + {"old": " replaces a file", "new": " to a file", "-": " to stdout"}[to])

        r = export("--html", "--defaults", SAMPLE, "-")
        check(r.returncode == 0 and r.stdout != read(os.path.join(DATA, "sample.htm"))
              and b"<B>" in r.stdout, "--defaults ignores the stored settings")

        missing = os.path.join(work, "no", "such.rtf")
        r = export("--rtf", SAMPLE, missing)
        check(r.returncode == 1 and missing.encode() in r.stderr and r.stdout == b"",
              "an unwritable output is reported by name", r.stderr.decode("latin-1"))
        check(not os.path.exists(os.path.dirname(missing)), "an unwritable output leaves nothing")
        r = export(SAMPLE, "-")
        check(r.returncode == 2 and b"--html or --rtf" in r.stderr, "a format is needed")
        r = export("--rtf", os.path.join(work, "none.zba"), "-")
        check(r.returncode == 2 and r.stdout == b"", "a missing source is refused")
    finally:
        shutil.rmtree(work)
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
