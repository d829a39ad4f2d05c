#!/usr/bin/env python3
"""The include graph of src/ against the floors of the house.

Every `#include "..."` of every file under SRC is resolved as the include paths resolve
it: a file sees its own folder and the folders of the floors below it in its program,
and src/common below both programs. A file X.in stands for the X that the build
generates from it. Fails on an include that is not one flat file name, one that
resolves in no folder the file may see (saying whether it reaches upward, into the
other program or nowhere), one that two visible folders could satisfy, a file in a
folder that has no floor, and a cycle between files. Prints the floors and the number
of include lines from floor to floor.

usage: include_graph.py SRC
"""
import collections
import os
import re
import sys

# The floors, lowest first. A floor sees itself, the floors below it in its program and
# common; a floor whose folder does not exist yet is declared all the same.
COMMON = "common"
FLOORS = [
    (COMMON, "common", "common"),
    ("cuecheck", "platform", "cuecheck/platform"),
    ("cuecheck", "runtime", "cuecheck/runtime"),
    ("cuecheck", "services", "cuecheck/services"),
    ("cuecheck", "checkers", "cuecheck/checkers"),
    ("cuecheck", "driver/main", "cuecheck"),
    ("cuelint", "platform", "cuelint/platform"),
    ("cuelint", "base", "cuelint/base"),
    ("cuelint", "formats", "cuelint/formats"),
    ("cuelint", "shell", "cuelint"),
]
SOURCE_ENDINGS = (".h", ".cpp", ".h.in")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]*)"')


class Floor:
    def __init__(self, program, name, folder, level):
        self.program, self.name, self.folder, self.level = program, name, folder, level

    def label(self):
        return self.name if self.program == COMMON else "%s/%s" % (self.program, self.name)

    def sees(self, other):
        if other.program == COMMON:
            return True
        return other.program == self.program and other.level <= self.level


def make_floors():
    floors, below = [], collections.Counter()
    for program, name, folder in FLOORS:
        below[program] += 1
        floors.append(Floor(program, name, folder, 0 if program == COMMON else below[program]))
    return floors


def read_tree(src, floors):
    """Files by their path under src, the floor of each, the files that each folder
    provides by name, and the files in no floor."""
    by_folder = {f.folder: f for f in floors}
    floor_of, provides, homeless = {}, collections.defaultdict(dict), []
    for root, dirs, names in os.walk(src):
        dirs.sort()
        folder = os.path.relpath(root, src).replace(os.sep, "/")
        for name in sorted(names):
            if not name.endswith(SOURCE_ENDINGS):
                continue
            path = folder + "/" + name
            if folder not in by_folder:
                homeless.append(path)
                continue
            floor_of[path] = by_folder[folder]
            provides[folder][name[:-3] if name.endswith(".in") else name] = path
    return floor_of, provides, homeless


def includes_of(src, path):
    with open(os.path.join(src, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1)


def why_not_visible(floor, name, floors, provides):
    """Where an include that resolves in no visible folder would have led."""
    for other in floors:
        if name in provides.get(other.folder, {}):
            if COMMON not in (floor.program, other.program) and other.program != floor.program:
                return "crosses from %s into %s (%s)" % (floor.program, other.program,
                                                          provides[other.folder][name])
            return "reaches upward to %s (%s)" % (other.label(), provides[other.folder][name])
    return "resolves nowhere"


def cycles(graph):
    """The strongly connected parts of more than one file, or of one that includes
    itself (Tarjan's algorithm)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            part = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                part.append(w)
                if w == v:
                    break
            if len(part) > 1 or v in graph[v]:
                found.append(sorted(part))

    sys.setrecursionlimit(max(1000, 4 * len(graph)))
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def check(src):
    """The failures, the arrows between floors, and the counts of files and includes."""
    floors = make_floors()
    floor_of, provides, homeless = read_tree(src, floors)
    failures = ["%s: its folder has no floor" % p for p in homeless]
    graph = {p: set() for p in floor_of}
    arrows = collections.Counter()
    lines = 0
    for path, floor in sorted(floor_of.items()):
        for number, name in includes_of(src, path):
            lines += 1
            where = "%s:%d: \"%s\"" % (path, number, name)
            if "/" in name or "\\" in name:
                failures.append("%s is not a flat file name" % where)
                continue
            found = [provides[f.folder][name] for f in floors
                     if floor.sees(f) and name in provides.get(f.folder, {})]
            if not found:
                failures.append("%s %s" % (where, why_not_visible(floor, name, floors, provides)))
            elif len(found) > 1:
                failures.append("%s is ambiguous: %s" % (where, ", ".join(found)))
            else:
                graph[path].add(found[0])
                arrows[(floor, floor_of[found[0]])] += 1
    for part in cycles(graph):
        failures.append("a cycle between files: %s" % " -> ".join(part + part[:1]))
    return floors, floor_of, arrows, lines, failures


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    src = sys.argv[1]
    floors, floor_of, arrows, lines, failures = check(src)
    files = collections.Counter(floor_of.values())
    print("include graph of %s: %d files, %d includes" % (src, len(floor_of), lines))
    print("floors, lowest first (each sees its own folder, the floors below it, and common):")
    for f in floors:
        print("  %-22s %d  src/%-20s %s" % (f.label(), f.level, f.folder,
                                            "%d files" % files[f] if files[f] else "no files yet"))
    print("arrows between floors (include lines):")
    for (a, b), n in sorted(arrows.items(), key=lambda x: (floors.index(x[0][0]),
                                                          -floors.index(x[0][1]))):
        if a is not b:
            print("  %-22s -> %-22s %4d" % (a.label(), b.label(), n))
    print("arrows within a floor: " + ", ".join(
        "%s %d" % (f.label(), arrows[(f, f)]) for f in floors if arrows[(f, f)]))
    for failure in failures:
        print("FAIL " + failure)
    if failures:
        print("%d failures" % len(failures))
        return 1
    print("no include upward, none between the programs, none unresolved, no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
