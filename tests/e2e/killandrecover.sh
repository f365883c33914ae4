#!/usr/bin/env bash
# The real program on a private X server: type two lines into the untitled document, wait the
# second within which the recovery journal takes them, kill -9 the program, start it again and
# answer the recovery box with Enter (Recover); then save the recovered text through Save As
# and check its bytes, and that nothing is left in the recovery folder once it is saved.
# Usage: killandrecover.sh /path/to/tarvex
source "$(dirname "$0")/xsession.sh"

# 1. Type, let the journal take it, and kill the program as a crash would.
launch "$work" "Untitled[] -Tarvex"
xdotool type --delay 20 "Typed before"
xdotool key Return
xdotool type --delay 20 "the kill"
expect_title "$main" "Untitled[*] Tarvex"
# A change reaches the disk within a second: half a second more for the keys to arrive.
sleep 1.5
kill -9 "$app"
wait "$app" 2>/dev/null || true

# 2. Start again: the recovery box comes before anything else, Enter recovers.
launch "$work" "Tarvex: Recovery"
xdotool key Return
main=$(window_titled "Untitled[*] Tarvex")
focus "$main"

# 3. The recovered text, saved, is what was typed; its journal ends with the save.
saved="$work/out/recovered.txt"
save_as "$saved"
expect_bytes "$saved" 'Typed before\r\nthe kill\r\n'
leftover=$(ls -A "$XDG_STATE_HOME/tarvex/recovery")
[ -z "$leftover" ] || fail "the recovery folder still holds: $leftover"
focus "$main"
quit
echo "PASS"
