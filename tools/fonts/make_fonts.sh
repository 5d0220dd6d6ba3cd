#!/usr/bin/env bash
# Rebuilds the game's bitmap fonts: game/data/fonts/font.dat and font1.tga .. font4.tga.
#
# Packages (Debian 12): cmake ninja-build g++ libfreetype-dev libstb-dev fonts-dejavu-core
#   (the face is DejaVu Sans Bold, freely licensed; the preview reads and writes pictures with stb)
#   sudo apt-get install -y cmake ninja-build g++ libfreetype-dev libstb-dev fonts-dejavu-core
#
# Usage, from anywhere:  tools/fonts/make_fonts.sh [--preview]
#   --preview also renders sample screens with the new fonts into build/font-preview/*.png.
# The same face gives the same files on every run.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
face="${FONT_FACE:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
build="$repo/build/font-tools"
out="$repo/game/data/fonts"

if [ ! -f "$face" ]; then
  echo "Missing $face; install it with: sudo apt-get install -y fonts-dejavu-core" >&2
  exit 1
fi

cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j2 >/dev/null
mkdir -p "$out"
"$build/make_fonts" "$face" "$out"

if [ "${1:-}" = "--preview" ]; then
  mkdir -p "$repo/build/font-preview"
  "$build/preview_text" "$out" "$repo/build/font-preview"
fi
