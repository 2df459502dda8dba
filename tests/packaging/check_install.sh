#!/usr/bin/env bash
# Installs a build into a temporary root, as a package would, and checks what it lays: the files a
# desktop and a software centre look for, their validity, and that the program installed there keeps
# its files in the user's folders.
set -euo pipefail
build="$1"
id="$2"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
fail() { echo "install check: $*" >&2; exit 1; }

for f in bin/varolin "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
         "share/icons/hicolor/scalable/apps/$id.svg" share/man/man1/varolin.1.gz share/doc/varolin/copyright \
         share/doc/varolin/changelog.Debian.gz; do
    [ -f "$root/usr/$f" ] || fail "missing /usr/$f"
done
for size in 16 22 24 32 48 64 128 256 512; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$png" ] || fail "missing the ${size}x${size} icon"
    file "$png" | grep -q "PNG image data, $size x $size" || fail "$(file "$png")"
done
[ "$(ls "$root/usr/bin")" = varolin ] || fail "/usr/bin holds more than the program: $(ls "$root/usr/bin")"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry names another icon"

desktop-file-validate "$root/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null \
    || appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"

# Installed, with no varolin.ini beside it, the program names the user's folders.
home="$root/home"
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$home" XDG_CONFIG_HOME= XDG_DATA_HOME= \
       "$root/usr/bin/varolin" --help)
grep -q "Settings   $home/.config/varolin/varolin.ini" <<<"$help" || fail "--help names another settings file: $help"
grep -q "Catalogue  $home/.local/share/varolin/varolin.mdb" <<<"$help" || fail "--help names another catalogue: $help"
echo "install check: passed"
