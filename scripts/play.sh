#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ ! -x game/zellory-torvane ]; then
  echo "The game is not playable yet: the window and the game scene are still being built." >&2
  exit 1
fi
cd game
exec ./zellory-torvane "$@"
