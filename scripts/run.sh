#!/usr/bin/env bash
# Installs what is needed, builds, and starts Korvanelle under Wine. Arguments go to the program
# (an optional design file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exe="$build/app/Korvanelle.exe"
if [ ! -f "$exe" ]; then
  echo "The build is complete, but there is no application program yet: only the libraries and tests are built."
  exit 0
fi
# A prefix apart from the tests' one, whose Desktop and Documents are the user's home folders.
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix-app}"
export KV_HOME_FOLDERS=1
exec "$build/wine-run" "$exe" "$@"
