#!/usr/bin/env bash
# Installs a build into a staging prefix and checks what lands there (program, map pages, desktop
# entry, icons), runs the installed program's command line without a display, then builds the
# Debian package and checks its contents and declared dependencies.
# Usage: install_test.sh BUILD-DIR SOURCE-DIR VERSION
set -euo pipefail
build=$1
source=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

sizes=(16 24 32 48 64 128 256)
expected() {
  echo bin/trivane
  echo share/applications/trivane.desktop
  for size in "${sizes[@]}"; do echo "share/icons/hicolor/${size}x${size}/apps/trivane.png"; done
  echo share/icons/hicolor/scalable/apps/trivane.svg
  (cd "$source/resources/map" && find . -type f | sed 's|^\./|share/trivane/map/|')
}
expected | sort > "$work/expected"

# 1. Staging install: exactly the expected files, the pages the map host loads among them.
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) > "$work/installed"
diff "$work/expected" "$work/installed" || fail "installed files differ from the expected list (< expected, > installed)"
for page in mapcore.js osmmap.html gmap.html BMap.html; do
  [ -s "$prefix/share/trivane/map/$page" ] || fail "map page $page missing or empty"
done
[ -x "$prefix/bin/trivane" ] || fail "bin/trivane is not executable"

# Icons: PNG files of the size their folder names.
for size in "${sizes[@]}"; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/trivane.png"
  read -r -a head <<< "$(od -An -tu1 -w24 -N24 "$icon")"
  [ "${head[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || fail "$icon is not a PNG file"
  width=$(( (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19] ))
  height=$(( (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23] ))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "$icon is ${width}x${height}"
done
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/trivane.svg" || fail "scalable icon is not SVG"

# Desktop entry: valid, started with the settings in the user's folder, and offered for the
# MIME types the shared MIME database gives AVI, MOV and TS files.
entry="$prefix/share/applications/trivane.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Exec=trivane --desktop -- %f' "$entry" || fail "Exec line: $(grep '^Exec=' "$entry")"
mime_types=$(sed -n 's/^MimeType=//p' "$entry")
for extension in avi mov ts; do
  type=$(sed -n "s/^[0-9]*:\(video\/[^:]*\):\*\.$extension\$/\1/p" /usr/share/mime/globs2 | head -n 1)
  [ -n "$type" ] || fail "no video MIME type for *.$extension in the shared MIME database"
  [[ ";$mime_types" == *";$type;"* ]] || fail "MimeType lacks $type (*.$extension): $mime_types"
done
[[ ";$mime_types" == *";inode/directory;"* ]] || fail "MimeType lacks inode/directory: $mime_types"

# 2. The installed program's command line needs no display.
program() { env -u DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/trivane" "$@"; }
[ "$(program --version)" = "trivane $version" ] || fail "--version: $(program --version)"
program --help > "$work/help" 2> "$work/help.err" || fail "--help exit status $?"
head -n 1 "$work/help" | grep -q '^Usage: trivane ' || fail "--help: $(head -n 1 "$work/help")"
[ ! -s "$work/help.err" ] || fail "--help wrote to stderr: $(cat "$work/help.err")"
status=0
program --no-such-option > "$work/bad" 2> "$work/bad.err" || status=$?
[ "$status" -eq 2 ] || fail "unknown option: exit status $status"
[ ! -s "$work/bad" ] || fail "unknown option wrote to stdout"
grep -q "unrecognised option '--no-such-option'" "$work/bad.err" || fail "unknown option: $(cat "$work/bad.err")"
status=0
program --help > /dev/full 2> /dev/null || status=$?
[ "$status" -eq 1 ] || fail "--help into a full device: exit status $status"
status=0
program -- --help > /dev/null 2> "$work/run.err" || status=$?
[ "$status" -eq 1 ] && grep -q "no X display" "$work/run.err" || fail "a path after -- ran as an option (status $status)"

# 3. The Debian package: control fields, contents as installed under /usr, a stripped program.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" > "$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/package/trivane_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no package $deb: $(ls "$work/package")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = trivane ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = video ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no Description"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort > "$work/packaged"
diff "$work/expected" "$work/packaged" || fail "package contents differ from the expected list (< expected, > packaged)"
dpkg-deb -x "$deb" "$work/unpacked"
readelf -S "$work/unpacked/usr/bin/trivane" | grep -q '\.debug_info' && fail "the packaged program is not stripped"

# Depends: each package the program links or loads, by a name this Debian release has (every
# one is installed here, since this machine builds and runs the program).
depends=$(field Depends)
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6openglwidgets6 \
  libqt6webenginecore6 libqt6webenginecore6-bin libqt6webenginewidgets6 \
  libvlc5 vlc-plugin-base vlc-plugin-video-output libjs-leaflet ffmpeg; do
  [[ ", $depends," == *", $needed ("* || ", $depends," == *", $needed,"* ]] || fail "Depends lacks $needed: $depends"
done
IFS=',' read -r -a entries <<< "$depends"
for entry in "${entries[@]}"; do
  name=$(awk '{ print $1 }' <<< "$entry")
  dpkg-query -W -f='${Status}' "$name" 2> /dev/null | grep -q "install ok installed" \
    || fail "Depends names $name, which is not an installed package here"
done
echo "installed and packaged: $(wc -l < "$work/expected") files, package $(stat -c %s "$deb") bytes"
echo "PASS"
