#!/usr/bin/env bash
# What the end-to-end tests share, sourced with the test's own arguments (/path/to/tarvex): a
# private session bus and X server, a home and state home of the test's own, and the program's
# windows found and waited for with xdotool.
source "$(dirname "$0")/../support/scriptkit.sh"

tarvex=$(realpath "${1:?usage: $0 /path/to/tarvex}")
app=

# The windows up when the test fails.
report() {
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null || true); do
        echo "window $w: $(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

need Xvfb xdotool dbus-run-session timeout cmp
[ -x "$tarvex" ] || fail "no program at $tarvex"
# A session bus of its own: the program meets none of the desktop services of whoever runs this.
[ -n "${TARVEX_E2E_BUS:-}" ] || TARVEX_E2E_BUS=1 exec dbus-run-session -- bash "$0" "$@"

work=$(mktemp -d)

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

# Starts the program from the folder $1 with the arguments after $2, and focuses its first
# window, titled $2, whose id goes to $main.
launch() {
    local folder=$1 title=$2
    shift 2
    (cd "$folder" && exec "$tarvex" "$@") >>"$work/tarvex.log" 2>&1 &
    app=$!
    pids+=("$app")
    main=$(window_titled "$title")
    focus "$main"
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

# Ctrl+S on the untitled document in window $main: the Save As dialog takes the keyboard and
# saves it under the full path $1 typed into it.
save_as() {
    xdotool key ctrl+s
    local dialog
    dialog=$(window_titled "Save As")
    retry has_focus "$dialog" || fail "the Save As dialog does not have the keyboard"
    xdotool type --delay 20 "$1"
    xdotool key Return
    expect_title "$main" "$1[] -Tarvex"
}

# The file $1 holds exactly the bytes that printf makes of $2.
expect_bytes() {
    printf "$2" >"$work/expected"
    cmp "$work/expected" "$1" || fail "the bytes of $1: $(od -c "$1")"
}

gone() { ! kill -0 "$app" 2>/dev/null; }
# Exit (Ctrl+E) on a clean document ends the program, and well.
quit() {
    xdotool key ctrl+e
    retry gone || fail "the program did not end on Exit"
    wait "$app" || fail "the program ended with status $?"
}
