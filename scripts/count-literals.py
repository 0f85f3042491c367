#!/usr/bin/env python3
"""Counts integer literals >= 20 in the game's and the menu's code that are not named.

A literal counts unless it stands in a constexpr definition (a named constant or a named
table, however many lines its initialiser takes). Comments, strings and character literals
are skipped. With a revision argument the files are read from git at that revision.

  scripts/count-literals.py [REV] [--files]
"""
import re
import subprocess
import sys

DIRS = ["src/game", "src/menu"]


def strip(text):
    text = re.sub(r"//[^\n]*", "", text)
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    text = re.sub(r'"(\\.|[^"\\\n])*"', '""', text)
    return re.sub(r"'(\\.|[^'\\\n])*'", "''", text)


def named_spans(text):
    """Character ranges of constexpr definitions: from the keyword to the ';' closing them."""
    spans = []
    for m in re.finditer(r"\bconstexpr\b", text):
        depth, i = 0, m.end()
        while i < len(text):
            c = text[i]
            if c in "({[":
                depth += 1
            elif c in ")}]":
                depth -= 1
            elif c == ";" and depth == 0:
                break
            elif c == "{" and depth == 0:
                break
            i += 1
        # A constexpr function's body is code, not a name: only definitions with '=' or a
        # brace initialiser directly after the name count as named.
        head = text[m.end():i]
        if "(" in head.split("=")[0] and "=" not in head:
            continue
        spans.append((m.start(), i))
    return spans


def count(text):
    text = strip(text)
    spans = named_spans(text)
    n = 0
    for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", text):
        if int(m.group(1)) < 20:
            continue
        if any(a <= m.start() < b for a, b in spans):
            continue
        n += 1
    return n


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    rev = args[0] if args else None
    if rev:
        files = subprocess.check_output(["git", "ls-tree", "-r", "--name-only", rev] + DIRS,
                                        text=True).split()
    else:
        files = subprocess.check_output(["git", "ls-files"] + DIRS, text=True).split()
    total = 0
    rows = []
    for f in files:
        if not f.endswith((".cpp", ".h")):
            continue
        text = (subprocess.check_output(["git", "show", f"{rev}:{f}"], text=True) if rev
                else open(f).read())
        n = count(text)
        total += n
        rows.append((n, f))
    if "--files" in sys.argv:
        for n, f in sorted(rows, reverse=True):
            if n:
                print(f"{n:5} {f}")
    print(total)


if __name__ == "__main__":
    main()
