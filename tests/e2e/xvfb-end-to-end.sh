#!/usr/bin/env bash
# The program as a user starts it: the real tavrel executable on an X display (Xvfb) with a private D-Bus
# session, against the local service's demo account. The main window must appear and show the account
# after the first synchronisation, on a picture of the X display taken through the X server; the quit verb
# must end the program cleanly with its store saved.
# Usage: xvfb-end-to-end.sh TAVREL LOCALSERVICE SCREENSHOT [PICTURE.png to keep]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP_PICTURE=${4:-}
for tool in xvfb-run dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e.XXXXXX")
SERVICE_PID=
cleanup() {
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

"$SERVICE" --port 0 --seed demo >"$WORK/service.out" 2>"$WORK/service.err" &
SERVICE_PID=$!
for _ in $(seq 1 200); do
  [ "$(wc -l <"$WORK/service.out")" -ge 2 ] && break
  kill -0 "$SERVICE_PID" 2>/dev/null || { echo "FAIL: the local service did not start"; cat "$WORK/service.err"; exit 1; }
  sleep 0.05
done
export TAVREL_E2E_URL TAVREL_E2E_ACCOUNT
TAVREL_E2E_URL=$(sed -n 1p "$WORK/service.out")
TAVREL_E2E_ACCOUNT=$(sed -n 2p "$WORK/service.out")

# Everything the program keeps goes to the test's folder.
export HOME="$WORK/home" XDG_DATA_HOME="$WORK/data" XDG_CONFIG_HOME="$WORK/config" \
  XDG_STATE_HOME="$WORK/state" XDG_CACHE_HOME="$WORK/cache" XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export TAVREL TAVREL_E2E_WORK="$WORK" TAVREL_E2E_SHOT="$SHOT"

# Inside the display and the bus: start, wait for the window to show the account, take the picture, quit.
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  "$TAVREL" --service "$TAVREL_E2E_URL" --sign-in-without-browser >"$TAVREL_E2E_WORK/tavrel.out" 2>&1 &
  PID=$!
  shown=
  for _ in $(seq 1 600); do
    if [ -f "$LOG" ] && grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG"; then shown=1; break; fi
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$shown" ]; then
    echo "FAIL: the main window never showed the account"; cat "$LOG" 2>/dev/null | tail -30
    kill "$PID" 2>/dev/null || true; exit 1
  fi
  grep -F "MainWindow: $TAVREL_E2E_ACCOUNT" "$LOG" >/dev/null || { echo "FAIL: another account is shown"; exit 1; }
  # Let the window manager-less display settle on the first painted frame.
  for _ in $(seq 1 50); do
    "$TAVREL_E2E_SHOT" "$TAVREL_E2E_WORK/screen.png" >"$TAVREL_E2E_WORK/screen.txt"
    grep -q "^content: none" "$TAVREL_E2E_WORK/screen.txt" || break
    sleep 0.1
  done
  cat "$TAVREL_E2E_WORK/screen.txt"
  read -r _ x y w h < <(grep "^content:" "$TAVREL_E2E_WORK/screen.txt") || true
  colours=$(sed -n "s/^colours: //p" "$TAVREL_E2E_WORK/screen.txt")
  if [ -z "${w:-}" ] || [ "${w:-0}" -lt 400 ] || [ "${h:-0}" -lt 300 ] || [ "$colours" -lt 50 ]; then
    echo "FAIL: no window on the display"; kill "$PID" 2>/dev/null || true; exit 1
  fi
  "$TAVREL" --service "$TAVREL_E2E_URL" quit
  for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$PID" 2>/dev/null; then echo "FAIL: the quit verb did not end the program"; kill -9 "$PID"; exit 1; fi
  wait "$PID" || { echo "FAIL: the program ended with an error"; tail -20 "$TAVREL_E2E_WORK/tavrel.out"; exit 1; }
  grep -F "Quit: the store of $TAVREL_E2E_ACCOUNT is saved" "$LOG" >/dev/null || { echo "FAIL: the store was not saved"; exit 1; }
  grep -F "Quit: done" "$LOG" >/dev/null || { echo "FAIL: no clean quit"; exit 1; }
'
[ -n "$KEEP_PICTURE" ] && cp "$WORK/screen.png" "$KEEP_PICTURE"
echo "PASS: window shown on the X display, quit with the store saved"
