# Sourced (not run) by the screenshot scripts in scripts/: the build's paths, the picture programs
# of tools/screens, and a private screen for the pictures. The sourcing script sets -euo pipefail.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KV_BUILD_DIR:-$root/build}
# Removed when the script ends (after screens_private_display).
screens_temporary=()

# Builds the picture program <target> of tools/screens and prints the path of its .exe.
screens_program() {
  "$root/scripts/build.sh" --target "$1" "${@:2}" >/dev/null
  echo "$build/tools/screens/$1.exe"
}

# The Windows form of a path, for the programs' arguments: Wine's drive Z: is the root.
screens_winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}

# Runs a Windows program with its arguments in Wine's virtual desktop (named $screens_desktop),
# which draws captions and frames as Windows does.
screens_on_desktop() {
  "$build/wine-run" explorer "/desktop=${screens_desktop:-kv},1280x800" "$(screens_winpath "$1")" "${@:2}"
}

# A private Xvfb (1280 x 800, 24 bits) with the pictures' own Wine prefix, build/wineprefix-screens,
# whose server runs on it; both end when the script ends.
screens_private_display() {
  export WINEPREFIX="$build/wineprefix-screens"
  local n=$(( ($$ % 300) + 600 ))
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  screens_xvfb=$!
  export DISPLAY=":$n"
  trap screens_end EXIT
  local i=0
  while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  "$build/wine-run" cmd.exe /c exit
}

screens_end() {
  WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
  kill "$screens_xvfb" 2>/dev/null || true
  if [ ${#screens_temporary[@]} -gt 0 ]; then rm -rf "${screens_temporary[@]}"; fi
}

# Fails unless folder <dir> holds every named picture (<name>.png, not empty); prints their paths.
screens_expect() {
  local dir=$1 name
  shift
  for name in "$@"; do
    [ -s "$dir/$name.png" ] || { echo "missing: $dir/$name.png" >&2; exit 1; }
    echo "$dir/$name.png"
  done
}
