#!/usr/bin/env bash
# install.sh <build dir> <version>: installs the build under the prefix /usr into a temporary
# DESTDIR, as a package does, and checks what lands there: every file in its place, the desktop
# entry and the AppStream metadata valid, the icons at their sizes, and a program that looks
# for nothing in the build folder.
set -euo pipefail
build=$1
version=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() {
    echo "install: $*" >&2
    exit 1
}

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr
id=com.brindlework.Alvore

[[ -z $(find "$stage" -mindepth 1 -maxdepth 1 ! -name usr) ]] || fail "files outside /usr"
[[ -x $usr/bin/alvore ]] || fail "no program in /usr/bin"
for file in share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/alvore.1.gz; do
    [[ -s $usr/$file ]] || fail "missing /usr/$file"
done

# Each fixed-size icon is a PNG of its folder's size (width and height from its header).
for pixels in 16 22 24 32 48 64 128 256 512; do
    png=$usr/share/icons/hicolor/${pixels}x${pixels}/apps/$id.png
    [[ $(od -An -c -j1 -N3 "$png" 2>/dev/null | tr -d ' ') == PNG ]] || fail "$png: missing or not a PNG"
    size=$(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)
    [[ $size == "$pixels $pixels" ]] || fail "$png is ${size/ /x}"
done

desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metadata's release is not $version"
# The menu starts the program by the name it is installed under, not by a path into a build.
grep -qx 'Exec=alvore' "$usr/share/applications/$id.desktop" || fail "the desktop entry's Exec"
gzip -t "$usr/share/man/man1/alvore.1.gz" || fail "the manual page is not a valid gzip file"

# Libraries come from the system's paths, never from a build folder.
if readelf -d "$usr/bin/alvore" | grep -Eq '\((RUNPATH|RPATH)\)'; then
    fail "the program carries a library search path"
fi

# Without a desktop session (an SSH shell, a server) the program says so and ends; what needs no
# screen still works.
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/alvore" "$@"; }
status=0
said=$(headless --demo 2>&1 >/dev/null) || status=$?
[[ $status == 1 && $said == "Alvore needs a desktop session: neither DISPLAY nor WAYLAND_DISPLAY is set." ]] ||
    fail "without a display the program exited with $status, saying: $said"
[[ $(headless --help) == "Usage: alvore "* ]] || fail "no help without a display"
