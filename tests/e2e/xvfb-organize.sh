#!/usr/bin/env bash
# Organize as a user does it, on an X display (Xvfb) with the real program against the local service:
# select two documents of the list, open "Collections…" from the row menu, tick the one collection in
# the Organize window; the service must then list both documents inside that collection.
# Usage: xvfb-organize.sh TAVREL LOCALSERVICE SCREENSHOT [PICTURE.png to keep]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP_PICTURE=${4:-}
for tool in xvfb-run dbus-run-session xwininfo xdotool curl; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-organize.XXXXXX")
SERVICE_PID=
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# Two documents, newest first under one header, then the collection.
cat >"$WORK/seed.json" <<'SEED'
{"owner": {"email": "demo@tavrel.test", "name": "Demo User"},
 "documents": [
  {"resourceId": "folder:box", "kind": "folder", "title": "Box", "updated": "2025-01-01T09:00:00.000Z"},
  {"resourceId": "document:alpha", "kind": "document", "title": "Alpha", "updated": "2026-06-02T09:00:00.000Z"},
  {"resourceId": "document:beta", "kind": "document", "title": "Beta", "updated": "2026-06-01T09:00:00.000Z"}
 ]}
SEED

# The service takes console commands (its tokens) through a pipe this script keeps open.
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
export TAVREL SHOT URL WORK

xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  fail() { { echo "FAIL: $*"; tail -20 "$LOG" 2>/dev/null || true; } >&2; "$SHOT" "$WORK/failed.png" >/dev/null 2>&1 || true; { [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null; } || true; exit 1; }

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
  # A click of button $3 at ($1, $2) of the window at "X Y W H" $4, with the keys $5 held.
  click() {
    read -r x y _ <<<"$4"
    xdotool mousemove $((x + $1)) $((y + $2))
    sleep 0.2
    if [ -n "${5:-}" ]; then xdotool keydown "$5" click "$3" keyup "$5"; else xdotool click "$3"; fi
    sleep 0.4
  }
  # The documents the service holds in the collection, by title.
  contents() {
    local before token
    before=$(grep -c "^\.$" "$WORK/service.out" || true)
    echo token >&7
    for _ in $(seq 1 50); do [ "$(grep -c "^\.$" "$WORK/service.out" || true)" -gt "$before" ] && break; sleep 0.1; done
    token=$(grep -v "^\.$" "$WORK/service.out" | tail -1)
    curl -s -H "Authorization: Bearer $token" "$URL/feeds/default/private/full/folder%3Abox/contents" |
      grep -o "<title[^>]*>[^<]*</title>" | sed "s/<[^>]*>//g"
  }

  "$TAVREL" --service "$URL" --sign-in-without-browser >"$WORK/tavrel.out" 2>&1 &
  PID=$!
  # The first start welcomes the user: skip the tour.
  welcome=$(wait_window "Welcome to Tavrel")
  for _ in $(seq 1 600); do
    grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG" 2>/dev/null && break
    sleep 0.1
  done
  click 61 304 1 "$welcome"
  main=$(wait_window "Tavrel")
  [ -z "$(geometry "Welcome to Tavrel")" ] || fail "the welcome window stays"
  contents | grep -qx "Alpha" && fail "Alpha is in the collection before Organize"

  # Alpha, then Beta with Control, then the row menu on Beta and its "Collections…" entry.
  click 597 156 1 "$main"
  click 597 236 1 "$main" ctrl
  shown=$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)
  click 597 236 3 "$main"
  for _ in $(seq 1 50); do
    [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -gt "$shown" ] && break
    sleep 0.1
  done
  # In the row menu, the third entry the keys reach (disabled entries are passed over) is "Collections…",
  # after "Open" and "Sharing Details".
  xdotool key Down Down Down Return
  organize=$(wait_window "Collections of 2 items")

  # The box of the one collection, in the first row under "My Collections".
  click 37 83 1 "$organize"
  found=
  for _ in $(seq 1 100); do
    listed=$(contents)
    if grep -qx "Alpha" <<<"$listed" && grep -qx "Beta" <<<"$listed"; then found=1; break; fi
    sleep 0.1
  done
  "$SHOT" "$WORK/organized.png" >/dev/null 2>&1 || true
  [ -n "$found" ] || fail "the service does not list both documents in the collection: $(echo $listed)"
  grep -q "AssignCollections" "$LOG" || fail "no AssignCollections in the log"

  "$TAVREL" --service "$URL" quit
  for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$PID" 2>/dev/null; then kill -9 "$PID"; fail "the quit verb did not end the program"; fi
  wait "$PID" || fail "the program ended with an error"
'
[ -n "$KEEP_PICTURE" ] && cp "$WORK/organized.png" "$KEEP_PICTURE"
echo "PASS: Organize on two documents put both into the ticked collection on the service"
