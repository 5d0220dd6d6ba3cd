#!/usr/bin/env bash
# Configures and builds the game and its tests into build/ (Ninja).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -G Ninja -DZT_WARNINGS_AS_ERRORS=$werror
cmake --build build
