#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it; arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh play
scripts/build.sh --game-only
cd game
exec ./zellory-torvane "$@"
