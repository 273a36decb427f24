#!/usr/bin/env python3
"""Fills translations/morvane_en.ts from a table of Russian source -> English text.

Usage: scripts/fill-translations.py TABLE.py  (a Python file defining EN = {source: text})
Only messages whose translation is empty or unfinished are filled; the rest are kept.
Prints the sources the table does not cover."""
import re
import runpy
import sys
from pathlib import Path
from xml.sax.saxutils import escape

ts = Path(__file__).resolve().parent.parent / "translations" / "morvane_en.ts"
table = runpy.run_path(sys.argv[1])["EN"]
text = ts.read_text(encoding="utf-8")


def unescape(s):
    return (s.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", '"')
             .replace("&apos;", "'").replace("&amp;", "&"))


def fill(match):
    source = unescape(match.group(1))
    if source not in table:
        print("no English for:", repr(source))
        return match.group(0)
    english = escape(table[source], {'"': "&quot;", "'": "&apos;"})
    head = match.group(0)[: match.start(2) - match.start(0)]
    indent = re.match(r"\s*", match.group(2)).group(0)
    return head + indent + "<translation>" + english + "</translation>"


pattern = re.compile(r"<source>([^<]*)</source>(\s*<translation(?: type=\"unfinished\")?>\s*</translation>)",
                     re.S)
ts.write_text(pattern.sub(fill, text), encoding="utf-8")
