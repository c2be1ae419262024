#pragma once
// The scheduler pass that plays what is due, gives unscheduled slots new due
// times, keeps the wake-up out of the quiet window and re-arms the guard timer
// on the window that owns it.
#include "Timer.h"

// 1 while the guard is on.
extern int guardOn;

inline constexpr UINT_PTR guardTimerId = 1;

#include <optional>

#include "CTime.h"
#include "GuardSettings.h"

// The shortest wait between two passes.  Due times are whole seconds, and a
// noise every 0 minutes that fails at once would otherwise run passes back
// to back and keep a core busy.
inline constexpr UINT kShortestPassDelayMs = 1000;

// Guard start, between the caller setting guardOn and the first pass: empties
// the ProblemLog and marks every slot unscheduled.
void PrepareGuardStart();

// One pass at the current time.  True when the owner's guard timer is armed
// on return; false when the system would not set it, which the pass has
// written in the ProblemLog: nothing will play until the guard starts again.
bool RunGuardPass(platform::TimerWindow& owner);

// Kills the guard timer; nothing else changes.
void StopGuard(platform::TimerWindow& owner);

// Whether any row that plays at all plays a movie: its picture is only seen
// while the screen is on.
bool ScheduleShowsMovies(const NoiseSlot (&slots)[kSlotCount]);

// Tells the listener the guard went off (a person, the menu, quitting).
void ReportGuardStopped();

// The wake-up the last pass armed the timer for; none once stopped.
std::optional<CTime> ArmedWakeUp();

// Puts back a value ArmedWakeUp() gave: for a plan that runs passes on a
// timer window of its own and must leave the live guard's record as it was.
void RestoreArmedWakeUp(std::optional<CTime> wake);
