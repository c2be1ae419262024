#!/usr/bin/env bash
# Under GNOME Shell on Wayland: the main window is a native Wayland window
# the shell knows as hauntwatch, and the shell's own screenshot shows the
# picture; with a movie row on duty the session holds off suspend and idle,
# the movie plays full screen as hauntwatch and closes when it ends, and the
# mansion lets the screen blank again.
: "${HW_WATCHDOG:=150}"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/gnome.sh"

hw_begin_gnome_session
clip="$HW_LIB_DIR/../data/clip.avi"
hw_write_settings <<EOF_SETTINGS
noise 1: name="Ghost" path="$clip"
slot 1: name="Ghost" path="$clip" every=1 mode=exact repeat=1
quiet: from=3 to=3
EOF_SETTINGS
hw_start_program

step "the main window maps as hauntwatch"
hw_wait_until 30 "a window titled Hauntwatch" hw_gnome_window '$5 == "Hauntwatch" && $2 > 0'
[[ "${WINDOW%%$'\t'*}" == hauntwatch ]] || hw_fail "the main window's wm-class is not hauntwatch: $WINDOW"
hw_gnome_find_view
hw_gnome_screenshot main-window

step "nothing holds the session before the cupcake"
hw_not_inhibited 4 && hw_not_inhibited 8 || hw_fail "gnome-session does not answer IsInhibited false before Mervo is on duty"

step "hand Mervo the cupcake: suspend and idle are inhibited"
hw_gnome_click_view 325 250
hw_wait_until 10 "Mervo on duty" test -f "$HAUNTWATCH_HOME/on-duty"
hw_wait_until 10 "IsInhibited(4), suspend" hw_inhibited 4
hw_wait_until 10 "IsInhibited(8), idle" hw_inhibited 8

step "the movie row plays full screen as hauntwatch"
hw_wait_until 90 "a full-screen window" hw_gnome_window "$(hw_full_screen)"
[[ "$WINDOW" == hauntwatch$'\t'*$'\t'Hauntwatch ]] || hw_fail "the movie's window is not Hauntwatch's: $WINDOW"
hw_gnome_screenshot movie

step "the movie's window closes when it ends"
hw_wait_until 30 "the full-screen window to close" hw_not hw_gnome_window "$(hw_full_screen)"

step "click the mansion: nothing holds the session"
hw_gnome_click_view 90 75
hw_wait_until 20 "Mervo off duty" hw_not test -f "$HAUNTWATCH_HOME/on-duty"
hw_wait_until 10 "IsInhibited(4) false" hw_not_inhibited 4
hw_wait_until 10 "IsInhibited(8) false" hw_not_inhibited 8
