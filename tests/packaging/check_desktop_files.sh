#!/usr/bin/env bash
# check_desktop_files.sh DATADIR
# The installed desktop entries, AppStream metainfo and icons of both programs:
# the validators accept them, and each program registers only the file types
# it can open.
set -uo pipefail
datadir=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
skipped=""

apps="org.editboot.EditBoot org.editboot.HexView"
for id in $apps; do
  desktop=$datadir/applications/$id.desktop
  metainfo=$datadir/metainfo/$id.metainfo.xml
  [ -f "$desktop" ] || fail "$desktop is not installed"
  [ -f "$metainfo" ] || fail "$metainfo is not installed"
  if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate $id.desktop: $out"
    [ -n "$out" ] && echo "desktop-file-validate $id.desktop: $out"
  else
    skipped="$skipped desktop-file-validate"
  fi
  if command -v appstreamcli >/dev/null; then
    out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate $id: $out"
  else
    skipped="$skipped appstreamcli"
  fi
  # Every size the hicolor theme looks in, as a square PNG, and the SVG.
  [ -f "$datadir/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon for $id"
  for size in 16 22 24 32 48 64 128 256; do
    png=$datadir/icons/hicolor/${size}x${size}/apps/$id.png
    if [ ! -f "$png" ]; then
      fail "no ${size}x${size} icon for $id"
      continue
    fi
    got=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not a PNG")' "$png")
    [ "$got" = "${size}x${size}" ] || fail "$png is $got"
  done
done

# hexview opens any file given to it: it offers itself for every binary file
# ("Open with"), and nothing installed makes it the default application.
hexview=$datadir/applications/org.editboot.HexView.desktop
grep -qx 'MimeType=application/octet-stream;' "$hexview" || fail "hexview does not offer to open binary files"
grep -q '^Exec=hexview %f$' "$hexview" || fail "hexview's Exec does not pass the file"
# editboot takes no file argument (a file name would be an unknown command), so
# it must not offer to open any.
editboot=$datadir/applications/org.editboot.EditBoot.desktop
grep -q '^MimeType=' "$editboot" && fail "editboot registers file types it cannot open"
grep -q '^Exec=editboot$' "$editboot" || fail "editboot's Exec is not the bare program"
find "$datadir" -name 'mimeapps.list' | grep -q . && fail "a mimeapps.list is installed (it would choose defaults for the user)"

if [ "$failures" -ne 0 ]; then
  exit 1
fi
if [ -n "$skipped" ]; then
  echo "SKIPPED:$skipped not installed (the rest passed)"
  exit 77
fi
echo "desktop entries, metainfo and icons are valid"
