#!/usr/bin/env bash
# Builds the two Debian packages from the build tree into a temporary folder, checks what they hold
# and declare, and runs the demo fill with the rowsmith-fill unpacked from the command line's.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
# shellcheck source-path=SCRIPTDIR source=install_support.sh
source "$(dirname "$0")/install_support.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log") \
    || { cat "$work/cpack.log" >&2; exit 1; }
cli=$work/out/rowsmith-fill_${version}_$(dpkg --print-architecture).deb
gui=$work/out/rowsmith_${version}_$(dpkg --print-architecture).deb
for deb in "$cli" "$gui"; do
    [ -f "$deb" ] || { echo "no $(basename "$deb") in $work/out" >&2; exit 1; }
done

# Every installed file is in one of the two packages, under /usr.
for deb in "$cli" "$gui"; do
    dpkg-deb --contents "$deb" | awk '{print $6}' | sed -n 's|^\./usr/||p'
done > "$work/contents"
missing=0
while read -r path; do
    grep -q -x -F "$path" "$work/contents" || { echo "not in a package: $path" >&2; missing=1; }
done < "$(dirname "$0")/installed_files"
[ $missing = 0 ]

field() { dpkg-deb --field "$1" "$2"; }
[ "$(field "$cli" Package)" = rowsmith-fill ]
[ "$(field "$gui" Package)" = rowsmith ]
for deb in "$cli" "$gui"; do
    [ "$(field "$deb" Version)" = "$version" ] || { echo "version $(field "$deb" Version)" >&2; exit 1; }
    field "$deb" Maintainer | grep -q '@example\.org>$' \
        || { echo "maintainer $(field "$deb" Maintainer)" >&2; exit 1; }
done
# The dependencies come from the programs' libraries; the command line's take no Qt, so that a
# CI image installing it alone gets no GUI libraries.
for library in libsqlite3-0 libpq5 libmariadb3 libc6; do
    field "$cli" Depends | grep -q "\b$library\b" || { echo "no $library in Depends" >&2; exit 1; }
done
if field "$cli" Depends | grep -q -i qt; then
    echo "rowsmith-fill depends on Qt: $(field "$cli" Depends)" >&2
    exit 1
fi
for dependency in "rowsmith-fill (= $version)" libqt6widgets6 qt6-qpa-plugins; do
    field "$gui" Depends | grep -q -F "$dependency" \
        || { echo "rowsmith does not depend on $dependency" >&2; exit 1; }
done

# Both packages unpacked together make an installation; the command line's alone fills.
dpkg-deb -x "$cli" "$work/cli"
check_demo_fill "$work/cli/usr/bin/rowsmith-fill" \
    "$work/cli/usr/share/rowsmith/examples/demo.scn" "$work/home-cli"
check_shipped_libraries "$work/cli/usr/bin/rowsmith-fill" "$work/cli/usr/share/rowsmith/libraries" \
    "$work/home-cli"
dpkg-deb -x "$cli" "$work/root"
dpkg-deb -x "$gui" "$work/root"
check_installed_files "$work/root/usr"
