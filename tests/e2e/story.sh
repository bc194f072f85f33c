#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole user story, driven through the X server as a user would drive it:
# xdotool presses keys and clicks, and xclip reads what Ctrl+C copies (message
# boxes copy their caption and text, editors their selection).
#
#   story.sh <brewpad program> <stand-in terminal script>
#
# Run by CTest under tests/e2e/xserver.sh. It starts Brewpad with no configuration, answers
# the search for the Java tools (declining every javac but one it prepared),
# writes, saves, compiles and runs a class, follows a compiler message to its
# line, exits through the close question, and starts once more (the search
# runs again, since no help file was kept, and the files named on its command
# line open after it). Java Run's terminal is a stand-in that records the
# program's output (tests/stand-ins/terminal.sh). On failure it leaves
# story-failure.png, a picture of the screen, in the directory it ran in.
set -u

BREWPAD=$(readlink -f "$1")
STANDIN=$(readlink -f "$2")
STEP="starting"
outdir=$PWD
MAIN=""

# The prepared folder stands on a disk volume (the search skips virtual ones
# such as /tmp on tmpfs), beside the test's working directory.
work=$(mktemp -d "$PWD/story.XXXXXX")
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Every call to the X server has a time limit: a window that goes away between
# the search and the call must fail the step, never hang the story.
xdo() { timeout -k 1 10 xdotool "$@"; }
clip() { timeout -k 1 5 xclip "$@"; }
snap() { timeout -k 1 20 import "$@"; }

fail() {
    echo "FAILED while $STEP: $*" >&2
    snap -window root "$outdir/story-failure.png" 2>/dev/null
    exit 1
}
step() { STEP=$1; echo "== $1"; }

# Visible windows with a title matching $1, newest last, the main window left out.
windows() {
    xdo search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${MAIN:-none}"
}

# Waits up to $2 seconds for a window titled $1 and prints its id.
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

wait_gone() {
    local end=$((SECONDS + 15))
    while shown "$1"; do
        [ $SECONDS -lt $end ] || fail "window $1 did not close"
        sleep 0.1
    done
}

focus() { xdo windowfocus --sync "$1" 2>/dev/null || xdo windowfocus "$1" 2>/dev/null; sleep 0.2; }
keys() { xdo key --delay 60 "$@"; }

shown() {
    xdo getwindowname "$1" >/dev/null 2>&1 && xdo search --onlyvisible --name . 2>/dev/null | grep -qx "$1"
}

# Answers the message box $1 with the key $2 and waits for it to close. A
# window that Brewpad shows meanwhile may take the focus before the key
# comes: a box still there after a while is given the focus and the key again.
answer() {
    local tries end
    for tries in 1 2 3; do
        focus "$1"
        keys "$2"
        end=$((SECONDS + 5))
        while shown "$1"; do
            [ $SECONDS -lt $end ] || break
            sleep 0.1
        done
        shown "$1" || return 0
    done
    fail "window $1 did not close"
}

# Waits for Brewpad to end after Exit; it must end with status 0 (the sanitizer
# build ends otherwise on any report). $1 is its output, shown on failure.
expect_end() {
    local end=$((SECONDS + 30)) status
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -lt $end ] || fail "Brewpad did not end after Exit"
        sleep 0.2
    done
    wait "$pid"; status=$?; pid=""
    [ $status = 0 ] || { cat "$1" >&2; fail "Brewpad ended with status $status"; }
}

# What Ctrl+C copies from the focused window.
copied() {
    # xclip stays behind to hold the clipboard until another client takes it:
    # it must not hold the output of the $(...) that reads this function.
    echo -n "(nothing copied)" | clip -selection clipboard -i >/dev/null 2>&1
    keys ctrl+c
    local end=$((SECONDS + 5)) text
    while [ $SECONDS -lt $end ]; do
        text=$(clip -selection clipboard -o 2>/dev/null)
        [ "$text" != "(nothing copied)" ] && { printf '%s' "$text"; return; }
        sleep 0.1
    done
    printf '%s' "(nothing copied)"
}

# The text of the message box $1; a key pressed before the box had the focus
# copies nothing, so it is asked again.
box_text() {
    local text tries
    for tries in 1 2 3; do
        focus "$1"
        text=$(copied)
        [ "$text" != "(nothing copied)" ] && break
    done
    printf '%s' "$text"
}

