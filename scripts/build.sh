#!/usr/bin/env bash
# Configures and builds into build/ (Ninja):
#   scripts/build.sh              the game, its tests and benchmarks (and, in CI, the asset tools)
#   scripts/build.sh --game-only  the game alone
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF tools=OFF tests=ON target=()
if [ "${CI:-}" = "true" ]; then werror=ON tools=ON; fi
if [ "${1:-}" = "--game-only" ]; then tests=OFF tools=OFF target=(--target zellory-torvane); fi
cmake -S . -B build -G Ninja -DZT_WARNINGS_AS_ERRORS=$werror -DZT_BUILD_TESTS=$tests -DZT_BUILD_TOOLS=$tools
cmake --build build "${target[@]}"
