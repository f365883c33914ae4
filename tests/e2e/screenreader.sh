#!/usr/bin/env bash
# The edit view read as a screen reader reads it: the view alone in a window (viewprobe) on a
# private X server and session bus with the accessibility bus, typed at with xdotool, and read
# back through AT-SPI (its name, states, text, caret and selection, and the insertions,
# deletions, caret moves and selection changes it announces); then a middle click pastes the
# selection, which is the primary selection.
# Usage: screenreader.sh /path/to/viewprobe
source "$(dirname "$0")/xsession.sh"

[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi2-core is not installed"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
launch "$work" "Tarvex view" ""
# Debian's own Python, where its gi bindings are (gir1.2-atspi-2.0, python3-gi), whatever else
# comes first on the PATH; without them the script fails on its imports.
timeout 60 /usr/bin/python3 "$(dirname "$0")/screenreader.py" "$app" ||
    fail "what the screen reader reads"
