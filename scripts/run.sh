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
# A 32-bit prefix, as the Wine runner makes it: Wine's server, started below before the runner
# first makes the prefix, would otherwise make it a 64-bit one that no run can use again.
export WINEARCH=win32
# Without a display the Wine runner starts an X server of the prefix's own (Xvfb): say where the
# program shows. What a run starts, that X server and Wine's server, it notes beside the prefix,
# and the last run of the prefix to end stops what is noted: what ran before (another program of
# the prefix) stays, and a run that ends before another leaves it its display. Every run holds the
# lock file shared (fd 7, which no program or server started here inherits).
mkdir -p "$WINEPREFIX"
dfile="$WINEPREFIX.display" started="$WINEPREFIX.run-started"
exec 7>"$WINEPREFIX.run-lock"
flock -s 7
if [ -z "${DISPLAY:-}" ] && ! { [ -f "$dfile" ] && kill -0 "$(cut -d' ' -f2 "$dfile")" 2>/dev/null; }; then
  echo x >>"$started"
fi
# Exit 2: Wine's server of the prefix runs already; otherwise this starts it, as the runner would.
rc=0; wineserver -p"${WINE_PERSIST:-120}" </dev/null >/dev/null 2>&1 7>&- || rc=$?
[ $rc -eq 2 ] || echo wine >>"$started"
finish() {
  set +e
  flock -xn 7 && [ -f "$started" ] || return 0
  if grep -qx wine "$started"; then wineserver -k; wineserver -w; fi 2>/dev/null
  if grep -qx x "$started" && [ -f "$dfile" ]; then
    kill "$(cut -d' ' -f2 "$dfile")"; rm -f "$dfile"
  fi 2>/dev/null
  rm -f "$started"
}
trap finish EXIT
if [ -z "${DISPLAY:-}" ]; then
  "$build/wine-run" cmd.exe /c exit </dev/null >/dev/null 2>&1 7>&-
  n=$(cut -d' ' -f1 "$dfile")
  echo "No display is set: Korvanelle shows on the private X server :$n (a picture of it:" \
       "import -display :$n -window root shot.png). Set DISPLAY to see it on your screen." >&2
fi
# The program reads an argument beginning with "/" as a switch: every path of this machine goes to
# it as the Windows path Wine gives that place, whether a file is there or not (a mistyped name is
# then told as a file that cannot be opened). A Windows path (C:\...) and a switch of the program's
# own kind (/p, -Embedding: a word that names nothing here) go as they are.
args=()
for a in "$@"; do
  if [ -z "$a" ] || [[ "$a" == [A-Za-z]:* ]] || { [[ "$a" =~ ^[-/][A-Za-z]+$ ]] && [ ! -e "$a" ]; }; then
    args+=("$a")
  else
    args+=("$("$build/wine-run" winepath -w -- "$a" 7>&- | tr -d '\r')")
  fi
done
rc=0; "$build/wine-run" "$exe" "${args[@]+"${args[@]}"}" 7>&- || rc=$?
exit $rc
