#!/usr/bin/env bash
# Trash and restore as a user does it, in the real program on an X display (Xvfb) with a window manager,
# against the local service's demo account: the first document of All Items is moved to the trash with the
# Delete key, the Trash place is opened from the sidebar and the document restored from its row menu. The
# service must hold it trashed, then untrashed, and All Items must list it again (it comes back first, so
# trashing the first row once more names the same document).
# Usage: xvfb-trash-restore.sh TAVREL LOCALSERVICE SCREENSHOT [FOLDER to keep the pictures in]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP=${4:-}
for tool in xvfb-run dbus-run-session xdotool openbox curl; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-trash.XXXXXX")
SERVICE_PID=
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ -n "$KEEP" ]; then mkdir -p "$KEEP" && cp "$WORK"/*.png "$KEEP"/ 2>/dev/null || true; fi
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# The service answers console commands (its journal, a token) through a pipe this script keeps open.
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

xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  [ -z "${E2E_TRACE:-}" ] || set -x
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  # Ends what this script started, by its process ids only.
  stop() {
    [ -z "${PID:-}" ] || kill "$PID" 2>/dev/null || true
    [ -z "${WM:-}" ] || kill "$WM" 2>/dev/null || true
  }
  fail() {
    { echo "FAIL: $*"; tail -20 "$LOG" 2>/dev/null || true; } >&2
    "$SHOT" "$WORK/failure.png" >/dev/null 2>&1 || true
    stop; exit 1
  }
  # Waits up to $1 tenths of a second for the command in the other arguments to succeed.
  until_true() { local tenths=$1; shift; for _ in $(seq 1 "$tenths"); do "$@" && return 0; sleep 0.1; done; return 1; }
  # Whether the service wrote the end of an answer from line $1 on.
  answered() { tail -n +"$1" "$WORK/service.out" | grep -q "^\.$"; }
  # A console command; prints its answer (the lines before the closing ".").
  console() {
    local before; before=$(wc -l <"$WORK/service.out")
    echo "$1" >&7
    until_true 150 answered "$((before + 1))" || fail "the console did not answer $1"
    tail -n +"$((before + 1))" "$WORK/service.out" | sed "/^\.$/,\$d"
  }
  # The resource ids the service holds trashed, one a line, sorted.
  trashed_ids() {
    curl -sf "$URL/feeds/default/private/full?access_token=$TOKEN&showdeleted=true&max-results=1000" >"$WORK/feed.xml" ||
      fail "the service did not answer its documents feed"
    awk -v RS="<entry" "/labels#trashed/" "$WORK/feed.xml" | { grep -o "<gd:resourceId>[^<]*" || true; } | cut -d">" -f2 | sort
  }
  # Waits until the service holds trashed exactly one id more than those in the file; prints it.
  newly_trashed() { comm -13 "$1" <(trashed_ids); }
  one_more_trashed() { [ "$(newly_trashed "$1" | wc -l)" -eq 1 ]; }
  # Right-clicks the first row and waits for its menu to be on the display.
  tavrel_windows() { xwininfo -root -tree | grep -c "\"tavrel\"" || true; }
  more_windows_than() { [ "$(tavrel_windows)" -gt "$1" ]; }
  open_row_menu() {
    local before; before=$(tavrel_windows)
    row 3
    until_true 150 more_windows_than "$before" || fail "the row menu did not open"
  }
  trashed_on_service() { trashed_ids | grep -qx "$1"; }
  logged() { grep -Fc "$1" "$LOG" 2>/dev/null || true; }
  more_logged() { [ "$(logged "$1")" -gt "$2" ]; }

  openbox >"$WORK/openbox.log" 2>&1 &
  WM=$!
  wm_up() { xwininfo -root -tree | grep -q Openbox; }
  until_true 150 wm_up || fail "the window manager did not start"

  "$TAVREL" --service "$URL" --sign-in-without-browser >"$WORK/tavrel.out" 2>&1 &
  PID=$!
  until_true 600 grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG" || fail "the account was never shown"
  # The first run opens its tour over the window: it goes with Escape.
  tour() { xdotool search --onlyvisible --name "^Welcome to Tavrel\$" 2>/dev/null | head -1; }
  no_tour() { [ -z "$(tour)" ]; }
  has_tour() { [ -n "$(tour)" ]; }
  if until_true 150 has_tour; then
    xdotool windowactivate --sync "$(tour)" key Escape
    until_true 150 no_tour || fail "the tour did not close"
  fi
  MAIN=$(xdotool search --onlyvisible --name "^Tavrel\$" | head -1)
  [ -n "$MAIN" ] || fail "no main window"
  xdotool windowactivate --sync "$MAIN" || true
  TOKEN=$(console token)
  # Places in the window (its own coordinates): the first row of a list, the sidebar buttons.
  row() { xdotool mousemove --window "$MAIN" 500 135 click "$1"; }
  # Clicks a sidebar button, then waits for the display to change and settle (the slide has ended):
  # two pictures alike in a row, unlike the one before the click; the last is $2.png.
  place() {
    "$SHOT" "$WORK/$2.png" >/dev/null
    cp "$WORK/$2.png" "$WORK/before.png"
    xdotool mousemove --window "$MAIN" 36 "$1" click 1
    for _ in $(seq 1 150); do
      cp "$WORK/$2.png" "$WORK/previous.png"
      "$SHOT" "$WORK/$2.png" >/dev/null
      if ! cmp -s "$WORK/$2.png" "$WORK/before.png" && cmp -s "$WORK/$2.png" "$WORK/previous.png"; then return 0; fi
      sleep 0.1
    done
    fail "the display did not settle after the click on the sidebar at $1"
  }
  ALL_ITEMS=133 TRASH=326
  # The window is still being placed and drawn while the first update ends: a click then can land
  # beside the list. Wait for the update to end and for two pictures alike in a row.
  until_true 300 more_logged "PM: Activity finished" 0 || fail "the first update never ended"
  settled() {
    "$SHOT" "$WORK/settling.png" >/dev/null
    for _ in $(seq 1 150); do
      cp "$WORK/settling.png" "$WORK/previous.png"
      sleep 0.1
      "$SHOT" "$WORK/settling.png" >/dev/null
      cmp -s "$WORK/settling.png" "$WORK/previous.png" && return 0
    done
    return 1
  }
  settled || fail "the window did not settle after the first update"

  # Trash the first document of All Items with the Delete key. The key goes through the same input
  # queue as the click (a key sent to the window directly can overtake the click and find no selection).
  trashed_ids >"$WORK/before"
  row 1
  xdotool key Delete
  until_true 300 one_more_trashed "$WORK/before" || fail "the service holds no document more in the trash"
  RID=$(newly_trashed "$WORK/before")
  echo "trashed $RID"

  # Open Trash and restore the document from its row menu (Restore is its first item).
  place $TRASH trash
  open_row_menu
  xdotool key Down Return
  until_true 300 more_logged "UnTrashing: 1 documents" 0 || fail "Restore restored nothing"
  untrashed() { ! trashed_on_service "$RID"; }
  until_true 300 untrashed || fail "the service still holds $RID trashed"
  echo "restored $RID"

  # All Items lists it again, first: trashing the first row once more trashes the same document.
  place $ALL_ITEMS all-items
  trashed_ids >"$WORK/before"
  row 1
  xdotool key Delete
  until_true 300 one_more_trashed "$WORK/before" || fail "the second trashing never reached the service"
  again=$(newly_trashed "$WORK/before")
  [ "$again" = "$RID" ] || fail "All Items does not list $RID first again (the first row was $again)"

  "$TAVREL" --service "$URL" quit
  ended() { ! kill -0 "$PID" 2>/dev/null; }
  until_true 300 ended || { kill -9 "$PID"; fail "the quit verb did not end the program"; }
  wait "$PID" || fail "the program ended with an error"
  PID=
  stop
'
echo "PASS: trashed from All Items, restored from Trash, listed again; the service followed"
