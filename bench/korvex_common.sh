# Shared by the Korvex benchmark scripts (sourced, not run).

# Gives korvex a settings folder of its own, in $1, whose antenna 1 is the unit on
# 127.0.0.1:$2 over TCP, and exports XDG_CONFIG_HOME to it.
korvex_tcp_settings() {
  mkdir -p "$1/Vantrel"
  cat >"$1/Vantrel/multQVRRemote.ini" <<INI
[Properties]
Caption1=QVR Sim TCP
Serial1=False
Address1=127.0.0.1
Port1=$2
Enabled1=True
Select=1
INI
  export XDG_CONFIG_HOME="$1"
}

# A process's CPU time in clock ticks and its resident memory in kB, from /proc.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

# Starts qvrsim ($1 = build dir, then its options) on 127.0.0.1 at the first free port of a
# list below 32768 (a port any settings file, old or new, can hold). Sets $port and
# $qvrsim, adds the pid to $pids; its output goes to $work/qvrsim.out. Exits if none is free.
start_qvrsim() {
  local build="$1"; shift
  port=""
  for try in 2110 2112 2114 2116 2118 21010 21012 21014; do
    "$build/app/qvrsim/qvrsim" "$@" --port "$try" >"$work/qvrsim.out" 2>&1 &
    local pid=$!
    sleep 0.5
    if kill -0 "$pid" 2>/dev/null && grep -q "TCP 127.0.0.1:$try" "$work/qvrsim.out"; then
      port=$try; qvrsim=$pid; pids+=("$pid"); return 0
    fi
    kill "$pid" 2>/dev/null || true
  done
  echo "qvrsim did not start"; cat "$work/qvrsim.out"; exit 1
}
