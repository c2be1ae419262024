#!/usr/bin/env bash
# "Name the Event" opens ready for the name: what a person types at once
# lands in the name field, and Enter confirms it as OK does.
source "$(dirname "$0")/lib.sh"

hw_begin_session
noises="$HAUNTWATCH_DATA_DIR/noises"
settings="$HAUNTWATCH_HOME/noises.hwt"
hw_write_settings <<<'quiet: from=23 to=7'
hw_start_program
hw_find_main_window

step "open the schedule, Edit Noises, Add a Noise"
hw_open_schedule
hw_click_control "$HW_SCHEDULE" schedule.edit-noises
hw_find_window library '^Add or Delete Noises$'
hw_sync
hw_click_control "$library" noises.add
step "pick door.wav in the picker"
hw_find_window picker '^Open$'
hw_sync
hw_type door.wav
hw_key Return
hw_find_window naming '^Name the Event$'
hw_sync

step "type the name at once: it shows in the name field"
hw_control_point "$naming" name.name 0 0; left=$PX top=$PY
hw_control_point "$naming" name.name 100 100
field=(x "$left" "$top" $((PX - left)) $((PY - top)))
hw_capture "$HW_TMP/field-before.rgb" "${field[@]:1}"
hw_type "Front door"
hw_capture "$HW_TMP/field-after.rgb" "${field[@]:1}"
hw_screenshot name-typed
! cmp -s "$HW_TMP/field-before.rgb" "$HW_TMP/field-after.rgb" ||
  hw_fail "the name field did not change: the typing went elsewhere"

step "Enter confirms the name"
hw_key Return
hw_wait_window_gone '^Name the Event$'

step "close the library with OK and the schedule with Esc"
hw_click_control "$library" noises.ok
hw_wait_window_gone '^Add or Delete Noises$'
before=$(hw_file_stamp "$settings")
hw_key Escape
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
hw_wait_file_rewritten "$settings" "$before"

step "the library holds Front door"
grep -qx "noise 1: name=\"Front door\" path=\"$noises/door.wav\"" <<<"$(hw_settings)" ||
  { hw_settings >&2; hw_fail "the noise was not added as Front door"; }
