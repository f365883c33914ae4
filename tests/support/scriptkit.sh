#!/usr/bin/env bash
# What the test scripts share, sourced first: strict mode, the test's own folder $work and
# processes $pids ended and removed at exit, failing with the logs in $work, the tools a test
# needs, and waiting.
set -euo pipefail
pids=()
work=$(mktemp -d)
# A home, configuration, cache, data, runtime and state folder of the test's own: nothing read
# from or written to those of whoever runs the test.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
    XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" XDG_STATE_HOME="$work/state"
mkdir -p -m 700 "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"

# The processes go in the order listed, clients before their servers.
cleanup() {
    kill "${pids[@]}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A test may define `report` to tell more of what it saw.
fail() {
    echo "FAIL: $*" >&2
    ! declare -F report >/dev/null || report >&2
    tail -n +1 "$work"/*.log >&2 2>/dev/null || true
    exit 1
}

# A missing tool fails the test rather than skipping it, so that a CI image without it cannot pass.
need() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
    done
}

# Runs "$@" every tenth of a second until it succeeds, for up to 10 s.
retry() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
