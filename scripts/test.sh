#!/usr/bin/env bash
# Sets up, configures, builds and runs every test. Usage: scripts/test.sh [ctest arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Includes that point up the layer table, and files that drift from .clang-format, fail the run before
# anything builds.
bash scripts/check-layers.sh
bash scripts/check-format.sh
BUILD_DIR=${BUILD_DIR:-build}
# Let clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j "$JOBS"
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" "$@"
