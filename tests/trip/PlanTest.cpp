// The plan is what happens: the guard's own passes on a simulated clock give
// the very plays the guard then makes, and working it out leaves a running
// guard exactly as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <tuple>

#include "AwaySpan.h"
#include "DiaryFormat.h"
#include "EngineState.h"
#include "FakeClock.h"
#include "FakeMovieCommands.h"
#include "FakeProgramStarter.h"
#include "FakeSound.h"
#include "FakeTimer.h"
#include "GuardRealism.h"
#include "HomeFolder.h"
#include "MediaLengths.h"
#include "Plan.h"
#include "PlanCommand.h"
#include "CQwendrikDoc.h"
#include "FakeMessenger.h"
#include "TimeZoneGuard.h"
#include "TripTestSupport.h"

namespace {

using trip::PlanEvent;

class GuardWindow : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override { RunGuardPass(*this); }
};

// The live guard's plays and holds, one line per repeat.
class Heard final : public GuardEvents {
public:
    void Played(const PlayReport& r) override { lines.push_back(trip::IsoLocalTime(r.at) + "\tplay\t" + r.path.str()); }
    void QuietHold(CTime until, CTime at) override
    {
        lines.push_back(trip::IsoLocalTime(at) + "\tquiet until\t" + trip::IsoLocalTime(until));
    }
    std::vector<std::string> lines;
};

// The plan in the same terms: a play of three repeats is three lines.
std::vector<std::string> Expanded(const std::vector<PlanEvent>& plan)
{
    std::vector<std::string> lines;
    for (const PlanEvent& e : plan) {
        if (e.kind == PlanEvent::Kind::QuietHold)
            lines.push_back(trip::IsoLocalTime(e.at) + "\tquiet until\t" + trip::IsoLocalTime(e.until));
        else
            for (int i = 0; i < e.repeatCount; ++i)
                lines.push_back(trip::IsoLocalTime(e.at) + "\tplay\t" + e.path.str());
    }
    return lines;
}

class PlanTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (NoiseSlot& slot : GuardSettings.slots)
            slot = NoiseSlot{kNothing, kNone, 0, kModeExact, 1, CTime()};
        // The guard-on sound is the home folder's copy when there is one.
        media::WriteWave(folder / "thanks.wav", 2000);
        media::WriteWave(dog, 7000);
        media::WriteWave(cat, 3000);
        media::WriteAvi(tv, 120, 10);
        std::ofstream(note) << "Back at ten.";
        seconds = {{folder / "thanks.wav", 2}, {dog, 7}, {cat, 3}, {tv, 12}};
        sound.onPlay = [this](const std::string& path) { clock.Advance(seconds.at(path)); };
        movies.onCommand = [this](const std::string& command) {
            if (command.rfind("OPEN ", 0) == 0)
                movie = command.substr(5, command.find(" ALIAS ") - 5);
            else if (command.rfind("PLAY ", 0) == 0)
                clock.Advance(seconds.at(movie));
        };
    }
    void TearDown() override { InstallGuardEvents(nullptr); }

    void TheHouseholdSchedule()
    {
        GuardSettings.slots[0] = NoiseSlot{"Dog", dog.c_str(), 47, kModeExact, 2, CTime()};
        GuardSettings.slots[1] = NoiseSlot{"TV", tv.c_str(), 90, kModeRandom, 1, CTime()};
        GuardSettings.slots[2] = NoiseSlot{"Note", note.c_str(), 180, kModeExact, 1, CTime()};
        GuardSettings.slots[3] = NoiseSlot{"Cat", cat.c_str(), 25, kModeRandom, 3, CTime()};
        GuardSettings.quietWindow = {23, 6};
        win::SetRandomState(12345);
    }

    // As the view turns the guard on: its sound, then the start and the first pass.
    void TurnOn()
    {
        win::PlaySoundA("c:\\qwendrik\\thanks.wav", nullptr, 0);
        guardOn = 1;
        PrepareGuardStart();
        RunGuardPass(window);
    }
    // The real timer counts its delay from when the pass armed it.
    void RunUntil(CTime end)
    {
        for (;;) {
            const std::int64_t next = clock.NowSeconds() + timer.Delay(&window) / 1000;
            if (end.GetTime() < next)
                return;
            clock.Set(next);
            timer.Fire(&window);
        }
    }
    // What the live guard did up to `end`: a play that began later is not counted.
    std::vector<std::string> HeardUntil(CTime end) const
    {
        std::vector<std::string> kept;
        for (const std::string& line : heard.lines)
            if (!(end < *trip::ParseIsoTime(line.substr(0, line.find('\t')))))
                kept.push_back(line);
        return kept;
    }

    TempFolder folder;
    ScopedEnv home{"HAUNTWATCH_HOME", folder.path()};
    ScopedEnv data{"HAUNTWATCH_DATA_DIR", folder / "no-data"};
    const std::string dog = folder / "dog barking.wav";
    const std::string cat = folder / "cat.wav";
    const std::string tv = folder / "tv.avi";
    const std::string note = folder / "note.txt";
    std::map<std::string, std::int64_t> seconds;
    std::string movie;
    TimeZoneGuard zone{"Europe/Berlin"};
    platform::FakeClock clock{CTime(2026, 10, 23, 17, 0, 0).GetTime()};
    platform::FakeTimer timer;
    platform::FakeSound sound;
    platform::FakeMovieCommands movies;
    platform::FakeProgramStarter starter;
    GuardWindow window;
    Heard heard;
    trip::MediaLengthCache lengths{folder / "cache/media-lengths"};
};

