#!/bin/sh
# Measures the share of one CPU core the game (and the X server drawing for
# it) takes in a private 24-bit Xvfb: on the level list, building on the
# first level with nothing moving, and running it. A benchmark, run by hand.
# Usage: tools/bench/idle_cpu.sh [GAME_FOLDER] [GAME_BINARY] [SECONDS]
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
GAME_DIR=$(cd "${1:-$ROOT/game}" && pwd)
GAME=$(realpath "${2:-$ROOT/build/gearloft}")
SECONDS_EACH=${3:-20}
TICKS=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

measure() {
    sleep 2
    game_before=$(cpu_ticks "$GAME_PID")
    x_before=$(cpu_ticks "$X_PID")
    sleep "$SECONDS_EACH"
    game_after=$(cpu_ticks "$GAME_PID")
    x_after=$(cpu_ticks "$X_PID")
    awk -v what="$1" -v g=$((game_after - game_before)) -v x=$((x_after - x_before)) -v t="$TICKS" \
        -v s="$SECONDS_EACH" 'BEGIN {printf "%-10s game %5.2f %%   X server %5.2f %%\n", what, 100*g/(t*s), 100*x/(t*s)}'
}

FD_FILE=$(mktemp)
Xvfb -displayfd 1 -screen 0 800x600x24 -nolisten tcp -noreset >"$FD_FILE" 2>/dev/null &
X_PID=$!
GAME_PID=
trap 'kill $GAME_PID $X_PID 2>/dev/null; rm -f "$FD_FILE"' EXIT
while [ ! -s "$FD_FILE" ]; do sleep 0.1; done
export DISPLAY=":$(head -n 1 "$FD_FILE")"
cd "$GAME_DIR"
"$GAME" >/dev/null 2>&1 &
GAME_PID=$!
sleep 3
measure "list"
xdotool mousemove 300 105 click 1
measure "building"
xdotool key space
measure "running"
