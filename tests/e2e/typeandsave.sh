#!/usr/bin/env bash
# The real program on a private X server, driven as a user would drive it: type two lines, press
# Ctrl+S on the untitled document, type a full path into the Save As dialog and press Enter;
# then check the file's bytes and the window titles; search for a word with Ctrl+F, the word and
# Enter, and type over what was found; and open the file again from the command line.
# Usage: typeandsave.sh /path/to/tarvex
source "$(dirname "$0")/xsession.sh"

# 1. Type into the untitled document and save it through Save As, which takes the keyboard.
launch "$work" "Untitled[] -Tarvex"
xdotool type --delay 20 "Hello"
xdotool key Return
xdotool type --delay 20 "world"
expect_title "$main" "Untitled[*] Tarvex"
saved="$work/out/saved.txt"
save_as "$saved"
# The edit area holds CR LF line breaks, and saving ends the last line with one.
expect_bytes "$saved" 'Hello\r\nworld\r\n'
focus "$main"

# 2. Ctrl+F gives the keyboard to the find window: the word typed goes into its find box, over
# the word at the caret, and Enter finds it. The keyboard comes back, the document stays clean,
# and typing then replaces the selected match.
xdotool key ctrl+Home ctrl+f
retry has_focus "$(window_titled "Find")" || fail "the find window did not take the keyboard"
xdotool type --delay 20 "world"
xdotool key Return
retry has_focus "$main" || fail "the keyboard did not come back to the document after Find Next"
expect_title "$main" "$saved[] -Tarvex"
xdotool type --delay 20 "X"
expect_title "$main" "$saved[*] Tarvex"
xdotool key ctrl+s
expect_title "$main" "$saved[] -Tarvex"
expect_bytes "$saved" 'Hello\r\nX\r\n'
quit

# 3. Open the saved file by naming it, relative to the current folder, on the command line.
launch "$work/out" "$saved[]  - Tarvex" saved.txt
quit
echo "PASS"
