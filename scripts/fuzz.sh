#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in their own build folder, then fuzzes each for SECONDS (default 60), at most
# PARALLEL (default 3) at once. Each run starts from the target's corpus and saved regressions; the inputs
# it finds are kept in $FUZZ_BUILD_DIR/corpus/<target>, an input that crashes or breaks a promise of the
# target in $FUZZ_BUILD_DIR/crashes/<target>/, and its output in $FUZZ_BUILD_DIR/logs/<target>.log.
# Fails when any run found one. To keep a mended fault mended, copy its input into
# tests/fuzz/<target>/regressions/.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (targets by folder name: feedxml, predicate ...)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-60}
[ $# -gt 0 ] && shift
bash scripts/setup.sh
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
PARALLEL=${PARALLEL:-3}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAVREL_FUZZ=ON
cmake --build "$BUILD_DIR" -j "${JOBS:-4}" --target fuzz_targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  while read -r target; do targets+=("${target#fuzz_}"); done < "$BUILD_DIR/fuzz-targets.txt"
fi

# Temporary homes of the targets go to memory where there is a tmpfs (stores and settings are written
# for each input; syncing them to a disk would be most of the time), and are removed at the end, also those
# a crash left behind.
TMP_BASE=/dev/shm
[ -d "$TMP_BASE" ] && [ -w "$TMP_BASE" ] || TMP_BASE="$PWD/$BUILD_DIR"
export TAVREL_TEST_TMP
TAVREL_TEST_TMP=$(mktemp -d "$TMP_BASE/tavrel-fuzz-XXXXXX")
trap 'rm -rf "$TAVREL_TEST_TMP"' EXIT
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$BUILD_DIR/logs"
# Failing inputs of earlier runs stay in place; only those newer than this count.
touch "$BUILD_DIR/logs/.started"

fuzz_one() {
  local name=$1
  mkdir -p "$BUILD_DIR/corpus/$name" "$BUILD_DIR/crashes/$name"
  # The first folder receives new inputs; the repository's folders are only read. A leak check after
  # every input would spend most of the time scanning what Qt and SQLite keep in their caches: leaks are
  # reported once, when the run ends.
  # libFuzzer refuses a folder that does not exist: a target without saved regressions has none.
  local inputs=("$BUILD_DIR/corpus/$name")
  for folder in "tests/fuzz/$name/corpus" "tests/fuzz/$name/regressions"; do
    [ -d "$folder" ] && inputs+=("$folder")
  done
  local status=0
  "$BUILD_DIR/tests/fuzz/fuzz_$name" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
    -timeout=30 -rss_limit_mb=4096 -detect_leaks=0 -artifact_prefix="$BUILD_DIR/crashes/$name/" \
    "${inputs[@]}" > "$BUILD_DIR/logs/$name.log" 2>&1 || status=$?
  echo "$status" > "$BUILD_DIR/logs/$name.status"
}

running=0
for name in "${targets[@]}"; do
  if [ "$running" -ge "$PARALLEL" ]; then
    wait -n
    running=$((running - 1))
  fi
  echo "fuzzing $name for ${SECONDS_PER_TARGET}s"
  fuzz_one "$name" &
  running=$((running + 1))
done
wait

status=0
for name in "${targets[@]}"; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$BUILD_DIR/logs/$name.log" | tail -n 1)
  found=$(find "$BUILD_DIR/crashes/$name" -type f -newer "$BUILD_DIR/logs/.started" | wc -l)
  exited=$(cat "$BUILD_DIR/logs/$name.status")
  echo "$name: ${runs:-?} runs, $found failing inputs, exit status $exited"
  if [ "$found" -gt 0 ] || [ -z "$runs" ] || [ "$exited" != 0 ]; then
    status=1
    find "$BUILD_DIR/crashes/$name" -type f -newer "$BUILD_DIR/logs/.started" | sed 's/^/  /'
    grep -m 3 -E "ERROR|runtime error|fuzz target:" "$BUILD_DIR/logs/$name.log" | sed 's/^/  /' || true
  fi
done
exit $status
