#!/usr/bin/env bash
# A login that restores the session and runs the autostart entry starts
# Hauntwatch twice, by hand and with --resume, a moment apart.  In either
# order Mervo ends on duty from the duty record the login found, once, and
# one program runs.
source "$(dirname "$0")/../../e2e/lib.sh"

diary_has() { grep -qP "$1" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null; }
resumed_lines() { grep -cP '\tguard resumed\t' "$HAUNTWATCH_HOME/diary.log" 2>/dev/null || true; }
first_has_taken() { compgen -G "$XDG_RUNTIME_DIR/hauntwatch-*.socket" >/dev/null; }
second_gone() { ! kill -0 "$second" 2>/dev/null; }

both_starts() {  # FIRST-ARGUMENTS -- SECOND-ARGUMENTS
  local first=() rest=()
  while [[ $1 != -- ]]; do first+=("$1"); shift; done
  shift
  rest=("$@")
  printf '%s\n' "$since" >"$HAUNTWATCH_HOME/on-duty"
  rm -f "$XDG_RUNTIME_DIR"/hauntwatch-*.socket
  hw_start_program "${first[@]}"
  # The first start has taken the home folder when its socket is there; the
  # second comes a moment later, as a restored session and the autostart
  # entry come, while the first is still on its way to its window.
  hw_wait_until 20 "the first start to take the home folder" first_has_taken
  sleep 0.3
  hw_spawn env "$HW_PROGRAM" "${rest[@]}" >"$HW_TMP/second.out" 2>&1
  second=$HW_LAST_PID
  hw_find_main_window
  hw_wait_until 30 "the second start to hand over and end" second_gone
  wait "$second" 2>/dev/null || true
  hw_wait_until 20 "the diary to say the guard resumed" diary_has "\\tguard resumed\\t\\Q$since\\E\$"
  hw_wait_until 10 "the duty record" test -f "$HAUNTWATCH_HOME/on-duty"
  (($(xdotool search --onlyvisible --name '^Hauntwatch$' | wc -l) == 1)) || hw_fail "more than one window"
}

quit() {
  # Nobody is left for a round trip after Quit.
  xdotool key alt+q
  hw_wait_until 20 "the program to end" bash -c '! kill -0 "$1" 2>/dev/null' _ "$HW_PID"
}

hw_begin_session
# When a guard went on duty, in the record's own form (local time with its offset).
since=$(date -d '2026-12-06 20:00' +%Y-%m-%dT%H:%M:%S%:z)
hw_write_settings <<EOF_SETTINGS
quiet: from=3 to=3
EOF_SETTINGS

step "a start by hand, then the autostart's --resume"
both_starts -- --resume
(($(resumed_lines) == 1)) || hw_fail "resumed $(resumed_lines) times"
quit
[[ ! -e "$HAUNTWATCH_HOME/on-duty" ]] || hw_fail "Quit left the duty record"

step "the autostart's --resume, then a start by hand"
both_starts --resume -- 
(($(resumed_lines) == 2)) || hw_fail "resumed $(($(resumed_lines) - 1)) times this round"
