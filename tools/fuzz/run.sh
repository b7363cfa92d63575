#!/bin/sh
# Builds a fuzzer with clang and runs it for a while. Usage:
#   tools/fuzz/run.sh [SECONDS] [BUILD_DIR] [files|lua]
# files (the default): the level and save readers, seeded from the
# malformed-file corpus; lua: the Lua library (what it finds belongs in
# tests/data/hostile/ as a program).
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SECONDS_TO_RUN=${1:-600}
BUILD_DIR=${2:-$ROOT/build-fuzz}
TARGET=${3:-files}
CXX=clang++ cmake -S "$ROOT" -B "$BUILD_DIR" -DGEARLOFT_FUZZ=ON -DGEARLOFT_WERROR=OFF >/dev/null
cmake --build "$BUILD_DIR" --target "gearloft_fuzz_$TARGET" -j "$(nproc)"
CORPUS="$BUILD_DIR/fuzz-corpus-$TARGET"
mkdir -p "$CORPUS"
if [ "$TARGET" = files ]; then
    python3 "$ROOT/tools/fuzz/make_seeds.py" "$ROOT/tests/data/malformed" "$CORPUS"
    set -- -dict="$ROOT/tools/fuzz/files.dict" -max_len=8192 -timeout=10
else
    set -- -max_len=256 -timeout=10 -rss_limit_mb=4096
fi
"$BUILD_DIR/tools/fuzz/gearloft_fuzz_$TARGET" "$@" -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 \
    -artifact_prefix="$BUILD_DIR/" "$CORPUS"
