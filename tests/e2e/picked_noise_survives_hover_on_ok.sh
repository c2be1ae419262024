#!/usr/bin/env bash
# Regression: a noise picked in row 1 with the keyboard is still the row's
# noise when the mouse has moved onto OK and clicked it.  The dialog used to
# refill its lists whenever any of its controls repainted, and the OK button
# repaints as the pointer enters it.
source "$(dirname "$0")/lib.sh"

hw_begin_session
noises="$HAUNTWATCH_DATA_DIR/noises"
settings="$HAUNTWATCH_HOME/noises.hwt"
hw_write_settings <<EOF_SETTINGS
noise 1: name="Dog barking" path="$noises/dog-barking.wav"
noise 2: name="Television" path="$noises/television.wav"
slot 1: name="Dog barking" path="$noises/dog-barking.wav" every=90 mode=random repeat=2
quiet: from=23 to=7
EOF_SETTINGS
hw_start_program
hw_find_main_window

step "open the schedule with Ctrl+C"
hw_open_schedule
step "row 1 has the focus: type T to move it to Television"
hw_type "T"
hw_screenshot television-chosen

step "move the mouse onto OK"
before=$(hw_file_stamp "$settings")
hw_hover_control "$HW_SCHEDULE" schedule.ok
hw_screenshot pointer-on-ok
step "click OK"
hw_click_control "$HW_SCHEDULE" schedule.ok
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
hw_wait_file_rewritten "$settings" "$before"

step "row 1 was saved with Television"
grep -qx "slot 1: name=\"Television\" path=\"$noises/television.wav\" every=90 mode=random repeat=2 due=unscheduled" <<<"$(hw_settings)" ||
  { hw_settings >&2; hw_fail "row 1 did not keep the noise picked before the mouse went onto OK"; }
