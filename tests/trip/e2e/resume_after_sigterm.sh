#!/usr/bin/env bash
# Mervo back on duty after SIGTERM and --resume; see resume_steps.sh.
TRIP_SIGNAL=TERM
source "$(dirname "$0")/resume_steps.sh"
