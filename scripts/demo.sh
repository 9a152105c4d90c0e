#!/usr/bin/env bash
# The demo, no hardware needed: installs what is missing, builds, starts qvrsim on
# 127.0.0.1 and opens the program connected to it.
#
#   scripts/demo.sh            Korvex, the remote panel
#   scripts/demo.sh quillan    Quillan, the programming terminal
#
# The demo keeps its own settings folder (build/demo/config), so it never touches
# your own settings and never dials a unit's default address. Without a display
# (no DISPLAY or WAYLAND_DISPLAY) the program runs on a virtual X server for
# QVR_DEMO_SECONDS (default 15) and leaves a screenshot in build/demo/.
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-korvex}"
case "$program" in korvex|quillan) ;; *) echo "usage: $0 [korvex|quillan]" >&2; exit 2 ;; esac

scripts/install-deps.sh
# Only the three programs (the tests and benchmarks are not needed to look at them).
if [ ! -x build/app/qvrsim/qvrsim ] || [ ! -x "build/app/$program/$program" ]; then
  echo "Building korvex, quillan and qvrsim: the first build takes about 4 minutes on 2 cores, later ones seconds."
fi
scripts/build.sh korvex quillan qvrsim qvr_guide

demo="$PWD/build/demo"
mkdir -p "$demo/config/Vantrel"
export XDG_CONFIG_HOME="$demo/config"

# The programs keep TCP ports as 16-bit signed numbers (as the units' documentation has
# them), so the demo picks a free port below 32768 rather than an ephemeral one.
sim_log="$demo/qvrsim.out"
sim_pid=""
# Korvex talks to a simulated antenna control unit; Quillan to a unit that echoes,
# answers lines and sends front-panel frames like a pedestal control unit's panel.
sim_args=()
# The console also prints its status line each second, so the terminal shows traffic at once.
[ "$program" = quillan ] && sim_args=(--unit terminal --panel-frames --status-lines 1000)
trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true' EXIT
port=""
for try in 2000 2002 2004 2006 2008 20000 20002 20004 20006 20008; do
  rm -f "$demo/ttyQVR"
  build/app/qvrsim/qvrsim "${sim_args[@]}" --port "$try" --pty-link "$demo/ttyQVR" --transcript "$demo/transcript.txt" \
    >"$sim_log" 2>&1 &
  sim_pid=$!
  for _ in $(seq 1 50); do
    if grep -q "^qvrsim: TCP 127\.0\.0\.1:$try" "$sim_log" && [ -e "$demo/ttyQVR" ]; then
      port=$try
      break
    fi
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$port" ] && break
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
done
[ -n "$port" ] || { echo "qvrsim did not start:"; cat "$sim_log"; exit 1; }
echo "qvrsim serves TCP 127.0.0.1:$port and the pseudo-terminal $demo/ttyQVR"

if [ "$program" = korvex ]; then
  # Antenna 1 over TCP to the simulated unit; antenna 2 over the simulated serial line.
  cat >"$demo/config/Vantrel/multQVRRemote.ini" <<INI
[Properties]
Caption1=QVR Sim TCP
Enabled1=True
Settings1=9600,N,8,1
CommPort1=1
Address1=127.0.0.1
Port1=$port
Serial1=False
Caption2=QVR Sim Serial
Enabled2=True
Settings2=9600,N,8,1
CommPort2=9
Address2=127.0.0.1
Port2=$port
Serial2=True
Caption3=Antenna 3
Enabled3=False
Address3=127.0.0.1
Port3=$port
Serial3=False
Caption4=Antenna 4
Enabled4=False
Address4=127.0.0.1
Port4=$port
Serial4=False
Select=1

[Ports]
COM9=$demo/ttyQVR
INI
  app=(build/app/korvex/korvex)
else
  # The simulated serial line (COM9), with the module selection that shows the
  # panel's display lines.
  cat >"$demo/config/Vantrel/QuillanUniv1.ini" <<INI
[Properties]
Settings=9600,N,8,1
CommPort=9
Handshaking=0
Echo=False
Direct=SPanel
Type=True
Address=127.0.0.1
PortNumber=$port

[Ports]
COM9=$demo/ttyQVR
INI
  app=(build/app/quillan/quillan)
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "${app[@]}"
else
  seconds="${QVR_DEMO_SECONDS:-15}"
  shot="$demo/$program.png"
  echo "No display: running $program on a virtual X server for ${seconds}s; screenshot: $shot"
  xvfb-run -a -s "-screen 0 1366x768x24" "${app[@]}" --quit-after "$seconds" --screenshot "$shot"
fi
