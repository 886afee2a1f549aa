#!/usr/bin/env python3
"""Fails when an "Error <n>" number is used at two places, or when res/error-numbers.txt, the list
of the numbers in use, no longer matches the code.

Every operation of the program catches what it lets out at its own boundary and shows "Error <n>"
with a number of its own (framework/core/OperationError.h), so that a user's report names the one
place that failed. The list holds every number with the files that use it; its "repeat" lines name
the few numbers that several operations share on purpose (the icon combo box and the icon list box
run the same record code, for example), and only those may appear at more than one place.

Where the numbers are found: the first argument of GuardOperation, GuardOperationSteps,
GuardOperationQuietly (its number goes to the debugger's output) and ReportOperationError (a
literal, a conditional between literals, or a kErr... constant of an enum);
the number argument of the few helpers that pass one on (FORWARDERS below); and the tables that
hand out numbers (TABLES below). A call whose number cannot be told is an error of its own, so that
no number hides from the check.

Usage: check-error-numbers.py [ROOT] [--write]
  --write  rewrites the number lines of the list from the code (keeping its repeat lines), after
           a number was added, moved or removed on purpose. The duplicate check still runs.
"""
import os
import re
import sys

SOURCE_FOLDERS = ["app", "bars", "canvas", "controls", "disc", "framework", "menu", "model", "print", "render"]
LIST = "res/error-numbers.txt"

# Helpers that take an error number and hand it to GuardOperation: name -> index of that argument.
FORWARDERS = {
    "InsertObject": 1,        # KorvanelleFrame::InsertObject(kind, number)
    "ToggleBar": 2,           # KorvanelleFrame::ToggleBar(bar, command, number)
    "ClampEntry": 1,          # DlgGridSize::ClampEntry(id, number)
    "OnButton": 1,            # AeroMessageBox::OnButton(index, number)
    "ReadPrinterArchive": 1,  # PrinterSetups::ReadPrinterArchive(name, number); 0 reports nothing
    "ThemedControl": (0, 1),  # ThemedControl(subclassNumber, createNumber)
}

# Tables that hand out numbers: the expression GuardOperation gets -> (file, table name). Every
# literal of the table's initializer that is not part of a name counts.
TABLES = {
    "AlwaysEnabledErrorNumber": ("app/FrameCommands.cpp", "kAlwaysEnabled"),
    "numbers": ("menu/MenuDraw.cpp", "numbers"),
}

# The parameters and members through which the helpers above pass a number on.
PASSED_ON = {"errorNumber", "m_subclassError", "m_createError", "number"}

GUARD = re.compile(r"\b(GuardOperation(?:Steps|Quietly)?|ReportOperationError)\s*(?:<[^<>()]*>)?\s*\(")
CONSTANT = re.compile(r"\b(kErr\w+)\s*=\s*(\d+)\b")


