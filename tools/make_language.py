#!/usr/bin/env python3
"""Builds data/language.txt from tools/language.src.txt.

The shipped file is code page 1251 with CR LF line ends: for every entry the Russian line, then
the English line, and nothing after the last entry. Entries 1..132 are the original layout; the
entries after them are the extra texts in the order of the ExtraText enum in core/texts.h.

Usage: tools/make_language.py [--check]   (--check: fail when data/language.txt is stale)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE = ROOT / "tools" / "language.src.txt"
TARGET = ROOT / "data" / "language.txt"
TEXTS_HEADER = ROOT / "core" / "texts.h"
ORIGINAL_ENTRIES = 132


def extra_names():
    """The ExtraText enumerators before Count, in declaration order."""
    header = TEXTS_HEADER.read_text(encoding="utf-8")
    body = re.search(r"enum class ExtraText\s*:\s*int\s*\{(.*?)\};", header, re.S).group(1)
    names = re.findall(r"^\s*([A-Za-z]\w*)\s*,", body, re.M)
    return [n for n in names if n != "Count"]


def read_entries():
    lines = SOURCE.read_text(encoding="utf-8").split("\n")
    entries = []
    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip() or line.startswith("#"):
            i += 1
            continue
        header = re.match(r"^@ (\d+) (.+)$", line)
        if not header:
            sys.exit(f"{SOURCE.name}:{i + 1}: expected an entry header '@ <number> <target>'")
        number, target = int(header.group(1)), header.group(2).strip()
        if number != len(entries) + 1:
            sys.exit(f"{SOURCE.name}:{i + 1}: entry {number} out of order")
        if i + 2 >= len(lines):
            sys.exit(f"{SOURCE.name}:{i + 1}: entry {number} lacks its two lines")
        russian, english = (t.replace("<space>", " ") for t in lines[i + 1:i + 3])
        for text in (russian, english):
            if not text or text.startswith("@ "):
                sys.exit(f"{SOURCE.name}:{i + 1}: entry {number} lacks a text line")
        entries.append((number, target, russian, english))
        i += 3
    return entries


def check_extras(entries):
    names = extra_names()
    extras = entries[ORIGINAL_ENTRIES:]
    if len(entries) < ORIGINAL_ENTRIES or len(extras) != len(names):
        sys.exit(f"expected {ORIGINAL_ENTRIES} + {len(names)} entries, found {len(entries)}")
    for (number, target, _, _), name in zip(extras, names):
        if target != name:
            sys.exit(f"entry {number} is '{target}', core/texts.h has '{name}' there")


def build():
    entries = read_entries()
    check_extras(entries)
    out = bytearray()
    for number, _, russian, english in entries:
        for text in (russian, english):
            try:
                out += text.encode("cp1251") + b"\r\n"
            except UnicodeEncodeError as error:
                sys.exit(f"entry {number}: not in code page 1251: {error}")
    return bytes(out)


def main():
    data = build()
    if "--check" in sys.argv[1:]:
        if not TARGET.exists() or TARGET.read_bytes() != data:
            sys.exit(f"{TARGET} is out of date: run tools/make_language.py")
        return
    TARGET.write_bytes(data)
    lines = data.count(b"\r\n")
    print(f"{TARGET}: {lines} lines")


if __name__ == "__main__":
    main()
