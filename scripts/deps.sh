#!/usr/bin/env bash
# Installs the Debian packages a task needs; runs apt-get update once and apt-get install
# only when something is missing.
#   scripts/deps.sh play         build and play the game
#   scripts/deps.sh test         build and run every test (includes play)
#   scripts/deps.sh fuzz         the fuzz targets (scripts/fuzz.sh): clang's libFuzzer and sanitizers
#   scripts/deps.sh tools        build the asset generators' C++ parts
#   scripts/deps.sh measure      scripts/measure.sh: an X server, a window manager, a game to compare with
# Several tasks may be named at once.
set -euo pipefail

play=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libsdl2-mixer-dev libepoxy-dev libstb-dev libjpeg62-turbo-dev nlohmann-json3-dev
  libgl1-mesa-dri libegl-mesa0 libegl1 libgles2
)
test=(
  "${play[@]}"
  libgtest-dev libgmock-dev libbenchmark-dev
  desktop-file-utils appstream
  clang-format-14
)
fuzz=("${play[@]}" clang libclang-rt-14-dev)
tools=("${play[@]}" libfreetype-dev)
measure=(xvfb openbox blockout2 time)

if [ $# -eq 0 ]; then
  echo "usage: scripts/deps.sh play|test|fuzz|tools|measure ..." >&2
  exit 2
fi
packages=()
for task in "$@"; do
  case "$task" in
    play) packages+=("${play[@]}") ;;
    test) packages+=("${test[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    tools) packages+=("${tools[@]}") ;;
    measure) packages+=("${measure[@]}") ;;
    *) echo "scripts/deps.sh: unknown task '$task'" >&2; exit 2 ;;
  esac
done

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root, or install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
