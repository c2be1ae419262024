#!/usr/bin/env bash
# The guard as a person runs it: a click on the cupcake puts Mervo on duty
# (the status bar changes), the real timer and the real starter open the
# one-minute row's file about a minute later, and a click on the mansion
# sends him off: the status bar reads as before and nothing more is started
# for the next interval.
: "${HW_WATCHDOG:=200}"
source "$(dirname "$0")/lib.sh"

hw_begin_session
hw_stand_in_xdg_open
note="$HW_TMP/files/note.txt"
mkdir -p "$(dirname "$note")"
echo "Back at ten." >"$note"
# Equal quiet hours: no quiet window, whatever the time of day the test runs.
hw_write_settings <<EOF_SETTINGS
noise 1: name="Note" path="$note"
slot 1: name="Note" path="$note" every=1 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS
hw_start_program
hw_find_main_window
hw_find_view
hw_capture_below_picture "$HW_TMP/status-greeting.rgb"

step "hand Mervo the cupcake"
hw_click_view 325 250
started_at=$SECONDS
hw_capture_below_picture "$HW_TMP/status-on-duty.rgb"
hw_screenshot on-duty
! cmp -s "$HW_TMP/status-greeting.rgb" "$HW_TMP/status-on-duty.rgb" ||
  hw_fail "the status bar did not change: Mervo did not go on duty"
(($(hw_line_count "$HW_STARTED_LOG") == 0)) || hw_fail "a file was started at once, not a minute later"

step "the one-minute row starts the note a minute later"
hw_wait_until 100 "the note to be started" hw_has_lines "$HW_STARTED_LOG" 1
first_at=$SECONDS
hw_note "started $((first_at - started_at)) s after the click"
# Exact means the interval itself; the due time is counted in whole seconds.
((first_at - started_at >= 58)) || hw_fail "the note was started after $((first_at - started_at)) s, before its minute"
[[ "$(cat "$HW_STARTED_LOG")" == "$note" ]] || hw_fail "xdg-open was asked for: $(cat "$HW_STARTED_LOG")"

step "click the mansion"
hw_sync
hw_click_view 90 75
hw_capture_below_picture "$HW_TMP/status-off.rgb"
hw_screenshot off-duty
cmp -s "$HW_TMP/status-greeting.rgb" "$HW_TMP/status-off.rgb" ||
  hw_fail "the status bar does not read as before the cupcake"

step "nothing more is started until past the next due time"
# Waiting for something not to happen: one interval after the first start,
# plus a margin for the whole-second due time.
sleep $((first_at + 63 - SECONDS))
hw_sync
(($(hw_line_count "$HW_STARTED_LOG") == 1)) ||
  hw_fail "the guard went on after the mansion click: $(tr '\n' ' ' <"$HW_STARTED_LOG")"
