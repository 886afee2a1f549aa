#!/usr/bin/env bash
# The export scenario's program runs with the heap's free checking (freed blocks filled with a
# pattern, checked when given out again): each export draws on a thread of its own that ends after
# the file, and memory used after it was freed, there or elsewhere, then fails the first export
# instead of one run in many.
#   scenario-export_images.sh start|stop <build dir> <scenario dir>
set -euo pipefail
[ "$1" = start ] || exit 0
env -u DISPLAY "$2/wine-run" reg add \
  'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Image File Execution Options\Korvanelle.exe' \
  /v GlobalFlag /t REG_DWORD /d 0x20 /f </dev/null >/dev/null 2>&1
