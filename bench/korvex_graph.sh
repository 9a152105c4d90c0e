#!/usr/bin/env bash
# Korvex polling AND plotting in real time against qvrsim (live motion on) over TCP on
# 127.0.0.1: the korvex program itself, its window on a virtual X server of its own, at
# 50 ms pacing with the graph in mode 0 (the position graph, four traces, a column per
# sample). CPU share of one core over DURATION (target under 3%) and memory at the start,
# the middle and the end (target flat).
# Usage: bench/korvex_graph.sh [build dir]   (DURATION=60 by default)
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

korvex_tcp_settings "$work/config" "$port"
hz=$(getconf CLK_TCK)

display=""
for n in $(seq 121 150); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.out" 2>&1 &
  pids+=($!)
  sleep 1
  if kill -0 "${pids[-1]}" 2>/dev/null; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no Xvfb display"; exit 1; }
# The graph's first mode comes up with the link; the trace counts the commands sent.
DISPLAY="$display" "$build/app/korvex/korvex" --pacing 50 --trace "$work/trace.txt" \
  --quit-after $((duration + 15)) >"$work/korvex.out" 2>&1 &
korvex=$!
pids+=("$korvex")
sleep 5  # start-up, the unit's greeting and the first samples
t0=$(cpu_ticks "$korvex"); r0=$(rss_kb "$korvex")
sleep $((duration / 2)); rmid=$(rss_kb "$korvex")
sleep $((duration - duration / 2))
t1=$(cpu_ticks "$korvex"); r1=$(rss_kb "$korvex")
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v d="$duration" \
  'BEGIN { printf "korvex: 50 ms pacing, position graph, over %d s: CPU %.2f%% of one core\n", d, (b - a) / hz / d * 100 }'
echo "korvex: memory (RSS) start ${r0} kB, middle ${rmid} kB, end ${r1} kB"
[ -f "$work/trace.txt" ] && echo "korvex: $(grep -c 'send' "$work/trace.txt" || true) commands in the trace"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
