#!/usr/bin/env python3
"""Counts our own names in src/ that break the naming convention.

Types, functions and enumerators PascalCase; variables, members and parameters snake_case
(a private member may end in "_"); constants kPascalCase (constexpr anywhere, const at
namespace scope); files snake_case. The names the program's documented interfaces fix keep
their spelling (KEPT). Needs Universal Ctags.

  scripts/naming-survey.py [--list]
"""
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Fixed by the documented interfaces: the registry's and text's calls, the sprite engine's
# records, and a sprite's z.
KEPT = {"create_txt", "load_location_map", "unload_by_tag", "my_big_texture", "my_bmptexture",
        "my_frame", "my_prototype", "my_sprite_opis", "my_tag_list", "my_texture",
        "my_texture_group", "part_group", "z"}

PASCAL = re.compile(r"^[A-Z][A-Za-z0-9]*$")
SNAKE = re.compile(r"^[a-z][a-z0-9]*(_[a-z0-9]+)*_?$")
CONSTANT = re.compile(r"^k[A-Z][A-Za-z0-9]*$")
FILE = re.compile(r"^[a-z0-9]+(_[a-z0-9]+)*\.(h|cpp)$")

# Names the language or a mirrored interface fixes: main, and accessors named like the standard
# library's (a field's at(), a writer's str(), a handle's get()...).
FIXED = {"main", "at", "empty", "get", "str", "count", "ok", "size", "data", "begin", "end"}
# Scopes whose constants stand for an enumeration and are written like enumerators.
ENUM_LIKE_SCOPES = {"qv::platform::VirtualKey"}

TYPE_KINDS = {"class", "struct", "union", "enum", "typedef", "alias"}
FUNCTION_KINDS = {"function", "prototype"}
VARIABLE_KINDS = {"variable", "local", "externvar"}


def tags():
    out = subprocess.run(
        ["ctags", "--output-format=json", "--kinds-c++=+lpzeA", "--fields=+nKZSp",
         "--extras=-q", "--languages=C++", "--langmap=C++:+.h", "-R", "-f", "-", "src"],
        cwd=ROOT, check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        t = json.loads(line)
        if t.get("_type") == "tag":
            yield t


def is_constant(t):
    pattern = t.get("pattern", "")
    if re.search(r"\bconstexpr\b", pattern):
        return True
    # A const at namespace scope is a constant; a const local or member is a value.
    return t["kind"] in ("variable", "externvar") and re.search(r"^/\^\s*(static\s+|inline\s+)*const\b", pattern)


def expected(t):
    """The rule a tag's name must keep, or None when no rule applies."""
    kind, name = t["kind"], t["name"]
    if name.startswith(("operator", "~", "__anon")) or "::" in name or name in FIXED:
        return None
    if t.get("scope") in ENUM_LIKE_SCOPES:
        return ("enumerator", PASCAL)
    if kind in TYPE_KINDS:
        return ("type", PASCAL)
    if kind in FUNCTION_KINDS:
        return ("function", PASCAL)
    if kind == "enumerator":
        return ("enumerator", PASCAL)
    if kind in VARIABLE_KINDS or kind == "member":
        if is_constant(t):
            return ("constant", CONSTANT)
        return ("member" if kind == "member" else "variable", SNAKE)
    if kind == "parameter":
        return ("parameter", SNAKE)
    return None


def files_using(names):
    """How many files of the source, tests, benchmarks and fuzz targets name each identifier."""
    counts = {n: 0 for n in names}
    word = re.compile(r"\b[A-Za-z_][A-Za-z0-9_]*\b")
    for top in ("src", "tests", "bench", "fuzz", "tools"):
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for f in files:
                if not f.endswith((".h", ".cpp")):
                    continue
                with open(os.path.join(folder, f), encoding="utf-8", errors="replace") as fh:
                    seen = set(word.findall(fh.read()))
                for n in seen & counts.keys():
                    counts[n] += 1
    return counts


def survey():
    broken = {}
    for t in tags():
        rule = expected(t)
        if rule is None or t["name"] in KEPT:
            continue
        what, pattern = rule
        if not pattern.match(t["name"]):
            broken.setdefault((what, t["name"]), []).append(f"{t['path']}:{t['line']}")
    for folder, _, files in os.walk(os.path.join(ROOT, "src")):
        for f in files:
            if f.endswith((".h", ".cpp")) and not FILE.match(f):
                rel = os.path.relpath(os.path.join(folder, f), ROOT)
                broken.setdefault(("file", f), []).append(rel)
    return broken


def main():
    broken = survey()
    by_what = {}
    for (what, _), _ in broken.items():
        by_what[what] = by_what.get(what, 0) + 1
    if "--list" in sys.argv:
        using = files_using({name for _, name in broken})
        print("kind       name                             files  declared at")
        for (what, name), places in sorted(broken.items()):
            print(f"{what:10} {name:32} {using.get(name, 0):5}  {' '.join(sorted(set(places))[:3])}")
    for what in sorted(by_what):
        print(f"{what}: {by_what[what]}")
    print(f"total: {len(broken)}")


if __name__ == "__main__":
    main()
