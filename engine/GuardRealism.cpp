#include "GuardRealism.h"

#include <algorithm>
#include <cstdio>

#include "HomeFolder.h"
#include "ProblemLog.h"
#include "RowHours.h"
#include "Variation.h"
#include "ZonePlace.h"

GuardRealismRecord GuardRealism;

namespace {

void FindPlace()
{
    const lifelike::SunPlace found =
        lifelike::PlaceForSunTimes(GuardRealism.extras.place, lifelike::ZoneSources::OfThisProcess());
    GuardRealism.place = found.place;
    if (!found.problem.empty()) {
        const bool sunRows = std::any_of(GuardRealism.extras.rows.begin(), GuardRealism.extras.rows.end(),
                                         [](const lifelike::RowExtras& row) { return row.hours.UsesSun(); });
        if (sunRows)
            GuardRealism.problems.push_back(found.problem);
    }
}

const lifelike::Hours& HoursOf(int row)
{
    static const lifelike::Hours none;
    return row >= 0 && row < lifelike::kExtrasRows ? GuardRealism.extras.rows[static_cast<size_t>(row)].hours : none;
}

// One line a day for each row that a sunless day holds back.
void TellSunless(int row, const std::vector<lifelike::LocalDate>& days)
{
    for (const lifelike::LocalDate& day : days) {
        if (!GuardRealism.sunlessTold.insert({row, day}).second)
            continue;
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year, day.month, day.day);
        ProblemLog.Append(CTime::GetCurrentTime().Format("At %H:%M") + " row " + CString(std::to_string(row + 1)) +
                          " keeps no hours on " + date + ": the sun does not rise or set there that day");
    }
}

}  // namespace

std::string ExtrasPath()
{
    return platform::HomeFolder() + "/" + lifelike::kExtrasFileName;
}

void LoadGuardRealism()
{
    lifelike::ExtrasReading reading = lifelike::ReadExtras(ExtrasPath());
    GuardRealism.extras = std::move(reading.extras);
    GuardRealism.problems = std::move(reading.problems);
    GuardRealism.sunlessTold.clear();
    FindPlace();
}

void SetScheduleExtras(const lifelike::ScheduleExtras& extras)
{
    GuardRealism.extras = extras;
    GuardRealism.problems.clear();
    GuardRealism.sunlessTold.clear();
    FindPlace();
}

bool OutsideHours(int row, CTime moment)
{
    const lifelike::Hours& hours = HoursOf(row);
    return lifelike::HoursApply(hours, GuardRealism.place) && !lifelike::InsideHours(hours, GuardRealism.place, moment);
}

bool AnyRowKeepsHours()
{
    return std::any_of(GuardRealism.extras.rows.begin(), GuardRealism.extras.rows.end(),
                       [](const lifelike::RowExtras& row) { return lifelike::HoursApply(row.hours, GuardRealism.place); });
}

CTime KeepToHours(int row, const NoiseSlot& slot, CTime due)
{
    if (!OutsideHours(row, due))
        return due;
    const lifelike::NextStart next = lifelike::NextStartOfHours(HoursOf(row), GuardRealism.place, due);
    TellSunless(row, next.sunlessDays);
    // Hours that never come within a year: looked at again a day later.
    if (!next.at)
        return due + CTimeSpan(86400);
    CTime start = *next.at;
    if (slot.mode == kModeRandom && slot.intervalMinutes > 0)
        start = start + CTimeSpan(static_cast<std::int64_t>(
                            GuardRealism.random.Below(static_cast<std::uint64_t>(slot.intervalMinutes) * 30 + 1)));
    return start;
}

ShapedPlay ShapePlay(const CString& path, int row)
{
    ShapedPlay play{path, {}, {}};
    if (lifelike::IsFolder(path.str())) {
        const lifelike::TakePick pick = GuardRealism.takes.Pick(path.str(), GuardRealism.random);
        play.path = CString(pick.take);
        play.failure = pick.failure;
        if (!pick.failure.empty())
            return play;
    }
    if (row < 0 || row >= lifelike::kExtrasRows || !lifelike::PlaysAsMedia(play.path.str()))
        return play;
    const lifelike::RowExtras& extras = GuardRealism.extras.rows[static_cast<size_t>(row)];
    if (extras.level)
        play.shape.gainDb = lifelike::DrawGainDb(*extras.level, GuardRealism.random);
    if (extras.excerptSeconds) {
        play.shape.excerptSeconds = extras.excerptSeconds;
        play.shape.excerptDraw = GuardRealism.random.Next();
    }
    return play;
}

bool ShowsMovie(const CString& path)
{
    if (!lifelike::IsFolder(path.str()))
        return path.Right(3) == "avi";
    const std::vector<std::string> takes = lifelike::TakesIn(path.str());
    return std::any_of(takes.begin(), takes.end(), [](const std::string& take) { return take.ends_with("avi"); });
}

std::string ExcerptText(const std::optional<platform::PlayedPart>& part)
{
    if (!part)
        return {};
    return lifelike::ExcerptText(lifelike::Excerpt{false, part->start, part->length});
}
