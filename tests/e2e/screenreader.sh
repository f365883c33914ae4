#!/usr/bin/env bash
# The edit view read as a screen reader reads it: the view alone in a window (viewprobe) on a
# private X server and session bus with the accessibility bus, typed at with xdotool, and read
# back through AT-SPI (text, caret, selection, states, character boxes, text at a boundary, and
# the insertions, deletions and caret moves it announces); then a middle click pastes the
# selection, which is the primary selection.
# Usage: screenreader.sh /path/to/viewprobe
set -euo pipefail

probe=$(realpath "${1:?usage: $0 /path/to/viewprobe}")
here=$(dirname "$(realpath "$0")")
work=

fail() {
    echo "FAIL: $*" >&2
    for log in probe xvfb; do
        if [ -n "$work" ] && [ -s "$work/$log.log" ]; then
            echo "$log output:" >&2
            cat "$work/$log.log" >&2
        fi
    done
    exit 1
}

for tool in Xvfb xdotool dbus-run-session; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
# Debian's own Python, where its gi bindings are, whatever else comes first on the PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' \
    2>/dev/null || fail "AT-SPI for Python is missing (gir1.2-atspi-2.0, python3-gi)"
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi2-core is not installed"
[ -x "$probe" ] || fail "no program at $probe"

# A session bus of its own, on which the accessibility bus starts when first asked for.
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

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=("$!")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE XDG_CURRENT_DESKTOP DESKTOP_SESSION WAYLAND_DISPLAY
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

: >"$work/empty.txt"
"$probe" "$work/empty.txt" >"$work/probe.log" 2>&1 &
app=$!
pids+=("$app")
window=
for _ in $(seq 200); do
    kill -0 "$app" 2>/dev/null || fail "the view's window ended"
    window=$(xdotool search --onlyvisible --pid "$app" --name "Tarvex view" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window for the view"
timeout 10 xdotool windowfocus --sync "$window" || fail "the view could not take the focus"

timeout 60 "$python" "$here/screenreader.py" "$app" || fail "what the screen reader reads"