// Three days from a Friday evening in Berlin, over the night the clocks go
// back (25 October 2026, 03:00 summer time becomes 02:00): every play and
// every quiet hold of the live guard is in the plan printed at the start, to
// the second, and nothing else is.
TEST_F(PlanTest, ThreeDaysOfTheGuardAreThePlanPrintedAtTheStart)
{
    TheHouseholdSchedule();
    const CTime start = CTime::GetCurrentTime();
    const CTime end = start + CTimeSpan(3 * 86400);
    const std::vector<PlanEvent> plan = trip::ComputePlan(TakeGuardSnapshot(), start, CTimeSpan(3 * 86400), lengths);
    std::vector<std::string> printed;
    for (const PlanEvent& event : plan)
        printed.push_back(trip::FormatPlanLine(event));

    InstallGuardEvents(&heard);
    TurnOn();
    RunUntil(end);
    const std::vector<std::string> live = HeardUntil(end);
    EXPECT_EQ(Expanded(plan), live);

    // What the three days held, so the comparison covered what it claims.
    const std::string text = [&] {
        std::string all;
        for (const std::string& line : printed)
            all += line + "\n";
        return all;
    }();
    EXPECT_GT(live.size(), 150u);
    EXPECT_NE(text.find("\tplay\tDog\t2\t" + dog + "\n"), std::string::npos);
    EXPECT_NE(text.find("\tplay\tCat\t3\t" + cat + "\n"), std::string::npos);
    EXPECT_NE(text.find("\tplay\tTV\t1\t" + tv + "\n"), std::string::npos);
    EXPECT_NE(text.find("\tplay\tNote\t1\t" + note + "\n"), std::string::npos);
    EXPECT_NE(text.find("+02:00\tquiet until\t2026-10-24T06:00:00+02:00\n"), std::string::npos);
    EXPECT_NE(text.find("+02:00\tquiet until\t2026-10-25T06:00:00+01:00\n"), std::string::npos)
        << "the night the clocks go back is an hour longer";
    EXPECT_NE(text.find("+01:00\tquiet until\t2026-10-26T06:00:00+01:00\n"), std::string::npos);
    EXPECT_EQ(printed.front().rfind("2026-10-23T", 0), 0u);
    // In time order, a pass's quiet hold after its plays, as the diary has them.
    for (size_t i = 1; i < plan.size(); ++i)
        EXPECT_FALSE(plan[i].at < plan[i - 1].at) << printed[i - 1] << "\n" << printed[i];
    EXPECT_EQ(lengths.Probes(), 4) << "the guard-on sound, two sounds and a movie, each read once";
}

