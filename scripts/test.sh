#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test under Wine (headless: the Wine runner starts
# its own Xvfb when no display is set). Printing tests get a CUPS PDF queue writing into
# build/printed. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
# Every include must point down the layers (README, "Layout") before anything is built.
python3 "$root/scripts/check-layers.py" "$root"
# Every "Error <n>" number belongs to one operation (res/error-numbers.txt lists them).
python3 "$root/scripts/check-error-numbers.py" "$root"
"$root/scripts/build.sh"
"$root/scripts/print-queue.sh" "$build/printed" >/dev/null || echo "warning: no PDF print queue; printing tests will fail"
# The Wine prefix is made once, alone, before the tests start side by side: made by the first of
# several tests starting together on a freshly installed Wine, it once lacked the picture encoders.
"$build/wine-run" cmd.exe /c exit >/dev/null 2>&1 || true
rc=0
(cd "$build" && ctest -j"$(nproc)" --timeout 300 --output-on-failure "$@") || rc=$?
"$build/wine-stop" || true
# On a shared development machine other test runs may still be printing: only CI ends the spooler.
if [ "${CI:-}" = true ]; then "$root/scripts/print-queue.sh" stop || true; fi
exit $rc
