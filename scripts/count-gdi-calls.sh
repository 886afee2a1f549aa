#!/usr/bin/env bash
# Counts the hand-paired GDI calls (SelectObject, DeleteObject, DeleteDC, ReleaseDC) in the
# application's own sources, tests left out. The owners themselves (the scope types of
# framework/win/ScopedGdi.h, the GDI object classes of framework/win/Gdi.* and the kept surface
# of controls/CachedSurface.h) are where such calls belong and are counted apart. Prints one line
# per folder and the totals.
# Usage: count-gdi-calls.sh [ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
total=0
for dir in framework model render controls menu canvas bars print disc app; do
  [ -d "$dir" ] || continue
  n=$(grep -rhoE '\b(SelectObject|DeleteObject|DeleteDC|ReleaseDC)\s*\(' --include='*.cpp' --include='*.h' \
      --exclude=ScopedGdi.h --exclude=Gdi.h --exclude=Gdi.cpp --exclude=CachedSurface.h "$dir" | wc -l || true)
  printf '%-10s %d\n' "$dir" "$n"
  total=$((total + n))
done
printf '%-10s %d\n' total "$total"
owners=$(cat framework/win/ScopedGdi.h framework/win/Gdi.h framework/win/Gdi.cpp controls/CachedSurface.h 2>/dev/null \
         | grep -oE '\b(SelectObject|DeleteObject|DeleteDC|ReleaseDC)\s*\(' | wc -l || true)
printf '%-10s %d\n' owners "$owners"
