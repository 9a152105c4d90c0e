#!/usr/bin/env bash
# Quillan receiving a continuous text stream at 115200 baud over a pseudo-terminal, and the
# same stream shown by CuteCom for comparison: CPU time and memory of each program.
#
#   bench/terminal_stream.sh                 60 s per program
#   DURATION=300 bench/terminal_stream.sh    longer runs (memory growth shows better)
#
# Environment: DURATION (seconds of streaming per program, default 60), INTERVAL (seconds
# between samples, default 5), RATE (bytes per second, default 11520 = 115200 baud 8N1),
# QVR_BUILD (build folder, default build), CASES (default "quillan quillan-hex cutecom"), KEEP=1 keeps
# the work folder (logs, transcripts, Quillan's screenshot).
#
# Each program runs on one private virtual X server, with its own settings folder
# (XDG_CONFIG_HOME, XDG_RUNTIME_DIR and HOME in a temporary folder), against its own qvrsim
# on its own pseudo-terminal. The figures cover the streaming only: sampling starts when the
# program has opened the port, which is when qvrsim starts the stream.
#
# CuteCom needs two helps to take part unattended:
# - it has no option to open its device at start (neither on the command line nor in
#   CuteCom5.conf), so its "Open" button is pressed once with xdotool (Alt+O);
# - right after opening it reads the modem lines (TIOCMGET), which a pseudo-terminal does
#   not have; the failure makes it close the port at once. A small LD_PRELOAD library,
#   built here, answers those requests for it (DTR, RTS, CTS, DSR and CD all on).
#
# Quillan runs twice: in its plain view and in its hex view ("quillan-hex", started with
# --hex-view, as if "Hex Data Display" had been chosen from the menu).
set -euo pipefail
cd "$(dirname "$0")/.."

DURATION="${DURATION:-60}"
INTERVAL="${INTERVAL:-5}"
RATE="${RATE:-11520}"
BUILD="${QVR_BUILD:-build}"
CASES="${CASES:-quillan quillan-hex cutecom}"
qvrsim="$PWD/$BUILD/app/qvrsim/qvrsim"
quillan="$PWD/$BUILD/app/quillan/quillan"
for exe in "$qvrsim" "$quillan"; do
  [ -x "$exe" ] || { echo "missing $exe (build the project first, or set QVR_BUILD)" >&2; exit 1; }
done

need=()
case " $CASES " in *" cutecom "*)
  command -v cutecom >/dev/null || need+=(cutecom)
  command -v xdotool >/dev/null || need+=(xdotool) ;;
esac
command -v Xvfb >/dev/null || need+=(xvfb)
command -v cc >/dev/null || need+=(gcc)
if [ ${#need[@]} -gt 0 ]; then
  echo "installing ${need[*]}"
  apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
fi

work="$(mktemp -d /tmp/qvr-terminal-stream.XXXXXX)"
hz="$(getconf CLK_TCK)"
xvfb_pid=""
pids=()
locks=()

cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  # The serial port's lock of a program ended by a signal stays behind in /var/lock.
  for p in "${locks[@]}"; do rm -f "$p"; done
  if [ "${KEEP:-0}" = 1 ]; then echo "work folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

forget_pid() {
  local keep=() p
  for p in "${pids[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done
  pids=("${keep[@]}")
}

# Ends one process started here: politely, then for sure.
stop_pid() {
  local pid="$1" i
  kill "$pid" 2>/dev/null || true
  for i in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  forget_pid "$pid"
}

# utime+stime in clock ticks.
cpu_ticks() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || { echo 0; return; }
  stat="${stat##*) }"
  # After the command name: field 3 is the state, utime and stime are fields 14 and 15.
  awk '{ print $12 + $13 }' <<<"$stat"
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }

now() { echo "${EPOCHREALTIME/,/.}"; }

# Bytes qvrsim wrote to the terminal, from its transcript ("<ms> pty out <text>", where
# <XX> stands for one byte).
bytes_sent() {
  awk '{ p = index($0, " pty out "); if (!p) next
         s = substr($0, p + 9); n = gsub(/<[0-9A-F][0-9A-F]>/, "", s); total += length(s) + n }
       END { printf "%d\n", total }' "$1"
}

# One virtual X server for every run; it picks a free display number itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

shim=""
case " $CASES " in *" cutecom "*)
  shim="$work/ptymodem.so"
  cat >"$work/ptymodem.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdarg.h>
