#!/usr/bin/env bash
# A person's page in the real program, as a user reaches it: on an X display (Xvfb) with a window manager,
# against the local service holding contacts-seed.json, the user opens Contacts in the sidebar, types part
# of a name in the search field, opens the person found and reads the documents the page lists. They
# must be exactly the documents the service shares with that person (owner or on the access list, the
# address compared whole and in any letter case), never those of a look-alike address.
# Usage: xvfb-contacts.sh TAVREL LOCALSERVICE SCREENSHOT [PICTURE.png to keep]
set -euo pipefail
TAVREL=$1 SERVICE=$2 SHOT=$3 KEEP_PICTURE=${4:-}
HERE=$(cd "$(dirname "$0")" && pwd)
for tool in xvfb-run dbus-run-session xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (scripts/setup.sh installs it)"; exit 77; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavrel-e2e-contacts.XXXXXX")
SERVICE_PID=
cleanup() {
  [ -n "$SERVICE_PID" ] && kill "$SERVICE_PID" 2>/dev/null && wait "$SERVICE_PID" 2>/dev/null || true
  if [ "${KEEP_E2E:-}" = 1 ]; then echo "kept $WORK"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

"$SERVICE" --port 0 --seed "$HERE/contacts-seed.json" >"$WORK/service.out" 2>"$WORK/service.err" &
SERVICE_PID=$!
for _ in $(seq 1 200); do
  [ "$(wc -l <"$WORK/service.out")" -ge 2 ] && break
  kill -0 "$SERVICE_PID" 2>/dev/null || { echo "FAIL: the local service did not start"; cat "$WORK/service.err"; exit 1; }
  sleep 0.05
done
export TAVREL_E2E_URL
TAVREL_E2E_URL=$(sed -n 1p "$WORK/service.out")

# What the seed shares with annika.berg@example.org: she owns "Ferry timetable" and is on the access
# lists of "Harbour survey" and (in capitals) "Quarterly figures"; "Garden plans" names only a look-alike
# address that starts with hers.
export TAVREL_E2E_EXPECTED="Ferry timetable|Harbour survey|Quarterly figures"
for title in "Ferry timetable" "Harbour survey" "Quarterly figures" "Garden plans"; do
  grep -qF "\"title\": \"$title\"" "$HERE/contacts-seed.json" || { echo "FAIL: the seed lost \"$title\""; exit 1; }
done

export HOME="$WORK/home" XDG_DATA_HOME="$WORK/data" XDG_CONFIG_HOME="$WORK/config" \
  XDG_STATE_HOME="$WORK/state" XDG_CACHE_HOME="$WORK/cache" XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export TAVREL TAVREL_E2E_WORK="$WORK" TAVREL_E2E_SHOT="$SHOT"

xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" dbus-run-session -- bash -c '
  set -euo pipefail
  LOG="$XDG_STATE_HOME/Tavrel/Tavrel.log"
  WM=
  if command -v openbox >/dev/null; then openbox >"$TAVREL_E2E_WORK/wm.out" 2>&1 & WM=$!; fi
  "$TAVREL" --service "$TAVREL_E2E_URL" --sign-in-without-browser >"$TAVREL_E2E_WORK/tavrel.out" 2>&1 &
  PID=$!
  finish() { kill "$PID" 2>/dev/null || true; [ -n "$WM" ] && kill "$WM" 2>/dev/null || true; }
  fail() { echo "FAIL: $1"; tail -20 "$LOG" 2>/dev/null || true; "$TAVREL_E2E_SHOT" "$TAVREL_E2E_WORK/screen.png" >/dev/null 2>&1 || true; finish; exit 1; }
  waitlog() { for _ in $(seq 1 "${2:-300}"); do grep -Eq "$1" "$LOG" 2>/dev/null && return 0; kill -0 "$PID" 2>/dev/null || return 1; sleep 0.1; done; return 1; }
  waitlog "MainWindow: .* with [1-9][0-9]* documents" 600 || fail "the main window never showed the account"
  # The first-run tour goes away first.
  for _ in $(seq 1 30); do
    TOUR=$(xdotool search --onlyvisible --name "^Welcome to Tavrel$" 2>/dev/null | head -1 || true)
    [ -n "$TOUR" ] && break; sleep 0.1
  done
  [ -n "$TOUR" ] && { xdotool windowactivate --sync "$TOUR" 2>/dev/null || xdotool windowfocus --sync "$TOUR"; xdotool key Escape; sleep 0.3; }
  W=$(xdotool search --onlyvisible --name "^Tavrel$" | head -1)
  [ -n "$W" ] || fail "no main window"
  xdotool windowactivate --sync "$W" 2>/dev/null || xdotool windowfocus --sync "$W"
  # The sidebar: logo, then All Items, Starred, Contacts (40-point buttons, 48 apart).
  xdotool mousemove --window "$W" 36 210 click 1
  sleep 0.5
  xdotool key --window "$W" ctrl+f
  sleep 0.3
  xdotool type --delay 60 "nnik"
  sleep 0.5
  # Return goes from the search to the list, Return again opens the person.
  xdotool key Return
  sleep 0.3
  xdotool key Return
  waitlog "Contact page: annika.berg@example.org lists" 100 || fail "the page of the person found never listed its documents"
  LINE=$(grep -a "Contact page: annika.berg@example.org lists" "$LOG" | tail -1)
  echo "$LINE"
  LISTED=$(echo "$LINE" | sed "s/.*documents: //" | tr "|" "\n" | sed "s/^ *//; s/ *$//" | grep -v "^$" | sort | paste -sd "|")
  [ "$LISTED" = "$TAVREL_E2E_EXPECTED" ] || fail "the page lists \"$LISTED\", the service shares \"$TAVREL_E2E_EXPECTED\""
  "$TAVREL_E2E_SHOT" "$TAVREL_E2E_WORK/screen.png" >/dev/null 2>&1 || true
  "$TAVREL" --service "$TAVREL_E2E_URL" quit
  for _ in $(seq 1 300); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$PID" 2>/dev/null; then echo "FAIL: the quit verb did not end the program"; kill -9 "$PID"; exit 1; fi
  [ -n "$WM" ] && kill "$WM" 2>/dev/null || true
  wait "$PID" || { echo "FAIL: the program ended with an error"; exit 1; }
'
[ -n "$KEEP_PICTURE" ] && [ -f "$WORK/screen.png" ] && cp "$WORK/screen.png" "$KEEP_PICTURE"
echo "PASS: the person found by part of the name lists the documents the service shares with them"
