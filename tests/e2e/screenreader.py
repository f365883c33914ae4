"""Reads the edit view the way a screen reader does, through AT-SPI, while xdotool types into it.

Usage: screenreader.py PID. The program with that process id shows the view, named "Text", over
an empty document and has the keyboard focus. Prints what it finds wrong and exits 1, or PASS.
"""
import collections
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)

pid = int(sys.argv[1])
problems = []


def check(what, seen, wanted):
    if seen != wanted:
        problems.append(f"{what}: {seen!r}, expected {wanted!r}")


def find_text(node, depth=0):
    if node is None or depth > 12:
        return None
    if node.get_name() == "Text" and node.get_role() in (Atspi.Role.TEXT, Atspi.Role.ENTRY):
        return node
    children = (node.get_child_at_index(i) for i in range(node.get_child_count()))
    return next(filter(None, (find_text(child, depth + 1) for child in children)), None)


def program():
    desktop = Atspi.get_desktop(0)
    apps = (desktop.get_child_at_index(i) for i in range(desktop.get_child_count()))
    return next((app for app in apps if app is not None and app.get_process_id() == pid), None)


for _ in range(100):
    area = find_text(program())
    if area:
        break
    time.sleep(0.1)
else:
    sys.exit("FAIL: no editable text named 'Text' in the program's accessibility tree")

# What the reader hears while the user types, by the last part of the event's type ("insert",
# "delete", "text-caret-moved", "text-selection-changed"): offsets and texts.
heard = collections.defaultdict(list)


def on_event(event):
    if event.source == area or event.source.get_name() == "Text":
        heard[event.type.split(":")[-1]].append((event.detail1, str(event.any_data)))


listener = Atspi.EventListener.new(on_event)
for kind in ("object:text-changed", "object:text-caret-moved", "object:text-selection-changed"):
    listener.register(kind)


def pump(seconds):
    end = time.time() + seconds
    while time.time() < end:
        GLib.MainContext.default().iteration(False) or time.sleep(0.01)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def text():
    return Atspi.Text.get_text(area, 0, Atspi.Text.get_character_count(area))


xdotool("type", "--delay", "30", "hello world")
xdotool("key", "Return")
xdotool("type", "--delay", "30", "second")
xdotool("key", "BackSpace", "shift+Left", "shift+Left")
pump(1.5)

# What the reader asks of the view itself, its boxes and boundaries among them, tst_view asks too.
states = area.get_state_set()
for state in (Atspi.StateType.MULTI_LINE, Atspi.StateType.EDITABLE, Atspi.StateType.FOCUSED):
    check(state.value_nick, states.contains(state), True)
check("text", text(), "hello world\r\nsecon")
check("caret", Atspi.Text.get_caret_offset(area), 16)
chosen = Atspi.Text.get_selection(area, 0)
check("selection", (Atspi.Text.get_n_selections(area), chosen.start_offset, chosen.end_offset),
      (1, 16, 18))

check("insertions heard", "".join(data for _, data in heard["insert"]), "hello world\r\nsecond")
check("deletions heard", heard["delete"], [(18, "d")])
check("a caret move to 16 heard", 16 in (offset for offset, _ in heard["text-caret-moved"]), True)
check("a selection change heard", bool(heard["text-selection-changed"]), True)

# The selection is the primary selection: a middle click at the start pastes it there.
first = Atspi.Text.get_character_extents(area, 0, Atspi.CoordType.SCREEN)
xdotool("mousemove", str(first.x + 1), str(first.y + first.height // 2), "click", "2")
pump(0.5)
check("text after a middle click", text(), "onhello world\r\nsecon")

print("\n".join(f"FAIL: {problem}" for problem in problems) or "PASS")
sys.exit(1 if problems else 0)
