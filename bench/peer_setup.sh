#!/bin/sh
# Installs what the peer comparison (bench/peer_compare.py) runs beside the
# program: EDFbrowser, a separate viewer of the same kind of recordings, plus
# the window manager and the key driver. Only the benchmark needs these.
set -e
missing=""
for pair in edfbrowser:edfbrowser xdotool:xdotool openbox:openbox Xvfb:xvfb; do
    command -v "${pair%%:*}" >/dev/null 2>&1 || missing="$missing ${pair#*:}"
done
[ -z "$missing" ] && exit 0
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