// The diary window plans from the running guard's snapshot: the plan is the
// guard's own next day, and working it out changes nothing the guard keeps.
TEST_F(PlanTest, APlanFromARunningGuardIsItsNextDayAndLeavesItAsItWas)
{
    TheHouseholdSchedule();
    InstallGuardEvents(&heard);
    TurnOn();
    RunUntil(CTime(2026, 10, 24, 9, 0, 0));
    ProblemLog.Append("a line the report holds");
    SetNextGuardStartOrigin(GuardStartOrigin::Remote);

    const GuardSnapshot before = TakeGuardSnapshot();
    const ProblemLogRecord problems = ProblemLog;
    const int sets = timer.sets, kills = timer.kills;
    const UINT delay = timer.Delay(&window);
    const std::vector<PlanEvent> plan =
        trip::ComputePlan(before, CTime::GetCurrentTime(), CTimeSpan(86400), lengths);
    ASSERT_GT(plan.size(), 20u);

    const GuardSnapshot after = TakeGuardSnapshot();
    EXPECT_EQ(after.on, before.on);
    EXPECT_EQ(after.randomState, before.randomState);
    EXPECT_EQ(after.armedWakeUp, before.armedWakeUp);
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_EQ(after.slots[s].nextDue, before.slots[s].nextDue) << s;
        EXPECT_EQ(after.slots[s].filePath, before.slots[s].filePath) << s;
    }
    EXPECT_EQ(ProblemLog.problemCount, problems.problemCount);
    for (int i = 0; i < problems.problemCount; ++i)
        EXPECT_EQ(ProblemLog.problemLines[i], problems.problemLines[i]);
    EXPECT_EQ(timer.sets, sets);
    EXPECT_EQ(timer.kills, kills);
    EXPECT_EQ(timer.Delay(&window), delay);
    EXPECT_EQ(&platform::InstalledClock(), &clock);
    EXPECT_EQ(platform::InstalledTimerService(), &timer);
    EXPECT_EQ(platform::InstalledSoundService(), &sound);
    EXPECT_EQ(platform::InstalledMovieCommandService(), &movies);
    EXPECT_EQ(platform::InstalledProgramStarter(), &starter);
    EXPECT_EQ(&InstalledGuardEvents(), &heard);
    EXPECT_EQ(TakeGuardStartOrigin(), GuardStartOrigin::Remote);

    const CTime from = CTime::GetCurrentTime();
    const size_t already = heard.lines.size();
    RunUntil(from + CTimeSpan(86400));
    const std::vector<std::string> next(heard.lines.begin() + static_cast<std::ptrdiff_t>(already), heard.lines.end());
    heard.lines = next;
    EXPECT_EQ(Expanded(plan), HeardUntil(from + CTimeSpan(86400)));
}

// python3-ephem's sunrise and sunset there on each day, in seconds since 1970.
std::map<std::string, std::pair<std::int64_t, std::int64_t>> EphemSun(const std::string& place,
                                                                       const std::vector<std::string>& days)
{
    std::string command = SUN_REFERENCE_COMMAND " " + place;
    for (const std::string& day : days)
        command += " " + day;
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> sun;
    FILE* pipe = ::popen(command.c_str(), "r");
    char zone[64];
    double latitude, longitude;
    int year, month, day;
    long long rise, set;
    while (pipe && std::fscanf(pipe, "%63s %lf %lf %d %d %d %lld %lld", zone, &latitude, &longitude, &year, &month,
                               &day, &rise, &set) == 8) {
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        sun[date] = {rise, set};
    }
    if (pipe)
        ::pclose(pipe);
    return sun;
}

