#!/bin/sh
# Installs the build into a temporary root and starts the installed launcher
# the way the menu entry does, on a virtual display with a temporary HOME:
# the first run makes the user's folder from the template, a second run keeps
# the user's changed settings. Exit 77 (skipped) when a tool is missing.
#   install-test.sh BUILD_DIR
set -eu

if [ "${1:-}" = "--show" ]; then
    # On the virtual display: start the launcher, wait for the program's
    # window, then end the program.
    "$2" &
    pid=$!
    tries=0
    until xwininfo -root -tree 2>/dev/null | grep -q '"VAZ Udi Verazev"'; do
        tries=$((tries + 1))
        if [ "$tries" -gt 150 ] || ! kill -0 "$pid" 2>/dev/null; then
            echo "install-test: no window from $2" >&2
            kill "$pid" 2>/dev/null || true
            { wait "$pid" || true; } 2>/dev/null
            exit 1
        fi
        sleep 0.1
    done
    kill "$pid"
    { wait "$pid" || true; } 2>/dev/null
    exit 0
fi

build=$(cd "$1" && pwd)
for tool in xvfb-run xwininfo desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "install-test: $tool missing, skipped"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root="$tmp/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
launcher="$root/usr/bin/tessel3-launcher"
template="$root/usr/share/tessel3/data"

fail() { echo "install-test: $*" >&2; exit 1; }

desktop="$(echo "$root"/usr/share/applications/*.desktop)"
desktop-file-validate --no-hints "$desktop" || fail "desktop-file-validate refused $desktop"
grep -qx 'Exec=tessel3-launcher' "$desktop" || fail "the menu entry does not start the launcher"
appstreamcli validate --pedantic --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
    fail "appstreamcli refused the metainfo file"
[ -x "$root/usr/bin/tessel3" ] || fail "no program in bin/"
for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
    [ -f "$root/usr/share/icons/hicolor/$size/apps/tessel3.png" ] || fail "no $size icon"
done

export HOME="$tmp/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME
export XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
show() { xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" --show "$launcher"; }

work="$HOME/.local/share/tessel3"
show || fail "first run did not show the window"
cmp -s "$work/data/root.lua" "$template/root.lua" || fail "first run did not copy root.lua"
cmp -s "$work/data/background.png" "$template/background.png" || fail "first run did not copy background.png"

printf 'local DIRECTORY = "/somewhere/else"\r\n' >>"$work/data/root.lua"
cp "$work/data/root.lua" "$tmp/changed.lua"
show || fail "second run did not show the window"
cmp -s "$work/data/root.lua" "$tmp/changed.lua" || fail "second run changed the user's root.lua"

XDG_DATA_HOME="$tmp/xdg" show || fail "run with XDG_DATA_HOME did not show the window"
[ -f "$tmp/xdg/tessel3/data/root.lua" ] || fail "XDG_DATA_HOME was not used"
echo "install-test: passed"
