#!/usr/bin/env bash
# The readers' mutation run: builds reader_mutation and feeds COUNT mutants (default 5000) to each
# reader under Wine, printing crashes, hangs over 10 s, allocations over 256 MB and leaks per
# reader. A settings, label stock or design file that reads is also used once (New Project, the
# canvas zoomed, a colour changed, an export): a second line gives the uses, those with a step
# over 2 s, those that took the process past 256 MB and those the program answered with a message.
# Exits non-zero when a count of faults (crashes, hangs, memory, leaks, steps over 2 s) is not zero.
# Takes minutes: not part of the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
count=${1:-5000}
seed=${2:-1}
"$root/scripts/build.sh" --target reader_mutation >/dev/null
cd "$build/tests/mutation"
status=0
for reader in $("$build/wine-run" ./reader_mutation.exe list | tr -d '\r'); do
  "$build/wine-run" ./reader_mutation.exe "$reader" "$count" "$seed" | tr -d '\r' || status=1
done
exit $status