def strip_comments_and_strings(text):
    """The text with comments, string and character literals blanked out (newlines kept, so that
    offsets still give the same line numbers)."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + (c if j < n else ""))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def split_arguments(text, start):
    """The top-level arguments of the call whose '(' ends just before `start`."""
    args, depth, begin, i = [], 0, start, start
    while i < len(text):
        c = text[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                args.append(text[begin:i].strip())
                return args
            depth -= 1
        elif c == "," and depth == 0:
            args.append(text[begin:i].strip())
            begin = i + 1
        i += 1
    return args


def literals(expression):
    """The integer literals of an expression that stand alone (not inside a name)."""
    return [int(m.group(0)) for m in re.finditer(r"(?<![\w.])\d+(?![\w.])", expression)]


def source_files(root):
    for top in SOURCE_FOLDERS:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if name.endswith((".cpp", ".h")):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def table_numbers(sources, file_name, table):
    text = sources.get(file_name, "")
    m = re.search(r"\b" + re.escape(table) + r"\s*(?:\[[^\]]*\])?\s*=\s*\{", text)
    if not m:
        return None
    body = split_arguments(text, m.end())
    numbers = []
    for entry in body:
        found = literals(entry)
        # {ID_..., number}: the number is the entry's last literal
        if found:
            numbers.append(found[-1])
    return numbers


def collect(root):
    """(uses, problems): uses maps number -> list of (file, line); problems are the calls whose
    number cannot be told."""
    sources = {}
    for rel in source_files(root):
        with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
            sources[rel] = strip_comments_and_strings(f.read())
    constants = {}
    for rel, text in sources.items():
        for m in CONSTANT.finditer(text):
            constants[m.group(1)] = int(m.group(2))

    uses, problems = {}, []

    def use(number, rel, offset):
        if number:
            uses.setdefault(number, []).append((rel, sources[rel].count("\n", 0, offset) + 1))

    for rel, text in sources.items():
        for m in GUARD.finditer(text):
            args = split_arguments(text, m.end())
            first = args[0] if args else ""
            if first.startswith("int ") or first == "":
                continue  # the helper's own declaration or definition
            if re.fullmatch(r"[\d\s?:()]+|\w+\s*\?\s*\d+\s*:\s*\d+", first):
                for number in literals(first):
                    use(number, rel, m.start())
            elif first in constants:
                use(constants[first], rel, m.start())
            elif first in PASSED_ON:
                continue  # counted where the helper is called
            else:
                name = re.match(r"\w+", first)
                table = TABLES.get(name.group(0)) if name else None
                numbers = table_numbers(sources, *table) if table else None
                if numbers is None:
                    line = text.count("\n", 0, m.start()) + 1
                    problems.append(f"{rel}:{line}: cannot tell the error number of '{first}'")
                    continue
                offset = sources[table[0]].find(table[1])
                for number in numbers:
                    use(number, table[0], offset)
        for name, index in FORWARDERS.items():
            indexes = index if isinstance(index, tuple) else (index,)
            for m in re.finditer(r"(?<![\w:~])" + name + r"\s*\(", text):
                args = split_arguments(text, m.end())
                for i in indexes:
                    if i < len(args) and re.fullmatch(r"\d+", args[i]):
                        use(int(args[i]), rel, m.start())
    return uses, problems


def read_list(path):
    """(numbers, repeats): numbers maps number -> set of files; repeats maps number -> (places,
    reason)."""
    numbers, repeats = {}, {}
    if not os.path.exists(path):
        return numbers, repeats
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            words = line.split()
            if words[0] == "repeat":
                # repeat <number> x<places>: <why>
                repeats[int(words[1])] = (int(words[2].lstrip("x").rstrip(":")), " ".join(words[3:]))
            else:
                numbers[int(words[0])] = set(words[1:])
    return numbers, repeats


HEADER = """\
# The "Error <n>" numbers in use, each with the files that use it. scripts/check-error-numbers.py
# (run by scripts/test.sh) fails when the code and this list differ, and when a number is used at
# more than one place without a "repeat" line below. Pick a new operation's number from the free
# ones, add it in the code, then run: scripts/check-error-numbers.py --write
#
# Agreed repeats: numbers that several operations share on purpose, each with the number of places
# that may use it ("repeat <number> x<places>: <why>").
"""


def write_list(path, uses, repeats):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(HEADER)
        for number in sorted(repeats):
            places, reason = repeats[number]
            f.write(f"repeat {number} x{places}: {reason}\n")
        f.write("\n# number  files\n")
        for number in sorted(uses):
            files = sorted({rel for rel, _ in uses[number]})
            f.write(f"{number} {' '.join(files)}\n")


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    root = args[0] if args else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    list_path = os.path.join(root, LIST)
    uses, problems = collect(root)
    listed, repeats = read_list(list_path)
    if "--write" in sys.argv:
        write_list(list_path, uses, repeats)
        listed = {n: {rel for rel, _ in places} for n, places in uses.items()}
    for number in sorted(uses):
        places = uses[number]
        if len(places) > repeats.get(number, (1, ""))[0]:
            where = ", ".join(f"{rel}:{line}" for rel, line in places)
            problems.append(f"Error {number} is used at {len(places)} places: {where}")
        files = {rel for rel, _ in places}
        if listed.get(number) != files:
            problems.append(f"Error {number}: {LIST} says {sorted(listed.get(number, []))}, the code {sorted(files)}")
    for number in sorted(set(listed) - set(uses)):
        problems.append(f"Error {number}: {LIST} lists it, but no code uses it")
    for number in sorted(set(repeats) - set(uses)):
        problems.append(f"Error {number}: an agreed repeat that no code uses")
    for p in problems:
        print(p)
    if problems:
        print(f"error-number check: {len(problems)} problem(s); after a deliberate change run "
              f"scripts/check-error-numbers.py --write")
        return 1
    print(f"error-number check: {len(uses)} numbers, each at one place or an agreed repeat")
    return 0


if __name__ == "__main__":
    sys.exit(main())
