#!/usr/bin/env bash
# Quillan under a TCP flood: a unit on 127.0.0.1 sends text as fast as Quillan reads it, for
# DURATION seconds. Reports Quillan's peak memory (target under 150 MB) and how long a click on
# the menu bar takes to open the File menu meanwhile (target 200 ms at most).
#
#   bench/quillan_flood.sh                   60 s per run
#   DURATION=20 bench/quillan_flood.sh       a shorter look
#
# Two runs, one after the other, each against its own flood:
# - "quillan": the program itself, offscreen, with its own settings folder; its memory is
#   sampled every INTERVAL seconds and its peak (VmHWM) read at the end;
# - "probe": quillan_flood_probe, the same window, session and links in a small driver that
#   clicks "File" once a second from outside the window's thread and times the menu's first
#   paint; it also reports what it received and its own peak memory.
#
# The flood comes from socat fed by `yes` (SOURCE=socat, the default): it writes as fast as
# the reader takes the bytes, with nothing queued beyond the socket buffers. SOURCE=qvrsim
# uses `qvrsim --unit terminal --stream RATE` instead; qvrsim does not wait for a slow TCP
# reader, so its own memory grows by whatever Quillan does not take: keep RATE at or below
# Quillan's reading speed (the probe's "received" line tells it).
#
# Environment: DURATION (default 60), INTERVAL (default 5), SOURCE (socat or qvrsim), RATE
# (bytes per second for SOURCE=qvrsim, default 20000000), QVR_BUILD (default build), KEEP=1
# keeps the work folder. Everything talks to 127.0.0.1 only.
set -euo pipefail
cd "$(dirname "$0")/.."

DURATION="${DURATION:-60}"
INTERVAL="${INTERVAL:-5}"
SOURCE="${SOURCE:-socat}"
RATE="${RATE:-20000000}"
BUILD="${QVR_BUILD:-build}"
quillan="$PWD/$BUILD/app/quillan/quillan"
probe="$PWD/$BUILD/bench/quillan_flood_probe"
qvrsim="$PWD/$BUILD/app/qvrsim/qvrsim"
for exe in "$quillan" "$probe"; do
  [ -x "$exe" ] || { echo "missing $exe (build quillan and quillan_flood_probe, or set QVR_BUILD)" >&2; exit 1; }
done
case "$SOURCE" in
  socat) command -v socat >/dev/null || { echo "socat is needed (apt-get install socat)" >&2; exit 1; } ;;
  qvrsim) [ -x "$qvrsim" ] || { echo "missing $qvrsim" >&2; exit 1; } ;;
  *) echo "SOURCE must be socat or qvrsim" >&2; exit 2 ;;
esac

work="$(mktemp -d /tmp/qvr-quillan-flood.XXXXXX)"
pids=()

cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if [ "${KEEP:-0}" = 1 ]; then echo "work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

rss_kb() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }

# Starts the flood on a free port of 127.0.0.1 below 32768 (a port settings files of every age
# can hold) and sets port. Not run in a subshell: the flood's processes must be
# known here to be ended.
start_flood() {
  local dir="$1" try
  for try in $(seq 1 20); do
    port=$((20000 + RANDOM % 12000))
    if [ "$SOURCE" = socat ]; then
      rm -f "$dir/fifo"
      mkfifo "$dir/fifo"
      socat -d -d -u "OPEN:$dir/fifo" "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr" >/dev/null 2>"$dir/source.log" &
      pids+=($!)
      local listener=$!
      # Numbered lines, like a unit's output; the number is fixed so `yes` can repeat it fast.
      yes '00000001 !"#$%&'"'"'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\]^_`abcd' \
        >"$dir/fifo" 2>/dev/null &
      pids+=($!)
      sleep 0.3
      kill -0 "$listener" 2>/dev/null && return 0
    else
      "$qvrsim" --unit terminal --port "$port" --stream "$RATE" >"$dir/source.log" 2>&1 &
      pids+=($!)
      local sim=$!
      for _ in $(seq 1 30); do grep -q "^qvrsim: TCP" "$dir/source.log" && break; sleep 0.1; done
      kill -0 "$sim" 2>/dev/null && grep -q "127.0.0.1:$port" "$dir/source.log" && return 0
    fi
  done
  echo "no free port for the flood" >&2
  return 1
}

stop_all() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  pids=()
}

env_for() {
  local dir="$1"
  mkdir -p "$dir/config/Vantrel" "$dir/run" "$dir/home"
  chmod 700 "$dir/run"
  echo env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" HOME="$dir/home"
}

echo "flood from $SOURCE for ${DURATION}s per run"

# --- the program itself: memory ---
dir="$work/quillan"
mkdir -p "$dir"
read -r -a env_q <<<"$(env_for "$dir")"
start_flood "$dir"
cat >"$dir/config/Vantrel/QuillanUniv1.ini" <<INI
[Properties]
Type=False
Address=127.0.0.1
PortNumber=$port
Direct=QVR2a
Echo=False
INI
"${env_q[@]}" "$quillan" --quit-after "$DURATION" >"$dir/app.log" 2>&1 &
app=$!
pids+=("$app")
samples=()
peak=0
for _ in $(seq 1 $(( (DURATION + INTERVAL - 1) / INTERVAL ))); do
  sleep "$INTERVAL"
  kill -0 "$app" 2>/dev/null || break
  r="$(rss_kb "$app" VmRSS)"
  h="$(rss_kb "$app" VmHWM)"
  samples+=("$r")
  [ "${h:-0}" -gt "$peak" ] && peak="$h"
done
for _ in $(seq 1 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
stop_all
if [ "$SOURCE" = socat ] && ! grep -q "accepting connection" "$dir/source.log"; then
  echo "quillan never connected to the flood:" >&2
  cat "$dir/app.log" >&2
  exit 1
fi
echo "quillan rss samples (kB): ${samples[*]}"
echo "quillan peak rss: $((peak / 1024)) MB (target < 150 MB)"

# --- the probe: menu latency ---
dir="$work/probe"
mkdir -p "$dir"
read -r -a env_p <<<"$(env_for "$dir")"
start_flood "$dir"
"${env_p[@]}" "$probe" "$port" "$DURATION" 2>"$dir/probe.err" | tee "$dir/probe.txt"
stop_all
awk '/^menu opened/ { gsub(/,/, ""); for (i = 1; i <= NF; i++) if ($i == "max") max = $(i + 1) }
     END { if (max != "") printf "menu: slowest opening %s ms (target <= 200 ms)\n", max }' "$dir/probe.txt"
