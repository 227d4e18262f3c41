#!/usr/bin/env bash
# A file dropped on the main window from outside, as a file manager drops it, while the window shows a
# collection: the real program on an X display (Xvfb, with a window manager when one is installed)
# opens the collection from the keyboard (the most recent row, Ctrl+O), then a drag source of another
# process drops a text/uri-list on the middle of the window. The file must become a new document of the
# local service inside that collection.
# Usage: xvfb-drop-upload.sh TAVREL LOCALSERVICE XDROP
set -euo pipefail
TAVREL=$1 SERVICE=$2 XDROP=$3
for tool in xvfb-run dbus-run-session; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done
[ -x "$XDROP" ] || { echo "SKIP: no drag source helper"; exit 77; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-drop.XXXXXX")
SERVICE_PID=
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# Box is the most recently changed record, so it is the first row under the list's first header.
cat >"$WORK/seed.json" <<'JSON'
{
  "owner": {"email": "drop@tavrel.test", "name": "Drop Tester"},
  "documents": [
    {"resourceId": "folder:box", "kind": "folder", "title": "Box", "updated": "2026-01-02T10:00:00Z"},
    {"resourceId": "document:inside", "kind": "document", "title": "Inside", "parents": ["folder:box"],
     "updated": "2019-05-01T10:00:00Z"},
    {"resourceId": "document:outside", "kind": "document", "title": "Outside", "updated": "2019-04-01T10:00:00Z"}
  ]
}
JSON
printf 'dropped from the file manager\n' >"$WORK/dropped-note.txt"

mkfifo "$WORK/console"
"$SERVICE" --port 0 --seed "$WORK/seed.json" --console <"$WORK/console" >"$WORK/service.out" 2>"$WORK/service.err" &
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
export TAVREL XDROP URL WORK

xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  WM=
  fail() { { echo "FAIL: $*"; tail -25 "$LOG" 2>/dev/null || true; } >&2; { [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null; } || true; exit 1; }
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & WM=$!; fi
  trap "[ -n \"\$WM\" ] && kill \$WM 2>/dev/null || true" EXIT
  wait_log() {
    for _ in $(seq 1 "$2"); do grep -Eq "$1" "$LOG" 2>/dev/null && return 0; kill -0 "$PID" 2>/dev/null || return 1; sleep 0.1; done
    return 1
  }
  quit() {
    "$TAVREL" --service "$URL" quit
    for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$PID" 2>/dev/null && { kill -9 "$PID"; fail "the quit verb did not end the program"; }
    wait "$PID" || fail "the program ended with an error"
  }

  # The first start synchronises (under its welcome window); the second shows the stored list.
  "$TAVREL" --service "$URL" --sign-in-without-browser >"$WORK/first.out" 2>&1 &
  PID=$!
  wait_log "MainWindow: .* with [1-9][0-9]* documents" 600 || fail "the first synchronisation never ended"
  quit
  "$TAVREL" --service "$URL" >"$WORK/second.out" 2>&1 &
  PID=$!
  wait_log "MainWindow: .* with [1-9][0-9]* documents" 300 || fail "the main window never showed the account"

  # The first row is Box: Up to the top whatever was selected, then Ctrl+O opens its detail view.
  for _ in $(seq 1 50); do "$XDROP" "$PID" keys Up >/dev/null 2>&1 && break; sleep 0.1; done
  "$XDROP" "$PID" keys Up Up Up ctrl+o || fail "no keys reached the window"
  wait_log "Show details: Box" 50 || fail "the collection was not opened"
  sleep 0.5 # the detail view slides in

  "$XDROP" "$PID" drop "$WORK/dropped-note.txt" || fail "the window did not take the drop"
  wait_log "Received upload callback" 200 || fail "the upload never ended"
  quit
'
# The new document is in the service, inside Box: the service's console answers each command with its
# lines and a "." line, appended to its output.
ask() {
  local start
  start=$(wc -l <"$WORK/service.out")
  printf "%s\n" "$1" >&7
  for _ in $(seq 1 100); do
    tail -n +"$((start + 1))" "$WORK/service.out" | grep -qx "\." && break
    sleep 0.05
  done
  tail -n +"$((start + 1))" "$WORK/service.out" | sed "/^\.$/,\$d"
}
found=
for id in $(ask ids); do
  answer=$(ask "document $id")
  [ "$(head -1 <<<"$answer")" = "dropped-note.txt" ] && found="$id $(tail -n +2 <<<"$answer" | tr "\n" " ")"
done
[ -n "$found" ] || { echo "FAIL: no document dropped-note.txt in the service"; exit 1; }
case "$found" in *folder:box*) ;; *) echo "FAIL: the dropped document is not inside Box: $found"; exit 1 ;; esac
echo "PASS: the dropped file became $found"
