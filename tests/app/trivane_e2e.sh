#!/usr/bin/env bash
# The program as a user starts it, on its own Xvfb with the real libVLC:
#   1. on the sample card: the window maps at 800x560, plays, the key-less map draws the route
#      offline, keys reach the window after a click into the map ("f" and Escape), and a close
#      (SIGTERM, as at the end of a session) writes WINPOS and exits 0; prints the time to the
#      mapped window and the resident memory with the card open;
#   2. on a folder of hostile files: it stays up and closes cleanly;
#   3. on a path that does not exist: it stays up with an empty window.
# Usage: trivane_e2e.sh TRIVANE SAMPLECARD
set -euo pipefail
trivane=$(realpath "$1")
card=$(realpath "$2")
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill -9 "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/app.log" ] && tail -n 30 "$work/app.log" >&2; exit 1; }

# A run under another locale or time zone must really get it (a missing one falls back silently).
if [ -n "${LC_ALL:-}" ] && locale 2>&1 > /dev/null | grep -q .; then fail "locale $LC_ALL is not installed"; fi
if [ -n "${TZ:-}" ] && [ ! -f "/usr/share/zoneinfo/$TZ" ]; then fail "time zone $TZ is not installed"; fi

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 2> "$work/xvfb.log" &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work"  # no sound server: silent output
# The map's browser profile and caches stay in the work folder.
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"

now_ms() { date +%s%3N; }

# Starts trivane in folder $1 on path $2; waits until its window is viewable.
start() {
  mkdir -p "$1"
  local started
  started=$(now_ms)
  (cd "$1" && exec "$trivane" "$2") > "$work/app.log" 2>&1 &
  app_pid=$!
  for _ in $(seq 200); do
    if xwininfo -name "Trivane 1" 2> /dev/null | grep -q "Map State: IsViewable"; then
      mapped_ms=$(( $(now_ms) - started ))
      return 0
    fi
    kill -0 "$app_pid" 2> /dev/null || fail "trivane ended before its window was mapped"
    sleep 0.05
  done
  fail "no window after 10 s"
}

# Sends SIGTERM and expects exit status 0 within 10 s.
stop() {
  kill -TERM "$app_pid"
  local status=0
  for _ in $(seq 200); do kill -0 "$app_pid" 2> /dev/null || break; sleep 0.05; done
  kill -0 "$app_pid" 2> /dev/null && fail "trivane did not end within 10 s of SIGTERM"
  wait "$app_pid" || status=$?
  app_pid=""
  [ "$status" -eq 0 ] || fail "exit status $status"
}

# 1. The sample card.
start "$work/run1" "$card"
info=$(xwininfo -name "Trivane 1")
echo "$info" | grep -q "Width: 800" || fail "window width: $info"
echo "$info" | grep -q "Height: 560" || fail "window height: $info"
sleep 4  # the first recording starts and plays
kill -0 "$app_pid" 2> /dev/null || fail "trivane ended while playing the sample card"
rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$app_pid/status")
# The file list's rows hold text: its area is far from the plain white of an empty list.
list_mean=$(xwd -root -silent | convert-im6.q16 xwd:- -crop 230x170+558+320 -colorspace gray -format "%[fx:mean]" info:)
awk -v m="$list_mean" 'BEGIN { exit !(m < 0.95) }' || fail "the file list looks empty (mean grey $list_mean)"
# The map pane (top right) shows the route: pixels of its purple line over the plain background.
route_pixels=$(xwd -root -silent | convert-im6.q16 xwd:- -crop 240x240+555+48 +repage -fuzz 6% \
  -fill black +opaque "rgb(189,145,244)" -fill white -opaque "rgb(189,145,244)" -format "%[fx:round(mean*w*h)]" info:)
[ "$route_pixels" -ge 50 ] || fail "no route on the map ($route_pixels route-coloured pixels)"
# Keys reach the window after a click into the map. Without a window manager X gives them to the
# window under the pointer, which over the map is the browser's own.
window_width() { xwininfo -name "Trivane 1" | awk '/Width:/ {print $2}'; }
wait_width() {
  for _ in $(seq 100); do [ "$(window_width)" = "$1" ] && return 0; sleep 0.05; done
  fail "$2 (window width $(window_width))"
}
xdotool mousemove 675 170 click 1
sleep 0.5
xdotool key f
wait_width 1280 "\"f\" after a click into the map did not go to full screen"
xdotool key Escape
wait_width 800 "Escape did not leave full screen"
stop
if [ "$(id -u)" -eq 0 ]; then
  grep -q "without its sandbox" "$work/app.log" || fail "as root, no word on standard error about the browser's sandbox"
fi
grep -q "^\[WINPOS\]" "$work/run1/Qen.ini" || fail "no WINPOS written"
grep -q "^RIGHT=800$" "$work/run1/Qen.ini" || fail "WINPOS: $(cat "$work/run1/Qen.ini")"
grep -q "^BOTTOM=560$" "$work/run1/Qen.ini" || fail "WINPOS: $(cat "$work/run1/Qen.ini")"
echo "launch to mapped window: ${mapped_ms} ms; resident memory with the card open: $((rss_kb / 1024)) MiB (the map's browser processes not counted); route pixels on the map: $route_pixels"

# 2. Hostile files under recording names.
hostile="$work/hostile/DCIM"
mkdir -p "$hostile/FILE240101-000000F.MOV" "$hostile/sub"
: > "$hostile/DRV_0001.AVI"
: > "$hostile/FILE240101-000100F.MOV"
head -c 300000 /dev/urandom > "$hostile/FILE240101-000200F.MOV"
head -c 300000 /dev/urandom > "$hostile/FILE240101-000200R.MOV"
head -c 100000 /dev/urandom > "$hostile/DRVG0002.AVI"
head -c 50000 /dev/urandom > "$hostile/FILE240101-000300F.TS"
head -c 5000 /dev/urandom > "$hostile/FILE240101-000300F.NMEA"
printf 'RIFF\xff\xff\xff\x7fAVI LIST' > "$hostile/sub/DRV_0003.AVI"
start "$work/run2" "$work/hostile"
sleep 5
kill -0 "$app_pid" 2> /dev/null || fail "trivane ended on the hostile folder"
stop

# 3. A path that does not exist: a message, an empty window, a clean close.
start "$work/run3" "$work/does-not-exist"
sleep 1
kill -0 "$app_pid" 2> /dev/null || fail "trivane ended on a missing path"
stop
echo "PASS"