// Three December days in Berlin (the place set in the file) and in New York
// (the zone's own): an Exact row from twenty minutes past sunset until
// 23:30 begins at that moment each day, within ephem's two minutes; a
// Random row from 22:00 until sunrise plays only across the night.
TEST_F(PlanTest, SunHoursOnThePlanForThreeDaysInBerlinAndNewYork)
{
    const std::vector<std::string> days = {"2026-12-20", "2026-12-21", "2026-12-22", "2026-12-23"};
    for (const auto& [zoneName, place, inFile] :
         {std::tuple{"Europe/Berlin", "Europe/Berlin 52.52 13.41", true},
          std::tuple{"America/New_York", "America/New_York 40.7142 -74.0064", false}}) {
        SCOPED_TRACE(zoneName);
        TimeZoneGuard local(zoneName);
        lifelike::ScheduleExtras extras;
        if (inFile)
            extras.place = lifelike::Place{52.52, 13.41};
        extras.rows[0].hours = {lifelike::ParseDayTime("sunset+20"), lifelike::ParseDayTime("23:30")};
        extras.rows[1].hours = {lifelike::ParseDayTime("22:00"), lifelike::ParseDayTime("sunrise")};
        SetScheduleExtras(extras);
        ASSERT_TRUE(GuardRealism.place.has_value());
        GuardSettings.slots[0] = NoiseSlot{"Dog", dog.c_str(), 20, kModeExact, 1, CTime()};
        GuardSettings.slots[1] = NoiseSlot{"Cat", cat.c_str(), 60, kModeRandom, 1, CTime()};
        GuardSettings.quietWindow = {1, 6};
        const std::map<std::string, std::pair<std::int64_t, std::int64_t>> sun = EphemSun(place, days);
        ASSERT_EQ(sun.size(), days.size()) << "python3-ephem answered";

        const CTime noon(2026, 12, 20, 12, 0, 0);
        std::map<std::string, std::int64_t> firstDog;
        for (const PlanEvent& event : trip::ComputePlan(TakeGuardSnapshot(), noon, CTimeSpan(3 * 86400), lengths)) {
            if (event.kind != PlanEvent::Kind::Play)
                continue;
            const std::string date = event.at.Format("%Y-%m-%d").str();
            const int minute = event.at.GetHour() * 60 + event.at.GetMinute();
            // A row held to its hours at a pass plays nothing there: the
            // plays of the pass are the other rows'.
            EXPECT_EQ(event.path.str(), event.noiseName == CString("Dog") ? dog : cat) << trip::IsoLocalTime(event.at);
            if (event.noiseName == CString("Dog")) {
                EXPECT_GE(event.at.GetTime(), sun.at(date).second + 20 * 60 - 120) << trip::IsoLocalTime(event.at);
                EXPECT_LT(minute, 23 * 60 + 30) << trip::IsoLocalTime(event.at);
                firstDog.try_emplace(date, event.at.GetTime());
            } else {
                const bool night = minute >= 22 * 60 || event.at.GetTime() < sun.at(date).first + 120;
                EXPECT_TRUE(night) << trip::IsoLocalTime(event.at);
            }
        }
        ASSERT_EQ(firstDog.size(), 3u);
        for (const auto& [date, at] : firstDog)
            EXPECT_NEAR(at, sun.at(date).second + 20 * 60, 120) << date;
    }
}

// The polar night holds a sunset row back for weeks: one line for the run
// of days, so that the report keeps room for real failures.
TEST_F(PlanTest, AWeekWithoutSunsetIsOneLineInTheReport)
{
    TimeZoneGuard local("Arctic/Longyearbyen");
    clock.Set(CTime(2026, 12, 1, 12, 0, 0).GetTime());
    lifelike::ScheduleExtras extras;
    extras.place = lifelike::Place{78.22, 15.65};
    extras.rows[0].hours = {lifelike::ParseDayTime("sunset"), lifelike::ParseDayTime("23:00")};
    SetScheduleExtras(extras);
    GuardSettings.slots[0] = NoiseSlot{"Dog", dog.c_str(), 30, kModeExact, 1, CTime()};
    TurnOn();
    ASSERT_EQ(ProblemLog.problemCount, 1) << ProblemLog.problemLines[1].str();
    EXPECT_NE(ProblemLog.problemLines[0].str().find("row 1 keeps no hours from 2026-12-01 to "), std::string::npos)
        << ProblemLog.problemLines[0].str();
    RunUntil(CTime(2026, 12, 3, 12, 0, 0));
    EXPECT_EQ(ProblemLog.problemCount, 1) << "the same days are not told again";
}

TEST_F(PlanTest, AnIntervalOfNothingIsShownOnceAsContinuouslyAndNamesAreEscaped)
{
    const std::string rain = folder / "rain.wav";
    media::WriteWave(rain, 5000);
    GuardSettings.slots[0] = NoiseSlot{"Rain\tloop", rain.c_str(), 0, kModeExact, 1, CTime()};
    GuardSettings.slots[2] = NoiseSlot{"Door", dog.c_str(), 60, kModeExact, 1, CTime()};
    GuardSettings.slots[3] = NoiseSlot{"Never", cat.c_str(), 10, kModeExact, 0, CTime()};
    const std::vector<PlanEvent> plan =
        trip::ComputePlan(TakeGuardSnapshot(), CTime::GetCurrentTime(), CTimeSpan(3 * 3600 + 60), lengths);
    std::vector<std::string> printed;
    for (const PlanEvent& event : plan)
        printed.push_back(trip::FormatPlanLine(event));
    ASSERT_EQ(printed.size(), 4u) << "the rain once, the door three times, a row of no repeats never";
    EXPECT_EQ(printed[0], "2026-10-23T17:00:03+02:00\tplay\tRain\\tloop\t1\t" + rain + "\tcontinuously")
        << "a second after the start, which took the guard-on sound's two seconds";
    EXPECT_EQ(trip::SplitFields(printed[1]).size(), 5u);
    EXPECT_EQ(trip::SplitFields(printed[1])[2], "Door");
}

