#!/usr/bin/env bash
# The time of Save as Image's export path under Wine: a jewel case's front cover with a photo as its
# background, exported at 150, 300 and 600 DPI as BMP, JPEG, PNG and TIFF (one line per export).
#   scripts/bench-export.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" --target bench_print_export >/dev/null
cd "$build/tools/bench"
"$build/wine-run" cmd.exe /c exit
"$build/wine-run" "$build/tools/bench/bench_print_export.exe" | tr -d '\r'
