#!/usr/bin/env bash
# Builds Tavrel and runs it against the local service with a demo account.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
# Let clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
if [ ! -x "$BUILD_DIR/src/tavrel" ]; then
  echo "The Tavrel program is not built yet; starting only the local service with the demo account."
  exec "$BUILD_DIR/tools/localservice/tavrel-localservice" --port "${PORT:-8088}" --seed demo
fi
PORT=${PORT:-8088}
"$BUILD_DIR/tools/localservice/tavrel-localservice" --port "$PORT" --seed demo &
SERVICE_PID=$!
trap 'kill $SERVICE_PID 2>/dev/null' EXIT
TAVREL_SERVICE_URL="http://127.0.0.1:$PORT" "$BUILD_DIR/src/tavrel" "$@"
