#!/usr/bin/env bash
# The file picker of "Add a Noise" by mouse alone, as a person without a
# keyboard habit uses it: the folder drop-down, a double click into a folder,
# Back, the two view buttons, a click on a row (the preview then names the
# file and offers Play), Play on a movie (its picture shows, the button reads
# Stop), Cancel, then a row and Open, and a double click on a file, each
# taking the file on to "Name the Event".
: "${HW_WATCHDOG:=150}"
source "$(dirname "$0")/lib.sh"

picker='Open'
shows() { hw_widget_found "$@"; }
gone() { ! hw_widget_found "$@"; }

# The preview draws through libmpv's own renderer, as it does for a person.
HW_VO=
hw_begin_session
hw_enable_accessibility
# A folder of the case's own: a movie, a sound and a folder with a sound.
sounds="$HW_TMP/sounds"
mkdir -p "$sounds/more"
cp "$HW_LIB_DIR/../data/clip.avi" "$HW_LIB_DIR/../data/tone.wav" "$sounds/"
cp "$HW_LIB_DIR/../data/tone.wav" "$sounds/more/knock.wav"
# The picker opens where a file was last picked from; that is the folder.
mkdir -p "$HAUNTWATCH_HOME"
printf '[File%%20Picker]\nLast%%20Folder=%s\n' "$sounds" >"$HAUNTWATCH_HOME/hauntwatch.conf"
hw_write_settings <<EOF_SETTINGS
quiet: from=3 to=3
EOF_SETTINGS
hw_start_program
hw_find_main_window

step "click What Should I Do?, then Edit Noises, then Add a Noise"
hw_click_widget "menu item" "What Should I Do?"
hw_find_window HW_SCHEDULE '^So, What Do You Want the Vorn to do\?$'
hw_click_control "$HW_SCHEDULE" schedule.edit-noises
hw_find_window library '^Add or Delete Noises$'
hw_click_control "$library" noises.add
hw_find_window dialog '^Open$'
hw_find_widget "table cell" clip.avi "$picker"

step "double click the folder: it opens"
hw_double_click_widget "table cell" more "$picker"
hw_find_widget "table cell" knock.wav "$picker"
step "click Back: the folder before"
hw_click_widget "push button" Back "$picker"
hw_find_widget "table cell" clip.avi "$picker"

step "the folder drop-down: choose the parent folder"
hw_click_widget "combo box" "$sounds" "$picker"
hw_click_widget "list item" "$HW_TMP" "$picker"
hw_find_widget "table cell" sounds "$picker"
hw_double_click_widget "table cell" sounds "$picker"
hw_find_widget "table cell" clip.avi "$picker"

step "List View, then Detail View"
# Qt tells a screen reader the rows of its list view only in part: the
# views are told apart by which of the two shows.
hw_click_widget "push button" "List View" "$picker"
hw_find_widget list Files "$picker"
hw_wait_until 10 "the detail view to go" gone tree Files "$picker"
hw_click_widget "push button" "Detail View" "$picker"
hw_find_widget tree Files "$picker"
hw_find_widget "table cell" clip.avi "$picker"

step "click the movie's row: the preview names it and offers Play"
hw_click_widget "table cell" clip.avi "$picker"
hw_find_widget label clip.avi "$picker"
hw_find_widget "push button" Play "$picker"
hw_screenshot_with_pointer picker-row-clicked

step "click Play: the movie's picture shows and the button reads Stop"
hw_click_widget "push button" Play "$picker"
hw_find_widget "push button" Stop "$picker"
# With a picture in it, the box is an image to a screen reader.
picture_lit() {
  hw_widget_found image "Movie picture" "$picker" || return 1
  hw_capture "$HW_TMP/picture.rgb" "$WX" "$WY" "$WW" "$WH"
  python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); sys.exit(0 if sum(b > 64 for b in d) > len(d) // 10 else 1)' \
    "$HW_TMP/picture.rgb"
}
hw_wait_until 20 "the movie's picture in the preview" picture_lit
hw_screenshot_with_pointer picker-preview-playing
hw_wait_until 20 "the movie to end and Play to come back" shows "push button" Play "$picker"

step "click Cancel: the picker closes and nothing is added"
hw_click_widget "push button" Cancel "$picker"
hw_wait_window_gone '^Open$'

step "Add a Noise again: a row and Open"
hw_click_control "$library" noises.add
hw_find_window dialog '^Open$'
hw_click_widget "table cell" tone.wav "$picker"
hw_click_widget "push button" Open "$picker"
hw_wait_window_gone '^Open$'
hw_find_window naming '^Name the Event$'
hw_click_control "$naming" name.name
hw_type "Knock"
hw_click_control "$naming" name.ok
hw_wait_window_gone '^Name the Event$'

step "Add a Noise again: a double click on the movie"
hw_click_control "$library" noises.add
hw_find_window dialog '^Open$'
hw_double_click_widget "table cell" clip.avi "$picker"
hw_wait_window_gone '^Open$'
hw_find_window naming '^Name the Event$'
hw_click_control "$naming" name.name
hw_type "Ghost"
hw_click_control "$naming" name.ok
hw_wait_window_gone '^Name the Event$'
hw_screenshot_with_pointer library-after-picking

step "click OK twice: the library holds the two picks"
hw_ok_library_then_schedule "$library" "$HW_SCHEDULE"
hw_expect_library <<EOF_LIBRARY
noises 2
noise 1: name="Knock" path="$sounds/tone.wav"
noise 2: name="Ghost" path="$sounds/clip.avi"
EOF_LIBRARY
