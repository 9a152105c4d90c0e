#!/usr/bin/env bash
# The sync errors each event of a two-minute Korvex session costs, against qvrsim over TCP on
# 127.0.0.1: AZ 123.4, EL 45 and a 15-character target typed on the ANTENNA pages, and the unit
# restarting on the same port. Counted from the session trace, which is kept.
#
#   bench/korvex_events.sh [build dir]          SECONDS=120 SPLIT=5 bench/korvex_events.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
trace="${TRACE:-$build/korvex_events.trace}"
args=(--qvrsim "$build/app/qvrsim/qvrsim" --trace "$trace" --seconds "${SECONDS_TOTAL:-120}")
[ -n "${SPLIT:-}" ] && args+=(--split "$SPLIT")
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
"$build/bench/korvex_events" "${args[@]}"
