#!/usr/bin/env python3
"""The include graph on a tiny tree: includes resolve as the compiler resolves
them (own folder before -I), cycles and unresolved names are reported, and
--check fails on an include up the layer order."""
import contextlib
import io
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import include_graph  # noqa: E402

TREE = {
    # fw/a.h names b.h: its own folder wins over -I client/core, else a false cycle.
    "fw/a.h": '#include "b.h"\n',
    "fw/b.h": "",
    "client/core/b.h": '#include "a.h"\n',
    # frame.cpp <-> view.cpp through each other's headers: a module cycle only.
    "client/core/frame.h": "",
    "client/core/frame.cpp": '#include "b.h"\n#include "frame.h"\n#include "view.h"\n#include "missing.h"\n',
    "client/windows/view.h": "#include <windows.h>\n",
    # The same header named from the root and by its bare name: only the bare one is loose.
    "client/windows/view.cpp": '#include "view.h"\n#include "frame.h"\n#include "x.h"\n'
                               '#include "client/windows/x.h"\n',
    # x.h <-> y.h include each other: a file cycle.
    "client/windows/x.h": '#include "y.h"\n',
    "client/windows/y.h": '  #  include "x.h"\n',
}


class IncludeGraphTest(unittest.TestCase):
    def run_on_tree(self, tree=TREE, args=()):
        with tempfile.TemporaryDirectory() as root:
            for rel, text in tree.items():
                os.makedirs(os.path.join(root, os.path.dirname(rel)), exist_ok=True)
                with open(os.path.join(root, rel), "w") as f:
                    f.write(text)
            flags = f"-I{root}/client/core -I {root}/client/windows -isystem{root}/fw -I{root}"
            db = [{"directory": root, "file": src, "command": f"g++ {flags} -c {src}"}
                  for src in tree if src.endswith(".cpp")]
            os.makedirs(os.path.join(root, "build", "w"), exist_ok=True)
            with open(os.path.join(root, "build", "w", "compile_commands.json"), "w") as f:
                json.dump(db, f)
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                status = include_graph.main(["--root", root, *args])
            return status, out.getvalue()

    def section(self, text, title):
        body = text.split("## " + title, 1)[1]
        return [l for l in body.split("\n## ")[0].splitlines()[1:] if l]

    def test_graph_of_a_tiny_tree(self):
        status, text = self.run_on_tree()
        self.assertEqual(status, 0)
        self.assertEqual(self.section(text, "folder edges ("),
                         ["client/core -> client/windows: 1",
                          "client/core -> fw: 1",
                          "client/windows -> client/core: 1"])
        self.assertEqual(self.section(text, "folder cycles"),
                         ["cycle: client/core <-> client/windows"])
        self.assertEqual(self.section(text, "file cycles"),
                         ["cycle: client/windows/x.h <-> client/windows/y.h"])
        self.assertIn("cycle: client/core/frame <-> client/windows/view",
                      self.section(text, "module cycles"))
        self.assertEqual(self.section(text, "unresolved includes"),
                         ['client/core/frame.cpp: "missing.h"'])
        loose = self.section(text, "includes that do not name their folder from the root")
        self.assertIn('client/windows/view.cpp: "x.h"', loose)
        self.assertNotIn('client/windows/view.cpp: "client/windows/x.h"', loose)

    def test_check_fails_on_an_include_up_the_layers(self):
        # client/windows sits below client/core: its view.cpp naming frame.h points up.
        status, text = self.run_on_tree(args=["--check"])
        self.assertEqual(status, 1)
        self.assertEqual(self.section(text, "folder edges against the layer order"),
                         ["client/windows -> client/core: 1"])
        # Without that include every edge points down, a test may include anything,
        # and a source generated in the build tree counts as the folder it mirrors.
        down = {**TREE, "client/windows/view.cpp": '#include "view.h"\n',
                "client/windows/view_test.cpp": '#include "client/core/frame.h"\n',
                "build/w/client/windows/made.cpp": '#include "client/windows/view.h"\n'}
        status, text = self.run_on_tree(down, ["--check", "--tests"])
        self.assertEqual(self.section(text, "folder edges against the layer order"), ["none"])
        self.assertEqual(status, 0)

    def test_check_fails_on_a_folder_outside_the_layers(self):
        tree = {**TREE, "client/windows/view.cpp": '#include "misc/odd.h"\n', "misc/odd.h": ""}
        status, text = self.run_on_tree(tree, ["--check"])
        self.assertEqual(status, 1)
        self.assertEqual(self.section(text, "folder edges against the layer order"),
                         ["client/windows -> misc: 1 (misc not in the layer order)"])

    def test_self_include_is_a_cycle_and_a_chain_is_not(self):
        self.assertEqual(include_graph.cycles({("a", "a"), ("b", "c")}), [["a"]])
        self.assertEqual(include_graph.cycles({("a", "b"), ("b", "c"), ("c", "a"), ("c", "d")}),
                         [["a", "b", "c"]])


if __name__ == "__main__":
    unittest.main()
