#pragma once
// The scheduler pass that plays what is due, gives unscheduled slots new due
// times, keeps the wake-up out of the quiet window and re-arms the guard timer
// on the window that owns it.
#include "Timer.h"

// 1 while the guard is on.
extern int guardOn;

inline constexpr UINT_PTR guardTimerId = 1;

// Guard start, between the caller setting guardOn and the first pass: empties
// the ProblemLog and marks every slot unscheduled.
void PrepareGuardStart();

// One pass at the current time; on return the owner's guard timer is armed.
void RunGuardPass(platform::TimerWindow& owner);

// Kills the guard timer; nothing else changes.
void StopGuard(platform::TimerWindow& owner);
