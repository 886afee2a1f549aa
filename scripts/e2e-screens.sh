#!/usr/bin/env bash
# Runs the end-to-end scenarios (ctest label e2e) and copies the pictures they make of the running
# program into docs/screens/ for the README. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/build.sh"
(cd "$build" && ctest -L e2e --output-on-failure "$@")
mkdir -p "$root/docs/screens"
cp "$build/e2e/first_start/first-start.png" "$root/docs/screens/e2e-first-start.png"
cp "$build/e2e/damaged_files/damaged-design-message.png" "$root/docs/screens/e2e-damaged-design.png"
cp "$build/e2e/read_cd/read-cd-chooser.png" "$root/docs/screens/e2e-read-cd.png"
cp "$build/e2e/print_sides/print-dialog.png" "$root/docs/screens/e2e-print-dialog.png"
cp "$build/e2e/label_stock/edit-dimensions.png" "$root/docs/screens/e2e-edit-dimensions.png"
cp "$build/e2e/design_round_trip/finished-design.png" "$root/docs/screens/e2e-finished-design.png"
cp "$build/e2e/print_matches_screen/print-preview.png" "$root/docs/screens/e2e-print-preview.png"
echo "$root/docs/screens/e2e-first-start.png"
echo "$root/docs/screens/e2e-damaged-design.png"
echo "$root/docs/screens/e2e-read-cd.png"
echo "$root/docs/screens/e2e-print-dialog.png"
echo "$root/docs/screens/e2e-edit-dimensions.png"
echo "$root/docs/screens/e2e-finished-design.png"
echo "$root/docs/screens/e2e-print-preview.png"
