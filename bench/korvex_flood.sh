#!/usr/bin/env bash
# Korvex against a unit that replies without pause: qvrsim --babble sends valid reply lines
# over TCP on 127.0.0.1 as fast as the socket takes them, besides its answers. The korvex
# program (offscreen, its own settings folder) polls it at its default 200 ms pacing for
# DURATION seconds (default 60). From qvrsim's transcript: the commands and bytes korvex
# sent against the poll ticks of that time (target: at least 90 % of the ticks carry a
# command); from /proc: korvex's CPU share and memory; and the bytes qvrsim got rid of.
# Usage: bench/korvex_flood.sh [build dir]
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/korvex_common.sh
build="${1:-build}"
duration="${DURATION:-60}"
pacing_ms=200
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

start_qvrsim "$build" --babble --transcript "$work/transcript.txt"
echo "qvrsim --babble on 127.0.0.1:$port; load average: $(cut -d' ' -f1-3 /proc/loadavg)"

korvex_tcp_settings "$work/config" "$port"
hz=$(getconf CLK_TCK)
sent_bytes() { awk '/^(wchar|write_bytes)/ {print $2; exit}' "/proc/$1/io" 2>/dev/null || echo 0; }

QT_QPA_PLATFORM=offscreen "$build/app/korvex/korvex" --quit-after $((duration + 10)) \
  >"$work/korvex.out" 2>&1 &
korvex=$!
pids+=("$korvex")
sleep 4  # start-up: the first commands go 1.5 s + 0.6 s after the link opens
t0=$(cpu_ticks "$korvex"); w0=$(sent_bytes "$qvrsim")
sleep "$duration"
t1=$(cpu_ticks "$korvex"); w1=$(sent_bytes "$qvrsim"); rss=$(rss_kb "$korvex")
# The window: DURATION seconds from korvex's first command.
start_ms=$(awk '$3 == "in" {print $1; exit}' "$work/transcript.txt")
[ -n "$start_ms" ] || { echo "korvex sent nothing"; cat "$work/korvex.out"; exit 1; }
end_ms=$(awk -v s="$start_ms" -v d="$duration" 'BEGIN {print s + d * 1000}')

# Commands are the chunks qvrsim received from korvex in the window (one a tick; a long
# command's pieces count one each, as their ticks do).
awk -v from="$start_ms" -v to="$end_ms" -v pacing="$pacing_ms" '
  $1 >= from && $1 < to && $3 == "in" {
    n++
    text = $0; sub(/^ *[0-9.]+ [^ ]+ in /, "", text)
    escaped = gsub(/<[0-9A-F][0-9A-F]>/, "", text)
    bytes += length(text) + escaped
  }
  END {
    ticks = (to - from) / pacing
    printf "commands sent: %d in %.1f s, poll ticks %.0f: %.1f%% (target >= 90%%); bytes sent %d\n",
           n, (to - from) / 1000, ticks, (ticks > 0 ? 100 * n / ticks : 0), bytes
  }' "$work/transcript.txt"
awk -v a="$t0" -v b="$t1" -v hz="$hz" -v d="$duration" \
  'BEGIN { printf "korvex: CPU %.0f%% of one core under the flood\n", (b - a) / hz / d * 100 }'
echo "korvex: memory (RSS) at the end ${rss} kB"
awk -v a="$w0" -v b="$w1" -v d="$duration" \
  'BEGIN { printf "qvrsim wrote %.1f MB/s (all its output: the flood and its answers)\n", (b - a) / d / 1e6 }'
grep -q "babbling" "$work/transcript.txt" || echo "warning: qvrsim did not babble (no client?)"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
