#!/usr/bin/env python3
"""Turns the samples a benchmark's SamplingProfiler wrote (tools/bench/SamplingProfiler.h) into
the functions that cost most: on their own (the instruction was in them, or, outside the program,
in a system library called from them) and with what they call (they were on the stack).

    scripts/profile-report.py build/tools/bench/big_design_benchmark.exe samples.txt [count]
"""
import bisect
import subprocess
import sys
from collections import Counter


def symbols(exe):
    out = subprocess.run(["i686-w64-mingw32-nm", "-C", "--defined-only", exe], capture_output=True,
                         text=True, check=True).stdout
    table = []
    for line in out.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "tT":
            table.append((int(parts[0], 16), parts[2]))
    table.sort()
    return [a for a, _ in table], [n for _, n in table]


def main():
    exe, samples = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    addresses, names = symbols(exe)

    def name(a):
        i = bisect.bisect_right(addresses, a) - 1
        return names[i] if i >= 0 else "?"

    own, total = Counter(), Counter()
    n = 0
    with open(samples) as f:
        low, high = (int(x, 16) for x in f.readline().split()[1:3])
        for line in f:
            values = [int(x, 16) for x in line.split()]
            if not values:
                continue
            n += 1
            eip, callers = values[0], values[1:]
            inside = low <= eip < high
            frames = [name(eip)] if inside else ["[system] " + (name(callers[0]) if callers else "?")]
            frames += [name(c) for c in callers]
            own[frames[0]] += 1
            for fn in set(frames):
                total[fn] += 1
    print(f"{n} samples")
    print("-- on their own")
    for fn, c in own.most_common(count):
        print(f"{100.0 * c / n:6.1f}%  {fn[:150]}")
    print("-- with what they call")
    for fn, c in total.most_common(count):
        print(f"{100.0 * c / n:6.1f}%  {fn[:150]}")


if __name__ == "__main__":
    main()
