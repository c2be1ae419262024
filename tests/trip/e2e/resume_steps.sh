# The case of resume_after_sigkill.sh and resume_after_sigterm.sh, which set
# TRIP_SIGNAL and source this file.
#
# Mervo on duty, the program ended by the system (SIGKILL, or SIGTERM as a
# shutdown sends it), started again with --resume as the autostart entry
# does: he is back on duty, and the one-minute row starts its file a minute
# after the restart, not at once.  After a click on the mansion and another
# such end and restart, he stays off duty and nothing is started.
: "${HW_WATCHDOG:=240}"
source "$(dirname "${BASH_SOURCE[0]}")/../../e2e/lib.sh"

on_duty() { [[ -f "$HAUNTWATCH_HOME/on-duty" ]]; }
off_duty() { ! on_duty; }
diary_has() { grep -qP "$1" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null; }
diary_count() { grep -cP "$1" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null || true; }
program_gone() { ! hw_program_running; }
# The time of the last diary line matching $1, in seconds since the epoch.
diary_time() { date -d "$(grep -P "$1" "$HAUNTWATCH_HOME/diary.log" | tail -n 1 | cut -f 1)" +%s; }

# As the system ends it, not the person; the diary and the record are kept
# as evidence of a failure.
end_program() {
  step "end the program with SIG$TRIP_SIGNAL"
  kill -"$TRIP_SIGNAL" "$HW_PID"
  hw_wait_until 20 "the program to end" program_gone
  cp "$HAUNTWATCH_HOME/diary.log" "$HW_ARTIFACT_DIR/" 2>/dev/null || true
}

start_and_find() {
  hw_start_program "$@"
  hw_find_main_window
  hw_find_view
}

hw_begin_session
hw_stand_in_xdg_open
note="$HW_TMP/files/back at ten.txt"
mkdir -p "$(dirname "$note")"
echo "Back at ten." >"$note"
# Equal quiet hours: no quiet window, whatever the time of day the case runs.
hw_write_settings <<EOF_SETTINGS
noise 1: name="Note" path="$note"
slot 1: name="Note" path="$note" every=1 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS

start_and_find
step "hand Mervo the cupcake"
hw_click_view 325 250
hw_wait_until 10 "the duty record" on_duty
diary_has '\tguard on$' || hw_fail "the diary does not say the guard went on"

end_program
on_duty || hw_fail "the duty record went with SIG$TRIP_SIGNAL"
! diary_has '\tguard off$' || hw_fail "the diary says the guard went off"

start_and_find --resume
step "Mervo is back on duty"
hw_wait_until 20 "the diary to say the guard resumed" diary_has '\tguard resumed\t'
on_duty || hw_fail "no duty record while resumed"
(($(hw_line_count "$HW_STARTED_LOG") == 0)) || hw_fail "something was started at once: $(cat "$HW_STARTED_LOG")"
hw_screenshot resumed

step "the one-minute row starts its file a minute after the restart"
hw_wait_until 100 "the note to be started" hw_has_lines "$HW_STARTED_LOG" 1
[[ "$(cat "$HW_STARTED_LOG")" == "$note" ]] || hw_fail "xdg-open was asked for: $(cat "$HW_STARTED_LOG")"
hw_wait_until 10 "the diary to note the start" diary_has "\\tstarted\\t\\Q$note\\E\\tNote\\t"
# Timed by the program's own diary, not by when this script saw the window:
# on a busy machine that comes seconds after the resume.
after=$(($(diary_time '\tstarted\t') - $(diary_time '\tguard resumed\t')))
hw_note "started ${after} s after the restart"
((after >= 59)) || hw_fail "started after ${after} s, before its minute"

step "click the mansion"
hw_click_view 90 75
hw_wait_until 10 "the duty record to go" off_duty
hw_wait_until 10 "the diary to say the guard went off" diary_has '\tguard off$'

end_program
start_and_find --resume
restarted_at=$SECONDS
step "nothing is started after the restart"
# The start-up is over once a menu command is answered.
hw_capture_problem_report "$HW_TMP/report.rgb" report-after-restart
(($(diary_count '\tguard resumed\t') == 1)) || hw_fail "the guard resumed without a duty record"
off_duty || hw_fail "a duty record appeared"
# Waiting for something not to happen: past the minute a resumed row would
# have taken, with a margin for its whole-second due time.
sleep $((restarted_at + 65 - SECONDS))
hw_sync
(($(hw_line_count "$HW_STARTED_LOG") == 1)) || hw_fail "a file was started after the restart: $(tr '\n' ' ' <"$HW_STARTED_LOG")"
(($(diary_count '\tguard resumed\t') == 1)) || hw_fail "the guard resumed without a duty record"
