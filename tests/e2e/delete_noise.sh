#!/usr/bin/env bash
# "Delete This Noise" removes the selected noise from the library, and a
# second press with no new selection deletes nothing more.
source "$(dirname "$0")/lib.sh"

hw_begin_session
settings="$HAUNTWATCH_HOME/noises.hwt"
hw_write_settings <<'EOF_SETTINGS'
noise 1: name="Charlie" path="/media/usb/charlie.wav"
noise 2: name="Alpha" path="/media/usb/alpha.wav"
noise 3: name="Bravo" path="/media/usb/bravo.wav"
quiet: from=23 to=7
EOF_SETTINGS
hw_start_program
hw_find_main_window

step "open the schedule, then Edit Noises"
hw_open_schedule
hw_click_control "$HW_SCHEDULE" schedule.edit-noises
hw_find_window library '^Add or Delete Noises$'
hw_sync

step "click the first line, Alpha"
# Half a line of text below the list's top edge.
hw_control_point_du "$library" noises.list 30 5
hw_click_at "$PX" "$PY"
hw_screenshot alpha-selected
step "press Delete This Noise"
hw_click_control "$library" noises.delete
hw_screenshot after-first-delete
step "press Delete This Noise again without selecting anything"
hw_click_control "$library" noises.delete
hw_screenshot after-second-delete

step "close the library with OK and the schedule with Esc"
hw_click_control "$library" noises.ok
hw_wait_window_gone '^Add or Delete Noises$'
before=$(hw_file_stamp "$settings")
hw_key Escape
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
hw_wait_file_rewritten "$settings" "$before"

step "the library holds Charlie and Bravo, in their order"
hw_expect_settings <<'EXPECTED'
noises 2
noise 1: name="Charlie" path="/media/usb/charlie.wav"
noise 2: name="Bravo" path="/media/usb/bravo.wav"
slot 1: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
slot 2: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
slot 3: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
slot 4: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
slot 5: name="NOTHING" path="None" every=60 mode=random repeat=1 due=unscheduled
quiet: from=23 to=7
EXPECTED
