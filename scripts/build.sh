#!/usr/bin/env bash
# Configures (once) and builds with the default preset into build/: everything, or only
# the targets named (scripts/build.sh korvex quillan qvrsim).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake --preset default >/dev/null
if [ $# -gt 0 ]; then
  targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build --preset default -j"$(nproc)" "${targets[@]}"
else
  cmake --build --preset default -j"$(nproc)"
fi
