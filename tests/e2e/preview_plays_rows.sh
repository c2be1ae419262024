#!/usr/bin/env bash
# "Preview" plays every configured row at once, in row order and each its
# repeat count of times; rows on NOTHING play nothing.  The rows' files are
# not sounds, so the program starts them with xdg-open, whose stand-in notes
# each one; row 5's file is missing, which the problem report then shows.
source "$(dirname "$0")/lib.sh"

hw_begin_session
hw_stand_in_xdg_open
mkdir -p "$HW_TMP/files"
alpha="$HW_TMP/files/alpha.txt" bravo="$HW_TMP/files/bravo.txt"
echo a >"$alpha"
echo b >"$bravo"
hw_write_settings <<EOF_SETTINGS
noise 1: name="Alpha" path="$alpha"
noise 2: name="Bravo" path="$bravo"
noise 3: name="Gone" path="$HW_TMP/files/gone.txt"
slot 1: name="NOTHING" path="None"
slot 2: name="Bravo" path="$bravo" every=60 mode=exact repeat=2
slot 3: name="NOTHING" path="None"
slot 4: name="Alpha" path="$alpha" every=60 mode=exact repeat=1
slot 5: name="Gone" path="$HW_TMP/files/gone.txt" every=60 mode=exact repeat=1
quiet: from=23 to=7
EOF_SETTINGS
hw_start_program
hw_find_main_window

step "the problem report before Preview"
hw_capture_problem_report "$HW_TMP/report-before.rgb" report-before

step "open the schedule and press Preview"
hw_open_schedule
hw_click_control "$HW_SCHEDULE" schedule.preview

step "row 2's file is started twice, then row 4's once"
hw_wait_until 30 "three files to be started" hw_has_lines "$HW_STARTED_LOG" 3
hw_sync
printf '%s\n' "$bravo" "$bravo" "$alpha" >"$HW_TMP/expected-starts"
diff -u "$HW_TMP/expected-starts" "$HW_STARTED_LOG" >&2 || hw_fail "Preview started other files than the rows hold"
hw_window_shown '^So, What Do You Want the Vorn to do\?$' || hw_fail "the dialog closed after Preview"

step "close the schedule: the problem report has changed"
hw_key Escape
hw_wait_window_gone '^So, What Do You Want the Vorn to do\?$'
hw_capture_problem_report "$HW_TMP/report-after.rgb" report-after
! cmp -s "$HW_TMP/report-before.rgb" "$HW_TMP/report-after.rgb" ||
  hw_fail "the problem report looks as before, though row 5's file is missing"
(($(hw_line_count "$HW_STARTED_LOG") == 3)) || hw_fail "a missing file was handed to xdg-open"
