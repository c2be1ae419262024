#!/usr/bin/env bash
# The README's first evening, from a home folder where the program never ran,
# with the mouse wherever a person uses it: quiet hours, two sample noises
# added through the picker (a double click on each file), two rows set by
# hand, OK; the file holds exactly that, and a second OK leaves it unchanged,
# which shows the dialog opened with what was saved.  Only names and numbers
# are typed.
source "$(dirname "$0")/lib.sh"

hw_begin_session
hw_enable_accessibility
noises="$HAUNTWATCH_DATA_DIR/noises"
settings="$HAUNTWATCH_HOME/noises.hwt"
[[ ! -e "$HAUNTWATCH_HOME" ]]
hw_start_program
hw_close_first_start_box
hw_find_main_window

step "click What Should I Do?"
hw_click_widget "menu item" "What Should I Do?"
hw_find_window HW_SCHEDULE '^So, What Do You Want the Vorn to do\?$'
dialog=$HW_SCHEDULE

step "be quiet from 11 pm"
hw_fill_field "$dialog" schedule.quiet.from 11
hw_click_radio "$dialog" schedule.quiet.from.pm
step "to 7 am"
hw_fill_field "$dialog" schedule.quiet.to 7
hw_click_radio "$dialog" schedule.quiet.to.am

step "open Edit Noises"
hw_click_control "$dialog" schedule.edit-noises
hw_find_window library '^Add or Delete Noises$'
hw_sync
step "add dog-barking.wav as Dog barking"
hw_add_noise "$library" dog-barking.wav "Dog barking"
step "add television.wav as Television"
hw_add_noise "$library" television.wav "Television"
hw_screenshot_with_pointer noise-library
step "close the noise library with OK"
hw_click_control "$library" noises.ok
hw_wait_window_gone '^Add or Delete Noises$'

step "choose Dog barking in row 1"
hw_pick_noise "$dialog" 1 "Dog barking"
step "move row 1's slider one page to the right: 1 hr 30 min"
hw_click_control "$dialog" schedule.row1.slider 92 50
step "repeat row 1 twice"
hw_fill_field "$dialog" schedule.row1.repeat 2
step "choose Random in row 1"
hw_click_radio "$dialog" schedule.row1.random

step "choose Television in row 2"
hw_pick_noise "$dialog" 2 "Television"
step "type 3 hours into row 2"
hw_fill_field "$dialog" schedule.row2.hours 3
hw_fill_field "$dialog" schedule.row2.minutes 0
step "choose Exact in row 2"
hw_click_radio "$dialog" schedule.row2.exact
hw_screenshot schedule-before-ok

step "hover over OK, then click it"
before=$(hw_file_stamp "$settings")
hw_hover_control "$dialog" schedule.ok
hw_click_control "$dialog" schedule.ok
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
hw_wait_file_rewritten "$settings" "$before"

step "the settings file holds what was chosen"
hw_expect_settings <<EXPECTED
noises 2
noise 1: name="Dog barking" path="$noises/dog-barking.wav"
noise 2: name="Television" path="$noises/television.wav"
slot 1: name="Dog barking" path="$noises/dog-barking.wav" every=90 mode=random repeat=2 due=unscheduled
slot 2: name="Television" path="$noises/television.wav" every=180 mode=exact repeat=1 due=unscheduled
slot 3: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
slot 4: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
slot 5: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
quiet: from=23 to=7
EXPECTED

step "reopen the schedule and press OK again"
cp "$settings" "$HW_TMP/first-save.hwt"
hw_click_widget "menu item" "What Should I Do?"
hw_find_window HW_SCHEDULE '^So, What Do You Want the Vorn to do\?$'

hw_screenshot schedule-reopened
before=$(hw_file_stamp "$settings")
hw_hover_control "$HW_SCHEDULE" schedule.ok
hw_click_control "$HW_SCHEDULE" schedule.ok
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
hw_wait_file_rewritten "$settings" "$before"
step "the second save is byte for byte the first"
cmp "$HW_TMP/first-save.hwt" "$settings" ||
  { hw_settings >&2; hw_fail "the dialog did not show what was saved: OK changed the file"; }
