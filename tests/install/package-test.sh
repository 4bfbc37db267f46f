#!/usr/bin/env bash
# The Debian package holds the installed files under /usr and depends on the libraries the
# programs link, as dpkg-shlibdeps finds them.
# Usage: package-test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  fail "cpack -G DEB"
}
deb=$(ls "$work"/kavro_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no kavro_*.deb made"

dpkg-deb --contents "$deb" | awk '{print $6}' >"$work/contents"
for file in ./usr/bin/kavro ./usr/bin/dovel ./usr/bin/kavro-batch ./usr/share/kavro/kavro.html \
  ./usr/share/man/man1/kavro.1 ./usr/share/man/man1/kavro-batch.1 \
  ./usr/share/applications/kavro.desktop ./usr/share/applications/dovel.desktop \
  ./usr/share/icons/hicolor/scalable/apps/kavro.svg ./usr/share/mime/packages/kavro.xml; do
  grep -qxF "$file" "$work/contents" || fail "the package lacks $file"
done
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libjpeg libqt6widgets6 qt6-qpa-plugins; do
  grep -q "$library" <<<"$depends" || fail "the package does not depend on $library: $depends"
done
[ "$(dpkg-deb --field "$deb" Package)" = kavro ] || fail "the package is not named kavro"
echo "$(basename "$deb"): $depends"
