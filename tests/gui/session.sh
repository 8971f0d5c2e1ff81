# Sourced by the real-window tests: a virtual X display of their own with a
# window manager, and the helpers they share.
#   require_tools TOOL...   exits 77 (skipped) when one is not installed
#   start_session           Xvfb and openbox; DISPLAY is set
#   fail TEXT               prints it (and a screenshot when asked) and exits 1
#   await_window PID NAME   waits up to 30 s for a visible window of PID named
#                           exactly NAME (a pattern); its id in $found
#   (xdotool's search criteria are alternatives unless --all is given.)
#   activate WIN            raises and focuses the window
# The display: EDITBOOT_GUI_DISPLAY=N uses :N, otherwise the server picks a
# free one. EDITBOOT_GUI_SHOTS=DIR keeps a screenshot of a failure there.
# Processes to end at exit are added to $session_pids; $work is removed.

session_pids=()
work=$(mktemp -d)
work=$(cd "$work" && pwd -P) # dialogs and file managers give real paths

session_cleanup() {
    local i pid
    # The programs first, the X server last; TERM lets Xvfb remove its lock.
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        pid=${session_pids[i]}
        kill "$pid" 2>/dev/null || continue
        for _ in $(seq 1 20); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap session_cleanup EXIT

require_tools() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "skipped: $tool is not installed (scripts/deps.sh --gui)"
            exit 77
        fi
    done
}

fail() {
    echo "FAILED: $*"
    if [ -n "${EDITBOOT_GUI_SHOTS:-}" ] && command -v import >/dev/null; then
        import -window root "$EDITBOOT_GUI_SHOTS/failed.png" 2>/dev/null
    fi
    exit 1
}

start_session() {
    if [ -n "${EDITBOOT_GUI_DISPLAY:-}" ]; then
        export DISPLAY=:$EDITBOOT_GUI_DISPLAY
        # A server of an earlier run may still be going down.
        for _ in $(seq 1 50); do
            xdotool getmouselocation >/dev/null 2>&1 || break
            sleep 0.1
        done
        Xvfb ":$EDITBOOT_GUI_DISPLAY" -screen 0 1280x900x24 2>"$work/xvfb.log" &
        local server=$!
        session_pids+=($server)
        disown $server
        echo "$EDITBOOT_GUI_DISPLAY" >"$work/display"
        for _ in $(seq 1 100); do
            kill -0 "$server" 2>/dev/null || fail "Xvfb $DISPLAY did not start: $(cat "$work/xvfb.log")"
            xdotool getmouselocation >/dev/null 2>&1 && break
            sleep 0.1
        done
    else
        Xvfb -displayfd 3 -screen 0 1280x900x24 3>"$work/display" 2>"$work/xvfb.log" &
        session_pids+=($!)
        disown $!
        for _ in $(seq 1 100); do
            [ -s "$work/display" ] && break
            sleep 0.1
        done
        [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
        export DISPLAY=:$(head -1 "$work/display")
    fi
    xdotool getmouselocation >/dev/null 2>&1 || fail "no X display: $(cat "$work/xvfb.log")"
    export QT_QPA_PLATFORM=xcb
    export XDG_CONFIG_HOME=$work/config
    export XDG_DATA_HOME=$work/data
    export XDG_CACHE_HOME=$work/cache
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    unset XDG_CURRENT_DESKTOP SESSION_MANAGER # Qt's own dialogs, the same everywhere
    openbox >"$work/openbox.log" 2>&1 &
    session_pids+=($!)
    disown $!
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
}

await_window() {
    found=
    for _ in $(seq 1 300); do
        found=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -1)
        [ -n "$found" ] && return 0
        sleep 0.1
    done
    return 1
}

activate() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1
    sleep 0.3
}

md5() { md5sum <"$1" | cut -d' ' -f1; }
