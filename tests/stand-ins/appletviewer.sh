#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Stands in for the applet viewer in tests: records its arguments (each
# followed by a NUL byte) and its working directory, then copies the page it
# was given, so the test can see it was readable under that name.
log=${BREWPAD_STANDIN_LOG:?}
printf '%s\0' "$@" > "$log.argv"
pwd > "$log.cwd"
cat "$1" > "$log.page" 2>/dev/null
: > "$log.done"
