#!/usr/bin/env bash
# The main window, frame included, is 460 x 395 under a window manager.
source "$(dirname "$0")/lib.sh"

hw_begin_session
hw_write_settings <<<'quiet: from=23 to=7'
hw_start_program
hw_find_main_window

step "measure the main window with its frame"
hw_geometry "$HW_MAIN"
hw_frame_extents "$HW_MAIN"
outer_w=$((GW + FL + FR)) outer_h=$((GH + FT + FB))
hw_note "inside ${GW}x${GH}, frame left $FL right $FR top $FT bottom $FB, outside ${outer_w}x${outer_h}"
((FT > 0)) || hw_fail "the window manager drew no title bar"
hw_screenshot main-window
[[ "${outer_w}x${outer_h}" == 460x395 ]] || hw_fail "the window measures ${outer_w}x${outer_h} with its frame, not 460x395"
