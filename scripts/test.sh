#!/usr/bin/env bash
# Sets up, configures, builds and runs every test. Usage: scripts/test.sh [--sanitize] [ctest arguments]
# --sanitize builds with AddressSanitizer and LeakSanitizer in build-asan, with a compiler cache of its own,
# and fails when any process of the run (tests, the programs they start) wrote a sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
SANITIZE=OFF
if [ "${1:-}" = "--sanitize" ]; then
  SANITIZE=ON
  shift
fi
bash scripts/setup.sh
# Includes that point up the layer table, selectors spelled out in the interface, and files that drift
# from .clang-format, fail the run before anything builds.
bash scripts/check-layers.sh
bash scripts/check-names.sh
bash scripts/check-format.sh
# Let clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
if [ "$SANITIZE" = ON ]; then
  BUILD_DIR=${BUILD_DIR:-build-asan}
  export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/ccache-asan}"
else
  BUILD_DIR=${BUILD_DIR:-build}
fi
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_SANITIZE="$SANITIZE"
cmake --build "$BUILD_DIR" -j "$JOBS"
cd "$BUILD_DIR"
if [ "$SANITIZE" = OFF ]; then
  exec ctest --output-on-failure -j "$JOBS" "$@"
fi

# Reports go to files, so that one written by a child process (the program a test starts, a service) is
# seen too; LeakSanitizer's known foreign leaks are suppressed for every process.
REPORTS="$PWD/sanitizer-reports"
rm -rf "$REPORTS" && mkdir -p "$REPORTS"
export ASAN_OPTIONS="log_path=$REPORTS/asan:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$(cd .. && pwd)/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
status=0
ctest --output-on-failure -j "$JOBS" "$@" || status=$?
# A file holds a report when a sanitizer wrote an error into it; a summary of suppressions is none.
mapfile -t faults < <(grep -l "ERROR: .*Sanitizer" "$REPORTS"/asan* 2>/dev/null || true)
if [ ${#faults[@]} -gt 0 ]; then
  for report in "${faults[@]}"; do
    echo "=== sanitizer report $(basename "$report")"
    cat "$report"
  done
  echo "FAIL: the sanitizer reported faults (above)"
  [ "$status" -ne 0 ] || status=1
fi
exit "$status"