TEST(PlanDurationTest, MinutesHoursAndDaysUpToFourteenDays)
{
    std::string error;
    EXPECT_EQ(trip::ParsePlanDuration("90m", &error)->GetTotalSeconds(), 90 * 60);
    EXPECT_EQ(trip::ParsePlanDuration("12h", &error)->GetTotalSeconds(), 12 * 3600);
    EXPECT_EQ(trip::ParsePlanDuration("3d", &error)->GetTotalSeconds(), 3 * 86400);
    EXPECT_EQ(trip::ParsePlanDuration("14d", &error)->GetTotalSeconds(), 14 * 86400);
    EXPECT_EQ(trip::ParsePlanDuration("336h", &error)->GetTotalSeconds(), 14 * 86400);
    for (const char* bad : {"", "m", "15", "0m", "-3d", "+3d", "15d", "337h", "20161m", "3 d", "3D", "1.5h", "3dd",
                            "99999999999999999999d"}) {
        error.clear();
        EXPECT_FALSE(trip::ParsePlanDuration(bad, &error).has_value()) << bad;
        EXPECT_EQ(error.rfind("bad duration \"", 0), 0u) << bad;
        EXPECT_EQ(error.find('\n'), std::string::npos) << bad;
    }
}

// What --plan answers for each state of the settings file.
class PlanCommandTest : public EngineTest {
protected:
    int Run(const char* duration)
    {
        out.str({});
        err.str({});
        return trip::RunPlanCommand(duration, out, err, folder / "cache");
    }
    TempFolder folder;
    ScopedEnv home{"HAUNTWATCH_HOME", folder.path()};
    TimeZoneGuard zone{"Europe/Berlin"};
    std::ostringstream out, err;
};

TEST_F(PlanCommandTest, MissingDamagedAndGoodSettingsAndABadDuration)
{
    EXPECT_EQ(Run("1d"), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Lines(err.str()).size(), 1u);
    EXPECT_NE(err.str().find("no settings file at " + folder.path() + "/noises.hwt"), std::string::npos) << err.str();

    EXPECT_EQ(Run("2weeks"), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Lines(err.str()), std::vector<std::string>{"hauntwatch: bad duration \"2weeks\": give a whole number and a unit, such as 90m, 12h or 3d"});

    {
        platform::FakeMessenger quiet;
        GuardSettings.slots[0] = NoiseSlot{"Door", "/n/door.txt", 30, kModeExact, 1, CTime()};
        for (int s = 1; s < kSlotCount; ++s)
            GuardSettings.slots[s] = NoiseSlot{kNothing, kNone, 0, kModeExact, 1, CTime()};
        CQwendrikDoc document;
        ASSERT_TRUE(document.OnSaveDocument(SettingsPath));
        GuardSettings = GuardSettingsRecord{};
    }
    EXPECT_EQ(Run("2h"), 0);
    EXPECT_EQ(err.str(), "");
    const std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 4u) << out.str();
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = trip::SplitFields(line);
        ASSERT_EQ(fields.size(), 5u) << line;
        EXPECT_TRUE(trip::ParseIsoTime(fields[0]).has_value()) << line;
        EXPECT_EQ(fields[1] + " " + fields[2] + " " + fields[3] + " " + fields[4], "play Door 1 /n/door.txt");
    }

    // Away from tomorrow for two hours: the plan starts when the person
    // leaves and stops when they are back.
    const CTime leaving = CTime::GetCurrentTime() + CTimeSpan(86400);
    ASSERT_TRUE(trip::WriteAwaySpan({leaving, leaving + CTimeSpan(7200)}, nullptr));
    EXPECT_EQ(Run("1d"), 0);
    const std::vector<std::string> away = Lines(out.str());
    ASSERT_EQ(away.size(), 4u) << out.str();
    for (const std::string& line : away) {
        const CTime at = *trip::ParseIsoTime(trip::SplitFields(line)[0]);
        EXPECT_FALSE(at < leaving) << line;
        EXPECT_FALSE(leaving + CTimeSpan(7200) < at) << line;
    }
    ASSERT_TRUE(trip::ClearAwaySpan(nullptr));
    // Written by hand and slightly wrong: said, and planned without it.
    std::ofstream(folder / "away") << leaving.Format("%Y-%m-%dT%H:%M").str() << "\n";
    EXPECT_EQ(Run("2h"), 0);
    EXPECT_EQ(Lines(out.str()).size(), 4u);
    EXPECT_EQ(Lines(err.str()), std::vector<std::string>{"hauntwatch: the away file " + folder.path() +
                                                         "/away cannot be used: it holds the leaving time but no return "
                                                         "time; planned as if no time away were set"});
    ASSERT_TRUE(trip::ClearAwaySpan(nullptr));

    // A full device: the plan says it could not be written, once.
    std::ofstream full("/dev/full");
    ASSERT_TRUE(full.is_open());
    err.str({});
    EXPECT_EQ(trip::RunPlanCommand("2h", full, err, folder / "cache"), 1);
    EXPECT_EQ(Lines(err.str()), std::vector<std::string>{"hauntwatch: the plan could not be written: No space left on device"});

    // A library count no save writes.
    std::ofstream(folder / "noises.hwt", std::ios::binary | std::ios::trunc) << std::string("\xF4\x01\0\0", 4);
    EXPECT_EQ(Run("1d"), 1);
    EXPECT_EQ(out.str(), "");
    ASSERT_EQ(Lines(err.str()).size(), 1u) << err.str();
    EXPECT_EQ(err.str().rfind("hauntwatch: The settings file " + folder.path() + "/noises.hwt is damaged", 0), 0u) << err.str();
}

