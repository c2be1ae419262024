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
    const bool sunRows = std::any_of(GuardRealism.extras.rows.begin(), GuardRealism.extras.rows.end(),
                                     [](const lifelike::RowExtras& row) { return row.hours.UsesSun(); });
    GuardRealism.placeProblem = sunRows ? found.problem : std::string();
}

std::string DateText(const lifelike::LocalDate& day)
{
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year, day.month, day.day);
    return date;
}

const lifelike::Hours& HoursOf(int row)
{
    static const lifelike::Hours none;
    return row >= 0 && row < lifelike::kExtrasRows ? GuardRealism.extras.rows[static_cast<size_t>(row)].hours : none;
}

// The days a sunless stretch holds a row back, told once each: one line for
// each run of days in a row, so that the weeks of a polar night are one line
// and never push the report's other lines out.
void TellSunless(int row, const std::vector<lifelike::LocalDate>& days)
{
    std::vector<lifelike::LocalDate> untold;
    for (const lifelike::LocalDate& day : days)
        if (GuardRealism.sunlessTold.insert({row, day}).second)
            untold.push_back(day);
    for (size_t first = 0; first < untold.size();) {
        size_t last = first;
        while (last + 1 < untold.size() && lifelike::AddDays(untold[last], 1) == untold[last + 1])
            ++last;
        const std::string span = last == first ? "on " + DateText(untold[first])
                                               : "from " + DateText(untold[first]) + " to " + DateText(untold[last]);
        ProblemLog.Append(CTime::GetCurrentTime().Format("At %H:%M") + " row " + CString(std::to_string(row + 1)) +
                          " keeps no hours " + CString(span) + ": the sun does not rise or set there then");
        first = last + 1;
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

std::vector<std::string> RealismProblems()
{
    std::vector<std::string> lines = GuardRealism.problems;
    if (!GuardRealism.placeProblem.empty())
        lines.push_back(GuardRealism.placeProblem);
    return lines;
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
    const CTime start = *next.at;
    if (slot.mode != kModeRandom || slot.intervalMinutes <= 0)
        return start;
    // Half the interval at most, and never past the hours' own end.
    std::uint64_t longest = static_cast<std::uint64_t>(slot.intervalMinutes) * 30;
    const lifelike::DayHours day =
        lifelike::HoursOn(HoursOf(row), GuardRealism.place.value_or(lifelike::Place{}), lifelike::DateOf(start));
    if (day.start && day.end && *day.start == start && start < *day.end)
        longest = std::min(longest, static_cast<std::uint64_t>((*day.end - start).GetTotalSeconds() - 1));
    return start + CTimeSpan(static_cast<std::int64_t>(GuardRealism.random.Below(longest + 1)));
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