# ---------------------------------------------------------------- set-up
home="$work/home"
mkdir -p "$home" "$work/jdk/bin" "$work/bin" "$work/src"
real_javac=$(readlink -f "$(command -v javac)") || fail "no javac on this machine"
ln -s "$real_javac" "$work/jdk/bin/javac"
ln -s "$(dirname "$real_javac")/java" "$work/jdk/bin/java"
ln -s "$STANDIN" "$work/bin/x-terminal-emulator"
export HOME="$home" BREWPAD_STANDIN_LOG="$work/terminal"
export PATH="$work/bin:$PATH"
unset XDG_CONFIG_HOME TEMP TMP COMSPEC
cd "$work/src" || fail "no working directory"

# ---------------------------------------------------------------- first start
step "starting with no configuration"
"$BREWPAD" >"$work/brewpad.log" 2>&1 &
pid=$!

# Answers the start's questions: every file offered is declined but the
# prepared javac; ends with the "ENV:" box, which must name it. With "again",
# the start must first say that the configuration is rebuilt: no help file was
# kept, and the search runs at every start until both tools are kept.
answer_search() {
    local offered=0 kept=0 help_missing=0 corrupted=0 w text env_text=""
    while :; do
        w=$(wait_window '^Brewpad$' 240) || exit 1
        text=$(box_text "$w")
        case $text in
            *"Needed File found :$work/jdk/bin/javac : Keep it ?"*)
                offered=$((offered + 1)); kept=1; answer "$w" alt+y ;;
            *"Needed File found :"*)
                offered=$((offered + 1)); answer "$w" alt+n ;;
            *"sorry java help file not found"*)
                help_missing=1; answer "$w" Return ;;
            *" Brewpad.cfg corrupted , recreating..."*)
                corrupted=1; answer "$w" Return ;;
            *"ENV:"*)
                env_text=$text; answer "$w" Return; break ;;
            *)
                fail "unexpected window: $text" ;;
        esac
    done
    echo "   $offered files offered, all declined but the prepared javac"
    [ $help_missing = 1 ] || fail "no message that the Java help was not found"
    [ $kept = 1 ] || fail "the prepared javac was never offered"
    case $env_text in
        *"JAVA BIN :	$work/jdk/bin"*) ;;
        *) fail "the ENV box does not name the prepared javac: $env_text" ;;
    esac
    if [ "${1:-}" = again ]; then
        [ $corrupted = 1 ] || fail "the second start did not say that it rebuilds the configuration"
    else
        [ $corrupted = 0 ] || fail "the first start called a missing configuration corrupted"
    fi
}

step "answering the search for the Java tools"
answer_search
[ -f "$home/.config/brewpad/brewpad.cfg" ] || fail "no brewpad.cfg written"

step "waiting for the main window"
MAIN=$(wait_window '^Brewpad' 30) || exit 1
MAIN=$(echo "$MAIN" | head -1)

# Menu commands by their mnemonics, as a keyboard user gives them.
menu() { focus "$MAIN"; keys "alt+$1"; sleep 0.3; keys "$2"; }

# Types text into the focused editor, a line at a time.
type_lines() {
    local line
    while IFS= read -r line; do
        xdo type --delay 8 -- "$line"
        keys Return
    done
}

# Save As through the file dialog: the whole path typed into its name field.
save_as() {
    menu f a
    local w
    w=$(wait_window '^Save As$' 15) || exit 1
    focus "$w"
    keys ctrl+a
    xdo type --delay 8 -- "$1"
    keys Return
    wait_gone "$w"
    # The file is written after the dialog has closed: on a busy machine, later.
    local end=$((SECONDS + 15))
    until [ -f "$1" ]; do
        [ $SECONDS -lt $end ] || fail "Save As did not write $1"
        sleep 0.1
    done
}

step "writing a class with main in a new window"
menu f j
sleep 0.5
type_lines <<'JAVA'
public class Hello {
public static void main(String[] args) {
System.out.println("Hello from Brewpad " + (6 * 7));
}
}
JAVA
save_as "$work/src/Hello.java"
grep -q 'System.out.println("Hello from Brewpad " + (6 \* 7));' "$work/src/Hello.java" ||
    fail "Hello.java does not hold what was typed: $(cat "$work/src/Hello.java")"

