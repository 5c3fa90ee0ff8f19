#!/bin/sh
# Runs a test program on an X server of its own with two separate screens
# (1280x1024 and 1920x1080, both at 0,0) and a window manager on the first.
set -eu
work=$(mktemp -d)
wm=
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
Xvfb -displayfd 3 -screen 0 1280x1024x24 -screen 1 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; exit 1; }
display=:$(cat "$work/display")
DISPLAY=$display.0 openbox --sm-disable >"$work/wm.log" 2>&1 &
wm=$!
# The manager is in charge once it has named itself on the root window.
for _ in $(seq 100); do
    DISPLAY=$display.0 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done
DISPLAY=$display "$@"
