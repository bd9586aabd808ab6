#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it from outside the source and build trees:
# the installed files and their software-centre entry, rowsmith-fill's version and help, a demo
# fill into a fresh data folder, and the window's own lookup of its help, examples and file type.
# Usage: install_test.sh BUILD_DIR VERSION INSTALLED_WINDOW_TEST
set -euo pipefail
build=$1 version=$2 window_test=$3
# shellcheck source-path=SCRIPTDIR source=install_support.sh
source "$(dirname "$0")/install_support.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
cd "$work"

check_installed_files "$prefix"
# The software-centre entry as installed: its desktop entry and icon are where it says.
appstreamcli validate-tree --no-net --pedantic "$prefix" > /dev/null

# Read whole before grep looks: grep -q leaves at its first match, and a program still writing
# into the closed pipe dies of SIGPIPE, which pipefail would take for a failure.
version_text=$("$prefix/bin/rowsmith-fill" --version)
grep -F -q "$version" <<< "$version_text" \
    || { echo "rowsmith-fill --version does not name $version" >&2; exit 1; }
help_text=$("$prefix/bin/rowsmith-fill" --help)
grep -q '^Usage: rowsmith-fill' <<< "$help_text" \
    || { echo "rowsmith-fill --help prints no usage" >&2; exit 1; }

check_demo_fill "$prefix/bin/rowsmith-fill" "$prefix/share/rowsmith/examples/demo.scn" "$work/home"
check_shipped_libraries "$prefix/bin/rowsmith-fill" "$prefix/share/rowsmith/libraries" "$work/home"

# The window's code, run from the prefix's bin folder as the installed window runs.
update-mime-database "$prefix/share/mime"

# The desktop's tools name our type for a scenario, although the shared database gives *.scn to
# another program too; xdg-mime outside GNOME and KDE goes by the file's name alone.
printf '[Main]\r\nAliasName=Demo\r\n' > "$work/some.scn"
mime_env=(env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION -u KDE_FULL_SESSION
    XDG_DATA_HOME="$work/home/data" XDG_DATA_DIRS="$prefix/share:/usr/share")
type=$("${mime_env[@]}" xdg-mime query filetype "$work/some.scn")
[ "$type" = application/x-rowsmith-scenario ] || { echo "xdg-mime says $type" >&2; exit 1; }
"${mime_env[@]}" gio info -a standard::content-type "$work/some.scn" \
    | grep -q -x '  standard::content-type: application/x-rowsmith-scenario' \
    || { echo "gio does not name the scenario type" >&2; exit 1; }
cp "$window_test" "$prefix/bin/"
XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config \
    XDG_DATA_DIRS=$prefix/share:/usr/share QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/$(basename "$window_test")"
