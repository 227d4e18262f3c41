#!/usr/bin/env bash
# A person's role changed as a user does it, on an X display (Xvfb) with a window manager: the program
# signed in to the local service, the person found in the contacts and the person's page opened; the
# one document the user shares with her (as a reader) shows her role badge, which opens the quick
# permission popover, where the switch is moved to edit. The service must then list her as a writer.
# Usage: xvfb-contact-role.sh TAVREL LOCALSERVICE SCREENSHOT [FOLDER to keep the pictures in]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP=${4:-}
for tool in xvfb-run dbus-run-session xwininfo xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-role.XXXXXX")
SERVICE_PID=
cleanup() {
  exec 7>&- 2>/dev/null || true
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ -n "$KEEP" ]; then mkdir -p "$KEEP" && cp "$WORK"/*.png "$KEEP"/ 2>/dev/null || true; fi
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

cat >"$WORK/seed.json" <<'SEED'
{
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "contacts": [{"id": "c1", "name": "Ann Lee", "emails": [{"address": "ann@tavrel.test"}]}],
  "documents": [
    {"resourceId": "document:plan", "kind": "document", "title": "Quarterly plan",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]}
  ]
}
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
# Where the row's badge and the popover's switch stand (points): the row's middle below the window
# top, the badge left of the window's right edge, and the switch's edit end inside the popover.
export ROW_Y=${ROW_Y:-209} BADGE_X=${BADGE_X:-63} SWITCH_X=${SWITCH_X:-47} SWITCH_Y=${SWITCH_Y:-63}
export TAVREL SHOT URL WORK

xvfb-run -a -s "-screen 0 1366x768x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  WM_PID=
  fail() {
    { echo "FAIL: $*"; tail -20 "$LOG" 2>/dev/null || true; } >&2
    "$SHOT" "$WORK/failure.png" >/dev/null 2>&1 || true
    { [ -n "${PID:-}" ] && kill "$PID" 2>/dev/null; } || true; [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true; exit 1
  }
  # A window manager, as on a desktop, where one is installed.
  if command -v openbox >/dev/null; then openbox >"$WORK/wm.out" 2>&1 & WM_PID=$!; fi

  # The geometry "X Y W H" on the screen of the shown window named $1, or nothing.
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
  # The answer of a console command, without its closing "." line.
  ask() {
    local before; before=$(wc -l <"$WORK/service.out")
    echo "$1" >&7
    for _ in $(seq 1 100); do tail -n +"$((before + 1))" "$WORK/service.out" | grep -qx "\." && break; sleep 0.05; done
    tail -n +"$((before + 1))" "$WORK/service.out" | sed "/^\.$/,\$d"
  }

  "$TAVREL" --service "$URL" --sign-in-without-browser >"$WORK/tavrel.out" 2>&1 &
  PID=$!
  for _ in $(seq 1 600); do
    grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG" 2>/dev/null && break
    kill -0 "$PID" 2>/dev/null || fail "the program ended"
    sleep 0.1
  done
  grep -Eq "MainWindow: .* with [1-9][0-9]* documents" "$LOG" || fail "the first synchronisation never ended"
  read -r x y w h <<<"$(wait_window "Tavrel")"
  # The first start shows its tour over the window: skipped, as a user would.
  for _ in $(seq 1 30); do
    tour=$(xdotool search --onlyvisible --name "^Welcome to Tavrel$" 2>/dev/null | head -1 || true)
    if [ -n "$tour" ]; then xdotool windowactivate --sync "$tour" key Escape; sleep 0.3; break; fi
    sleep 0.1
  done
  [ -z "$(geometry "Welcome to Tavrel")" ] || fail "the tour did not go"
  # Let the first painted frame settle: the list shows its one row.
  for _ in $(seq 1 50); do
    "$SHOT" "$WORK/list.png" >"$WORK/list.txt"; grep -q "^content: none" "$WORK/list.txt" || break; sleep 0.1
  done

  before=$(ask "acl document:plan" | awk "\$3 == \"ann@tavrel.test\" {print \$1}")
  [ "$before" = "reader" ] || fail "the seed does not make ann@tavrel.test a reader (\"$before\")"

  # The contacts: the fourth button of the sidebar (logo, All Items, Starred, Contacts); the search finds
  # Ann, Return goes to the list and Return again opens her page.
  W=$(xdotool search --onlyvisible --name "^Tavrel$" | head -1)
  xdotool windowactivate --sync "$W" 2>/dev/null || xdotool windowfocus --sync "$W"
  xdotool mousemove --window "$W" 36 210 click 1
  sleep 0.5
  xdotool key --window "$W" ctrl+f
  sleep 0.3
  xdotool type --delay 60 "Ann"
  sleep 0.5
  xdotool key Return
  sleep 0.3
  xdotool key Return
  for _ in $(seq 1 100); do grep -q "Contact page: ann@tavrel.test lists 1 documents" "$LOG" && break; sleep 0.1; done
  grep -q "Contact page: ann@tavrel.test lists 1 documents" "$LOG" || fail "her page never listed the document"
  sleep 0.5
  "$SHOT" "$WORK/page.png" >/dev/null

  # The row of the document lies under the header of the person, the search bar and the group
  # header; its role badge stands left of the stop-sharing button at the right end of the row.
  echo "window at $x $y $w $h"
  row_y=$((y + ROW_Y))
  xdotool mousemove $((x + w - BADGE_X)) $row_y
  sleep 0.3
  xdotool click 1
  sleep 0.5
  "$SHOT" "$WORK/popover.png" >/dev/null
  # The popover: the small window of the program that has just appeared.
  pop=
  for _ in $(seq 1 50); do
    for id in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$id")"
      if [ "$WIDTH" -lt 500 ] && [ "$HEIGHT" -lt 400 ] && [ "$WIDTH" -gt 100 ]; then pop="$X $Y $WIDTH $HEIGHT"; fi
    done
    [ -n "$pop" ] && break
    sleep 0.1
  done
  [ -n "$pop" ] || fail "the badge did not open the quick permission popover"
  read -r px py pw ph <<<"$pop"
  echo "popover at $pop"
  # Its role switch stands under the heading: edit is the left end of the switch.
  xdotool mousemove $((px + SWITCH_X)) $((py + SWITCH_Y))
  sleep 0.2
  xdotool click 1
  role=
  for _ in $(seq 1 200); do
    role=$(ask "acl document:plan" | awk "\$3 == \"ann@tavrel.test\" {print \$1}")
    [ "$role" = "writer" ] && break
    sleep 0.1
  done
  "$SHOT" "$WORK/after.png" >/dev/null
  [ "$role" = "writer" ] || { ask "acl document:plan"; ask journal; fail "the service lists ann@tavrel.test as \"$role\""; }
  echo "service: ann@tavrel.test is a $role of document:plan"

  "$TAVREL" --service "$URL" quit
  for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$PID" 2>/dev/null && { kill -9 "$PID"; fail "the quit verb did not end the program"; }
  wait "$PID" || fail "the program ended with an error"
  [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null || true
'
echo "PASS: her role switched to edit on her page; the service lists her as a writer"
