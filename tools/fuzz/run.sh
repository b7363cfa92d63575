#!/bin/sh
# Builds the file reader fuzzer with clang and runs it for a while, seeded
# from the malformed-file corpus. Usage: tools/fuzz/run.sh [SECONDS] [BUILD_DIR]
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SECONDS_TO_RUN=${1:-600}
BUILD_DIR=${2:-$ROOT/build-fuzz}
CXX=clang++ cmake -S "$ROOT" -B "$BUILD_DIR" -DGEARLOFT_FUZZ=ON -DGEARLOFT_WERROR=OFF >/dev/null
cmake --build "$BUILD_DIR" --target gearloft_fuzz_files -j "$(nproc)"
CORPUS="$BUILD_DIR/fuzz-corpus"
python3 "$ROOT/tools/fuzz/make_seeds.py" "$ROOT/tests/data/malformed" "$CORPUS"
"$BUILD_DIR/tools/fuzz/gearloft_fuzz_files" -dict="$ROOT/tools/fuzz/files.dict" -max_len=8192 -timeout=10 \
    -max_total_time="$SECONDS_TO_RUN" -print_final_stats=1 -artifact_prefix="$BUILD_DIR/" "$CORPUS"
