#!/usr/bin/env bash
# Installs the build in build folder $1 into an empty staging folder, as
# `make install DESTDIR=...` does, and checks what a desktop needs: the program, a desktop
# entry naming it, and the icon the entry names, and nothing else.
source "$(dirname "$0")/../support/scriptkit.sh"

build=${1:?usage: $0 /path/to/build-folder}
prefix=/usr/local

need cmake
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly these files, all under the prefix, the program alone executable.
found=$(cd "$stage" && find . -type f -printf '%p %m\n' | sort | tr '\n' ' ')
expected="./usr/local/bin/tarvex 755 ./usr/local/share/applications/tarvex.desktop 644 \
./usr/local/share/icons/hicolor/scalable/apps/tarvex.svg 644 "
[ "$found" = "$expected" ] || fail "installed files: $found"

# The entry (checked by desktop-file-validate in the package test) starts the installed program
# by name and shows the icon installed beside it.
entry="$stage$prefix/share/applications/tarvex.desktop"
grep -qE '^Exec=tarvex( |$)' "$entry" || fail "Exec= does not start tarvex: $(grep ^Exec= "$entry")"
grep -qx 'Icon=tarvex' "$entry" || fail "not Icon=tarvex, the installed tarvex.svg: $(cat "$entry")"
grep -q '<svg' "$stage$prefix/share/icons/hicolor/scalable/apps/tarvex.svg" ||
    fail "the icon is not an SVG image"
echo "PASS"
