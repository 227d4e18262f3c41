#!/usr/bin/env bash
# The document list as a user sees it on an X display (Xvfb), judged by the pixels the X server holds:
# the first start's welcome window, then restarts over the same store while the service holds its
# changes feed, so no synchronisation can finish. The welcome window and the list must be painted (not
# black), and the stored documents must be listed at once, before any synchronisation.
# Usage: xvfb-restart-list.sh TAVREL LOCALSERVICE SCREENSHOT [FOLDER to keep the pictures in]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP=${4:-}
for tool in xvfb-run dbus-run-session xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-list.XXXXXX")
SERVICE_PID=
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ -n "$KEEP" ]; then mkdir -p "$KEEP" && cp "$WORK"/*.png "$KEEP"/ 2>/dev/null || true; fi
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# The service takes console commands (faults) through a pipe this script keeps open.
mkfifo "$WORK/console"
"$SERVICE" --port 0 --seed demo --console <"$WORK/console" >"$WORK/service.out" 2>"$WORK/service.err" &
SERVICE_PID=$!
exec 7>"$WORK/console"
for _ in $(seq 1 200); do
  [ "$(wc -l <"$WORK/service.out")" -ge 2 ] && break
  kill -0 "$SERVICE_PID" 2>/dev/null || { echo "FAIL: the local service did not start"; cat "$WORK/service.err"; exit 1; }
  sleep 0.05
done
URL=$(sed -n 1p "$WORK/service.out")

export HOME="$WORK/home" XDG_DATA_HOME="$WORK/data" XDG_CONFIG_HOME="$WORK/config" \
  XDG_STATE_HOME="$WORK/state" XDG_CACHE_HOME="$WORK/cache" XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR
export TAVREL SHOT URL WORK

# Commands to the service go through descriptor 7, which the display's shell inherits.
xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  fail() { { echo "FAIL: $*"; tail -20 "$LOG" 2>/dev/null || true; } >&2; { [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null; } || true; exit 1; }

  # The geometry "X Y W H" on the screen of the shown window titled $1, or nothing.
  geometry() {
    local id info
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk "{print \$1}"); do
      info=$(xwininfo -id "$id" 2>/dev/null) || continue
      grep -q "Map State: IsViewable" <<<"$info" || continue
      awk -F: "/Absolute upper-left X/ {x=\$2} /Absolute upper-left Y/ {y=\$2} /^ *Width/ {w=\$2}
               /^ *Height/ {h=\$2} END {if (w > 100 && h > 100) print x+0, y+0, w+0, h+0}" <<<"$info"
      return 0
    done
  }
  # Waits until the window titled $1 is on the display; prints its geometry.
  wait_window() {
    local g=
    for _ in $(seq 1 300); do
      g=$(geometry "$1"); [ -n "$g" ] && break
      kill -0 "$PID" 2>/dev/null || fail "the program ended"
      sleep 0.1
    done
    [ -n "$g" ] || fail "no window \"$1\""
    echo "$g"
  }
  # Takes pictures of box "X Y W H" until it is painted (few black pixels, at least $2 rows with ink),
  # for at most $3 tenths of a second; the last picture is $4.png. Answers whether it came.
  painted() {
    local box=$1 rows=$2 tenths=$3 name=$4
    for _ in $(seq 1 "$tenths"); do
      "$SHOT" "$WORK/$name.png" $box >"$WORK/$name.txt"
      black=$(sed -n "s/^box-black: //p" "$WORK/$name.txt")
      inked=$(sed -n "s/^box-inked-rows: //p" "$WORK/$name.txt")
      if [ "${black:-100}" -le 2 ] && [ "${inked:-0}" -ge "$rows" ]; then echo "$name: painted, black $black %, $inked rows with ink"; return 0; fi
      sleep 0.1
    done
    echo "$name: box $box, black ${black:-?} %, ${inked:-?} rows with ink"
    return 1
  }
  # The list: right of the sidebar, below the title strip and the list header, in the part of the
  # window on the screen, where the titles of the rows are.
  list_box() {
    read -r x y w h <<<"$1"
    [ $((x + w)) -gt 1366 ] && w=$((1366 - x))
    [ $((y + h)) -gt 768 ] && h=$((768 - y))
    echo "$((x + w * 20 / 100)) $((y + h * 25 / 100)) $((w * 50 / 100)) $((h * 60 / 100))"
  }
  quit() {
    "$TAVREL" --service "$URL" quit
    for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$PID" 2>/dev/null && { kill -9 "$PID"; fail "the quit verb did not end the program"; }
    wait "$PID" || fail "the program ended with an error"
  }

  # First start: the welcome window over the first synchronisation.
  "$TAVREL" --service "$URL" --sign-in-without-browser >"$WORK/first.out" 2>&1 &
  PID=$!
  welcome=$(wait_window "Welcome to Tavrel")
  painted "$welcome" 40 300 welcome || fail "the welcome window is not painted"
  for _ in $(seq 1 600); do
    grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG" 2>/dev/null && break
    sleep 0.1
  done
  grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG" || fail "the first synchronisation never ended"
  quit

  # Restarts over the stored account while no synchronisation can finish.
  echo "hang /changes" >&7
  for scale in 1 1 2; do
    QT_SCALE_FACTOR=$scale "$TAVREL" --service "$URL" >"$WORK/restart.out" 2>&1 &
    PID=$!
    main=$(wait_window "Tavrel")
    # The stored documents, while the held changes feed keeps any synchronisation from ending. How fast
    # they come is for bench/ui to measure: a loaded machine only makes the wait longer.
    box=$(list_box "$main")
    painted "$box" $(($(cut -d" " -f4 <<<"$box") / 6)) 300 "restart-scale$scale" ||
      fail "the stored list is not on screen at scale $scale"
    quit
  done
  echo "clear-faults" >&7
'
echo "PASS: the welcome window and the stored list are painted before any synchronisation"
