#!/bin/sh
# The share of a core the game takes in a real window, as a player's machine would show it:
# the main menu still (the pointer off its buttons), the main menu with the pointer on a button
# (whose arrows animate), a still dialog (the exit question) and busy play (the built-in player
# in arcade), each measured over 10 s after 8 s of start-up. Needs an X display (Xvfb will do):
#   Xvfb :77 -screen 0 1024x768x24 &
#   DISPLAY=:77 sh bench/window_cpu.sh build/src/quorvex build/pack [more options]
set -eu
bin=$1
pack=$2
shift 2
ticks=$(getconf CLK_TCK)
for scene in menu menu_hover dialog play; do
  dir=$(mktemp -d)
  # A player who has read the explanations, so that arcade starts at once.
  printf 'Ann, 1, 1, 1, 0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0\r\n' > "$dir/players.txt"
  autoplay=""
  case $scene in
    # The pointer is placed by the script, wherever the X server's pointer stands.
    menu) printf '300 move 20 590\n' > "$dir/run.txt" ;;
    menu_hover) printf '300 move 400 300\n' > "$dir/run.txt" ;;
    dialog) printf '300 move 400 470\n320 click left 400 476\n' > "$dir/run.txt" ;;
    play) printf '300 click left 400 176\n330 click left 400 176\n' > "$dir/run.txt"
          autoplay="--autoplay" ;;
  esac
  "$bin" --pack "$pack" --dir "$dir" --windowed --no-sound --seed 1 --script "$dir/run.txt" \
    $autoplay "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 8
  a=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep 10
  b=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  rm -rf "$dir"
  echo "$scene: $(( (b - a) * 100 / (10 * ticks) )) % of a core"
done