step "compiling with F9"
focus "$MAIN"; keys F9
w=$(wait_window '^SUCCESS$' 120) || exit 1
text=$(box_text "$w")
case $text in *"Compilation success"*) ;; *) fail "F9 said: $text" ;; esac
answer "$w" Return
[ -f "$work/src/Hello.class" ] || fail "no Hello.class after a successful compilation"

step "running with Ctrl+F9 in the (stand-in) terminal"
focus "$MAIN"; keys ctrl+F9
end=$((SECONDS + 60))
until [ -f "$work/terminal.done" ]; do
    [ $SECONDS -lt $end ] || fail "no terminal was started"
    sleep 0.2
done
grep -q "Hello from Brewpad 42" "$work/terminal.out" ||
    fail "the program's output is not in the terminal: $(cat "$work/terminal.out")"

step "compiling a class with an error"
menu f j
sleep 0.5
type_lines <<'JAVA'
public class Broken {
public static void main(String[] args) {
int x = ;
}
}
JAVA
save_as "$work/src/Broken.java"
focus "$MAIN"; keys F9

# The message window stands along the bottom of the workspace, just above the
# status bar. Its list is the white band found going up a column of the screen
# near the window's right edge; the first message is its top row.
step "double-clicking the compiler's message"
eval "$(xdo getwindowgeometry --shell "$MAIN")"   # X Y WIDTH HEIGHT
list_top() {
    snap -window root -crop "1x$HEIGHT+$((X + WIDTH - 150))+$Y" txt:- 2>/dev/null |
        awk -F'[,:]' 'NR > 1 { white[$2 + 0] = ($0 ~ /#FFFFFF/) }
                      END { run = 0
                            for (y = NR - 2; y >= 0; y--) {
                                if (white[y]) { run++; continue }
                                if (run > 40 && run < 200) { print y + 1; exit }
                                run = 0
                            } }'
}
end=$((SECONDS + 120)); top=""
while [ -z "$top" ]; do
    [ $SECONDS -lt $end ] || fail "no message window appeared"
    sleep 0.5
    top=$(list_top)
done
sleep 0.5
xdo mousemove $((X + 60)) $((Y + top + 8)) click --repeat 2 --delay 80 1
sleep 0.5
keys End shift+Home shift+Home
line=$(copied)
# The editor indented the line as it was typed.
[ "$line" = "        int x = ;" ] || fail "the caret is not on the line of the error: it is on \"$line\""

step "exiting with a modified window"
keys End space
focus "$MAIN"; keys alt+x
w=$(wait_window '^Brewpad$' 15) || exit 1
text=$(box_text "$w")
case $text in
    *"The text in the $work/src/Broken.java file has changed."*"Do you want to save the changes?"*) ;;
    *) fail "Exit asked: $text" ;;
esac
answer "$w" Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "Brewpad ended although the close question was cancelled"
focus "$MAIN"; keys alt+x
w=$(wait_window '^Brewpad$' 15) || exit 1
keys alt+n
expect_end "$work/brewpad.log"
grep -q "int x = ;$" "$work/src/Broken.java" || fail "Broken.java changed although its changes were not saved"

step "starting again with files named: without a help file the search runs again"
MAIN=""
"$BREWPAD" Hello.java Missing.java >"$work/brewpad2.log" 2>&1 &
pid=$!
answer_search again

step "after the start: Hello.java opened, Missing.java named in a message"
box=""; end=$((SECONDS + 60))
while [ -z "$box" ]; do
    [ $SECONDS -lt $end ] || fail "no message named Missing.java"
    for w in $(windows '^Brewpad$' | tac); do  # the newest first
        text=$(box_text "$w")
        case $text in *"these were not opened"*) box=$w; break ;; esac
    done
    sleep 0.3
done
case $text in
    *"$work/src/Missing.java (no such file)"*) ;;
    *) fail "the message does not name Missing.java: $text" ;;
esac
case $text in *Hello.java*) fail "the message names Hello.java: $text" ;; esac
answer "$box" Return
MAIN=$(wait_window '^Brewpad' 30) || exit 1
focus "$MAIN"; keys ctrl+a
shown=$(copied)
[ "$shown" = "$(cat "$work/src/Hello.java")" ] || fail "the active window does not show Hello.java: \"$shown\""
focus "$MAIN"; keys alt+x
expect_end "$work/brewpad2.log"
echo "== the story ran to its end"
