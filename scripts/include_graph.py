#!/usr/bin/env python3
"""Prints the include graph of every program: edges between folders with counts,
the cycles between folders and between files, and the includes nothing resolves.

Quoted includes are resolved as the compiler resolves them: the including file's
own folder first, then the -I folders of the translation unit being compiled.
Those come from the compile databases of configured build trees, so configure
first (configuring is enough, nothing has to be built):

    cmake --preset win64 && cmake --preset native
    python3 scripts/include_graph.py            # folder edges and cycles
    python3 scripts/include_graph.py --tests    # the tests' folders too
    python3 scripts/include_graph.py --dot files.dot   # file graph for Graphviz

Angle-bracket includes are the platform's and are left out. Exit status is 0
even when there are cycles: this describes the house. With --check it polices
one rule: every include between folders points down LAYERS (tests exempt);
an include up the order, or from or into a folder LAYERS does not name, makes
the exit status 1.
"""
import argparse
import json
import os
import re
import shlex
import sys
from collections import defaultdict

# The layers, lowest first: a folder includes only itself and the folders
# before it here. The one list of the order; docs/architecture.md explains it.
LAYERS = [
    "text",
    "fw/logic", "fw",
    # Portable logic under more than one program or window, no Windows header.
    "updater/logic",
    "client/model",
    "control/logic",
    # The programs.
    "control",
    "updater",
    "setup",
    "client/res",
    "client/controls",
    # The feature windows' own rules sit with them, above the controls.
    "client/windows/logic",
    "client/windows",
    "client/core",
    "tools",
]

INCLUDE_RE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
# Tests, their fakes, fuzzers and benchmarks that sit beside the code they test.
TEST_STEM_RE = re.compile(r"(^|_)(test|tests|fake|fakes|fuzz|bench)(_|$)")


def is_test(rel):
    parts = rel.split("/")
    stem = os.path.splitext(parts[-1])[0]
    return "tests" in parts[:-1] or parts[0] == "bench" or bool(TEST_STEM_RE.search(stem))


def folder_of(rel):
    parts = rel.split("/")
    if "tests" in parts[:-1]:
        return "/".join(parts[:parts.index("tests") + 1])
    # The longest folder of LAYERS that holds it, else its top folder.
    held = [f for f in LAYERS if rel.startswith(f + "/")]
    f = max(held, key=len) if held else (parts[0] if len(parts) > 1 else ".")
    # Tests may include anything: they are a folder of their own.
    return f + " (tests)" if is_test(rel) else f


def against_layers(folder_edges):
    """The folder edges that do not point down LAYERS: upward or sideways, or
    from or into a folder the order does not name. Tests may include anything."""
    rank = {f: i for i, f in enumerate(LAYERS)}
    bad = []
    for (fa, fb), n in sorted(folder_edges.items()):
        if any(f.endswith(" (tests)") or f.split("/")[-1] == "tests" for f in (fa, fb)):
            continue
        if fa not in rank or fb not in rank:
            unknown = " and ".join(f for f in (fa, fb) if f not in rank)
            bad.append(f"{fa} -> {fb}: {n} ({unknown} not in the layer order)")
        elif rank[fa] < rank[fb]:
            bad.append(f"{fa} -> {fb}: {n}")
    return bad


def module_of(rel):
    """x.h and x.cpp are one module: a cycle through them is a cycle of modules."""
    return os.path.splitext(rel)[0]


def include_dirs(entry):
    """The -I/-iquote/-isystem folders of one compile database entry, in order."""
    args = entry.get("arguments") or shlex.split(entry["command"])
    out = []
    i = 0
    while i < len(args):
        a = args[i]
        for flag in ("-I", "-iquote", "-isystem"):
            if a == flag and i + 1 < len(args):
                out.append(args[i + 1])
                i += 1
                break
            if a.startswith(flag) and len(a) > len(flag):
                out.append(a[len(flag):])
                break
        i += 1
    base = entry.get("directory", ".")
    return [os.path.normpath(os.path.join(base, d)) for d in out]


def quoted_includes(path, cache={}):
    if path not in cache:
        names = []
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                for line in f:
                    m = INCLUDE_RE.match(line)
                    if m:
                        names.append(m.group(1))
        except OSError:
            pass
        cache[path] = names
    return cache[path]


def resolve(name, includer, dirs):
    for d in [os.path.dirname(includer)] + dirs:
        p = os.path.normpath(os.path.join(d, name))
        if os.path.isfile(p):
            return p
    return None


def walk(units, root):
    """Follows every translation unit's includes with its own search folders.
    Returns the file edges (within root), the unresolved includes, and the
    includes as written beside what they resolved to."""
    edges = set()
    unresolved = set()
    named = set()
    for tu, dirs in units:
        seen = {tu}
        stack = [tu]
        while stack:
            f = stack.pop()
            for name in quoted_includes(f):
                target = resolve(name, f, dirs)
                if target is None:
                    unresolved.add((f, name))
                    continue
                if not target.startswith(root + os.sep):
                    continue  # a third-party header found through -I
                edges.add((f, target))
                named.add((f, name, target))
                if target not in seen:
                    seen.add(target)
                    stack.append(target)
    return edges, unresolved, named


