#!/usr/bin/env bash
# Runs every benchmark program built under bench/.
set -euo pipefail
BUILD_DIR="${1:-build-bench}"
status=0
for b in "$BUILD_DIR"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  "$b" || status=1
done
exit $status
