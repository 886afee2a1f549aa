#!/usr/bin/env bash
# Renders the application's pictures from the drawing scripts in res/art/ into res/images/ and
# rewrites res/Images.rc, res/ResourceImages.h, res/IMAGES.md and res/contact-sheet.png.
# The rendered files are committed, so the build itself never needs this script or its tools.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
  SUDO=
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
  $SUDO apt-get install -y -q python3-pil fonts-dejavu-core >/dev/null
fi
PYTHONDONTWRITEBYTECODE=1 exec /usr/bin/python3 "$root/res/art/make_art.py"
