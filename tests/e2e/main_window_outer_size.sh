#!/usr/bin/env bash
# The main window, frame included, is 460 x 395 under a window manager.
source "$(dirname "$0")/lib.sh"

hw_begin_session
hw_write_settings <<<'quiet: from=23 to=7'
hw_start_program
hw_find_main_window

step "measure the main window with its frame"
hw_outer_geometry "$HW_MAIN"
hw_note "inside ${GW}x${GH}, frame left $FL right $FR top $FT bottom $FB, outside ${OW}x${OH}"
((FT > 0)) || hw_fail "the window manager drew no title bar"
hw_screenshot main-window
[[ "${OW}x${OH}" == 460x395 ]] || hw_fail "the window measures ${OW}x${OH} with its frame, not 460x395"
