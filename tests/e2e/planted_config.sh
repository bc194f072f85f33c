#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A brewpad.cfg in the start folder, as an unpacked project may bring one, runs
# nothing before the first Java Compile (F9). The built program starts for real
# on a virtual X server, with a fresh home folder holding no configuration and
# a brewpad.cfg in its start folder that names a stand-in JDK: stand-ins for
# `javac` and `java` that write down that they ran. Once the "ENV:" box is
# answered and the main window has stood a while, nothing of that JDK may have
# run; the first F9 then runs the stand-in javac (which shows that what runs is
# seen), and only from then on may the compile service start.
#
#   planted_config.sh <brewpad program>
#
# Run by CTest under tests/e2e/xserver.sh. On failure it leaves planted-config-failure.png,
# a picture of the screen, in the directory it ran in.
set -u

BREWPAD=$(readlink -f "$1")
STEP="starting"
outdir=$PWD
MAIN=""
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

xdo() { timeout -k 1 10 xdotool "$@"; }
fail() {
    echo "FAILED while $STEP: $*" >&2
    timeout -k 1 20 import -window root "$outdir/planted-config-failure.png" 2>/dev/null
    [ -f "$work/brewpad.log" ] && cat "$work/brewpad.log" >&2
    exit 1
}
step() { STEP=$1; echo "== $1"; }
windows() { xdo search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${MAIN:-none}"; }
wait_window() {
    local end=$((SECONDS + ${2:-30})) w
    while [ $SECONDS -lt $end ]; do
        w=$(windows "$1" | tail -1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        kill -0 "$pid" 2>/dev/null || fail "Brewpad ended (waiting for a window \"$1\")"
        sleep 0.2
    done
    fail "no window \"$1\" within ${2:-30} s"
}
shown() { xdo getwindowname "$1" >/dev/null 2>&1 && xdo search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
focus() { xdo windowfocus --sync "$1" 2>/dev/null || xdo windowfocus "$1" 2>/dev/null; sleep 0.2; }
answer() {
    local tries end
    for tries in 1 2 3; do
        focus "$1"
        xdo key "$2"
        end=$((SECONDS + 5))
        while shown "$1"; do
            [ $SECONDS -lt $end ] || break
            sleep 0.1
        done
        shown "$1" || return 0
    done
    fail "window $1 did not close"
}
# The 4 bytes of a length, low byte first, then the text: one record of brewpad.cfg.
record() {
    local n=${#1}
    printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $(((n >> 8) & 255)))\\x00\\x00%s" "$1"
}

# ---------------------------------------------------------------- set-up
mkdir -p "$work/home" "$work/project" "$work/jdk/bin" "$work/jdk/docs/api"
ran="$work/ran"
for tool in javac java; do
    # Stand-ins for the JDK's tools: they write down that they ran; the
    # stand-in javac succeeds, the stand-in java fails (no compile service).
    printf '#!/bin/sh\necho "%s $*" >> "%s"\n[ %s = javac ]\n' "$tool" "$ran" "$tool" > "$work/jdk/bin/$tool"
    chmod 755 "$work/jdk/bin/$tool"
done
echo java.base > "$work/jdk/docs/api/element-list"
{ record "$work/jdk/bin"; record "$work/jdk/docs/api/element-list"; } > "$work/project/brewpad.cfg"
chmod 644 "$work/project/brewpad.cfg"
printf 'public class Hello {\n    public static void main(String[] a) {}\n}\n' > "$work/project/Hello.java"
export HOME="$work/home"
unset XDG_CONFIG_HOME TEMP TMP COMSPEC
cd "$work/project" || fail "no start folder"

# ---------------------------------------------------------------- the start
step "starting in the folder of the planted brewpad.cfg"
"$BREWPAD" Hello.java >"$work/brewpad.log" 2>&1 &
pid=$!
box=$(wait_window '^Brewpad$' 60) || exit 1
[ -e "$ran" ] && fail "the planted JDK ran before the \"ENV:\" box: $(cat "$ran")"
answer "$box" Return
MAIN=$(wait_window '^Brewpad' 30) || exit 1
step "waiting with the window open, after Go to Definition"
# Go to Definition asks for the compile service too: it waits for the first
# F9 as well. Then long enough for anything started ahead (the compile
# service, the debugger, the checks while typing) to have begun.
focus "$MAIN"
xdo key F12
sleep 4
[ -e "$ran" ] && fail "the planted JDK ran before the first F9: $(cat "$ran")"
[ -d "$work/home/.config/brewpad" ] && [ -e "$work/home/.config/brewpad/brewpad.cfg" ] &&
    fail "a brewpad.cfg was written to the home folder"

step "the first F9"
focus "$MAIN"
xdo key F9
end=$((SECONDS + 30))
until grep -q '^javac ' "$ran" 2>/dev/null; do
    [ $SECONDS -lt $end ] || fail "F9 did not run the stand-in javac"
    sleep 0.2
done
echo "   after F9: $(tr '\n' ';' < "$ran")"
exit 0
