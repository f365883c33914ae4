#!/usr/bin/env bash
# The real program on a private X server, driven as a user would drive it: type two lines, press
# Ctrl+S on the untitled document, type a full path into the Save As dialog and press Enter;
# then check the file's bytes and the window titles; search for a word with Ctrl+F, the word and
# Enter, and type over what was found; and open the file again from the command line.
# Usage: typeandsave.sh /path/to/tarvex
set -euo pipefail

tarvex=$(realpath "${1:?usage: $0 /path/to/tarvex}")
work=

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
        echo "Windows:" >&2
        for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
            echo "  $w: $(xdotool getwindowname "$w" 2>/dev/null)" >&2
        done
    fi
    for log in tarvex xvfb; do
        if [ -n "$work" ] && [ -s "$work/$log.log" ]; then
            echo "$log output:" >&2
            cat "$work/$log.log" >&2
        fi
    done
    exit 1
}

# A missing tool fails the test rather than skipping it, so a CI image without it cannot pass.
for tool in Xvfb xdotool dbus-run-session timeout cmp; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
[ -x "$tarvex" ] || fail "no program at $tarvex"

# A session bus of its own, so that the program meets none of the desktop services of whoever
# runs the test.
if [ -z "${TARVEX_E2E_BUS:-}" ]; then
    TARVEX_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb chooses a free display and writes its number to descriptor 3 once it is ready. Without
# -noreset it starts afresh whenever its last client leaves (xdotool's, or the program on Exit),
# and a program that connects meanwhile fails with "could not connect to display".
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY: $(cat "$work/xvfb.log")"

# The plain xcb platform with Qt's own file dialog, and nothing read from or written to the home
# folder of whoever runs the test.
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$work/out" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

app=
# Starts the program from the folder $1 with the remaining arguments.
launch() {
    local folder=$1
    shift
    (cd "$folder" && exec "$tarvex" "$@") >>"$work/tarvex.log" 2>&1 &
    app=$!
    pids+=("$app")
}

# The id of the program's window whose title is exactly $1, waiting for it up to 20 s.
window_titled() {
    local pattern found
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
    for _ in $(seq 200); do
        kill -0 "$app" 2>/dev/null || fail "the program ended before showing '$1'"
        found=$(xdotool search --all --onlyvisible --pid "$app" --name "^$pattern\$" 2>/dev/null || true)
        if [ -n "$found" ]; then
            echo "$found" | head -n 1
            return 0
        fi
        sleep 0.1
    done
    fail "no window titled '$1'"
}

# Waits up to 10 s for window $1 to carry the title $2.
expect_title() {
    local title=
    for _ in $(seq 100); do
        title=$(xdotool getwindowname "$1" 2>/dev/null || true)
        [ "$title" = "$2" ] && return 0
        sleep 0.1
    done
    fail "the title reads '$title', expected '$2'"
}

# The window that has the keyboard focus once it is another than $1, waiting up to 10 s.
focus_leaves() {
    local focused
    for _ in $(seq 100); do
        focused=$(xdotool getwindowfocus 2>/dev/null || true)
        if [ -n "$focused" ] && [ "$focused" != "$1" ] && [ "$focused" != 1 ]; then
            echo "$focused"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits up to 10 s for window $1 to have the keyboard focus.
focus_returns() {
    for _ in $(seq 100); do
        [ "$(xdotool getwindowfocus 2>/dev/null || true)" = "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

# Focuses window $1 (there is no window manager to do it) and waits until it has the focus.
focus() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 could not take the focus"
}

# Ends the program with Exit (Ctrl+E) on a clean document and waits up to 10 s for it to end.
quit() {
    xdotool key ctrl+e
    for _ in $(seq 100); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app" 2>/dev/null && fail "the program did not end on Exit"
    wait "$app" || fail "the program ended with status $?"
}

# 1. Type into the untitled document and save it through Save As.
launch "$work"
main=$(window_titled "Untitled[] -Tarvex")
focus "$main"
xdotool type --delay 20 "Hello"
xdotool key Return
xdotool type --delay 20 "world"
expect_title "$main" "Untitled[*] Tarvex"

xdotool key ctrl+s
dialog=$(focus_leaves "$main") || fail "Ctrl+S opened no dialog"
[ "$(xdotool getwindowname "$dialog")" = "Save As" ] ||
    fail "the dialog is titled '$(xdotool getwindowname "$dialog")', not 'Save As'"
saved="$work/out/saved.txt"
xdotool type --delay 20 "$saved"
xdotool key Return
expect_title "$main" "$saved[] -Tarvex"

# The edit area holds CR LF line breaks, and saving ends the last line with one.
printf 'Hello\r\nworld\r\n' >"$work/expected"
[ -f "$saved" ] || fail "no file at $saved"
cmp "$work/expected" "$saved" || fail "saved bytes: $(od -c "$saved")"
focus "$main"

# 2. Ctrl+F gives the keyboard to the find window: the word typed goes into its find box, over
# the word at the caret, and Enter finds it. The document stays clean, and typing then replaces
# the selected match.
xdotool key ctrl+Home
xdotool key ctrl+f
find=$(focus_leaves "$main") || fail "Ctrl+F gave the keyboard to no window"
[ "$(xdotool getwindowname "$find")" = "Find" ] ||
    fail "Ctrl+F gave the keyboard to '$(xdotool getwindowname "$find")', not to the find window"
xdotool type --delay 20 "world"
xdotool key Return
focus_returns "$main" || fail "the keyboard did not come back to the document after Find Next"
expect_title "$main" "$saved[] -Tarvex"
xdotool type --delay 20 "X"
expect_title "$main" "$saved[*] Tarvex"
xdotool key ctrl+s
expect_title "$main" "$saved[] -Tarvex"
printf 'Hello\r\nX\r\n' >"$work/expected"
cmp "$work/expected" "$saved" || fail "saved bytes after the search: $(od -c "$saved")"
quit

# 3. Open the saved file by naming it, relative to the current folder, on the command line.
launch "$work/out" saved.txt
main=$(window_titled "$saved[]  - Tarvex")
focus "$main"
quit

echo "PASS"
