#!/usr/bin/env bash
# Builds the Debian packages from the existing build (`make package`), checks
# them with lintian, installs them on this machine, runs the installed
# programs, builds examples/minimal against the installed library, and
# removes the packages again.
#
# It changes the system's installed packages, so it runs only as root and
# only in CI (CI=true) or when asked with --force:
#   bash scripts/package_check.sh [--force] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

force=0
build=build
for arg in "$@"; do
  case $arg in
    --force) force=1 ;;
    *) build=$arg ;;
  esac
done
if [ "$(id -u)" -ne 0 ] || { [ "${CI:-}" != true ] && [ "$force" -ne 1 ]; }; then
  echo "package_check: skipped (needs root, and CI=true or --force: it installs and removes packages)"
  exit 0
fi
step() { echo "== package_check: $*"; }

bash scripts/deps.sh --lintian
step "make package"
rm -f "$build"/packages/*.deb
cmake --build "$build" --target package
programs=$(realpath "$build"/packages/editboot_*.deb)
development=$(realpath "$build"/packages/libmphexeditor-dev_*.deb)

step "lintian"
# Errors fail the check; warnings and notes are shown.
lintian --fail-on error --tag-display-limit 0 "$programs" "$development"

work=$(mktemp -d)
cleanup()
{
  apt-get remove -y -qq editboot libmphexeditor-dev >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

step "apt-get install $programs"
apt-get install -y -qq "$programs"
test "$(/usr/bin/editboot --version)" = "editboot 1.0"
/usr/bin/editboot --help | grep -q "crc32 FILE"
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/hexview --help | grep -q -- "--bytes-per-row"
printf 'abc' >"$work/abc.bin"
test "$(/usr/bin/editboot crc32 "$work/abc.bin")" = "352441C2  $work/abc.bin"
for file in /usr/share/man/man1/editboot.1.gz /usr/share/man/man1/hexview.1.gz \
  /usr/share/bash-completion/completions/editboot /usr/share/bash-completion/completions/hexview \
  /usr/share/applications/org.editboot.EditBoot.desktop /usr/share/applications/org.editboot.HexView.desktop \
  /usr/share/icons/hicolor/48x48/apps/org.editboot.HexView.png; do
  test -f "$file" || { echo "not installed: $file"; exit 1; }
done
zcat /usr/share/man/man1/editboot.1.gz | grep -q '^\.SH EXIT STATUS'
if command -v man >/dev/null; then
  test "$(man -w editboot)" = /usr/share/man/man1/editboot.1.gz
fi
# Tab completion as installed.
bash tests/packaging/check_completion.sh /usr/share/bash-completion/completions || [ $? -eq 77 ]

step "apt-get install $development and build examples/minimal against it"
apt-get install -y -qq "$development"
cmake -S examples/minimal -B "$work/minimal" >/dev/null
cmake --build "$work/minimal" -j 2 >/dev/null
head -c 777 /dev/zero >"$work/zeros.bin"
test "$(QT_QPA_PLATFORM=offscreen "$work/minimal/minimal" "$work/zeros.bin" --check)" = "777 bytes"

step "apt-get remove"
apt-get remove -y -qq editboot libmphexeditor-dev
test ! -e /usr/bin/editboot
test ! -e /usr/bin/hexview
echo "package_check: the packages install, run, build examples/minimal and remove cleanly"
