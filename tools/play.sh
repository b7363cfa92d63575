#!/bin/sh
# Installs what is missing, builds Gearloft and starts it in its working folder.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/tools/install-deps.sh"
"$ROOT/tools/build.sh" "$ROOT/build"
cd "$ROOT/game"
exec "$ROOT/build/gearloft"
