#!/usr/bin/env bash
# What the end-to-end tests share, sourced with the test's own arguments (/path/to/tarvex): a
# private session bus and X server, a home and state home of the test's own, and the program's
# windows found and waited for with xdotool. A missing tool fails the test rather than skipping
# it, so that a CI image without it cannot pass.
set -euo pipefail

tarvex=$(realpath "${1:?usage: $0 /path/to/tarvex}")
work=
app=
pids=()

fail() {
    echo "FAIL: $*" >&2
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
        echo "window $w: $(xdotool getwindowname "$w" 2>/dev/null)" >&2
    done
    [ -z "$work" ] || tail -n +1 "$work"/*.log >&2 2>/dev/null || true
    exit 1
}

for tool in Xvfb xdotool dbus-run-session timeout cmp; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
[ -x "$tarvex" ] || fail "no program at $tarvex"
# A session bus of its own: the program meets none of the desktop services of whoever runs this.
[ -n "${TARVEX_E2E_BUS:-}" ] || TARVEX_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"

work=$(mktemp -d)
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Runs "$@" every tenth of a second until it succeeds, for up to 10 s.
retry() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Xvfb writes the display it chose to descriptor 3 once it is ready. Without -noreset it starts
# afresh whenever its last client leaves, and a program that connects meanwhile fails.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
retry test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# The plain xcb platform with Qt's own file dialog; nothing read from or written to the home
# folder of whoever runs the test, the recovery journals included.
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state"
mkdir -p -m 700 "$HOME" "$work/out" "$XDG_RUNTIME_DIR"

# Starts the program from the folder $1 with the remaining arguments.
launch() {
    (cd "$1" && shift && exec "$tarvex" "$@") >>"$work/tarvex.log" 2>&1 &
    app=$!
    pids+=("$app")
}

# The id of the program's window titled exactly $1, once it shows (up to 20 s).
window_titled() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
    timeout 20 xdotool search --sync --all --onlyvisible --pid "$app" --name "^$pattern\$" |
        head -n 1 | grep . || fail "no window titled '$1'"
}

title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
expect_title() {
    retry title_is "$1" "$2" || fail "the title reads '$(xdotool getwindowname "$1")', expected '$2'"
}

has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# Focuses window $1 (there is no window manager to do it) and waits until it has the focus.
focus() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 could not take the focus"
}

gone() { ! kill -0 "$app" 2>/dev/null; }
# Exit (Ctrl+E) on a clean document ends the program, and well.
quit() {
    xdotool key ctrl+e
    retry gone || fail "the program did not end on Exit"
    wait "$app" || fail "the program ended with status $?"
}
