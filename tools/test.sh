#!/bin/sh
# Installs what is missing, then builds and runs the whole test suite twice:
# a normal build and one under AddressSanitizer + UndefinedBehaviorSanitizer.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/tools/install-deps.sh"

JOBS=$(nproc)
export SDL_VIDEODRIVER=dummy

echo "== normal build =="
"$ROOT/tools/build.sh" "$ROOT/build" -DGEARLOFT_WERROR=ON
ctest --test-dir "$ROOT/build" --output-on-failure -j "$JOBS"

echo "== sanitizer build =="
"$ROOT/tools/build.sh" "$ROOT/build-sanitize" -DGEARLOFT_WERROR=ON -DGEARLOFT_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$ROOT/build-sanitize" --output-on-failure -j "$JOBS"
