#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests, replays, drawing
# under the offscreen video driver with Mesa's software renderer, audio on the dummy driver).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
scripts/build.sh
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
ctest --test-dir build --output-on-failure -j"$(nproc)"
