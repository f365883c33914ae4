#!/usr/bin/env bash
# Installs the build in build folder $1 into an empty staging folder, as
# `make install DESTDIR=...` does, and checks what a desktop needs: the program, a valid
# desktop entry naming it, and the icon the entry names.
set -euo pipefail

build=${1:?usage: $0 /path/to/build-folder}
prefix=/usr/local

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cmake desktop-file-validate; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh)"
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null

root="$stage$prefix"
program="$root/bin/tarvex"
entry="$root/share/applications/tarvex.desktop"
[ -x "$program" ] || fail "no program at $program"
[ -f "$entry" ] || fail "no desktop entry at $entry"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"

# The entry starts the installed program by name and shows an icon that was installed.
value() { sed -n "s/^$1=//p" "$entry"; }
exec_line=$(value Exec)
[ "${exec_line%% *}" = tarvex ] || fail "Exec= starts '${exec_line%% *}', not tarvex"
icon="$root/share/icons/hicolor/scalable/apps/$(value Icon).svg"
[ -f "$icon" ] || fail "no icon at $icon for Icon=$(value Icon)"
grep -q '<svg' "$icon" || fail "$icon is not an SVG image"

# The installed program runs; --version needs no display.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)
[ "$version" = "Tarvex 1.0.0" ] || fail "--version printed '$version'"

# Nothing else is installed.
found=$(cd "$stage" && find . -type f | sort | tr '\n' ' ')
expected="./usr/local/bin/tarvex ./usr/local/share/applications/tarvex.desktop \
./usr/local/share/icons/hicolor/scalable/apps/tarvex.svg "
[ "$found" = "$expected" ] || fail "installed files: $found"
echo "PASS"
