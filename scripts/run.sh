#!/usr/bin/env bash
# Starts the tool's window; without a display says so and shows the command line help.
set -euo pipefail
BUILD_DIR="${1:-build}"
EXE="$BUILD_DIR/app/editboot"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot be shown; here is the command line instead."
  exec "$EXE" --help
fi
exec "$EXE"
