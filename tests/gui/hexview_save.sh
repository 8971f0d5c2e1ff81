#!/usr/bin/env bash
# hexview saving in a real window: the program on a virtual X display of its
# own, edited with xdotool and saved with Ctrl+S, as a user would.
# 1. Saving a file opened through a symbolic link writes the link's target;
#    the link stays a link and the backup is made beside the target.
# 2. hexview killed (SIGKILL) in the middle of saving a large file leaves the
#    whole old file under its name.
# Exit 0 when both hold, 1 when not, 77 (skipped) without Xvfb, xdotool or openbox.
set -u
hexview=$(realpath "$1")
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool openbox
start_session

# Starts hexview on $1 and waits for its window titled $2; the window id in $win.
start() {
    "$hexview" "$1" >"$work/hexview.log" 2>&1 &
    hv=$!
    session_pids+=($hv)
    await_window "$hv" "$2" || fail "no window \"$2\": $(cat "$work/hexview.log")"
    win=$found
    activate "$win"
}

# ---- 1. through a link ---------------------------------------------------------
mkdir "$work/real"
printf 'ABCDEFGHIJKLMNOP' >"$work/real/real.bin"
ln -s real/real.bin "$work/link.bin"
start "$work/link.bin" "link.bin - hexview"
xdotool type --delay 50 "ff"
xdotool key ctrl+s
for _ in $(seq 1 100); do
    [ -e "$work/real/real.bin.bak" ] && break
    sleep 0.1
done
[ -L "$work/link.bin" ] || fail "link.bin is no longer a symbolic link"
[ "$(head -c 1 "$work/real/real.bin" | od -An -tx1 | tr -d ' ')" = ff ] || fail "real.bin was not saved"
[ "$(cat "$work/real/real.bin.bak")" = ABCDEFGHIJKLMNOP ] || fail "real.bin.bak does not hold the old contents"
[ ! -e "$work/link.bin.bak" ] && [ ! -L "$work/link.bin.bak" ] || fail "a backup of the link itself was made"
kill "$hv"
wait "$hv" 2>/dev/null
hv=
echo "ok: saved through link.bin into real/real.bin, backup real/real.bin.bak, the link stays"

# ---- 2. killed while saving --------------------------------------------------------
head -c 200000000 /dev/urandom >"$work/big.bin"
old=$(md5sum <"$work/big.bin")
start "$work/big.bin" "big.bin - hexview"
xdotool type --delay 50 "aa"
xdotool key ctrl+s
temp=
for _ in $(seq 1 1000); do
    temp=$(find "$work" -maxdepth 1 -name '.big.bin.*.tmp' -size +1M | head -1)
    [ -n "$temp" ] && break
    [ -e "$work/big.bin.bak" ] && break # finished before it was seen
    sleep 0.01
done
kill -9 "$hv"
wait "$hv" 2>/dev/null
hv=
[ -n "$temp" ] || [ -e "$work/big.bin.bak" ] || fail "the save never started (were the keys seen?)"
[ -f "$work/big.bin" ] || fail "big.bin has no file after the kill"
now=$(md5sum <"$work/big.bin")
if [ "$now" = "$old" ]; then
    echo "ok: killed while saving big.bin${temp:+ (temporary file seen)}: the name holds the whole old file"
else
    # Finished before the kill: the new file must be whole.
    [ "$(head -c 1 "$work/big.bin" | od -An -tx1 | tr -d ' ')" = aa ] || fail "big.bin is neither old nor new"
    [ "$(stat -c %s "$work/big.bin")" = 200000000 ] || fail "big.bin has the wrong size"
    [ "$(md5sum <"$work/big.bin.bak")" = "$old" ] || fail "big.bin.bak is not the old file"
    echo "ok: the save of big.bin finished before the kill; new file and backup are whole"
fi
exit 0