#include <sys/ioctl.h>

/* A pseudo-terminal has no modem lines: report them all on and take every change. */
int ioctl(int fd, unsigned long request, ...)
{
    static int (*real)(int, unsigned long, void*);
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (!real)
        real = (int (*)(int, unsigned long, void*))dlsym(RTLD_NEXT, "ioctl");
    int rc = real(fd, request, arg);
    if (rc == -1 && errno == ENOTTY) {
        if (request == TIOCMGET) {
            *(int*)arg = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CAR;
            return 0;
        }
        if (request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC)
            return 0;
    }
    return rc;
}
C
  cc -shared -fPIC -O2 -o "$shim" "$work/ptymodem.c" -ldl ;;
esac

results=()

run_case() {
  local name="$1" dir="$work/$1"
  mkdir -p "$dir/config" "$dir/run" "$dir/home"
  chmod 700 "$dir/run"
  local link="$dir/tty"

  "$qvrsim" --unit terminal --no-tcp --pty-link "$link" --stream "$RATE" \
    --transcript "$dir/transcript.txt" >"$dir/qvrsim.log" 2>&1 &
  local sim=$!
  pids+=("$sim")
  for _ in $(seq 1 50); do
    grep -q "^qvrsim: pty" "$dir/qvrsim.log" && [ -e "$link" ] && break
    sleep 0.1
  done
  [ -e "$link" ] || { echo "qvrsim did not start:" >&2; cat "$dir/qvrsim.log" >&2; exit 1; }
  local pts
  pts="$(readlink -f "$link")"

  local env=(env DISPLAY="$display" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" HOME="$dir/home")
  local app
  if [ "$name" != cutecom ]; then
    local view=()
    [ "$name" = quillan-hex ] && view=(--hex-view)
    mkdir -p "$dir/config/Vantrel"
    cat >"$dir/config/Vantrel/QuillanUniv1.ini" <<INI
[Properties]
Settings=115200,N,8,1
CommPort=9
Handshaking=0
Type=True
Direct=DATA
Echo=False

[Ports]
COM9=$link
INI
    # It quits by itself a little after the last sample, leaving a picture of what it showed.
    "${env[@]}" "$quillan" "${view[@]}" --quit-after "$((DURATION + 5))" --screenshot "$dir/$name.png" \
      >"$dir/app.log" 2>&1 &
    app=$!
  else
    mkdir -p "$dir/config/CuteCom"
    cat >"$dir/config/CuteCom/CuteCom5.conf" <<INI
[CuteCom]
session=Default

[sessions]
1\\name=Default
1\\Device=$link
1\\BaudRate=115200
1\\DataBits=8
1\\Parity=0
1\\StopBits=1
1\\FlowControl=0
1\\OpenMode=3
1\\autoReconnect=false
1\\showCtrlCharacters=false
1\\showTimestamp=false
size=1
INI
    "${env[@]}" LD_PRELOAD="$shim" cutecom >"$dir/app.log" 2>&1 &
    app=$!
    # QSerialPort's lock file, named after the device path.
    locks+=("/var/lock/LCK..$(tr / _ <<<"$link")")
  fi
  pids+=("$app")

  # Wait for the program to hold the port open (CuteCom: press Open until it does).
  local opened="" tries=0
  for _ in $(seq 1 150); do
    if ls -l "/proc/$app/fd" 2>/dev/null | grep -q " $pts\$"; then opened=1; break; fi
    kill -0 "$app" 2>/dev/null || break
    if [ "$name" = cutecom ] && [ $((tries++ % 10)) = 9 ]; then
      local win
      win="$(DISPLAY="$display" xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -n1 || true)"
      if [ -n "$win" ]; then
        DISPLAY="$display" xdotool windowfocus --sync "$win" >/dev/null 2>&1 || true
        DISPLAY="$display" xdotool key alt+o >/dev/null 2>&1 || true
      fi
    fi
    sleep 0.1
  done
  [ -n "$opened" ] || { echo "$name did not open $pts:" >&2; cat "$dir/app.log" >&2; exit 1; }

  local load0 t0 c0 x0 r0 rmid="" rmax=0 t c r i=0 last_t last_c last_x
  load0="$(cut -d' ' -f1-3 /proc/loadavg)"
  t0="$(now)"; c0="$(cpu_ticks "$app")"; x0="$(cpu_ticks "$xvfb_pid")"; r0="$(rss_kb "$app")"
  rmax="$r0"
  printf '%s samples (s, cpu%% since start, rss kB):' "$name" >"$dir/samples.txt"
  local steps=$(( (DURATION + INTERVAL - 1) / INTERVAL )) k
  for k in $(seq 1 "$steps"); do
    local target
    target="$(awk -v a="$t0" -v k="$k" -v i="$INTERVAL" -v d="$DURATION" \
      'BEGIN { x = k * i; if (x > d) x = d; printf "%.3f", a + x }')"
    local wait_s
    wait_s="$(awk -v a="$target" -v b="$(now)" 'BEGIN { w = a - b; printf "%.3f", (w > 0 ? w : 0) }')"
    sleep "$wait_s"
    kill -0 "$app" 2>/dev/null || { echo "$name ended early:" >&2; cat "$dir/app.log" >&2; exit 1; }
    t="$(now)"; c="$(cpu_ticks "$app")"; r="$(rss_kb "$app")"
    [ "$r" -gt "$rmax" ] && rmax="$r"
    [ -z "$rmid" ] && awk -v a="$t" -v b="$t0" -v d="$DURATION" 'BEGIN { exit !(a - b >= d / 2) }' && rmid="$r"
    printf ' %s' "$(awk -v t="$t" -v t0="$t0" -v c="$c" -v c0="$c0" -v hz="$hz" -v r="$r" \
      'BEGIN { printf "%.0f:%.1f%%:%d", t - t0, 100 * (c - c0) / hz / (t - t0), r }')" >>"$dir/samples.txt"
  done
  last_t="$t"; last_c="$c"; last_x="$(cpu_ticks "$xvfb_pid")"
  cp "$dir/transcript.txt" "$dir/transcript-window.txt"
  local still_open=no
  ls -l "/proc/$app/fd" 2>/dev/null | grep -q " $pts\$" && still_open=yes
  local load1
  load1="$(cut -d' ' -f1-3 /proc/loadavg)"
  echo >>"$dir/samples.txt"

  if [ "$name" != cutecom ]; then
    for _ in $(seq 1 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  fi
  stop_pid "$app"
  stop_pid "$sim"

  local sent lost=no
  sent="$(bytes_sent "$dir/transcript-window.txt")"
  grep -q "is not being read" "$dir/qvrsim.log" && lost=yes
  local cpu xcpu secs
  secs="$(awk -v a="$last_t" -v b="$t0" 'BEGIN { printf "%.1f", a - b }')"
  cpu="$(awk -v c="$last_c" -v c0="$c0" -v hz="$hz" -v s="$secs" 'BEGIN { printf "%.2f", 100 * (c - c0) / hz / s }')"
  xcpu="$(awk -v c="$last_x" -v c0="$x0" -v hz="$hz" -v s="$secs" 'BEGIN { printf "%.2f", 100 * (c - c0) / hz / s }')"
  results+=("$(printf '%-11s %6s %7s %8s %9s %9s %9s %9s %10s %5s %5s  %s -> %s' \
    "$name" "$secs" "$cpu" "$xcpu" "$r0" "$rmid" "$r" "$rmax" "$sent" "$lost" "$still_open" "$load0" "$load1")")
  eval "cpu_${name//-/_}=$cpu"
  cat "$dir/samples.txt"
}

echo "streaming $RATE B/s for ${DURATION}s per program, samples every ${INTERVAL}s, X display $display"
for c in $CASES; do run_case "$c"; done

echo
echo "cpu%: one core, over the streaming window; X cpu%: the X server meanwhile; rss in kB"
echo "sent: bytes qvrsim wrote to the terminal in the window (expected about RATE x seconds);"
echo "lost: qvrsim found the terminal full (the program fell behind); open: port still open at the end"
printf '%-11s %6s %7s %8s %9s %9s %9s %9s %10s %5s %5s  %s\n' \
  case secs cpu% "X cpu%" rss.start rss.mid rss.end rss.max sent lost open "load average start -> end"
for line in "${results[@]}"; do echo "$line"; done
for q in quillan quillan_hex; do
  qc="cpu_$q"
  if [ -n "${!qc:-}" ] && [ -n "${cpu_cutecom:-}" ]; then
    awk -v n="$q" -v q="${!qc}" -v c="$cpu_cutecom" \
      'BEGIN { if (c > 0) printf "%s cpu / CuteCom cpu = %.2f\n", n, q / c; else print "CuteCom used no measurable cpu" }'
  fi
done
