#!/usr/bin/env bash
# Every button of the schedule dialog, of the two library dialogs and of the
# file picker, clicked once, and every other window closed by its OK or its
# close box, each seen to act: a row started, a window open or gone, a row
# gone from the library, a folder made, the settings file written.
: "${HW_WATCHDOG:=200}"
source "$(dirname "$0")/lib.sh"

shows() { hw_widget_found "$@"; }
gone() { ! hw_widget_found "$@"; }
window_open() {  # TITLE: waits for it and sets OPENED to its id
  hw_find_window OPENED "^$(sed 's/[?]/\\?/g' <<<"$1")\$"
  hw_sync
}
say_whut() {  # ITEM: chosen from the menu bar with the mouse
  hw_click_widget "menu item" "Say Whut?"
  hw_click_widget "menu item" "$1"
}

hw_begin_session
hw_enable_accessibility
hw_stand_in_xdg_open
sounds="$HW_TMP/sounds"
mkdir -p "$sounds/more"
cp "$HW_LIB_DIR/../data/tone.wav" "$sounds/"
note="$HW_TMP/files/note.txt" spare="$HW_TMP/files/spare.txt"
mkdir -p "$HW_TMP/files"
echo note >"$note"
echo spare >"$spare"
mkdir -p "$HAUNTWATCH_HOME"
printf '[File%%20Picker]\nLast%%20Folder=%s\n' "$sounds" >"$HAUNTWATCH_HOME/hauntwatch.conf"
hw_write_settings <<EOF_SETTINGS
noise 1: name="Note" path="$note"
noise 2: name="Spare" path="$spare"
slot 2: name="Note" path="$note" every=60 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS
hw_start_program
hw_find_main_window

step "the schedule: Preview starts row 2's file"
hw_click_widget "menu item" "What Should I Do?"
window_open "So, What Do You Want the Vorn to do?"
schedule=$OPENED
hw_click_control "$schedule" schedule.preview
hw_wait_until 20 "row 2's file to be started" hw_has_lines "$HW_STARTED_LOG" 1

step "Edit Noises opens the library; a row and Delete take Spare out"
hw_click_control "$schedule" schedule.edit-noises
window_open 'Add or Delete Noises'
library=$OPENED
hw_find_widget "list item" $'Spare\t'"$spare" 'Add or Delete Noises'
hw_widget_point
hw_click_at "$PX" "$PY"
hw_click_control "$library" noises.delete
hw_wait_until 10 "Spare to leave the list" gone "list item" $'Spare\t'"$spare" 'Add or Delete Noises'

step "Add a Noise: the picker's folder buttons"
hw_click_control "$library" noises.add
window_open Open
hw_click_widget "push button" "Parent Directory" Open
hw_find_widget "table cell" sounds Open
hw_click_widget "push button" Back Open
hw_find_widget "table cell" tone.wav Open
hw_click_widget "push button" Forward Open
hw_find_widget "table cell" sounds Open
hw_click_widget "push button" "Create New Folder" Open
hw_wait_until 10 "a new folder beside the sounds" bash -c 'compgen -G "$1/New*" >/dev/null' _ "$HW_TMP"
# The new folder's name is being edited: a click on another row ends that.
hw_click_widget "table cell" sounds Open
hw_double_click_widget "table cell" sounds Open
hw_find_widget "table cell" tone.wav Open

step "a file, then Cancel in Name the Event: nothing is added"
hw_double_click_widget "table cell" tone.wav Open
hw_wait_window_gone '^Open$'
window_open 'Name the Event'
hw_click_control "$OPENED" name.cancel
hw_wait_window_gone '^Name the Event$'
step "the file again, named and OK: it is added"
hw_click_control "$library" noises.add
window_open Open
hw_double_click_widget "table cell" tone.wav Open
window_open 'Name the Event'
hw_click_control "$OPENED" name.name
hw_type "Tone"
hw_click_control "$OPENED" name.ok
hw_wait_window_gone '^Name the Event$'
hw_find_widget "list item" $'Tone\t'"$sounds/tone.wav" 'Add or Delete Noises'

step "the library's OK, then the schedule's OK: the settings are saved"
hw_ok_library_then_schedule "$library" "$schedule"
hw_expect_library <<EOF_LIBRARY
noises 2
noise 1: name="Note" path="$note"
noise 2: name="Tone" path="$sounds/tone.wav"
EOF_LIBRARY

step "About: OK"
say_whut "About Hauntwatch"
window_open 'About qwendrik'
hw_click_widget "push button" OK 'About qwendrik'
hw_wait_window_gone '^About qwendrik$'

for title in 'What is this?' 'Any errors?'; do
  step "$title: the close box"
  say_whut "$title"
  window_open "$title"
  hw_click_close_box "$OPENED"
  hw_wait_window_gone "^$(sed 's/?/\\?/' <<<"$title")\$"
done

step "Mervo's Diary: Close, then the close box"
say_whut "Mervo's Diary"
window_open "Mervo's Diary"
hw_click_widget "push button" Close "Mervo's Diary"
hw_wait_window_gone "^Mervo's Diary\$"
say_whut "Mervo's Diary"
window_open "Mervo's Diary"
hw_click_close_box "$OPENED"
hw_wait_window_gone "^Mervo's Diary\$"

step "Play Through: OK"
say_whut "Play Through…"
window_open 'Play Through'
hw_click_widget "push button" OK 'Play Through'
hw_wait_window_gone '^Play Through$'

step "Remote Control: the close box"
say_whut "Remote Control…"
window_open 'Remote Control'
hw_click_close_box "$OPENED"
hw_wait_window_gone '^Remote Control$'

step "Quit, from the menu bar"
hw_find_widget "menu item" Quit
hw_widget_point
hw_hover_at "$PX" "$PY"
xdotool click 1
hw_wait_until 20 "the program to end" bash -c '! kill -0 "$1" 2>/dev/null' _ "$HW_PID"
