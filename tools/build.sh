#!/bin/sh
# Configures and builds Gearloft into a build folder.
# Usage: tools/build.sh BUILD_DIR [extra cmake arguments]
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=$1
shift
cmake -S "$ROOT" -B "$BUILD_DIR" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
