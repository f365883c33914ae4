"""Reads the edit view the way a screen reader does, through AT-SPI, while xdotool types into it.

Usage: screenreader.py PID. The program with that process id shows the view, named "Text", over
an empty document and has the keyboard focus. Prints what it finds wrong and exits 1, or PASS.
"""
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
    for i in range(node.get_child_count()):
        found = find_text(node.get_child_at_index(i), depth + 1)
        if found:
            return found
    return None


def program():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


area = None
for _ in range(100):
    area = find_text(program())
    if area:
        break
    time.sleep(0.1)
if area is None:
    print("FAIL: no editable text named 'Text' in the program's accessibility tree")
    sys.exit(1)

# What the reader hears while the user types: each insertion and each caret move.
heard = []


def on_event(event):
    if event.source == area or event.source.get_name() == "Text":
        heard.append((event.type, event.detail1, event.any_data))


listener = Atspi.EventListener.new(on_event)
for kind in ("object:text-changed:insert", "object:text-changed:delete", "object:text-caret-moved",
             "object:text-selection-changed"):
    listener.register(kind)


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


xdotool("type", "--delay", "30", "hello world")
xdotool("key", "Return")
xdotool("type", "--delay", "30", "second")
xdotool("key", "BackSpace")
xdotool("key", "shift+Left", "shift+Left")
pump(1.5)

states = area.get_state_set()
check("multi-line", states.contains(Atspi.StateType.MULTI_LINE), True)
check("editable", states.contains(Atspi.StateType.EDITABLE), True)
check("focused", states.contains(Atspi.StateType.FOCUSED), True)
count = Atspi.Text.get_character_count(area)
check("text", Atspi.Text.get_text(area, 0, count), "hello world\r\nsecon")
check("caret", Atspi.Text.get_caret_offset(area), 16)
check("selections", Atspi.Text.get_n_selections(area), 1)
if Atspi.Text.get_n_selections(area) == 1:
    chosen = Atspi.Text.get_selection(area, 0)
    check("selection", (chosen.start_offset, chosen.end_offset), (16, 18))
# Qt's bridge answers the boundary form of the question, which readers fall back to.
line = Atspi.Text.get_text_at_offset(area, 2, Atspi.TextBoundaryType.LINE_START)
check("line at 2", (line.content, line.start_offset, line.end_offset), ("hello world\r\n", 0, 13))
word = Atspi.Text.get_text_at_offset(area, 7, Atspi.TextBoundaryType.WORD_START)
check("word at 7", word.content.strip(), "world")
first = Atspi.Text.get_character_extents(area, 0, Atspi.CoordType.SCREEN)
second = Atspi.Text.get_character_extents(area, 1, Atspi.CoordType.SCREEN)
if not (first.width > 0 and first.height > 0 and second.x > first.x):
    problems.append(f"character boxes: {first.x},{first.y} {first.width}x{first.height}; "
                    f"next at {second.x}")
at_point = Atspi.Text.get_offset_at_point(
    area, second.x + second.width // 2, second.y + second.height // 2, Atspi.CoordType.SCREEN)
check("offset at the second character's middle", at_point, 1)

inserted = "".join(str(data) for kind, _, data in heard if kind == "object:text-changed:insert")
check("insertions heard", inserted, "hello world\r\nsecond")
deleted = [(offset, str(data)) for kind, offset, data in heard if kind == "object:text-changed:delete"]
check("deletions heard", deleted, [(18, "d")])
if not any(kind == "object:text-caret-moved" and offset == 16 for kind, offset, _ in heard):
    problems.append("no caret move to 16 heard")
if not any(kind == "object:text-selection-changed" for kind, _, _ in heard):
    problems.append("no selection change heard")

# The selection is the primary selection: a middle click at the start pastes it there.
xdotool("mousemove", str(first.x + 1), str(first.y + first.height // 2), "click", "2")
pump(0.5)
count = Atspi.Text.get_character_count(area)
check("text after a middle click", Atspi.Text.get_text(area, 0, count), "onhello world\r\nsecon")

for problem in problems:
    print("FAIL:", problem)
if problems:
    sys.exit(1)
print("PASS")
