#!/bin/sh
# Builds the game and renders the review pictures as PNG files.
# Usage: tools/shots/shots.sh [OUT_DIR]   (default: build/shots)
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${1:-$ROOT/build/shots}
"$ROOT/tools/build.sh" "$ROOT/build" >/dev/null
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
cd "$ROOT/game"
SDL_VIDEODRIVER=dummy "$ROOT/build/tools/shots/gearloft-shots" "$OUT"
for bmp in "$OUT"/*.bmp; do
    png=${bmp%.bmp}.png
    case $(basename "$bmp") in
        contact_sheet.bmp|parts_bin_pages.bmp) convert "$bmp" -filter point -resize 200% "$png" ;;
        *) convert "$bmp" "$png" ;;
    esac
    rm "$bmp"
done
echo "Review pictures in $OUT"
