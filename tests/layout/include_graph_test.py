#!/usr/bin/env python3
"""include_graph.py on small trees, each with one fault planted or none."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import include_graph  # noqa: E402

# A tree that passes: each file by its path under src, with the names it includes.
CLEAN = {
    "common/simd.h": [],
    "common/version.h.in": [],
    "cuecheck/platform/platform.h": [],
    "cuecheck/runtime/shortstr.h": ["simd.h"],
    "cuecheck/runtime/textfile.cpp": ["shortstr.h", "platform.h"],
    "cuecheck/services/globals.h": ["shortstr.h"],
    "cuecheck/checkers/subrip.cpp": ["globals.h", "shortstr.h"],
    "cuecheck/driver.cpp": ["subrip.h", "globals.h"],
    "cuecheck/checkers/subrip.h": [],
    "cuelint/base/text.h": ["simd.h"],
    "cuelint/formats/subrip.h": ["text.h"],
    "cuelint/cli.cpp": ["subrip.h", "text.h", "version.h"],
}


def with_changes(changes):
    tree = {path: list(names) for path, names in CLEAN.items()}
    for path, names in changes.items():
        tree.setdefault(path, []).extend(names)
    return tree


def failures_of(tree):
    with tempfile.TemporaryDirectory() as src:
        for path, names in tree.items():
            full = os.path.join(src, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write("// a file\n")
                for name in names:
                    f.write('#include "%s"\n' % name)
        return include_graph.check(src)[4]


class IncludeGraph(unittest.TestCase):
    def test_the_clean_tree_passes(self):
        self.assertEqual(failures_of(CLEAN), [])

    def test_each_planted_fault_is_found_and_named(self):
        cases = [
            ("upward, runtime to services", {"cuecheck/runtime/textfile.cpp": ["globals.h"]},
             "cuecheck/runtime/textfile.cpp:4: \"globals.h\" reaches upward to cuecheck/services"),
            ("upward, checkers to the driver", {"cuecheck/checkers/subrip.cpp": ["driver.h"],
                                                "cuecheck/driver.h": []},
             "reaches upward to cuecheck/driver/main"),
            ("upward, common to a program", {"common/simd.h": ["text.h"]},
             "reaches upward to cuelint/base"),
            ("cuelint into cuecheck", {"cuelint/base/text.h": ["globals.h"]},
             "crosses from cuelint into cuecheck"),
            ("cuecheck into cuelint", {"cuecheck/driver.cpp": ["text.h"]},
             "crosses from cuecheck into cuelint"),
            ("a name no folder has", {"cuelint/cli.cpp": ["gone.h"]},
             "\"gone.h\" resolves nowhere"),
            ("a path", {"cuecheck/driver.cpp": ["runtime/shortstr.h"]},
             "is not a flat file name"),
            ("two folders offer the name", {"cuecheck/platform/shortstr.h": []},
             "is ambiguous: cuecheck/platform/shortstr.h, cuecheck/runtime/shortstr.h"),
            ("a folder with no floor", {"cuecheck/extra/x.h": []},
             "cuecheck/extra/x.h: its folder has no floor"),
            ("a cycle of two", {"cuecheck/runtime/a.h": ["b.h"], "cuecheck/runtime/b.h": ["a.h"]},
             "a cycle between files: cuecheck/runtime/a.h -> cuecheck/runtime/b.h -> "
             "cuecheck/runtime/a.h"),
            ("a file that includes itself", {"cuelint/formats/subrip.h": ["subrip.h"]},
             "a cycle between files: cuelint/formats/subrip.h -> cuelint/formats/subrip.h"),
        ]
        for label, changes, expected in cases:
            with self.subTest(label):
                found = failures_of(with_changes(changes))
                self.assertTrue(found)
                for failure in found:
                    self.assertIn(expected, failure)


if __name__ == "__main__":
    unittest.main()
