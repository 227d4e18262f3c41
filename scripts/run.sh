#!/usr/bin/env bash
# Runs Tavrel as a user would, against the local service with its demo account: builds (into BUILD_DIR
# when set), starts tavrel-localservice on a free port (or PORT), signs in to it with no manual step and
# shows the main window and the tray item. Quitting Tavrel, or stopping this script, stops the service.
# The demo keeps its settings, store and log in a folder of its own, removed at the end, so a real
# Tavrel of the same user is left alone. Arguments go to tavrel (for instance: upload FILE).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here: Tavrel needs a desktop. See its windows as pictures with: bash scripts/gallery.sh"
  exit 1
fi
bash scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
# Let clones in other folders share the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j "${JOBS:-$(nproc)}"

DEMO=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-demo.XXXXXX")
SERVICE_PID=
TAVREL_PID=
stop() {
  trap - EXIT INT TERM
  # Tavrel saves its store when asked to quit; the service goes after it.
  [ -n "$TAVREL_PID" ] && kill -TERM "$TAVREL_PID" 2>/dev/null && wait "$TAVREL_PID" 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill -TERM "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  rm -rf "$DEMO"
}
trap stop EXIT
trap 'exit 130' INT TERM

"$BUILD_DIR/tools/localservice/tavrel-localservice" --port "${PORT:-0}" --seed demo >"$DEMO/service.out" &
SERVICE_PID=$!
# The service prints its address, then the account's, once it listens.
for _ in $(seq 1 100); do
  [ "$(wc -l <"$DEMO/service.out")" -ge 2 ] && break
  kill -0 "$SERVICE_PID" 2>/dev/null || { echo "The local service did not start." >&2; exit 1; }
  sleep 0.1
done
SERVICE_URL=$(head -n 1 "$DEMO/service.out")
echo "Local service at $SERVICE_URL with the demo account $(sed -n 2p "$DEMO/service.out")"

export XDG_DATA_HOME="$DEMO/data" XDG_CONFIG_HOME="$DEMO/config" XDG_STATE_HOME="$DEMO/state" XDG_CACHE_HOME="$DEMO/cache"
"$BUILD_DIR/src/tavrel" --service "$SERVICE_URL" --sign-in-without-browser "$@" &
TAVREL_PID=$!
wait "$TAVREL_PID" || true
TAVREL_PID=
