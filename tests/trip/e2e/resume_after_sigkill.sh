#!/usr/bin/env bash
# Mervo back on duty after SIGKILL and --resume; see resume_steps.sh.
TRIP_SIGNAL=KILL
source "$(dirname "$0")/resume_steps.sh"
