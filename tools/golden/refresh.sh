#!/bin/sh
# Draws the golden pictures of tests/drawing_test.cpp again with the game's own
# code and art, and writes them to tests/data/golden/ as PNG files. Run it on
# purpose, after a change to what the screen shows, and look at the new
# pictures before committing them.
# Usage: tools/golden/refresh.sh [BUILD_DIR]   (default: build)
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${1:-$ROOT/build}
"$ROOT/tools/build.sh" "$BUILD" >/dev/null
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
cd "$ROOT/game"
GEARLOFT_GOLDEN_OUT=$OUT SDL_VIDEODRIVER=dummy "$BUILD/tests/gearloft_tests" --gtest_filter='Golden.*' >/dev/null
mkdir -p "$ROOT/tests/data/golden"
# A picture whose pixels did not change keeps its file; new files carry no
# time stamps, so the same pixels always make the same bytes.
for bmp in "$OUT"/*.bmp; do
    png="$ROOT/tests/data/golden/$(basename "${bmp%.bmp}").png"
    if [ -f "$png" ] && [ "$(compare -metric AE "$bmp" "$png" null: 2>&1)" = "0" ]; then
        continue
    fi
    convert "$bmp" -define png:exclude-chunks=date,time "$png"
done
ls "$ROOT/tests/data/golden"
