#!/usr/bin/env bash
# Installs the build in build folder $1 into an empty staging folder, as
# `make install DESTDIR=...` does, and checks what a desktop needs: the program, a desktop
# entry naming it, and the icon the entry names, and nothing else.
source "$(dirname "$0")/../support/scriptkit.sh"

build=${1:?usage: $0 /path/to/build-folder}
prefix=/usr/local

need cmake
work=$(mktemp -d)
DESTDIR="$work" cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly these files, all under the prefix.
found=$(cd "$work" && find . -type f | sort | tr '\n' ' ')
expected="./usr/local/bin/tarvex ./usr/local/share/applications/tarvex.desktop \
./usr/local/share/icons/hicolor/scalable/apps/tarvex.svg "
[ "$found" = "$expected" ] || fail "installed files: $found"
root="$work$prefix"
[ -x "$root/bin/tarvex" ] || fail "the program is not executable"

# The entry (checked by desktop-file-validate in the package test) starts the installed program
# by name and shows the icon installed beside it.
value() { sed -n "s/^$1=//p" "$root/share/applications/tarvex.desktop"; }
exec_line=$(value Exec)
[ "${exec_line%% *}" = tarvex ] || fail "Exec= starts '${exec_line%% *}', not tarvex"
[ "$(value Icon)" = tarvex ] || fail "Icon=$(value Icon), not the installed tarvex.svg"
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/tarvex.svg" || fail "the icon is not an SVG image"
echo "PASS"
