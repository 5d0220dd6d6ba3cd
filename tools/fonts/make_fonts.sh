#!/usr/bin/env bash
# Rebuilds the game's bitmap fonts: game/data/fonts/font.dat and font1.tga .. font4.tga.
#
# Packages (Debian 12): what the game builds with (scripts/deps.sh tools) and the face,
#   DejaVu Sans Bold, freely licensed: sudo apt-get install -y fonts-dejavu-core
#
# Usage, from anywhere:  tools/fonts/make_fonts.sh [--preview]
#   --preview also renders sample screens with the new fonts into build/font-preview/*.png.
# The same face gives the same files on every run.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
face="${FONT_FACE:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"
build="$repo/build"
out="$repo/game/data/fonts"

if [ ! -f "$face" ]; then
  echo "Missing $face; install it with: sudo apt-get install -y fonts-dejavu-core" >&2
  exit 1
fi

cmake -S "$repo" -B "$build" -G Ninja -DZT_BUILD_TOOLS=ON >/dev/null
cmake --build "$build" --target make_fonts preview_text >/dev/null
mkdir -p "$out"
"$build/tools/make_fonts" "$face" "$out"

if [ "${1:-}" = "--preview" ]; then
  mkdir -p "$repo/build/font-preview"
  "$build/tools/preview_text" "$out" "$repo/build/font-preview"
fi
