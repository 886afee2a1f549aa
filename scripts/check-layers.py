#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own, or of a sibling it may
not use (bars, print and disc never include each other; controls never include menu).

The layers, lowest first (README, "Layout"):
    framework/core <- framework/win <- framework/graphics <- framework/docview
    <- model <- render <- {controls, menu (menu may use controls)} <- canvas
    <- {bars, print, disc} <- app
res/ holds resource ids that every layer may include; it includes nothing of ours.

Usage: check-layers.py [ROOT]   (ROOT defaults to the repository holding this script)
Prints one line per bad include and exits 1 when there is any.
"""
import os
import re
import sys

FRAMEWORK = ["framework/core", "framework/win", "framework/graphics", "framework/docview"]

# What each area may include besides itself and res/.
ALLOWED = {
    "framework/core": [],
    "framework/win": ["framework/core"],
    "framework/graphics": ["framework/core", "framework/win"],
    "framework/docview": ["framework/core", "framework/win", "framework/graphics"],
    "model": FRAMEWORK,
    "render": FRAMEWORK + ["model"],
    "controls": FRAMEWORK + ["model", "render"],
    "menu": FRAMEWORK + ["model", "render", "controls"],
    "canvas": FRAMEWORK + ["model", "render", "controls", "menu"],
    "bars": FRAMEWORK + ["model", "render", "controls", "menu", "canvas"],
    "print": FRAMEWORK + ["model", "render", "controls", "menu", "canvas"],
    "disc": FRAMEWORK + ["model", "render", "controls", "menu", "canvas"],
    "app": FRAMEWORK + ["model", "render", "controls", "menu", "canvas", "bars", "print", "disc"],
    "res": [],
}

# The framework's umbrella headers stand in the layer whose headers they gather.
UMBRELLAS = {
    "framework/Core.h": "framework/core",
    "framework/Win.h": "framework/win",
    "framework/Graphics.h": "framework/graphics",
    "framework/DocView.h": "framework/docview",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".c", ".rc")


def area_of(path):
    """The layer a repository-relative path belongs to, or None for files outside the layers."""
    path = path.replace(os.sep, "/")
    if path in UMBRELLAS:
        return UMBRELLAS[path]
    parts = path.split("/")
    if parts[0] == "framework":
        if len(parts) > 2 and "framework/" + parts[1] in ALLOWED:
            return "framework/" + parts[1]
        return None
    if len(parts) > 1 and parts[0] in ALLOWED:
        # controls/glass/ and other sub-folders belong to their folder.
        return parts[0]
    return None


def resolve(root, including_file, name):
    """The repository-relative path an include names: beside the including file first, then from
    the root (the only include directory of the build)."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including_file), name))
    if os.path.exists(os.path.join(root, beside)):
        return beside
    return os.path.normpath(name)


def check(root):
    problems = []
    for top in sorted(ALLOWED.keys() | {"framework"}):
        if "/" in top:
            continue
        for folder, _, files in os.walk(os.path.join(root, top)):
            for file_name in sorted(files):
                if not file_name.endswith(SOURCE_ENDINGS):
                    continue
                rel = os.path.relpath(os.path.join(folder, file_name), root)
                own = area_of(rel)
                if own is None:
                    continue
                with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = area_of(resolve(root, rel, m.group(1)))
                        if target is None or target == own or target == "res":
                            continue
                        if target not in ALLOWED[own]:
                            problems.append(f"{rel}:{number}: {own} may not include {m.group(1)} ({target})")
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = check(root)
    for p in problems:
        print(p)
    if problems:
        print(f"layer check: {len(problems)} include(s) point up a layer or across bars/print/disc")
        return 1
    print("layer check: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
