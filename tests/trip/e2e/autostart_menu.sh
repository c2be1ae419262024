#!/usr/bin/env bash
# "Guard Again After a Restart" in "Say Whut?", chosen with the keyboard as
# a person would: the autostart entry appears, runs this very program by its
# absolute path with --resume and the home folder, passes the desktop-entry
# validator, and goes again when the item is chosen a second time.
source "$(dirname "$0")/../../e2e/lib.sh"

entry_there() { [[ -f "$XDG_CONFIG_HOME/autostart/hauntwatch.desktop" ]]; }
entry_gone() { ! entry_there; }
# Alt+S opens the menu on its first item; the item comes after "What is
# this?", "About Hauntwatch" and "Any errors?" (the separator is passed over).
choose_item() { hw_key alt+s Down Down Down Return; }

hw_begin_session
mkdir -p "$HAUNTWATCH_HOME"
: >"$HAUNTWATCH_HOME/noises.hwt"
hw_start_program
hw_find_main_window

step "choose Guard Again After a Restart"
choose_item
hw_wait_until 10 "the autostart entry" entry_there
entry="$XDG_CONFIG_HOME/autostart/hauntwatch.desktop"
cp "$entry" "$HW_ARTIFACT_DIR/"
program=$(realpath "$HW_PROGRAM")
expected="Exec=env \"HAUNTWATCH_HOME=$HAUNTWATCH_HOME\" \"$program\" --resume"
grep -qxF "$expected" "$entry" || hw_fail "the entry does not run $program --resume: $(cat "$entry")"
desktop-file-validate "$entry" || hw_fail "the entry is not a valid desktop entry"

step "choose it again"
choose_item
hw_wait_until 10 "the autostart entry to go" entry_gone
hw_program_running || hw_fail "the program ended"
