#!/usr/bin/env bash
# "Guard Again After a Restart" in "Say Whut?", chosen with the keyboard as
# a person would: the autostart entry and the user unit appear; the unit
# passes the service manager's own check and the entry the desktop-entry
# validator.  The entry's command, run as the session runs it on a desktop
# without a user manager, falls back to this very program with --resume,
# which finds this program running and hands the resume over: Mervo goes
# back on duty from the record this run's start by hand had set aside.
# Chosen a second time, the item removes both files.
source "$(dirname "$0")/../../e2e/lib.sh"

# Alt+S opens the menu on its first item; the item comes after "What is
# this?", "About Hauntwatch" and "Any errors?" (the separator is passed over).
choose_item() { hw_key alt+s Down Down Down Return; }

hw_begin_session
entry="$XDG_CONFIG_HOME/autostart/hauntwatch.desktop"
unit="$XDG_CONFIG_HOME/systemd/user/hauntwatch.service"
both_there() { [[ -f "$entry" && -f "$unit" ]]; }
both_gone() { [[ ! -e "$entry" && ! -e "$unit" ]]; }
diary_has() { grep -qP "$1" "$HAUNTWATCH_HOME/diary.log" 2>/dev/null; }
# When a guard went on duty, in the record's own form (local time with its offset).
since=$(date -d '2026-12-06 20:00' +%Y-%m-%dT%H:%M:%S%:z)
mkdir -p "$HAUNTWATCH_HOME"
: >"$HAUNTWATCH_HOME/noises.hwt"
# Left by a guard that was on duty when the machine went off.
printf '%s\n' "$since" >"$HAUNTWATCH_HOME/on-duty"
hw_start_program
hw_find_main_window
[[ ! -e "$HAUNTWATCH_HOME/on-duty" ]] || hw_fail "a start by hand kept the duty record"

step "choose Guard Again After a Restart"
choose_item
hw_wait_until 10 "the autostart entry and the unit" both_there
cp "$entry" "$unit" "$HW_ARTIFACT_DIR/"
desktop-file-validate "$entry" || hw_fail "the entry is not a valid desktop entry"
verdict=$(systemd-analyze --user verify "$unit" 2>&1) ||
  hw_fail "the unit does not verify: $verdict"
[[ -z "$verdict" ]] || hw_fail "the service manager has words for the unit: $verdict"
program=$(realpath "$HW_PROGRAM")
grep -qxF "ExecStart=\"$program\" --resume" "$unit" || hw_fail "the unit does not run $program --resume"

step "run the entry's command where no user manager answers"
mkdir -p "$HW_TMP/no-manager"
cat >"$HW_TMP/no-manager/systemctl" <<STUB
#!/bin/sh
echo "\$*" >>"$HW_TMP/systemctl.log"
echo "Failed to connect to bus: No medium found" >&2
exit 1
STUB
chmod +x "$HW_TMP/no-manager/systemctl"
status=0
# GLib's launcher reads the Exec key as a session's autostart does.
PATH="$HW_TMP/no-manager:$PATH" timeout 30 gio launch "$entry" >"$HW_TMP/autostart.out" 2>&1 || status=$?
((status == 0)) || hw_fail "the entry could not be launched (status $status): $(cat "$HW_TMP/autostart.out")"
hw_wait_until 30 "the diary to say the guard resumed" diary_has "\\tguard resumed\\t\\Q$since\\E\$"
hw_wait_until 10 "the duty record" test -f "$HAUNTWATCH_HOME/on-duty"
grep -qx -- "--user import-environment DISPLAY XAUTHORITY WAYLAND_DISPLAY" "$HW_TMP/systemctl.log" ||
  hw_fail "the display was not offered to the user manager: $(cat "$HW_TMP/systemctl.log")"
grep -qx -- "--user start hauntwatch.service" "$HW_TMP/systemctl.log" || hw_fail "the unit was not asked for"
hw_program_running || hw_fail "the program ended"

step "choose it again"
choose_item
hw_wait_until 10 "the autostart entry and the unit to go" both_gone
hw_program_running || hw_fail "the program ended"
