#!/usr/bin/env bash
# Korvex polling in real time against qvrsim over TCP on 127.0.0.1:
#  1. poll_rate at 50 ms pacing: commands per second over DURATION (target 20.0 within 1%, no drift);
#  2. the korvex program itself (window on a virtual X server) at its default 200 ms pacing:
#     CPU share of one core over DURATION (target under 2%) and its memory.
# Usage: bench/korvex_poll.sh [build dir]   (DURATION=60 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/korvex_common.sh
build="${1:-build}"
duration="${DURATION:-60}"
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

start_qvrsim "$build" --quiet
echo "qvrsim on 127.0.0.1:$port; load average: $(cut -d' ' -f1-3 /proc/loadavg)"

"$build/bench/poll_rate" --port "$port" --pacing 50 --seconds "$duration"

# The program itself, with a settings folder of its own pointing at qvrsim.
korvex_tcp_settings "$work/config" "$port"
hz=$(getconf CLK_TCK)

# A virtual X server of our own, so that the measured process is korvex itself.
display=""
for n in $(seq 91 120); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.out" 2>&1 &
  pids+=($!)
  sleep 1
  if kill -0 "${pids[-1]}" 2>/dev/null; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no Xvfb display"; exit 1; }
DISPLAY="$display" "$build/app/korvex/korvex" --quit-after $((duration + 15)) >"$work/korvex.out" 2>&1 &
korvex=$!
pids+=("$korvex")
sleep 5  # start-up and the first screen
t0=$(cpu_ticks "$korvex"); r0=$(rss_kb "$korvex")
sleep $((duration / 2)); rmid=$(rss_kb "$korvex")
sleep $((duration - duration / 2))
t1=$(cpu_ticks "$korvex"); r1=$(rss_kb "$korvex")
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v d="$duration" \
  'BEGIN { printf "korvex: 200 ms pacing over %d s: CPU %.2f%% of one core\n", d, (b - a) / hz / d * 100 }'
echo "korvex: memory (RSS) start ${r0} kB, middle ${rmid} kB, end ${r1} kB"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
