#!/usr/bin/env bash
# Installs what is needed, builds the program (only the program: the tests and benchmarks are the
# test command's), and starts Korvanelle under Wine. Arguments go to the program: an optional
# design file, given as a path of this machine (~/album.kvl, album.kvl) or of Windows (C:\...).
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
# The program reads an argument beginning with "/" as a switch: every path of this machine goes to
# it as the Windows path Wine gives that place, whether a file is there or not (a mistyped name is
# then told as a file that cannot be opened). A Windows path (C:\...) and a switch of the program's
# own kind (/p, -Embedding: a word that names nothing here) go as they are.
args=()
for a in "$@"; do
  if [ -z "$a" ] || [[ "$a" == [A-Za-z]:* ]] || { [[ "$a" =~ ^[-/][A-Za-z]+$ ]] && [ ! -e "$a" ]; }; then
    args+=("$a")
  else
    args+=("$("$build/wine-run" winepath -w -- "$a" | tr -d '\r')")
  fi
done
exec "$build/wine-run" "$exe" "${args[@]+"${args[@]}"}"
