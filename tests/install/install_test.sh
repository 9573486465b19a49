#!/usr/bin/env bash
# Installs the build into a staging folder and checks that what a desktop needs is there and
# valid: the program, its menu entry, icons, metainfo, file types and manual page.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"
app=io.github.tavelgraphics.Tavel

for f in bin/tavel share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
         share/mime/packages/tavel.xml share/man/man1/tavel.1 \
         share/icons/hicolor/scalable/apps/tavel.svg; do
  [ -f "$root/$f" ] || { echo "missing: $f"; exit 1; }
done
for size in 16 24 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/tavel.png"
  file "$png" | grep -q "PNG image data, $size x $size" || { echo "bad icon: $png"; exit 1; }
done

desktop-file-validate "$root/share/applications/$app.desktop"
appstreamcli validate --no-net "$root/share/metainfo/$app.metainfo.xml" >/dev/null
warnings=$(man --warnings -l "$root/share/man/man1/tavel.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man page warnings: $warnings"; exit 1; }
xmllint --noout "$root/share/mime/packages/tavel.xml"
grep -q 'pattern="\*.gra"' "$root/share/mime/packages/tavel.xml"
grep -q 'pattern="\*.prn"' "$root/share/mime/packages/tavel.xml"

# Every option of --help is in the manual page.
for option in $("$root/bin/tavel" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -q -- "${option//-/\\\\-}" "$root/share/man/man1/tavel.1" || { echo "man page lacks $option"; exit 1; }
done
"$root/bin/tavel" --version | grep -q '^Tavel Graphics [0-9]'
echo "install ok"
