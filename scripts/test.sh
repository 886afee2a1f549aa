#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test under Wine (headless: the Wine runner starts
# its own Xvfb when no display is set). Printing tests get a CUPS PDF queue writing into
# build/printed. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/print-queue.sh" "$build/printed" >/dev/null || echo "warning: no PDF print queue; printing tests will fail"
rc=0
(cd "$build" && ctest -j"$(nproc)" --timeout 300 --output-on-failure "$@") || rc=$?
"$build/wine-stop" || true
"$root/scripts/print-queue.sh" stop || true
exit $rc
