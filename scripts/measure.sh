#!/usr/bin/env bash
# Measures the game on this machine, each figure the median of several runs:
#   memory  peak resident memory (VmHWM) and private memory of the game in a 720 x 540 window
#           with high-detail bricks on a 1280 x 1024 Xvfb with openbox: 5 s in the menu, then
#           15 s of `--demo 2`; Debian's blockout2 after 8 s on its first screen in the same X
#           server; and a headless long game, 60,000 frames of the automatic player.
#   times   a game frame at 720 x 540 (14 rows, high bricks), the busy frame and the start to
#           the first menu frame, from the benchmarks.
# With --against TREE, another built source tree (its build/ and game/) is measured the same
# way in the same runs, one after the other, so both see the same machine.
#   scripts/measure.sh [--runs N] [--against TREE] memory|times ...
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3
trees=("$PWD")
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --against) trees+=("$(cd "$2" && pwd)"); shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { sed -n '2,12p' "$0" >&2; exit 2; }
scripts/deps.sh measure
scratch="$(mktemp -d)"
display=":$((90 + $$ % 100))"
server=()
cleanup() {
  for pid in "${server[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# "VmHWM-MB private-MB" of a running process.
memory_of() {
  awk '/^VmHWM:/ {printf "%.0f ", $2 / 1024}' "/proc/$1/status"
  awk '/^Private_(Clean|Dirty):/ {kb += $2} END {printf "%.0f\n", kb / 1024}' "/proc/$1/smaps_rollup"
}

# Runs a command in the X server for some seconds and prints its memory before stopping it.
memory_after() {
  local seconds="$1"
  shift
  DISPLAY="$display" "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep "$seconds"
  memory_of "$pid"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

start_x_server() {
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  server+=($!)
  sleep 1
  DISPLAY="$display" openbox >/dev/null 2>&1 &
  server+=($!)
  sleep 1
}

# A game folder of its own for a tree's program: its data linked in, settings for a window
# with high-detail bricks.
game_folder() {
  local folder="$scratch/game-$2"
  mkdir -p "$folder"
  for part in data textures music sounds; do ln -sfn "$1/game/$part" "$folder/$part"; done
  cp "$1/game/zellory-torvane" "$folder/"
  printf '[Options]\nFullScreen=0\n[Settings]\nBrick Quality=3\n' >"$folder/config.ini"
  echo "$folder"
}

measure_memory() {
  start_x_server
  printf 'seed 1\ngame 1\nframes 20 50\nautoplay 60000 16\n' >"$scratch/long.replay"
  mkdir -p "$scratch/home"
  local n t folder
  for n in $(seq "$runs"); do
    for t in "${!trees[@]}"; do
      folder="$(game_folder "${trees[$t]}" "$t")"
      (cd "$folder" && memory_after 5 env LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy ./zellory-torvane) \
        >>"$scratch/menu-$t"
      (cd "$folder" && memory_after 15 env LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy ./zellory-torvane --demo 2) \
        >>"$scratch/demo-$t"
      (cd "$folder" && /usr/bin/time -f '%M' ./zellory-torvane --replay "$scratch/long.replay" --headless \
        2>&1 >/dev/null | tail -1 | awk '{printf "%.0f\n", $1 / 1024}') >>"$scratch/long-$t"
    done
    HOME="$scratch/home" memory_after 8 env LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy /usr/games/blockout2 \
      >>"$scratch/blockout2"
  done
  echo "peak resident / private memory in MB, medians of $runs runs:"
  for t in "${!trees[@]}"; do
    echo "${trees[$t]}"
    echo "  menu 5 s:       $(cut -d' ' -f1 "$scratch/menu-$t" | median) / $(cut -d' ' -f2 "$scratch/menu-$t" | median)"
    echo "  --demo 2, 15 s: $(cut -d' ' -f1 "$scratch/demo-$t" | median) / $(cut -d' ' -f2 "$scratch/demo-$t" | median)"
    echo "  headless long game: $(median <"$scratch/long-$t")"
  done
  echo "blockout2 8 s:    $(cut -d' ' -f1 "$scratch/blockout2" | median) / $(cut -d' ' -f2 "$scratch/blockout2" | median)"
}

# Appends "name real-time" lines of a benchmark run (ms) to the tree's results.
bench() {
  local tree="$1" t="$2" program="$3" filter="$4"
  SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy "$tree/build/tests/$program" \
    --benchmark_filter="$filter" --benchmark_format=csv 2>/dev/null |
    awk -F, '$1 ~ /^"BM_/ {gsub(/"/, "", $1); print $1, $3}' >>"$scratch/times-$t"
}

measure_times() {
  local n t
  for n in $(seq "$runs"); do
    for t in "${!trees[@]}"; do
      bench "${trees[$t]}" "$t" bench_render 'BM_FrameOnGlDevice/rows:(14|18)/read_back:1'
      bench "${trees[$t]}" "$t" bench_program 'BM_LoadingToFirstMenuFrame'
    done
  done
  echo "real time in ms, medians of $runs runs:"
  for t in "${!trees[@]}"; do
    echo "${trees[$t]}"
    for name in $(cut -d' ' -f1 "$scratch/times-$t" | sort -u); do
      echo "  $name: $(awk -v name="$name" '$1 == name {print $2}' "$scratch/times-$t" | median)"
    done
  done
}

for what in "$@"; do
  case "$what" in
    memory) measure_memory ;;
    times) measure_times ;;
    *) echo "scripts/measure.sh: unknown measurement '$what'" >&2; exit 2 ;;
  esac
done
