#!/usr/bin/env bash
# Under GNOME on PipeWire (WirePlumber, pipewire-pulse): Mervo's thank-you
# reaches the sink; Hauntwatch's stream muted in the mixer during the next
# play gives an unheard line in the diary, where nothing else had written
# one; Say Whut? -> Play Through... offers to set Hauntwatch right, and after
# that the next play is heard again, although the mixer remembers the mute.
: "${HW_WATCHDOG:=240}"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gnome.sh"

hw_begin_gnome_session
hw_enable_accessibility
dog="$HAUNTWATCH_DATA_DIR/noises/dog-barking.wav"
hw_write_settings <<EOF_SETTINGS
noise 1: name="Dog" path="$dog"
slot 1: name="Dog" path="$dog" every=1 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS
hw_start_program
hw_gnome_wait_active Hauntwatch

step "Turn Me On: Mervo's thank-you is heard at the sink"
hw_gnome keys ctrl+t
hw_next_play_heard thanks.wav
hw_wait_until 10 "Mervo on duty" test -f "$HAUNTWATCH_HOME/on-duty"

step "mute Hauntwatch's stream in the mixer during the row's play: unheard"
hw_wait_new_stream dog-barking.wav
[[ -z "$(hw_diary_lines unheard)" ]] || hw_fail "the diary says unheard before anything was muted: $(hw_diary_lines unheard)"
pactl set-sink-input-mute "$HW_STREAM" 1
hw_wait_until 90 "an unheard line in the diary" hw_diary_has_more unheard 0
hw_note "$(hw_diary_lines unheard)"

step "Play Through... offers to set Hauntwatch right"
hw_gnome_menu alt+s "Play Through…"
hw_gnome_wait_active "Play Through"
hw_wait_until 10 "Set Hauntwatch Right to be offered" hw_widget_enabled "push button" "Set Hauntwatch Right"
hw_gnome_screenshot play-through-muted
hw_gnome keys alt+r
hw_wait_until 10 "Set Hauntwatch Right to be done" hw_widget_greyed "push button" "Set Hauntwatch Right"
hw_gnome_screenshot play-through-set-right
hw_gnome keys Escape
hw_wait_until 10 "Play Through to close" hw_not hw_gnome_window '$5 == "Play Through"'

step "the next play is heard at the sink"
hw_next_play_heard dog-barking.wav
