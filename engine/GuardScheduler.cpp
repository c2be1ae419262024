#include "GuardScheduler.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "CTime.h"
#include "GuardEvents.h"
#include "GuardRealism.h"
#include "GuardSettings.h"
#include "NoisePlayer.h"
#include "ProblemLog.h"
#include "Random.h"

int guardOn = 0;

namespace {

std::optional<CTime> armedWakeUp;

constexpr std::int64_t kSecondsPerDay = 86400;

// A row never stored by the schedule dialog has an empty name; taking it as
// active would arm a 0 ms timer that spins without end on a fresh install.
bool IsActive(const NoiseSlot& slot)
{
    return !(slot.noiseName == kNothing) && !slot.noiseName.IsEmpty();
}

bool IsDue(const NoiseSlot& slot, CTime now)
{
    return IsActive(slot) && !(slot.nextDue == unscheduledMark) && !(now < slot.nextDue);
}

// A folder's takes are all sounds or movies.
bool PlaysSoundOrMovie(const CString& path)
{
    return path.Right(3) == "wav" || path.Right(3) == "avi" || lifelike::IsFolder(path.str());
}

// A row due outside its hours (held by the quiet window, a suspend, a clock
// step) does not play: it waits for the next start of them.
CTime HoldRowsOutsideTheirHours(CTime now, CTime wake)
{
    for (int s = 0; s < kSlotCount; ++s) {
        NoiseSlot& slot = GuardSettings.slots[s];
        if (!IsDue(slot, now) || !OutsideHours(s, now))
            continue;
        slot.nextDue = KeepToHours(s, slot, now);
        wake = std::min(wake, slot.nextDue);
    }
    return wake;
}

// True when slots were due and played.
bool PlayDueSlots(CTime now)
{
    bool anyDue = false;
    bool soundOrMovie = false;
    for (const NoiseSlot& slot : GuardSettings.slots)
        if (IsDue(slot, now)) {
            anyDue = true;
            soundOrMovie = soundOrMovie || (slot.repeatCount > 0 && PlaysSoundOrMovie(slot.filePath));
        }
    if (!anyDue)
        return false;
    InstalledGuardEvents().PassWillPlay(now, soundOrMovie);
    const GuardPlays guardPlays;
    for (int s = 0; s < kSlotCount; ++s) {
        NoiseSlot& slot = GuardSettings.slots[s];
        if (!IsDue(slot, now))
            continue;
        PlayNoise(slot.filePath, slot.repeatCount, s, slot.noiseName);
        slot.nextDue = unscheduledMark;
    }
    return true;
}

// Between about -1/2 and +1/2 of the interval, truncated toward zero.
std::int64_t RandomOffsetMinutes(std::int32_t intervalMinutes)
{
    const int r = win::rand();
    return static_cast<std::int64_t>((static_cast<double>(r - 16383) / 32767.0) * intervalMinutes);
}

// Only the slots given a due time here may pull the wake-up earlier.
CTime RescheduleSlots(CTime now, CTime wake)
{
    for (int s = 0; s < kSlotCount; ++s) {
        NoiseSlot& slot = GuardSettings.slots[s];
        if (!IsActive(slot) || !(slot.nextDue == unscheduledMark))
            continue;
        const std::int64_t offset = slot.mode == kModeRandom ? RandomOffsetMinutes(slot.intervalMinutes) : 0;
        slot.nextDue = KeepToHours(s, slot, now + CTimeSpan((slot.intervalMinutes + offset) * 60));
        wake = std::min(wake, slot.nextDue);
    }
    return wake;
}

// Without hours only the rows scheduled in a pass choose its wake-up; a row
// held to its hours may be due a day ahead, so every row's due time counts.
CTime EarliestKeptDue(CTime wake)
{
    for (const NoiseSlot& slot : GuardSettings.slots)
        if (IsActive(slot) && !(slot.nextDue == unscheduledMark))
            wake = std::min(wake, slot.nextDue);
    return wake;
}

CTime AtHour(CTime day, int dayOffset, int hour)
{
    return CTime(day.GetYear(), day.GetMonth(), day.GetDay() + dayOffset, hour, 0, 0, -1);
}

void LogQuietHold(CTime wake, CTime now)
{
    ProblemLog.Append("\r\n" + wake.Format("Quiet until %m/%d/%Y %H:%M") + " from "
                      + now.Format("  %m/%d/%Y %H:%M"));
}

// The end of the quiet window `at` lies in; none outside it.
std::optional<CTime> QuietWindowEnd(CTime at)
{
    const int from = GuardSettings.quietWindow.quietFromHour;
    const int to = GuardSettings.quietWindow.quietToHour;
    const int hour = at.GetHour();
    if (to >= from)
        return from <= hour && hour < to ? std::optional(AtHour(at, 0, to)) : std::nullopt;
    if (hour >= from)
        return AtHour(at, 1, to);
    if (hour < to)
        return AtHour(at, 0, to);
    return std::nullopt;
}

// `armedAt` stamps the event: the wake-up is armed after the pass's plays,
// so a record of the hold comes after theirs.
CTime MoveOutOfQuietWindow(CTime wake, CTime now, CTime armedAt)
{
    const std::optional<CTime> end = QuietWindowEnd(wake);
    if (!end)
        return wake;
    if (GuardSettings.quietWindow.quietToHour < GuardSettings.quietWindow.quietFromHour)
        LogQuietHold(*end, now);
    InstalledGuardEvents().QuietHold(*end, armedAt);
    return *end;
}

bool AnyDue(CTime now)
{
    return std::any_of(std::begin(GuardSettings.slots), std::end(GuardSettings.slots),
                       [now](const NoiseSlot& slot) { return IsDue(slot, now); });
}

// A hand-edited file can hold a negative interval (a wake-up before the pass)
// or a far quiet hour; neither may wrap into a bogus delay.
UINT DelayMilliseconds(CTime wake, CTime now)
{
    const std::int64_t ms = (wake - now).GetTotalSeconds() * 1000;
    return static_cast<UINT>(std::clamp<std::int64_t>(ms, kShortestPassDelayMs, std::numeric_limits<UINT>::max()));
}

}  // namespace

