#!/bin/sh
# Installs what is missing, builds the game (and what it needs, not the test
# suite) and starts it in its working folder.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build
"$ROOT/tools/install-deps.sh"
# Configured once; the build configures again by itself when the project's
# files change.
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" >/dev/null
fi
cmake --build "$BUILD" --target gearloft -j "$(nproc)"
cd "$ROOT/game"
exec "$BUILD/gearloft"
