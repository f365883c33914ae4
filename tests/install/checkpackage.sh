#!/usr/bin/env bash
# Builds the Debian package from the build in build folder $1, as `make package` does, and
# checks it with dpkg-deb: its name, version and architecture, the packages it needs at run
# time, and exactly the files it installs, all under /usr.
source "$(dirname "$0")/../support/scriptkit.sh"

build=${1:?usage: $0 /path/to/build-folder}

need cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 \
    || fail "cpack failed"

# Its default name is made of the package's name, version and architecture fields.
deb="$work/tarvex_1.0.0_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; cpack made: $(cd "$work" && echo *.deb)"

# What the program links, and what Qt loads at run time without the program linking it: the
# flite speech engine, the SVG icon plugin, and the fonts. Nothing only a build needs.
depends=$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g')
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6texttospeech6 \
    qt6-speech-flite-plugin libqt6svg6 fonts-dejavu-core fonts-freefont-ttf fonts-comic-neue \
    libc6 libstdc++6; do
    grep -qx "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
! grep -q -- '-dev$' <<<"$depends" || fail "Depends names a development package: $depends"

# Exactly these entries, owned by root, with the usual modes: nothing outside /usr.
found=$(dpkg-deb --contents "$deb" | awk '{print $1, $2, $NF}' | LC_ALL=C sort -k3)
expected="drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/bin/
-rwxr-xr-x root/root ./usr/bin/tarvex
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/applications/
-rw-r--r-- root/root ./usr/share/applications/tarvex.desktop
drwxr-xr-x root/root ./usr/share/icons/
drwxr-xr-x root/root ./usr/share/icons/hicolor/
drwxr-xr-x root/root ./usr/share/icons/hicolor/scalable/
drwxr-xr-x root/root ./usr/share/icons/hicolor/scalable/apps/
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/tarvex.svg"
[ "$found" = "$expected" ] || fail "package contents:
$found"

# The packaged files work: the entry is valid, the stripped program runs.
root="$work/root"
dpkg-deb --extract "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/tarvex.desktop" \
    || fail "desktop-file-validate rejects the packaged entry"
[[ $(file -b "$root/usr/bin/tarvex") == *', stripped'* ]] || fail "the program is not stripped"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/tarvex" --version)
[ "$version" = "Tarvex 1.0.0" ] || fail "--version printed '$version'"
echo "PASS"
