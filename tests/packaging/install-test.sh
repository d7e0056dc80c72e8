#!/bin/sh
# Installs the build into a temporary root and starts the installed launcher
# the way the menu entry does, on a virtual display with a temporary HOME:
# the first run makes the user's folder from the template, a second run keeps
# the user's changed settings. Exit 77 (skipped) when a tool is missing.
#   install-test.sh BUILD_DIR
set -eu

build=$(cd "$1" && pwd)
for tool in Xvfb xwininfo desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "install-test: $tool missing, skipped"; exit 77; }
done

tmp=$(mktemp -d)
xvfb=""
program=""
# Whatever ends this script, nothing it started stays behind.
clean_up() {
    for pid in $program $xvfb; do
        kill "$pid" 2>/dev/null || true
        { wait "$pid" || true; } 2>/dev/null
    done
    rm -rf "$tmp"
}
trap clean_up EXIT
trap 'exit 143' TERM INT HUP
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
# One virtual display for all runs; Xvfb picks a free number itself and
# writes it to the file once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
tries=0
until [ -s "$tmp/display" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] && kill -0 "$xvfb" 2>/dev/null || { cat "$tmp/xvfb.log" >&2; fail "Xvfb did not start"; }
    sleep 0.1
done
export DISPLAY=":$(cat "$tmp/display")"

# Starts the launcher, waits for the program's window, then ends the program.
show() {
    "$launcher" &
    program=$!
    tries=0
    until xwininfo -root -tree 2>/dev/null | grep -q '"VAZ Udi Verazev"'; do
        tries=$((tries + 1))
        if [ "$tries" -gt 150 ] || ! kill -0 "$program" 2>/dev/null; then
            echo "install-test: no window from $launcher" >&2
            return 1
        fi
        sleep 0.1
    done
    kill "$program"
    { wait "$program" || true; } 2>/dev/null
    program=""
}

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
