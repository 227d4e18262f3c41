#!/usr/bin/env bash
# Sharing details as a user uses them, on an X display (Xvfb) with the real program against the local
# service: select two documents of the list, open "Sharing Details" from the row menu, and in the
# window of the two documents choose "Can edit" for the person who views both; the service must then
# list that person as a writer of both.
# Usage: xvfb-sharing-details.sh TAVREL LOCALSERVICE SCREENSHOT [PICTURE.png to keep]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP_PICTURE=${4:-}
for tool in xvfb-run dbus-run-session xwininfo xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-details.XXXXXX")
SERVICE_PID=
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# Two documents, newest first under one header, each viewed by Ann; then a third, older one.
cat >"$WORK/seed.json" <<'SEED'
{"owner": {"email": "demo@tavrel.test", "name": "Demo User"},
 "contacts": [{"id": "c1", "name": "Ann Lee", "emails": [{"address": "ann@tavrel.test"}]}],
 "documents": [
  {"resourceId": "document:old", "kind": "document", "title": "Old", "updated": "2025-01-01T09:00:00.000Z"},
  {"resourceId": "document:alpha", "kind": "document", "title": "Alpha", "updated": "2026-06-02T09:00:00.000Z",
   "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
  {"resourceId": "document:beta", "kind": "document", "title": "Beta", "updated": "2026-06-01T09:00:00.000Z",
   "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]}
 ]}
SEED

# The service takes console commands through a pipe this script keeps open; answers go to service.out.
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
  # The answer of a console command, without its closing "." line.
  ask() {
    local before; before=$(wc -l <"$WORK/service.out")
    echo "$1" >&7
    for _ in $(seq 1 100); do tail -n +"$((before + 1))" "$WORK/service.out" | grep -qx "\." && break; sleep 0.05; done
    tail -n +"$((before + 1))" "$WORK/service.out" | sed "/^\.$/,\$d"
  }
  # The role the service gives Ann on the document $1.
  role_of_ann() { ask "acl $1" | awk "\$3 == \"ann@tavrel.test\" {print \$1}"; }

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
  [ "$(role_of_ann document:alpha)" = reader ] || fail "Ann does not view Alpha at the start"

  # Alpha, then Beta with Control, then the row menu on Beta and its second entry the keys reach
  # (disabled entries are passed over), after "Open": "Sharing Details".
  click 597 156 1 "$main"
  click 597 236 1 "$main" ctrl
  shown=$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)
  click 597 236 3 "$main"
  for _ in $(seq 1 50); do
    [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -gt "$shown" ] && break
    sleep 0.1
  done
  xdotool key Down Down Return
  details=$(wait_window "Sharing of 2 items")
  "$SHOT" "$WORK/details.png" >/dev/null 2>&1 || true

  # Ann is the second row (the owner comes first): her role pull-down stands 90 points left of the
  # right edge of the window, in the middle of the row (title strip 36, bar 40, a row 68 points high).
  read -r _ _ dw _ <<<"$details"
  shown=$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)
  click $((dw - 90)) $((36 + 40 + 68 + 34)) 1 "$details"
  for _ in $(seq 1 50); do
    [ "$(xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l)" -gt "$shown" ] && break
    sleep 0.1
  done
  "$SHOT" "$WORK/pulldown.png" >/dev/null 2>&1 || true
  # "Can view", then "Can edit".
  xdotool key Down Down Return
  found=
  for _ in $(seq 1 200); do
    if [ "$(role_of_ann document:alpha)" = writer ] && [ "$(role_of_ann document:beta)" = writer ]; then found=1; break; fi
    sleep 0.1
  done
  "$SHOT" "$WORK/changed.png" >/dev/null 2>&1 || true
  [ -n "$found" ] || { ask "acl document:alpha"; ask "acl document:beta"; fail "the service does not list Ann as a writer of both"; }
  [ "$(role_of_ann document:old)" = "" ] || fail "a document outside the selection changed"
  grep -q "Set permission for: ann@tavrel.test" "$LOG" || fail "no role change in the log"

  "$TAVREL" --service "$URL" quit
  for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$PID" 2>/dev/null; then kill -9 "$PID"; fail "the quit verb did not end the program"; fi
  wait "$PID" || fail "the program ended with an error"
'
[ -n "$KEEP_PICTURE" ] && cp "$WORK/changed.png" "$KEEP_PICTURE"
echo "PASS: Ann became a writer of both documents from their sharing details"
