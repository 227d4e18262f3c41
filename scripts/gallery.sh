#!/usr/bin/env bash
# Builds the gallery program and renders every page of the interface to PNG files, offscreen (no
# display needed). Usage: scripts/gallery.sh [DIR] [--scale RATIO] [--page NAME ...]
# DIR defaults to build/gallery.
set -euo pipefail
OUT=""
ARGS=()
while [ $# -gt 0 ]; do
  case "$1" in
    --scale|--page) ARGS+=("$1" "$2"); shift 2 ;;
    *) OUT=$(realpath -m "$1"); shift ;;
  esac
done
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
OUT=${OUT:-$PWD/$BUILD_DIR/gallery}
# Let clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target tavrel-gallery
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tools/gallery/tavrel-gallery" "${ARGS[@]}" "$OUT"
