#!/usr/bin/env bash
# Checks the Debian package built in BUILD_DIR (by cpack): its file list, its Depends, and the
# desktop entries, file types and AppStream data inside it. Exit 77 (skipped) when no package
# has been built there yet.
set -euo pipefail
build=${1:?usage: check-package.sh BUILD_DIR}
shopt -s nullglob
debs=("$build"/vennhald_*.deb)
if [ ${#debs[@]} -eq 0 ]; then
    echo "no package in $build (run scripts/package.sh); skipped"
    exit 77
fi
deb=${debs[-1]}
echo "checking $deb"
fail=0
bad() { echo "FAIL: $*"; fail=1; }

files=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
expected=(
    /usr/bin/pelm /usr/bin/delvix /usr/bin/kxview
    /usr/bin/pelm-cli /usr/bin/delvix-cli /usr/bin/korvex-peer
    /usr/share/applications/pelm.desktop /usr/share/applications/delvix.desktop
    /usr/share/applications/kxview.desktop
    /usr/share/mime/packages/vennhald-korvex-pelm.xml
    /usr/share/metainfo/org.vennhald.pelm.metainfo.xml
    /usr/share/metainfo/org.vennhald.delvix.metainfo.xml
    /usr/share/metainfo/org.vennhald.kxview.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/pelm.svg
    /usr/share/icons/hicolor/scalable/apps/delvix.svg
    /usr/share/icons/hicolor/scalable/apps/kxview.svg
    /usr/share/icons/hicolor/48x48/apps/pelm.png
    /usr/share/icons/hicolor/256x256/apps/kxview.png
    /usr/share/icons/hicolor/scalable/mimetypes/application-x-korvex-library.svg
    /usr/share/icons/hicolor/48x48/mimetypes/application-x-korvex-schematic.png
    /usr/share/man/man1/pelm-cli.1.gz /usr/share/man/man1/delvix-cli.1.gz
    /usr/share/man/man1/kxview.1.gz /usr/share/man/man1/korvex-peer.1.gz
    /usr/share/man/man1/pelm.1.gz /usr/share/man/man1/delvix.1.gz
    /usr/share/doc/vennhald/copyright /usr/share/doc/vennhald/changelog.gz
)
for f in "${expected[@]}"; do
    grep -qxF "$f" <<<"$files" || bad "missing $f"
done
# Everything lives under /usr, and nothing of the build or the tests comes along.
while read -r f; do
    case "$f" in
        /usr/* | /) ;;
        *) bad "outside /usr: $f" ;;
    esac
done <<<"$files"
if grep -Eq '(^|/)(tst_|test_)|\.a$|/include/' <<<"$files"; then
    bad "test programs, static libraries or headers in the package"
fi

[ "$(dpkg-deb -f "$deb" Package)" = vennhald ] || bad "package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6; do
    sed 's/, */\n/g; s/ *([^)]*)//g' <<<"$depends" | grep -qxF "$lib" || bad "Depends lacks $lib"
done

# The data files themselves, checked with the system's own tools where they are installed.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root"/usr/share/applications/*.desktop || bad "desktop entries"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml >/dev/null ||
        bad "AppStream data"
fi
if command -v xmllint >/dev/null; then
    xmllint --noout "$root"/usr/share/mime/packages/*.xml || bad "MIME type XML"
fi
for page in "$root"/usr/share/man/man1/*.1.gz; do
    zcat "$page" | grep -q '^\.TH ' || bad "not a manual page: $page"
done
[ $fail -eq 0 ] && echo "package OK"
exit $fail
