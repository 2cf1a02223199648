#!/usr/bin/env bash
# Checks what a built tree installs and packages: installs it into a temporary prefix,
# validates the desktop entry, the AppStream data and the manual, builds the Debian
# package and runs lintian on it. Fails on any error.
# Usage: scripts/check-packaging.sh [BUILDDIR]   (default: build)
set -euo pipefail

builddir=${1:-build}
appid=io.github.marlox.Marlox
[ -f "$builddir/CPackConfig.cmake" ] || {
    echo "check-packaging: $builddir is not a configured build directory" >&2
    exit 1
}
builddir=$(cd "$builddir" && pwd)

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/usr

echo "-- cmake --install into a temporary prefix"
cmake --install "$builddir" --prefix "$prefix" >"$tmp/install.log"

missing=0
for f in bin/marlox \
    share/applications/$appid.desktop \
    share/metainfo/$appid.metainfo.xml \
    share/man/man1/marlox.1.gz \
    share/doc/marlox/copyright \
    share/doc/marlox/changelog.gz \
    share/icons/hicolor/scalable/apps/marlox.svg \
    share/icons/hicolor/16x16/apps/marlox.png \
    share/icons/hicolor/32x32/apps/marlox.png \
    share/icons/hicolor/48x48/apps/marlox.png \
    share/icons/hicolor/64x64/apps/marlox.png; do
    [ -f "$prefix/$f" ] || {
        echo "not installed: $f" >&2
        missing=1
    }
done
((missing == 0))

echo "-- desktop-file-validate"
desktop-file-validate "$prefix/share/applications/$appid.desktop"

echo "-- appstreamcli validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$appid.metainfo.xml"
# The tree check also finds the desktop entry that the metainfo launches.
appstreamcli validate-tree --no-net "$tmp"

echo "-- mandoc -Tlint"
# mandoc reads the compressed page as man does; any message of warning level or worse
# gives a non-zero exit.
mandoc -Tlint -W warning "$prefix/share/man/man1/marlox.1.gz"

echo "-- cpack -G DEB"
cpack --config "$builddir/CPackConfig.cmake" -G DEB -B "$tmp/deb" >"$tmp/cpack.log" || {
    cat "$tmp/cpack.log" >&2
    exit 1
}
debs=("$tmp"/deb/marlox_*_"$(dpkg --print-architecture)".deb)
[ -f "${debs[0]}" ] && [ ${#debs[@]} -eq 1 ] || {
    echo "cpack made no single marlox .deb" >&2
    exit 1
}
deb=${debs[0]}
echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Version), depends: $(dpkg-deb -f "$deb" Depends)"

# The package carries exactly what cmake --install puts in place, under /usr.
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./|/usr/|' | sort) >"$tmp/installed"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort >"$tmp/packaged"
diff -u "$tmp/installed" "$tmp/packaged" || {
    echo "the package and cmake --install differ (- installed, + packaged)" >&2
    exit 1
}

echo "-- lintian"
lintian --display-info --fail-on error "$deb"

echo "== Packaging checks passed"
