#!/usr/bin/env bash
# The read-aloud window heard through a private PulseAudio server: a null sink takes the
# program's sound and its monitor is recorded while loquensound presses Play, Pause and Resume.
# Each stretch of the recording between two presses must then be sound, silence and sound
# again. Usage: soundcheck.sh /path/to/loquensound
source "$(dirname "$0")/../support/scriptkit.sh"

driver=$(realpath "${1:?usage: $0 /path/to/loquensound}")
need pulseaudio pactl pacat parec sox awk

# Nothing of the user's own sound setup: with the kit's home and runtime folder, a socket of the
# test's own.
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse" PULSE_SERVER="unix:$XDG_RUNTIME_DIR/native"
mkdir -m 700 "$PULSE_RUNTIME_PATH"

# -n: none of the system's default modules. Run as root (as in CI) it warns that it should not
# be; the warning is harmless here.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    --realtime=no --high-priority=no --load="module-null-sink sink_name=loquen_test" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$XDG_RUNTIME_DIR/native" \
    >"$work/pulse.log" 2>&1 &
pids=("$!")
retry pactl info >/dev/null 2>&1 || fail "the sound server did not start"

# Silence played all along keeps the sink running, so that its monitor delivers every moment.
# The recorder starts once that stream has settled: started together, the server drops the first
# seconds of the recording when the next stream joins.
raw=(--raw --format=s16le --rate=16000 --channels=1 --latency-msec=30)
pacat --playback "${raw[@]}" /dev/zero 2>>"$work/pulse.log" &
pids=("$!" "${pids[@]}")
sleep 3
parec -d loquen_test.monitor "${raw[@]}" >"$work/sound.raw" 2>>"$work/pulse.log" &
recorder=$!
pids=("$recorder" "${pids[@]}")
sleep 0.5
QT_QPA_PLATFORM=offscreen timeout 60 "$driver" "$work/events" >"$work/driver.log" 2>&1 ||
    fail "loquensound failed (exit $?)"
sleep 0.5
stopped=$(date +%s%3N)
kill "$recorder"
wait "$recorder" 2>/dev/null || true

read -r play pause resume end < <(awk '{ t[$1] = $2 } END { print t["play"], t["pause"], t["resumer"], t["end"] }' "$work/events")
[ -n "$end" ] || fail "loquensound did not record its presses: $(cat "$work/events")"
bytes=$(stat -c %s "$work/sound.raw")

# The second of the recording at press time $1 (ms) plus $2 seconds: the recording's last sample
# was taken when it stopped, so count back from there.
at() { awk -v b="$bytes" -v s="$stopped" -v t="$1" -v o="$2" 'BEGIN { printf "%.3f", b / 32000 - (s - t) / 1000 + o }'; }

# The RMS amplitude (0 to 1) from $2 to $3 seconds must pass the awk test $4 on `l`: speech is
# about 0.1, the null sink's silence 0. Should the server still drop the start of the recording,
# at least a second must be left to measure.
check() {
    local what=$1 from=$2 to=$3 level
    from=$(awk -v f="$from" 'BEGIN { printf "%.3f", (f > 0.1 ? f : 0.1) }')
    awk -v f="$from" -v t="$to" 'BEGIN { exit !(t - f >= 1) }' ||
        fail "the recording ($bytes bytes) does not reach back to $what"
    level=$(sox -t raw -r 16000 -e signed -b 16 -c 1 "$work/sound.raw" -n trim "$from" "=$to" stat 2>&1 |
        awk '/^RMS +amplitude/ { print $3 }')
    echo "$what: $from s to $to s, RMS amplitude $level"
    awk -v l="$level" "BEGIN { exit !(l != \"\" && $4) }" || fail "$what: RMS amplitude '$level'"
}

# Margins leave out the engine's start and the sound still in the server's buffers.
check "after Play" "$(at "$play" 0.7)" "$(at "$pause" -0.2)" "l >= 0.01"
check "after Pause" "$(at "$pause" 0.5)" "$(at "$resume" -0.2)" "l < 0.001"
check "after Resume" "$(at "$resume" 0.7)" "$(at "$end" -0.2)" "l >= 0.01"
echo "PASS"
