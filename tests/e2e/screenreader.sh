#!/usr/bin/env bash
# The edit view read as a screen reader reads it: the view alone in a window (viewprobe) on a
# private X server and session bus with the accessibility bus, typed at with xdotool, and read
# back through AT-SPI (its name, states, text, caret and selection, and the insertions,
# deletions, caret moves and selection changes it announces); then a middle click pastes the
# selection, which is the primary selection.
# Usage: screenreader.sh /path/to/viewprobe
source "$(dirname "$0")/xsession.sh"

# Debian's own Python, where its gi bindings are, whatever else comes first on the PATH.
python=/usr/bin/python3
"$python" -c 'import gi; gi.require_version("Atspi", "2.0"); from gi.repository import Atspi' \
    2>/dev/null || fail "AT-SPI for Python is missing (gir1.2-atspi-2.0, python3-gi)"
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi2-core is not installed"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
launch "$work" "Tarvex view" ""
timeout 60 "$python" "$(dirname "$0")/screenreader.py" "$app" || fail "what the screen reader reads"
