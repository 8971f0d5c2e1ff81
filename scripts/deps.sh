#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the tool need, but only
# those that are missing, so a machine that has them all is left alone.
set -euo pipefail

BUILD_PKGS="cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libxcb1-dev \
libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libssl-dev qt6-tools-dev python3 libpcre2-dev"
RUN_PKGS="fonts-liberation"
# Tests that read back printed PDFs (tests/hexview/test_printing.cpp); the
# clipboard probe's test runs a private X server and a clipboard owner
# (tests/platform/test_clipboardprobe.cpp).
TEST_PKGS="poppler-utils xvfb xclip"
# Tests of the installed files: desktop entries, metainfo, completions.
TEST_PKGS="$TEST_PKGS desktop-file-utils appstream bash-completion"
EXTRA_PKGS=""
for arg in "$@"; do
  case "$arg" in
    # The real-window tests (tests/gui): a window manager, a file manager
    # to drop on, xprop.
    --gui) EXTRA_PKGS="$EXTRA_PKGS xvfb xauth xdotool xclip poppler-utils openbox pcmanfm x11-utils" ;;
    --fuzz) EXTRA_PKGS="$EXTRA_PKGS clang libclang-rt-dev" ;;
    # `make package`: dpkg-shlibdeps computes the packages' dependencies.
    --package) EXTRA_PKGS="$EXTRA_PKGS dpkg-dev file" ;;
    # scripts/package_check.sh: lintian checks the built packages.
    --lintian) EXTRA_PKGS="$EXTRA_PKGS dpkg-dev file lintian" ;;
  esac
done

missing=()
for p in $BUILD_PKGS $RUN_PKGS $TEST_PKGS $EXTRA_PKGS; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
