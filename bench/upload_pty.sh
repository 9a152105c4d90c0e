#!/usr/bin/env bash
# A manual firmware upload through the ACU in real time over a pseudo-terminal:
#  1. srec_cat makes a 32 KiB image (random data at 8000-FFFF, start address F003);
#  2. qvrsim plays the ACU on a pseudo-terminal, read at the module's line speed (9600 baud
#     for the QVR 5K items), checks the pauses between pieces and keeps what its bootloader
#     receives;
#  3. upload_pty_bench runs Start, Erase and Upload and prints the measured duration against
#     the wire time plus the prescribed pauses (target ratio at most 1.02);
#  4. qvrsim must report no overruns, and the image it kept must equal srec_cat's binary of
#     the same file.
# Usage: bench/upload_pty.sh [build dir] [identifier]   (identifier QVR2a by default; QVR2p
# goes to the PCU behind the ACU)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
identifier="${2:-QVR2a}"
work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

srec_cat -generate 0x8000 0x10000 -random -o "$work/acu.s19" -motorola -address-length=2 \
  -execution-start-address=0xF003
srec_cat "$work/acu.s19" -offset -0x8000 -o "$work/expected.bin" -binary

"$build/app/qvrsim/qvrsim" --unit acu --no-tcp --pty-link "$work/tty" --image-out "$work/image.bin" \
  >"$work/qvrsim.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done
[ -e "$work/tty" ] || { echo "qvrsim did not start"; cat "$work/qvrsim.out"; exit 1; }
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

"$build/bench/upload_pty_bench" "$work/tty" "$work/acu.s19" "$identifier"
sleep 0.5
kill "${pids[0]}"; wait "${pids[0]}" 2>/dev/null || true
pids=()
report=$(grep "programmed" "$work/qvrsim.out" | tail -1 || true)
echo "${report:-qvrsim reported no programmed image}"
status=0
case "$report" in
  *", overruns 0") echo "overruns: none" ;;
  *) echo "overruns: SOME (the pauses did not hold on the wire)"; status=1 ;;
esac
if cmp -s "$work/image.bin" "$work/expected.bin"; then
  echo "image: equal to srec_cat's binary ($(stat -c %s "$work/image.bin") bytes)"
else
  echo "image: DIFFERENT from srec_cat's binary"; status=1
fi
exit $status
