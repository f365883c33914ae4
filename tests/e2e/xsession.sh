#!/usr/bin/env bash
# What the end-to-end tests share, sourced with the test's own arguments (/path/to/tarvex): a
# private session bus and X server, a home and state home of the test's own, and the program's
# windows found and waited for with xdotool.

# A session bus of its own: the program meets none of the desktop services of whoever runs this.
# Started before the kit, whose folder the exec would leave behind; without dbus-run-session the
# exec fails, and the test with it.
[ -n "${TARVEX_E2E_BUS:-}" ] || TARVEX_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"
source "$(dirname "$0")/../support/scriptkit.sh"

tarvex=$(realpath "${1:?usage: $0 /path/to/tarvex}")
app=

# The titles of the windows up when the test fails.
report() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null || true; }

need Xvfb xdotool timeout cmp
[ -x "$tarvex" ] || fail "no program at $tarvex"

# Xvfb writes the display it chose to descriptor 3 once it is ready. Without -noreset it starts
# afresh whenever its last client leaves, and a program that connects meanwhile fails.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
retry test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# The plain xcb platform with Qt's own file dialog; the kit's home keeps the recovery journals.
export QT_QPA_PLATFORM=xcb
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY
mkdir "$work/out"

# Starts the program from the folder $1 with the arguments after $2, and focuses its first
# window, titled $2, whose id goes to $main.
launch() {
    (cd "$1" && exec "$tarvex" "${@:3}") >>"$work/tarvex.log" 2>&1 &
    app=$!
    pids+=("$app")
    main=$(window_titled "$2")
    focus "$main"
}

# The id of the program's window titled exactly $1, once it shows (each search waits 20 s).
window_titled() {
    local pattern
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
    # Searched again when the search dies of a window that went (a dialog closing) as it was read.
    for _ in 1 2 3; do
        timeout 20 xdotool search --sync --all --onlyvisible --pid "$app" --name "^$pattern\$" \
            2>/dev/null | head -n 1 | grep . && return
    done
    fail "no window titled '$1'"
}

# Window $1 comes to be titled $2 (within 10 s), asked of that window alone.
title_is() { [ "$(xdotool getwindowname "$1" 2>/dev/null)" = "$2" ]; }
expect_title() {
    retry title_is "$1" "$2" || fail "the title reads '$(xdotool getwindowname "$1")', expected '$2'"
}

has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
# Focuses window $1 (there is no window manager to do it) and waits until it has the focus.
focus() {
    timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 could not take the focus"
}

# Ctrl+S on the untitled document in window $main: the Save As dialog takes the keyboard and
# saves it under the full path $1 typed into it.
save_as() {
    xdotool key ctrl+s
    retry has_focus "$(window_titled "Save As")" || fail "Save As did not take the keyboard"
    xdotool type --delay 20 "$1"
    xdotool key Return
    expect_title "$main" "$1[] -Tarvex"
}

# The file $1 holds exactly the bytes that printf makes of $2.
expect_bytes() {
    printf "$2" >"$work/expected"
    cmp "$work/expected" "$1" || fail "the bytes of $1: $(od -c "$1")"
}

# Exit (Ctrl+E) on a clean document ends the program (within 10 s), and well.
quit() {
    xdotool key ctrl+e
    timeout 10 tail --pid="$app" -f /dev/null || fail "the program did not end on Exit"
    wait "$app" || fail "the program ended with status $?"
}
