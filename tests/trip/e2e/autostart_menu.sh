#!/usr/bin/env bash
# "Guard Again After a Restart" in "Say Whut?", chosen with the keyboard as
# a person would: the autostart entry appears, runs this very program by its
# absolute path with --resume and the home folder, passes the desktop-entry
# validator, and goes again when the item is chosen a second time.
: "${HW_WATCHDOG:=90}"
source "$(dirname "$0")/session.sh"

begin_session
: >"$HAUNTWATCH_HOME/noises.hwt"
entry="$XDG_CONFIG_HOME/autostart/hauntwatch.desktop"
entry_there() { [[ -f "$entry" ]]; }
entry_gone() { ! entry_there; }

start_program
# The item is the menu's last but one: Alt+S opens it on its first item,
# and Up goes round to the last.
choose_item() { xdotool key --delay 50 alt+s Up Up Return; }

step "choose Guard Again After a Restart"
choose_item
wait_until 10 "the autostart entry" entry_there
program=$(realpath "$HW_PROGRAM")
expected="Exec=env \"HAUNTWATCH_HOME=$HAUNTWATCH_HOME\" \"$program\" --resume"
grep -qxF "$expected" "$entry" || fail "the entry does not run $program --resume: $(cat "$entry")"
desktop-file-validate "$entry" || fail "the entry is not a valid desktop entry"

step "choose it again"
choose_item
wait_until 10 "the autostart entry to go" entry_gone
program_running || fail "the program ended"
