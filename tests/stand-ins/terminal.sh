#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Stands in for a terminal emulator in tests: records its arguments (each
# followed by a NUL byte) in "$BREWPAD_STANDIN_LOG.argv" and its working
# directory in "$BREWPAD_STANDIN_LOG.cwd", then runs the command given after
# "-e" with its output in "$BREWPAD_STANDIN_LOG.out". "$BREWPAD_STANDIN_LOG.done"
# appears when the command has ended.
log=${BREWPAD_STANDIN_LOG:?}
printf '%s\0' "$@" > "$log.argv"
pwd > "$log.cwd"
if [ "$1" = "-e" ]; then
    shift
    "$@" > "$log.out" 2>&1 < /dev/null
fi
: > "$log.done"
