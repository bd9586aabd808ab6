#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary folder, checks what it holds and
# declares, and runs the demo fill with the rowsmith-fill unpacked from it.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
# shellcheck source-path=SCRIPTDIR source=install_support.sh
source "$(dirname "$0")/install_support.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log") \
    || { cat "$work/cpack.log" >&2; exit 1; }
debs=("$work"/out/rowsmith_"$version"_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no rowsmith_${version} package in $work/out" >&2; exit 1; }

# Every installed file is in the package, under /usr.
dpkg-deb --contents "$deb" | awk '{print $6}' | sed -n 's|^\./usr/||p' > "$work/contents"
missing=0
while read -r path; do
    grep -q -x -F "$path" "$work/contents" || { echo "not in the package: $path" >&2; missing=1; }
done < "$(dirname "$0")/installed_files"
[ $missing = 0 ]

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = rowsmith ]
[ "$(field Version)" = "$version" ] || { echo "package version $(field Version)" >&2; exit 1; }
field Maintainer | grep -q '@example\.org>$' || { echo "maintainer $(field Maintainer)" >&2; exit 1; }
# The dependencies come from the programs' libraries.
for library in libsqlite3-0 libpq5 libqt6widgets6 libc6; do
    field Depends | grep -q "\b$library\b" || { echo "no $library in Depends" >&2; exit 1; }
done

dpkg-deb -x "$deb" "$work/root"
check_installed_files "$work/root/usr"
check_demo_fill "$work/root/usr/bin/rowsmith-fill" \
    "$work/root/usr/share/rowsmith/examples/demo.scn" "$work/home"
