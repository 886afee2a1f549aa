#!/usr/bin/env bash
# Installs what is needed, builds the program (only the program: the tests and benchmarks are the
# test command's), and starts Korvanelle under Wine. Arguments go to the program: an optional
# design file, given as a path of this machine (~/album.kvl) or of Windows (C:\...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
# The Wine runner starts Wine's desktop process through its helper program, built here too.
"$root/scripts/build.sh" --target Korvanelle kv_wine_desktop
exe="$build/app/Korvanelle.exe"
# A prefix apart from the tests' one, whose Desktop and Documents are the user's home folders.
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix-app}"
export KV_HOME_FOLDERS=1
# The program reads a path beginning with "/" as a switch: hand it every argument that names a
# file or folder here as the Windows path of that file on Wine's drive Z:, the machine's root.
args=()
for a in "$@"; do
  if [ -e "$a" ] && [[ "$a" != [A-Za-z]:* ]]; then
    unix=$(realpath "$a")
    args+=("Z:${unix//\//\\}")
  else
    args+=("$a")
  fi
done
exec "$build/wine-run" "$exe" "${args[@]+"${args[@]}"}"
