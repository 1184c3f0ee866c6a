#!/usr/bin/python3
"""Writes a language file of the program folder from its UTF-8 source.

Usage: make_language.py <data/language-src/NNNN.ini> <program>/language/NNNN.lan

The source is an initialisation file in UTF-8: one section [KB.DIALOG], lines
"<text id>=<text>", and comment lines starting with ";". The output holds the section
and the texts only, as UTF-16LE with a byte order mark and CRLF line ends, which is what
GetPrivateProfileStringW needs for texts outside the ANSI code page. The source is
refused (exit status 1, nothing written) when a line is not "id=text", an id repeats, a
text is empty or longer than the 259 characters the program reads.
"""
import os
import sys

SECTION = "KB.DIALOG"
MAX_TEXT = 259


def parse(text, origin):
    """Returns [(id, text)] in file order; raises ValueError with the line at fault."""
    entries, seen, section = [], set(), None
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.strip()
        where = "%s:%d" % (origin, number)
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
            if section != SECTION:
                raise ValueError("%s: unexpected section [%s]" % (where, section))
            continue
        if section is None:
            raise ValueError("%s: text before the [%s] section" % (where, SECTION))
        key, sep, value = line.partition("=")
        key, value = key.strip(), value.strip()
        if not sep or not key.isdigit() or int(key) <= 0:
            raise ValueError("%s: expected <text id>=<text>" % where)
        tid = int(key)
        if tid in seen:
            raise ValueError("%s: text %d appears twice" % (where, tid))
        if not value:
            raise ValueError("%s: text %d is empty" % (where, tid))
        if len(value) > MAX_TEXT:
            raise ValueError("%s: text %d is longer than %d characters" % (where, tid, MAX_TEXT))
        seen.add(tid)
        entries.append((tid, value))
    if section is None:
        raise ValueError("%s: no [%s] section" % (origin, SECTION))
    return entries


def render(entries):
    lines = ["[%s]" % SECTION] + ["%d=%s" % e for e in entries]
    return b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le")


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    src, out = argv[1], argv[2]
    try:
        with open(src, encoding="utf-8") as f:
            entries = parse(f.read(), src)
    except (OSError, UnicodeDecodeError, ValueError) as e:
        print("make_language: %s" % e, file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    tmp = out + ".tmp"
    with open(tmp, "wb") as f:
        f.write(render(entries))
    os.replace(tmp, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
