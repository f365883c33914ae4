#!/usr/bin/env bash
# The read-aloud window heard through a private PulseAudio server: a null sink takes the
# program's sound and its monitor is recorded while loquensound presses Play, Pause and Resume.
# Each stretch of the recording between two presses must then be sound, silence and sound
# again. Usage: soundcheck.sh /path/to/loquensound
set -euo pipefail

driver=$(realpath "${1:?usage: $0 /path/to/loquensound}")
work=

fail() {
    echo "FAIL: $*" >&2
    for log in pulse driver; do
        if [ -n "$work" ] && [ -s "$work/$log.log" ]; then
            echo "--- $log output:" >&2
            cat "$work/$log.log" >&2
        fi
    done
    exit 1
}

# A missing tool or engine fails the test rather than skipping it.
for tool in pulseaudio pactl pacat parec sox awk; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done
[ -x "$driver" ] || fail "no program at $driver"

work=$(mktemp -d)
server=
silence=
recorder=
# The clients go before their server; unset ones drop out of the list.
cleanup() {
    # shellcheck disable=SC2086
    kill $recorder $silence $server 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Nothing of the user's own sound setup: a runtime folder, home and socket of the test's own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export PULSE_RUNTIME_PATH="$work/run/pulse"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$PULSE_RUNTIME_PATH"
chmod 700 "$XDG_RUNTIME_DIR" "$PULSE_RUNTIME_PATH"
socket="$work/run/native"
sink=loquen_test

# -n: none of the system's default modules. Run as root (as in CI) it warns that it should not
# be; the warning is harmless here.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    --realtime=no --high-priority=no \
    --load="module-null-sink sink_name=$sink" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    >"$work/pulse.log" 2>&1 &
server=$!
export PULSE_SERVER="unix:$socket"
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || fail "the sound server did not start"

# Silence played all along keeps the sink running, so that its monitor delivers every moment.
# The recorder starts once that stream has settled: started together, the server drops the first
# seconds of the recording when the next stream joins.
pacat --playback --raw --format=s16le --rate=16000 --channels=1 --latency-msec=30 /dev/zero \
    2>>"$work/pulse.log" &
silence=$!
sleep 3
parec -d "$sink.monitor" --raw --format=s16le --rate=16000 --channels=1 --latency-msec=30 \
    >"$work/sound.raw" 2>>"$work/pulse.log" &
recorder=$!
sleep 0.5

QT_QPA_PLATFORM=offscreen timeout 60 "$driver" "$work/events" >"$work/driver.log" 2>&1 ||
    fail "loquensound failed (exit $?)"
sleep 0.5
stopped=$(date +%s%3N)
kill "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=

event() {
    awk -v name="$1" '$1 == name { print $2 }' "$work/events"
}
play=$(event play)
pause=$(event pause)
resume=$(event resume)
end=$(event end)
[ -n "$play" ] && [ -n "$pause" ] && [ -n "$resume" ] && [ -n "$end" ] ||
    fail "loquensound did not record its presses: $(cat "$work/events")"

bytes=$(stat -c %s "$work/sound.raw")
length=$(awk -v b="$bytes" 'BEGIN { printf "%.3f", b / 32000 }')
# The recording's last sample was taken when it stopped; count back from there.
at() {
    awk -v len="$length" -v stop="$stopped" -v t="$1" -v off="$2" \
        'BEGIN { printf "%.3f", len - (stop - t) / 1000 + off }'
}
# Should the server still drop the start, what is left after Play must last a second at least.
after_play=$(awk -v a="$(at "$play" 0.7)" 'BEGIN { printf "%.3f", (a > 0.1 ? a : 0.1) }')
awk -v a="$after_play" -v b="$(at "$pause" -1.2)" 'BEGIN { exit !(a <= b) }' ||
    fail "the recording ($length s) does not reach back to Play"

# RMS amplitude (0 to 1) of the recording from $1 to $2 seconds.
rms() {
    sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/sound.raw" -n trim "$1" "=$2" stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }'
}

# Sound is speech at a usual level (about 0.1); silence is what the null sink plays, 0.
check() {
    local what=$1 from=$2 to=$3 want=$4 level
    level=$(rms "$from" "$to") || true
    [ -n "$level" ] || fail "sox could not measure $what"
    echo "$what: $from s to $to s, RMS amplitude $level"
    if [ "$want" = sound ]; then
        awk -v l="$level" 'BEGIN { exit !(l >= 0.01) }' ||
            fail "$what should be audible, RMS amplitude $level"
    else
        awk -v l="$level" 'BEGIN { exit !(l < 0.001) }' ||
            fail "$what should be silent, RMS amplitude $level"
    fi
}

# Margins leave out the engine's start and the sound still in the server's buffers.
check "after Play" "$after_play" "$(at "$pause" -0.2)" sound
check "after Pause" "$(at "$pause" 0.5)" "$(at "$resume" -0.2)" silence
check "after Resume" "$(at "$resume" 0.7)" "$(at "$end" -0.2)" sound
echo "PASS"
