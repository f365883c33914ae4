#!/usr/bin/env bash
# The real program on a private X server, driven as a user would drive it: type two lines, press
# Ctrl+S on the untitled document, type a full path into the Save As dialog and press Enter;
# then check the file's bytes and the window titles; search for a word with Ctrl+F, the word and
# Enter, and type over what was found; and open the file again from the command line.
# Usage: typeandsave.sh /path/to/tarvex
source "$(dirname "$0")/xsession.sh"

# 1. Type into the untitled document and save it through Save As, which takes the keyboard.
launch "$work"
main=$(window_titled "Untitled[] -Tarvex")
focus "$main"
xdotool type --delay 20 "Hello"
xdotool key Return
xdotool type --delay 20 "world"
expect_title "$main" "Untitled[*] Tarvex"
xdotool key ctrl+s
dialog=$(window_titled "Save As")
retry has_focus "$dialog" || fail "the Save As dialog does not have the keyboard"
saved="$work/out/saved.txt"
xdotool type --delay 20 "$saved"
xdotool key Return
expect_title "$main" "$saved[] -Tarvex"
# The edit area holds CR LF line breaks, and saving ends the last line with one.
printf 'Hello\r\nworld\r\n' >"$work/expected"
cmp "$work/expected" "$saved" || fail "saved bytes: $(od -c "$saved")"
focus "$main"

# 2. Ctrl+F gives the keyboard to the find window: the word typed goes into its find box, over
# the word at the caret, and Enter finds it. The keyboard comes back, the document stays clean,
# and typing then replaces the selected match.
xdotool key ctrl+Home ctrl+f
find=$(window_titled "Find")
retry has_focus "$find" || fail "Ctrl+F did not give the keyboard to the find window"
xdotool type --delay 20 "world"
xdotool key Return
retry has_focus "$main" || fail "the keyboard did not come back to the document after Find Next"
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