void PrepareGuardStart()
{
    ProblemLog.Empty();
    const CTime now = CTime::GetCurrentTime();
    // Each start draws its takes, levels and excerpts anew from the moment
    // it starts, so that a plan of a start at that moment foresees them.
    GuardRealism.random = lifelike::RealismRandom(static_cast<std::uint64_t>(now.GetTime()));
    GuardRealism.takes = lifelike::TakeMemory();
    // What the row extras file could not say stands at every start.
    for (const std::string& problem : RealismProblems())
        ProblemLog.Append(CString(problem));
    for (NoiseSlot& slot : GuardSettings.slots)
        slot.nextDue = unscheduledMark;
    InstalledGuardEvents().GuardStarted(now, TakeGuardStartOrigin());
}

bool RunGuardPass(platform::TimerWindow& owner)
{
    const CTime now = CTime::GetCurrentTime();
    CTime wake = now + CTimeSpan(kSecondsPerDay);
    // Wakes never fall in the quiet window, except late, after a suspend or a
    // clock step into it: what is overdue then waits for the window's end.
    const bool heldQuiet = QuietWindowEnd(now) && AnyDue(now);
    if (!heldQuiet)
        wake = HoldRowsOutsideTheirHours(now, wake);
    const bool played = !heldQuiet && PlayDueSlots(now);
    // The timer counts its delay from being set, after the plays: that, not
    // the pass's start, is when it will wake.
    const CTime armedAt = played ? CTime::GetCurrentTime() : now;
    wake = RescheduleSlots(now, wake);
    if (AnyRowKeepsHours())
        wake = EarliestKeptDue(wake);
    if (heldQuiet)
        wake = now;
    wake = MoveOutOfQuietWindow(wake, now, armedAt);
    const UINT delay = DelayMilliseconds(wake, now);
    if (win::SetTimer(&owner, guardTimerId, delay, nullptr) == 0) {
        // The old timer could not fail this way; here a guard that says it is
        // on duty while nothing will ever wake it protects nothing.
        armedWakeUp.reset();
        const CTime failedAt = CTime::GetCurrentTime();
        ProblemLog.Append(failedAt.Format("At %H:%M") + " couldn't set the guard's timer: nothing plays until the guard is started again");
        InstalledGuardEvents().TimerFailed(failedAt);
        return false;
    }
    armedWakeUp = armedAt + CTimeSpan(delay / 1000);
    InstalledGuardEvents().WakeUpArmed(*armedWakeUp);
    return true;
}

void StopGuard(platform::TimerWindow& owner)
{
    win::KillTimer(&owner, guardTimerId);
    armedWakeUp.reset();
}

bool ScheduleShowsMovies(const NoiseSlot (&slots)[kSlotCount])
{
    return std::any_of(std::begin(slots), std::end(slots), [](const NoiseSlot& slot) {
        return IsActive(slot) && slot.repeatCount > 0 && ShowsMovie(slot.filePath);
    });
}

void ReportGuardStopped()
{
    InstalledGuardEvents().GuardStopped(CTime::GetCurrentTime());
}

std::optional<CTime> ArmedWakeUp()
{
    return armedWakeUp;
}

void RestoreArmedWakeUp(std::optional<CTime> wake)
{
    armedWakeUp = wake;
}
