#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build Korvanelle and run its tests under Wine.
# Runs as root (or through sudo). Skips what is already there, so a second run takes seconds.
set -euo pipefail

SUDO=
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi

PKGS=(wine wine32:i386 wine64 g++-mingw-w64-i686 libz-mingw-w64-dev
      xvfb xauth fonts-wine fonts-liberation fonts-dejavu-core doctest-dev
      cmake ninja-build dpkg-dev python3 imagemagick xdotool poppler-utils
      cups cups-ipp-utils printer-driver-cups-pdf libcups2:i386
      fp-utils)  # chmcmd compiles the help file

need_update=
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

# Source entries, so that Debian's id3lib sources can be fetched with 'apt-get source'.
if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
  need_update=1
fi

missing=()
for p in "${PKGS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ -n "$need_update" ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails one index now and then; try again, and go on with what was
  # fetched when it still fails (the install below says so if a package is then missing).
  for try in 1 2 3; do
    if $SUDO apt-get update -qq; then break; fi
    [ $try = 3 ] && echo "warning: some package lists could not be fetched; going on with the rest"
    sleep 5
  done
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # With one architecture's security list missing, the two architectures of a library disagree
    # on its version; the release's own versions agree on both.
    . /etc/os-release
    echo "Retrying with the versions of Debian ${VERSION_CODENAME} itself"
    $SUDO apt-get install -y -qq --no-install-recommends -t "$VERSION_CODENAME" "${missing[@]}" >/dev/null
  fi
fi
echo "Dependencies are installed."
