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
# A first start gets settings a player would want: sound and music on, clockwise turns.
if [ ! -f config.ini ]; then
  printf '[Options]\r\nFullScreen=0\r\nRotation Speed=1\r\nKeys Sensetive=1\r\n[Settings]\r\nMusic volume=6\r\nSound volume=7\r\nRotation=1\r\nBrick Quality=3\r\n' > config.ini
fi
exec ./zellory-torvane "$@"