TEST(MediaLengthsTest, RiffHeadersGiveTheLengthAndAnythingElseNone)
{
    TempFolder folder;
    EXPECT_DOUBLE_EQ(*trip::ProbeRiffSeconds(TEST_DATA_DIR "/tone.wav"), 0.2);
    EXPECT_DOUBLE_EQ(*trip::ProbeRiffSeconds(TEST_DATA_DIR "/clip.avi"), 1.0);
    EXPECT_DOUBLE_EQ(*trip::ProbeRiffSeconds(TEST_DATA_DIR "/silent.avi"), 1.0);
    EXPECT_FALSE(trip::ProbeRiffSeconds(TEST_DATA_DIR "/corrupt.wav").has_value()) << "no codec, no byte rate";
    media::WriteWave(folder / "long.wav", 93500);
    EXPECT_DOUBLE_EQ(*trip::ProbeRiffSeconds(folder / "long.wav"), 93.5) << "past a chunk before the data";
    media::WriteAvi(folder / "film.avi", 4500, 25);
    EXPECT_DOUBLE_EQ(*trip::ProbeRiffSeconds(folder / "film.avi"), 180.0);
    std::ofstream(folder / "text.wav") << "RIFF, but not really";
    EXPECT_FALSE(trip::ProbeRiffSeconds(folder / "text.wav").has_value());
    EXPECT_FALSE(trip::ProbeRiffSeconds(folder / "missing.wav").has_value());
    EXPECT_FALSE(trip::ProbeRiffSeconds(folder.path()).has_value()) << "a folder";
}

TEST(MediaLengthsTest, EachFileIsProbedOnceUntilItChanges)
{
    TempFolder folder;
    const std::string cacheFile = folder / "cache/hauntwatch/media-lengths";
    const std::string sound = folder / "dog\tbark.wav";
    media::WriteWave(sound, 4000);
    {
        trip::MediaLengthCache cache(cacheFile);
        EXPECT_DOUBLE_EQ(cache.Seconds(sound), 4.0);
        EXPECT_DOUBLE_EQ(cache.Seconds(sound), 4.0);
        EXPECT_DOUBLE_EQ(cache.Seconds(folder / "gone.wav"), 0.0);
        EXPECT_EQ(cache.Probes(), 1);
    }
    {
        trip::MediaLengthCache cache(cacheFile);
        EXPECT_DOUBLE_EQ(cache.Seconds(sound), 4.0);
        EXPECT_EQ(cache.Probes(), 0) << "the length came from the cache file";
        // The same size, a new time: read again.
        media::WriteWave(sound, 4000);
        std::filesystem::last_write_time(sound, std::filesystem::last_write_time(sound) + std::chrono::seconds(5));
        EXPECT_DOUBLE_EQ(cache.Seconds(sound), 4.0);
        EXPECT_EQ(cache.Probes(), 1);
        media::WriteWave(sound, 6000);
        EXPECT_DOUBLE_EQ(cache.Seconds(sound), 6.0);
        EXPECT_EQ(cache.Probes(), 2);
    }
    std::ofstream(cacheFile, std::ios::trunc) << "something else entirely\n";
    trip::MediaLengthCache damaged(cacheFile);
    EXPECT_DOUBLE_EQ(damaged.Seconds(sound), 6.0);
    EXPECT_EQ(damaged.Probes(), 1);
}

}  // namespace
