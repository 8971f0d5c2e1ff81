#!/usr/bin/env bash
# Dragging bytes out of hexview onto a real file manager's folder (pcmanfm,
# which takes a move for local files by default), in an X session of its own
# (Xvfb and openbox), with the mouse and keys driven by xdotool:
# 1. A plain drag of the first 33 bytes delivers "Dump of doc.bin" holding
#    exactly those bytes, and the document keeps them: its title shows no
#    change, and after Ctrl+S the file still holds every byte.
# 2. The same drag with Shift held at the drop moves the bytes: the dump
#    arrives again, the title shows the change, and Ctrl+S writes the file
#    without those 33 bytes.
# Exit 0 when both hold, 1 when not, 77 (skipped) without the tools.
set -u
hexview=$(realpath "$1")
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool openbox pcmanfm
start_session

doc=$work/doc.bin
drop=$work/drop
dump="$drop/Dump of doc.bin"
mkdir "$drop"
head -c 4096 /dev/urandom >"$doc"
cp "$doc" "$work/original"

# pcmanfm on the right half of the screen, showing the drop folder.
pcmanfm "$drop" >"$work/pcmanfm.log" 2>&1 &
pm=$!
session_pids+=("$pm")
disown "$pm"
await_window "$pm" "drop" || fail "pcmanfm showed no window: $(cat "$work/pcmanfm.log")"
fm=$found
xdotool windowsize "$fm" 620 500
xdotool windowmove "$fm" 650 40

# hexview on the left half, without its tool bar: the presses below count
# rows from the top of the window's client area, under the menu bar.
mkdir -p "$XDG_CONFIG_HOME/editboot"
printf '[View]\nToolBar=false\n' >"$XDG_CONFIG_HOME/editboot/hexview.conf"
"$hexview" "$doc" >"$work/hexview.log" 2>&1 &
hv=$!
session_pids+=("$hv")
disown "$hv"
await_window "$hv" "doc.bin - hexview" || fail "hexview showed no window: $(cat "$work/hexview.log")"
win=$found
xdotool windowsize "$win" 620 700
xdotool windowmove "$win" 10 40
sleep 1

# Selects bytes 0 to 0x20 (the caret's byte included): the first two rows of
# sixteen and the first byte of the third.
select_head() {
    activate "$win"
    xdotool key ctrl+Home shift+Down shift+Down
    sleep 0.3
}

# Presses on the selection's second row (rows are about 19 pixels high in the
# default font, the first at the top of the window's client area), moves past
# the drag distance along
# it (a drag starts only over the selection), carries the bytes to the
# folder's empty area and releases them there; with $1 = shift, Shift is held
# at the drop.
drag_to_folder() {
    xdotool mousemove --window "$win" 250 26
    sleep 0.3
    xdotool mousedown 1
    sleep 0.2
    for x in 256 262 270 280 290; do
        xdotool mousemove --window "$win" "$x" 26
        sleep 0.15
    done
    for x in 120 220 320 400; do
        xdotool mousemove --window "$fm" "$x" 300
        sleep 0.2
    done
    if [ "${1:-}" = shift ]; then
        xdotool keydown shift
        xdotool mousemove --window "$fm" 405 300
        sleep 0.3
    fi
    xdotool mousemove --window "$fm" 410 300
    sleep 0.5
    xdotool mouseup 1
    [ "${1:-}" = shift ] && xdotool keyup shift
    for _ in $(seq 1 100); do
        [ -f "$dump" ] && break
        sleep 0.1
    done
    sleep 0.5 # the file manager finishes the file
}

# Saves with Ctrl+S and waits until the window's title shows no change.
save() {
    activate "$win"
    xdotool key ctrl+s
    for _ in $(seq 1 100); do
        [ "$(xdotool getwindowname "$win")" = "doc.bin - hexview" ] && return 0
        sleep 0.1
    done
    fail "the save did not finish: the title is \"$(xdotool getwindowname "$win")\""
}

# ---- 1. a plain drag copies -----------------------------------------------------
select_head
drag_to_folder
[ -f "$dump" ] || fail "no \"Dump of doc.bin\" arrived in the folder"
cmp -s "$dump" <(head -c 33 "$work/original") || fail "the dump does not hold the first 33 bytes ($(stat -c %s "$dump") bytes)"
title=$(xdotool getwindowname "$win")
[ "$title" = "doc.bin - hexview" ] || fail "after a plain drag the title is \"$title\": the document changed"
save
cmp -s "$doc" "$work/original" || fail "after a plain drag and Ctrl+S doc.bin lost bytes ($(stat -c %s "$doc") bytes)"
echo "ok: a plain drag delivered the 33 bytes and the document kept them"

# ---- 2. Shift at the drop moves ------------------------------------------------------
rm -f "$dump"
sleep 1 # the folder view forgets the file
select_head
drag_to_folder shift
[ -f "$dump" ] || fail "no \"Dump of doc.bin\" arrived for the drag with Shift"
cmp -s "$dump" <(head -c 33 "$work/original") || fail "the second dump does not hold the first 33 bytes"
title=$(xdotool getwindowname "$win")
[ "$title" = "doc.bin* - hexview" ] || fail "after a drag with Shift the title is \"$title\", not a changed document"
save
cmp -s "$doc" <(tail -c +34 "$work/original") || fail "after the move and Ctrl+S doc.bin is not the file without its first 33 bytes ($(stat -c %s "$doc") bytes)"
echo "ok: with Shift at the drop the 33 bytes left the document"
exit 0
