#!/usr/bin/env bash
# The harness's sound check, with the program's real sound output: the
# cupcake's thank-you sound reaches the default sink of a private PulseAudio
# server and no other.
HW_AO=pulse
source "$(dirname "$0")/lib.sh"

hw_begin_session
hw_start_pulse
hw_write_settings <<<'quiet: from=3 to=3'
hw_start_program
hw_find_main_window
hw_find_view

step "record both sinks"
hw_record_sink a "$HW_TMP/a.raw"
hw_record_sink b "$HW_TMP/b.raw"

step "hand Mervo the cupcake: he says thank you"
hw_click_view 325 250
hw_wait_until 15 "sound on sink a" hw_sound_in "$HW_TMP/a.raw"
hw_stop_recordings
hw_note "peak on a $(hw_peak "$HW_TMP/a.raw"), on b $(hw_peak "$HW_TMP/b.raw")"
[[ "$(hw_peak "$HW_TMP/b.raw")" == 0.0000 ]] || hw_fail "sound reached sink b, which is not the default"
