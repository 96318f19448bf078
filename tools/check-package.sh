#!/usr/bin/env bash
# Builds the Debian package and checks it: install tree, desktop entry, AppStream metainfo, icons, lintian.
# Usage: tools/check-package.sh   (after tools/test.sh or tools/run.sh has built build/)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
PACKAGES+=(desktop-file-utils appstream lintian)
install_missing
build
cmake --build "$BUILD_DIR" --target package
deb=$(ls -t "$BUILD_DIR"/quelm_*.deb | head -n 1)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$deb" "$stage"
for f in usr/bin/quelm usr/libexec/quelm/quelm-mdbreader usr/share/quelm/help/index.html usr/share/applications/jp.quelm.Quelm.desktop \
         usr/share/metainfo/jp.quelm.Quelm.metainfo.xml usr/share/icons/hicolor/scalable/apps/quelm.svg \
         usr/share/icons/hicolor/16x16/apps/quelm.png usr/share/icons/hicolor/48x48/apps/quelm.png \
         usr/share/icons/hicolor/256x256/apps/quelm.png usr/share/man/man1/quelm.1.gz usr/share/doc/quelm/copyright; do
    [ -e "$stage/$f" ] || { echo "missing in the package: /$f"; exit 1; }
done
desktop-file-validate "$stage/usr/share/applications/jp.quelm.Quelm.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/jp.quelm.Quelm.metainfo.xml"
lintian --fail-on error "$deb"
echo "Package ok: $deb"
dpkg-deb -f "$deb" Depends
