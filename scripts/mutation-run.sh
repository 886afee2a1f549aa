#!/usr/bin/env bash
# The readers' mutation run: builds reader_mutation and feeds COUNT mutants (default 5000) to each
# reader under Wine, printing crashes, hangs over 10 s, allocations over 256 MB and leaks per
# reader. Exits non-zero when any count is not zero. Takes minutes: not part of the test suite.
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
