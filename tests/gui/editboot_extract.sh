#!/usr/bin/env bash
# The tool's window in a real X session (Xvfb and openbox), driven with
# xdotool through its own file dialogs as a user would:
# 1. Extract with the name "firmware" while firmware.bin is open (".bin" is
#    appended, so the target is the image itself) is refused with the command
#    line's text, and the image keeps every byte.
# 2. The same through another name: "alias", where alias.bin is a symbolic
#    link to the image; the link stays a link.
# 3. Extract with the name "boot" writes boot.bin, the block at the marker,
#    and says "File Saved to: ...boot.bin!" (the driving itself works).
# The boxes' texts are read as the user can copy them (Ctrl+C in the box).
# Exit 0 when all hold, 1 when not, 77 (skipped) without the tools.
set -u
editboot=$(realpath "$1")
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool xclip openbox
start_session

# Clicks the control at the client coordinates $2 $3 of window $1 (the
# buttons' centres in the window's stored layout: "open" 40 28, "Extract"
# 216 60).
click() {
    activate "$1"
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Types $2 as the file name into the file dialog window $1 and accepts it.
choose() {
    activate "$1"
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
    sleep 0.2
    xdotool key Return
}

# The text of the box window $1, as Ctrl+C copies it, in $copied; then the
# box is closed with Enter.
copy_and_close() {
    activate "$1"
    xdotool key ctrl+c
    sleep 0.3
    copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
    xdotool key Return
    for _ in $(seq 1 50); do
        xdotool search --all --onlyvisible --pid "$eb" --name "^$caption\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "the box \"$caption\" did not close"
}

# Waits for the file dialog named $1 ("Open", "Save As"); its id in $found.
dialog() {
    await_window "$eb" "$1"
}

# ---- the image, a link to it, the command line's texts --------------------------
image=$work/firmware.bin
head -c 300000 /dev/urandom | tr '\343' '\000' >"$image"
printf '\343\000\000\020' | dd of="$image" bs=1 seek=$((0x3000)) conv=notrunc status=none
ln -s firmware.bin "$work/alias.bin"
before=$(md5 "$image")
expected_self=$("$editboot" extract "$image" "$work/firmware.bin" 2>&1 >/dev/null)
expected_link=$("$editboot" extract "$image" "$work/alias.bin" 2>&1 >/dev/null)
[ "$(md5 "$image")" = "$before" ] || fail "the command line changed the image"
case $expected_self in
*"it is the image itself"*) ;;
*) fail "the command line does not refuse the image itself: $expected_self" ;;
esac
expected_self=${expected_self#editboot: }
expected_link=${expected_link#editboot: }

# ---- the window, "open" ---------------------------------------------------------
(cd "$work" && exec "$editboot") >"$work/editboot.log" 2>&1 &
eb=$!
session_pids+=("$eb")
disown "$eb"
await_window "$eb" "edit boot for Zelq v1.0" || fail "no window: $(cat "$work/editboot.log")"
main=$found
click "$main" 40 28 # "open"
dialog Open || fail "the open dialog did not appear"
choose "$found" "$image"
await_window "$eb" "firmware.bin" || fail "the image did not open"
[ "$found" = "$main" ] || fail "the caption firmware.bin is not the main window's"
sleep 0.5

# Extract with the name $1 typed into the save dialog; the box's caption in
# $caption, its text in $copied.
extract() {
    click "$main" 216 60 # "Extract"
    dialog "Save As" || fail "Extract's save dialog did not appear"
    choose "$found" "$1"
    caption=
    for _ in $(seq 1 300); do
        for caption in editboot Information Erreur; do
            found=$(xdotool search --all --onlyvisible --pid "$eb" --name "^$caption\$" 2>/dev/null | head -1)
            [ -n "$found" ] && break 2
        done
        sleep 0.1
    done
    [ -n "$found" ] || fail "no box after Extract \"$1\""
    copy_and_close "$found"
}

# ---- 1. the image's own name ----------------------------------------------------
extract "$work/firmware"
[ "$caption" = editboot ] || fail "Extract onto the image showed \"$caption\": $copied"
case $copied in
*"$expected_self"*) ;;
*) fail "the box says \"$copied\", the command line \"$expected_self\"" ;;
esac
[ "$(md5 "$image")" = "$before" ] || fail "the image was changed by Extract onto itself"
echo "ok: Extract \"firmware\" refused with the command line's text: $expected_self"

# ---- 2. through a link to the image --------------------------------------------
extract "$work/alias"
[ "$caption" = editboot ] || fail "Extract onto the link showed \"$caption\": $copied"
case $copied in
*"$expected_link"*) ;;
*) fail "the box says \"$copied\", the command line \"$expected_link\"" ;;
esac
[ -L "$work/alias.bin" ] || fail "alias.bin is no longer a link"
[ "$(md5 "$image")" = "$before" ] || fail "the image was changed by Extract onto a link to it"
echo "ok: Extract \"alias\" (a link to the image) refused: $expected_link"

# ---- 3. an ordinary name still works --------------------------------------------
extract "$work/boot"
[ "$caption" = Information ] || fail "Extract \"boot\" showed \"$caption\": $copied"
case $copied in
*"File Saved to: $work/boot.bin!"*) ;;
*) fail "the box says \"$copied\"" ;;
esac
[ "$(stat -c %s "$work/boot.bin")" = 65536 ] || fail "boot.bin is not 65,536 bytes long"
cmp -s "$work/boot.bin" <(tail -c +$((0x3000 + 1)) "$image" | head -c 65536) || fail "boot.bin is not the block at the marker"
[ "$(md5 "$image")" = "$before" ] || fail "the image changed"
leftovers=$(find "$work" -maxdepth 1 -name '.*.tmp*' | head -1)
[ -z "$leftovers" ] || fail "a temporary file was left: $leftovers"
echo "ok: Extract \"boot\" wrote boot.bin, the block at the marker"
exit 0
