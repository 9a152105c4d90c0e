#!/usr/bin/env bash
# The same two-minute session as korvex_events.sh, but with the korvex program itself: on a
# virtual X server, started with --trace, its keys clicked and its entry box typed into with
# xdotool (Debian package xdotool), against qvrsim over TCP on 127.0.0.1. AZ 123.4, EL 45 and a
# 15-character target are entered on the ANTENNA pages, then qvrsim is stopped and started again
# on the same port. The sync errors after each event are counted from korvex's trace.
#
#   bench/korvex_events_gui.sh [build dir]        KEEP=1 keeps the work folder (trace, screenshot)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/korvex_common.sh
build="${1:-build}"
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool)"; exit 2; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if [ "${KEEP:-0}" = 1 ]; then echo "work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

start_unit() { # port (0 = any free one); sets unit_pid and port
  "$build/app/qvrsim/qvrsim" --unit acu --port "$1" --quiet >"$work/qvrsim.out" 2>&1 &
  unit_pid=$!
  pids+=("$unit_pid")
  for _ in $(seq 50); do
    port=$(sed -n 's/^qvrsim: TCP 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/qvrsim.out")
    [ -n "$port" ] && return 0
    sleep 0.1
  done
  echo "qvrsim did not start"; cat "$work/qvrsim.out"; exit 1
}
start_unit 0

korvex_tcp_settings "$work/config" "$port"

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY="$display"
sleep 1
"$build/app/korvex/korvex" --trace "$work/trace.txt" --quit-after 122 --screenshot "$work/korvex.png" \
  >"$work/korvex.out" 2>&1 &
korvex_pid=$!
pids+=("$korvex_pid")
win=$(xdotool search --sync --onlyvisible --name "QVR Remote Panel" | head -1)
# korvex's trace counts from its own start: event times are taken on the same footing.
t0=$(date +%s%3N)
ms() { echo $(( $(date +%s%3N) - t0 )); }
at() { local left=$(( $1 * 1000 - $(ms) )); [ "$left" -gt 0 ] && sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"; return 0; }

# The ANTENNA key and the entry box, in window coordinates: the panel lays them out from the
# window's width (measured on a 1062-pixel window).
click_key() { # x y
  xdotool mousemove --window "$win" "$1" "$2" click 1
  sleep 0.3
}
geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
echo "korvex window width $geometry"
antenna_x=$((geometry * 664 / 1062)); antenna_y=72
entry_x=$((geometry * 309 / 1062)); entry_y=195
enter() { # text
  xdotool mousemove --window "$win" "$entry_x" "$entry_y" click 1
  xdotool key --window "$win" ctrl+a BackSpace
  xdotool type --window "$win" --delay 50 "$1"
  xdotool key --window "$win" Return
}

events=()
at 15; click_key "$antenna_x" "$antenna_y"                    # page AZ
at 17; events+=("AZ 123.4:$(ms)"); enter "123.4"
at 35; click_key "$antenna_x" "$antenna_y"                    # page EL
at 37; events+=("EL 45:$(ms)"); enter "45"
at 50; for _ in 1 2 3 4 5; do click_key "$antenna_x" "$antenna_y"; done   # round to AZ again
at 57; events+=("target 123.45678901:$(ms)"); enter "123.45678901"
at 75; events+=("unit restart over TCP:$(ms)")
kill "$unit_pid"; wait "$unit_pid" 2>/dev/null || true
start_unit "$port"
wait "$korvex_pid" || true

trace="$work/trace.txt"
echo "trace: $(wc -l <"$trace") lines, $(grep -c $'\tsend\t' "$trace") commands, $(grep -c $'\trecv\t' "$trace") chunks, $(grep -c $'\tsync\t' "$trace") sync errors in all"
grep -E $'\tsend\t(A|E)[0-9]' "$trace" | sed 's/^/  sent: /'
grep -E $'\t(open|close)\t' "$trace" | sed 's/^/  link: /'
# korvex started a moment before its window showed (t0): each window opens 2 s early.
for e in "${events[@]}"; do
  name=${e%%:*}; at_ms=${e##*:}
  n=$(awk -F'\t' -v from="$at_ms" '$2 == "sync" && $1 >= from - 2000 && $1 < from + 20000' "$trace" | wc -l)
  printf '  %-28s at %4d s: %s sync error(s) in the next 20 s\n' "$name" "$((at_ms / 1000))" "$n"
done
