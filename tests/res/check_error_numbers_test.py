#!/usr/bin/env python3
"""The error-number check (scripts/check-error-numbers.py) on small source trees of its own: it must
see a number in every form the program hands one out, and fail on a repeat the list does not
agree to. Last, the repository itself must pass."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
SCRIPT = os.path.join(REPO, "scripts", "check-error-numbers.py")


def run(root, *extra):
    result = subprocess.run([sys.executable, SCRIPT, root, *extra], capture_output=True, text=True, timeout=60)
    return result.returncode, result.stdout


class Tree:
    """A throw-away repository: files by path, and the number list."""

    def __init__(self, files, listing=None):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        for rel, text in files.items():
            path = os.path.join(self.root, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)
        os.makedirs(os.path.join(self.root, "res"), exist_ok=True)
        if listing is not None:
            with open(os.path.join(self.root, "res", "error-numbers.txt"), "w") as f:
                f.write(listing)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.dir.cleanup()


class CheckErrorNumbers(unittest.TestCase):
    def test_every_form_is_seen_and_a_repeat_fails(self):
        # Each pair uses one number in a different form; each must be caught as a repeat.
        forms = {
            "literal and Steps": ("GuardOperation(700, [&] {});", "GuardOperationSteps(700, [&](int& s) {});"),
            "typed and report": ("GuardOperation<int>(701, 0, [&] { return 1; });", "ReportOperationError(701, 3);"),
            "constant": ("enum { kErrA = 702 };\nvoid f() { GuardOperation(kErrA, [&] {}); }",
                         "GuardOperation(702, [&] {});"),
            "conditional": ("GuardOperation(dark ? 703 : 704, [&] {});", "GuardOperation(704, [&] {});"),
            "forwarder": ('InsertObject("Artist", 705);', "GuardOperation(705, [&] {});"),
            "table": ("static const int numbers[3] = {1, 2, 706};", "GuardOperation(706, [&] {});"),
        }
        for name, (first, second) in forms.items():
            with self.subTest(form=name):
                files = {"app/A.cpp": first, "model/B.cpp": second}
                if name == "table":
                    files = {"menu/MenuDraw.cpp": first + "\nvoid g(int v) { GuardOperation(numbers[v], [&] {}); }",
                             "model/B.cpp": second}
                with Tree(files) as tree:
                    code, out = run(tree.root, "--write")
                    self.assertEqual(code, 1, out)
                    self.assertIn("is used at 2 places", out)

    def test_list_agrees_repeats_and_must_match_the_code(self):
        files = {"controls/A.cpp": "GuardOperation(1233, [&] {});\n// GuardOperation(9, ...) in a comment\n",
                 "controls/B.cpp": 'GuardOperation(1233, [&] {}); CString s("GuardOperation(1233");\n'}
        with Tree(files, "repeat 1233 x2: shared record code\n1233 controls/A.cpp controls/B.cpp\n") as tree:
            code, out = run(tree.root)
            self.assertEqual(code, 0, out)
        # a third place exceeds the agreed count
        files["app/C.cpp"] = "GuardOperation(1233, [&] {});"
        with Tree(files, "repeat 1233 x2: shared\n1233 app/C.cpp controls/A.cpp controls/B.cpp\n") as tree:
            code, out = run(tree.root)
            self.assertEqual(code, 1, out)
            self.assertIn("Error 1233 is used at 3 places", out)
        # a number the list does not hold, and one it holds that no code uses
        with Tree({"app/A.cpp": "GuardOperation(42, [&] {});"}, "41 app/A.cpp\n") as tree:
            code, out = run(tree.root)
            self.assertEqual(code, 1, out)
            self.assertIn("Error 42: res/error-numbers.txt says []", out)
            self.assertIn("Error 41: res/error-numbers.txt lists it, but no code uses it", out)

    def test_a_number_that_cannot_be_told_fails(self):
        with Tree({"app/A.cpp": "GuardOperation(ComputeNumber(), [&] {});"}) as tree:
            code, out = run(tree.root, "--write")
            self.assertEqual(code, 1, out)
            self.assertIn("cannot tell the error number of 'ComputeNumber()'", out)

    def test_the_repository_passes(self):
        code, out = run(REPO)
        self.assertEqual(code, 0, out)


if __name__ == "__main__":
    unittest.main()
