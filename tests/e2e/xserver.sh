#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command against a virtual X server of its own:
#
#   xserver.sh <command> [arguments...]
#
# The server picks a free display itself (-displayfd), so servers started side
# by side never race for one number. It listens on no TCP port and lets in
# only clients that hold its cookie. The command starts once a client has
# connected; the server ends with the command, whose exit status is returned.
set -u

fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
# The server takes every cookie in its file whatever display the entry names;
# a client looks for the entry of its own display, written once it is known.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
: >"$fifo_dir/server-auth"
xauth -q -f "$fifo_dir/server-auth" add :0 . "$cookie"
Xvfb -displayfd 3 -nolisten tcp -auth "$fifo_dir/server-auth" -screen 0 1280x1024x24 3>"$fifo_dir/display" >"$fifo_dir/log" 2>&1 &
server=$!
cleanup() {
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -rf "$fifo_dir"
}
trap cleanup EXIT

display=""
read -r -t 30 display <"$fifo_dir/display"
if [ -z "$display" ]; then
    echo "xserver.sh: the virtual X server did not start:" >&2
    cat "$fifo_dir/log" >&2
    exit 1
fi
export DISPLAY=":$display" XAUTHORITY="$fifo_dir/auth"
: >"$XAUTHORITY"
xauth -q -f "$XAUTHORITY" add "$DISPLAY" . "$cookie"
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdpyinfo >/dev/null 2>&1; then
    echo "xserver.sh: no client can connect to $DISPLAY:" >&2
    cat "$fifo_dir/log" >&2
    exit 1
fi
"$@"
