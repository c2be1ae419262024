#!/usr/bin/env bash
# resume_after_signal.sh KILL|TERM
# Mervo on duty, the program ended by the system (SIGKILL, or SIGTERM as a
# shutdown sends it), started again with --resume as the autostart entry
# does: he is back on duty, and the one-minute row starts its file a minute
# after the restart, not at once.  After a click on the mansion and another
# such end and restart, he stays off duty and nothing is started.
: "${HW_WATCHDOG:=240}"
source "$(dirname "$0")/session.sh"
signal=${1:?KILL or TERM}

report_shown() { xdotool search --onlyvisible --name '^Any errors\?$' >/dev/null 2>&1; }
report_closed() { ! report_shown; }
report_focused() { [[ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" == "Any errors?" ]]; }

begin_session
note_file="$TMP/files/back at ten.txt"
mkdir -p "$(dirname "$note_file")"
echo "Back at ten." >"$note_file"
settings_with_one_minute_note "$note_file"

start_program
step "hand Mervo the cupcake"
click_cupcake
wait_until 10 "the duty record" on_duty
diary_has '\tguard on$' || fail "the diary does not say the guard went on"

end_program "$signal"
on_duty || fail "the duty record went with SIG$signal"
! diary_has '\tguard off$' || fail "the diary says the guard went off"

start_program --resume
resumed_at=$SECONDS
step "Mervo is back on duty"
wait_until 20 "the diary to say the guard resumed" diary_has '\tguard resumed\t'
on_duty || fail "no duty record while resumed"
(($(started_count) == 0)) || fail "something was started at once: $(cat "$STARTED_LOG")"

step "the one-minute row starts its file a minute after the restart"
wait_until 100 "the note to be started" has_started 1
after=$((SECONDS - resumed_at))
note "started ${after} s after the restart"
((after >= 58)) || fail "started after ${after} s, before its minute"
[[ "$(cat "$STARTED_LOG")" == "$note_file" ]] || fail "xdg-open was asked for: $(cat "$STARTED_LOG")"
wait_until 10 "the diary to note the start" diary_has "\\tstarted\\t\\Q$note_file\\E\$"

step "click the mansion"
click_mansion
wait_until 10 "the duty record to go" off_duty
wait_until 10 "the diary to say the guard went off" diary_has '\tguard off$'

end_program "$signal"
start_program --resume
restarted_at=$SECONDS
step "nothing is started after the restart"
# The start-up is over once a menu command is answered: the problem report
# opens, and closes with Esc.
xdotool key ctrl+e
wait_until 20 "the problem report to open" report_shown
wait_until 10 "the problem report to take the keyboard" report_focused
xdotool key Escape
wait_until 10 "the problem report to close" report_closed
((($(diary_count '\tguard resumed\t')) == 1)) || fail "the guard resumed without a duty record"
off_duty || fail "a duty record appeared"
# Waiting for something not to happen: past the minute a resumed row would
# have taken, with a margin for its whole-second due time.
sleep $((restarted_at + 65 - SECONDS))
(($(started_count) == 1)) || fail "a file was started after the restart: $(tr '\n' ' ' <"$STARTED_LOG")"
((($(diary_count '\tguard resumed\t')) == 1)) || fail "the guard resumed without a duty record"
program_running || fail "the program ended"
