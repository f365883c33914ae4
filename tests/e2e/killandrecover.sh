#!/usr/bin/env bash
# The real program on a private X server: type two lines into the untitled document, wait the
# second within which the recovery journal takes them, kill -9 the program, start it again and
# answer the recovery box with Enter (Recover); then save the recovered text through Save As
# and check its bytes, and that nothing is left in the recovery folder once it is saved.
# Usage: killandrecover.sh /path/to/tarvex
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

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY"

# Nothing read from or written to the home folder of whoever runs the test: the journals go to
# a state home of the test's own.
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state"
mkdir -p "$HOME" "$work/out" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
recovery="$XDG_STATE_HOME/tarvex/recovery"

app=
launch() {
    (cd "$work" && exec "$tarvex") >>"$work/tarvex.log" 2>&1 &
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

expect_title() {
    local title=
    for _ in $(seq 100); do
        title=$(xdotool getwindowname "$1" 2>/dev/null || true)
        [ "$title" = "$2" ] && return 0
        sleep 0.1
    done
    fail "the title reads '$title', expected '$2'"
}

focus() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 could not take the focus"
}

# 1. Type, let the journal take it, and kill the program as a crash would.
launch
main=$(window_titled "Untitled[] -Tarvex")
focus "$main"
xdotool type --delay 20 "Typed before"
xdotool key Return
xdotool type --delay 20 "the kill"
expect_title "$main" "Untitled[*] Tarvex"
# A change reaches the disk within a second: half a second more for the keys to arrive.
sleep 1.5
kill -9 "$app"
wait "$app" 2>/dev/null || true

# 2. Start again: the recovery box comes before anything else, Enter recovers.
launch
box=$(window_titled "Tarvex: Recovery")
focus "$box"
xdotool key Return
main=$(window_titled "Untitled[*] Tarvex")
focus "$main"

# 3. The recovered text, saved, is what was typed; its journal ends with the save.
xdotool key ctrl+s
saved="$work/out/recovered.txt"
dialog=$(window_titled "Save As")
focus "$dialog"
xdotool type --delay 20 "$saved"
xdotool key Return
expect_title "$main" "$saved[] -Tarvex"
printf 'Typed before\r\nthe kill\r\n' >"$work/expected"
[ -f "$saved" ] || fail "no file at $saved"
cmp "$work/expected" "$saved" || fail "saved bytes: $(od -c "$saved")"
leftover=$(ls -A "$recovery")
[ -z "$leftover" ] || fail "the recovery folder still holds: $leftover"

focus "$main"
xdotool key ctrl+e
for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$app" 2>/dev/null && fail "the program did not end on Exit"
wait "$app" || fail "the program ended with status $?"

echo "PASS"
