#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Stands in for javac in tests: a compiler that waits. It starts a helper
# process of its own (as the Java runtime starts threads and tools), writes its
# own process id and the helper's, separated by a blank, in
# "$BREWPAD_STANDIN_LOG.pids", writes a warning and then waits until the file
# "$BREWPAD_STANDIN_LOG.go" appears; it exits with the status written in that
# file (0 when the file is empty). With BREWPAD_STANDIN_SIGNAL set (a signal
# name such as SEGV), it ends itself by that signal instead of waiting.
log=${BREWPAD_STANDIN_LOG:?}
sleep 600 &
echo "$$ $!" > "$log.pids.part"
mv "$log.pids.part" "$log.pids"
echo "Stand-in.java:1: warning: an error-free line that mentions error" >&2
echo "1 warning" >&2
if [ -n "$BREWPAD_STANDIN_SIGNAL" ]; then
    kill -s "$BREWPAD_STANDIN_SIGNAL" $$
fi
while [ ! -e "$log.go" ]; do
    sleep 0.05
done
status=$(cat "$log.go")
exit "${status:-0}"
