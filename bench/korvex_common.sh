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