def strongly_connected(nodes, succ):
    """Tarjan's algorithm, iterative. Returns the components, each sorted."""
    index = {}
    low = {}
    on_stack = set()
    stack = []
    comps = []
    counter = 0
    for start in sorted(nodes):
        if start in index:
            continue
        work = [(start, iter(sorted(succ.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            v, it = work[-1]
            advanced = False
            for w in it:
                if w not in index:
                    index[w] = low[w] = counter
                    counter += 1
                    stack.append(w)
                    on_stack.add(w)
                    work.append((w, iter(sorted(succ.get(w, ())))))
                    advanced = True
                    break
                if w in on_stack:
                    low[v] = min(low[v], index[w])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[v])
            if low[v] == index[v]:
                comp = []
                while True:
                    w = stack.pop()
                    on_stack.discard(w)
                    comp.append(w)
                    if w == v:
                        break
                comps.append(sorted(comp))
    return comps


def cycles(edges):
    """The components that hold a cycle: two or more members, or a self-edge."""
    succ = defaultdict(set)
    nodes = set()
    for a, b in edges:
        succ[a].add(b)
        nodes.update((a, b))
    return sorted((c for c in strongly_connected(nodes, succ)
                   if len(c) > 1 or c[0] in succ[c[0]]), key=lambda c: (-len(c), c))


def load_units(databases, root):
    units = {}
    for db in databases:
        with open(db) as f:
            for entry in json.load(f):
                src = os.path.normpath(os.path.join(entry.get("directory", "."), entry["file"]))
                if not src.startswith(root + os.sep):
                    continue
                # The same source built by several presets: keep each search list once.
                dirs = include_dirs(entry)
                units.setdefault((src, tuple(dirs)), dirs)
    return [(src, dirs) for (src, _), dirs in units.items()]


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--root", default=os.path.dirname(here), help="project folder")
    ap.add_argument("--build", action="append",
                    help="compile_commands.json or build folder (default: every build/*/)")
    ap.add_argument("--tests", action="store_true", help="include the tests' folders")
    ap.add_argument("--dot", metavar="FILE", help="write the file-level graph as DOT")
    ap.add_argument("--check", action="store_true",
                    help="exit status 1 when an include between folders points up the layer order")
    args = ap.parse_args(argv)
    root = os.path.realpath(args.root)

    builds = args.build
    if not builds:
        top = os.path.join(root, "build")
        builds = [os.path.join(top, d) for d in sorted(os.listdir(top))] if os.path.isdir(top) else []
    dbs = []
    for b in builds:
        p = b if b.endswith(".json") else os.path.join(b, "compile_commands.json")
        if os.path.isfile(p):
            dbs.append(p)
    if not dbs:
        print("include_graph: no compile_commands.json; run 'cmake --preset win64' and "
              "'cmake --preset native' first", file=sys.stderr)
        return 2

    edges, unresolved, named = walk(load_units(dbs, root), root)
    trees = [os.path.dirname(os.path.realpath(d)) for d in dbs]

    def rel(p):
        # A source generated in a build tree belongs to the folder it mirrors.
        for t in trees:
            if p.startswith(t + os.sep):
                p = os.path.join(root, os.path.relpath(p, t))
                break
        return os.path.relpath(p, root).replace(os.sep, "/")
    keep = lambda p: args.tests or not is_test(rel(p))
    edges = {(a, b) for a, b in edges if keep(a) and keep(b)}

    folder_edges = defaultdict(int)
    for a, b in edges:
        fa, fb = folder_of(rel(a)), folder_of(rel(b))
        if fa != fb:
            folder_edges[(fa, fb)] += 1

    print("# compile databases: " + ", ".join(os.path.relpath(d, root) for d in dbs))
    print(f"# {len({f for e in edges for f in e})} files, {len(edges)} include edges")
    print("\n## folder edges (includer -> included: includes)")
    for (fa, fb), n in sorted(folder_edges.items()):
        print(f"{fa} -> {fb}: {n}")

    print("\n## folder edges against the layer order (LAYERS in scripts/include_graph.py)")
    against = against_layers(folder_edges)
    for line in against:
        print(line)
    if not against:
        print("none")

    print("\n## folder cycles")
    fc = cycles(folder_edges.keys())
    for c in fc:
        print("cycle: " + " <-> ".join(c))
    if not fc:
        print("none")

    print("\n## file cycles")
    filec = cycles(edges)
    for c in filec:
        print("cycle: " + " <-> ".join(rel(p) for p in c))
    if not filec:
        print("none")

    print("\n## module cycles (x.h and x.cpp taken as one)")
    modc = cycles({(module_of(rel(a)), module_of(rel(b))) for a, b in edges
                   if module_of(rel(a)) != module_of(rel(b))})
    for c in modc:
        print("cycle: " + " <-> ".join(c))
    if not modc:
        print("none")

    print("\n## unresolved includes")
    bad = sorted((rel(f), n) for f, n in unresolved if keep(f))
    for f, n in bad:
        print(f'{f}: "{n}"')
    if not bad:
        print("none")

    print("\n## includes that do not name their folder from the root")
    loose = sorted((rel(f), n) for f, n, t in named if keep(f) and n != rel(t))
    for f, n in loose:
        print(f'{f}: "{n}"')
    if not loose:
        print("none")

    if args.dot:
        with open(args.dot, "w") as out:
            out.write("digraph includes {\n  rankdir=LR;\n")
            by_folder = defaultdict(set)
            for e in edges:
                for p in e:
                    by_folder[folder_of(rel(p))].add(rel(p))
            for i, (fld, files) in enumerate(sorted(by_folder.items())):
                out.write(f'  subgraph cluster_{i} {{ label="{fld}";\n')
                for f in sorted(files):
                    out.write(f'    "{f}";\n')
                out.write("  }\n")
            for a, b in sorted(edges):
                out.write(f'  "{rel(a)}" -> "{rel(b)}";\n')
            out.write("}\n")
    return 1 if args.check and against else 0


if __name__ == "__main__":
    sys.exit(main())
