#!/usr/bin/env bash
# On X11 a movie row plays in libmpv's own full-screen window, which names
# itself Hauntwatch's for the window manager and the task list: instance
# "hauntwatch" (libmpv keeps its class "mpv").  The program's own choice of
# video output: on Xvfb's software GL the GPU output declines, and the one
# that follows must not take the program's X connection down with it.
HW_VO=
source "$(dirname "$0")/lib.sh"

hw_begin_session
clip="$HW_LIB_DIR/../data/clip.avi"
# Every 0 minutes: the row plays as soon as Mervo is on duty.
hw_write_settings <<EOF_SETTINGS
noise 1: name="Ghost" path="$clip"
slot 1: name="Ghost" path="$clip" every=0 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS
hw_start_program
hw_find_main_window

step "Turn Me On: the movie's window names itself hauntwatch"
hw_key ctrl+t
movie_window() {  # it may close between the search and the look
  local id info
  id=$(xdotool search --onlyvisible --class '^mpv$' 2>/dev/null | head -n 1) && [[ -n "$id" ]] &&
    CLASS=$(xprop -id "$id" WM_CLASS 2>/dev/null) && info=$(xwininfo -id "$id" 2>/dev/null) || return 1
  SIZE=$(awk '/^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print w "x" h }' <<<"$info")
}
hw_wait_until 30 "a window of libmpv's" movie_window
hw_screenshot movie
[[ "$CLASS" == 'WM_CLASS(STRING) = "hauntwatch", "mpv"' ]] || hw_fail "the movie's window calls itself $CLASS"
[[ "$SIZE" == 1280x1024 ]] || hw_fail "the movie's window is $SIZE, not full screen"
