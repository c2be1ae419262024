// The diary's lines and the duty record, as the guard's events write them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "AwaySpan.h"
#include "Diary.h"
#include "DiaryFormat.h"
#include "DutyRecord.h"
#include "EngineState.h"
#include "FakeClock.h"
#include "FakeMovieCommands.h"
#include "FakeProgramStarter.h"
#include "FakeSound.h"
#include "FakeTimer.h"
#include "GuardRecords.h"
#include "TimeZoneGuard.h"
#include "TripTestSupport.h"

namespace {

using trip::Diary;

TEST(DiaryFormatTest, FieldsEscapeBackslashTabAndLineBreakAndSplitBackWhole)
{
    const std::vector<std::string> fields{"/n/a\\b.wav", "tab\there", "two\nlines", "cr\r", "", "\\t literally"};
    const std::string line = trip::JoinFields(fields);
    EXPECT_EQ(line, "/n/a\\\\b.wav\ttab\\there\ttwo\\nlines\tcr\\r\t\t\\\\t literally");
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EXPECT_EQ(trip::SplitFields(line), fields);
}

TEST(DiaryFormatTest, TimesCarryTheirOffsetAndReadBackInAnyZone)
{
    struct Case {
        const char* zone;
        int month, day, hour;
        const char* written;
    };
    const Case cases[] = {
        {"Europe/Berlin", 12, 7, 23, "2026-12-07T23:30:00+01:00"},
        {"Europe/Berlin", 7, 1, 9, "2026-07-01T09:30:00+02:00"},
        {"Asia/Kolkata", 12, 7, 23, "2026-12-07T23:30:00+05:30"},
        {"America/St_Johns", 12, 7, 23, "2026-12-07T23:30:00-03:30"},
        {"UTC0", 12, 7, 23, "2026-12-07T23:30:00+00:00"},
    };
    for (const Case& c : cases) {
        std::int64_t instant = 0;
        {
            TimeZoneGuard zone(c.zone);
            const CTime at(2026, c.month, c.day, c.hour, 30, 0);
            instant = at.GetTime();
            EXPECT_EQ(trip::IsoLocalTime(at), c.written) << c.zone;
        }
        TimeZoneGuard elsewhere("America/New_York");
        const std::optional<CTime> read = trip::ParseIsoTime(c.written);
        ASSERT_TRUE(read.has_value()) << c.written;
        EXPECT_EQ(read->GetTime(), instant) << c.written;
    }
    EXPECT_EQ(trip::ParseIsoTime("2026-12-07T23:30:00Z")->GetTime(), trip::ParseIsoTime("2026-12-08T00:30:00+01:00")->GetTime());
    for (const char* bad : {"", "2026-12-07 23:30:00+01:00", "2026-13-07T23:30:00+01:00", "2026-12-07T23:30:00+0100",
                            "2026-12-07T23:30:00", "2026-12-07T2x:30:00+01:00", "2031-02-31T12:00:00+01:00", "garbage"})
        EXPECT_FALSE(trip::ParseIsoTime(bad).has_value()) << bad;
}

// The away file as a person writes it by hand, in the README's forms, and
// as they get it slightly wrong; nothing in its place holds up the reader.
TEST(AwayFileTest, TheWrittenFormsAreReadAndNothingElseIs)
{
    TempFolder folder;
    ScopedEnv home{"HAUNTWATCH_HOME", folder.path()};
    TimeZoneGuard zone{"Europe/Berlin"};
    const std::string path = folder / "away";
    const trip::AwaySpan span{CTime(2026, 12, 20, 8, 0, 0), CTime(2026, 12, 27, 12, 0, 0)};
    const std::pair<const char*, bool> cases[] = {
        {"2026-12-20T08:00\n2026-12-27T12:00\n", true}, {"2026-12-20T08:00\r\n2026-12-27T12:00:00\r\n", true},
        {"2026-12-20T08:00:00+01:00\n2026-12-27T11:00Z", true}, {"2026-12-20T08:0O\n2026-12-27T12:00\n", false},
        {"2031-02-27T08:00:00+01:00\n2031-02-31T12:00:00+01:00\n", false}, {"2026-12-27T12:00\n2026-12-20T08:00\n", false},
        {"2026-03-29T02:30\n2026-03-30T12:00\n", false}, {"2026-12-20T08:00:00+01:00\n2026-12-27T12:00:00+01:00\n", true}};
    for (const auto& [written, read] : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << written;
        EXPECT_EQ(trip::ReadAwaySpan(), read ? std::optional(span) : std::nullopt) << written;
    }
    // Far larger than two times, though it begins with them; a FIFO whose
    // writer never writes, where a reader that waited would wait for good.
    std::filesystem::resize_file(path, 2LL << 30);
    EXPECT_FALSE(trip::ReadAwaySpan());
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int writer = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    ::alarm(30);
    EXPECT_FALSE(trip::ReadAwaySpan());
    ::alarm(0);
    ::close(writer);
}

class GuardWindow : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override { RunGuardPass(*this); }
};

class DiaryTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        for (NoiseSlot& slot : GuardSettings.slots)
            slot = NoiseSlot{kNothing, kNone, 0, kModeExact, 1, CTime()};
        InstallGuardEvents(&records);
    }
    void TearDown() override { InstallGuardEvents(nullptr); }

    std::vector<std::string> DiaryLines() const { return Lines(ReadWhole(folder / "diary.log")); }
    void Tick()
    {
        clock.Advance(timer.Delay(&window) / 1000);
        timer.Fire(&window);
    }

    TempFolder folder;
    ScopedEnv home{"HAUNTWATCH_HOME", folder.path()};
    TimeZoneGuard zone{"Europe/Berlin"};
    platform::FakeClock clock{CTime(2026, 12, 7, 21, 40, 0).GetTime()};
    platform::FakeTimer timer;
    platform::FakeSound sound;
    platform::FakeMovieCommands movies;
    platform::FakeProgramStarter starter;
    GuardWindow window;
    std::vector<std::string> problems;
    trip::GuardRecords records{[this](const std::string& line) { problems.push_back(line); }};
};

// A guard run through the engine: every play, start, failure and quiet hold
// is one line, one per repeat, with the reason a failure had.
TEST_F(DiaryTest, AGuardRunIsWrittenLineByLine)
{
    GuardSettings.quietWindow = {22, 6};
    GuardSettings.slots[0] = NoiseSlot{"dog", "/n/dog.wav", 10, kModeExact, 2, CTime()};
    GuardSettings.slots[1] = NoiseSlot{"tv", "/n/tv\tshow.avi", 10, kModeExact, 1, CTime()};
    GuardSettings.slots[3] = NoiseSlot{"radio", "/n/radio.txt", 10, kModeExact, 1, CTime()};
    sound.decide = [n = 0](const std::string&) mutable { return n++ == 0; };
    sound.failure = platform::PlayFailure::NoSoundOutput;
    movies.playResult = platform::kMovieNoDisplay;
    guardOn = 1;
    PrepareGuardStart();
    RunGuardPass(window);
    Tick();  // 21:50; the next, 22:00, is quiet
    ReportGuardStopped();
    EXPECT_EQ(DiaryLines(), (std::vector<std::string>{
                                "2026-12-07T21:40:00+01:00\tguard on",
                                "2026-12-07T21:50:00+01:00\tplayed\t/n/dog.wav\tdog\t\t",
                                "2026-12-07T21:50:00+01:00\tfailed\t/n/dog.wav\tdog\t\tno sound output",
                                "2026-12-07T21:50:00+01:00\tfailed\t/n/tv\\tshow.avi\ttv\t\tno display",
                                "2026-12-07T21:50:00+01:00\tstarted\t/n/radio.txt\tradio\t\t",
                                "2026-12-07T21:50:00+01:00\tquiet until\t2026-12-08T06:00:00+01:00",
                                "2026-12-07T21:50:00+01:00\tguard off",
                            }));
    EXPECT_TRUE(problems.empty());
}

TEST_F(DiaryTest, EveryFailureHasItsReasonWordAndARefusedTimerNamesNoFile)
{
    const std::pair<platform::PlayFailure, const char*> reasons[] = {
        {platform::PlayFailure::FileMissing, "file missing"},   {platform::PlayFailure::NoSoundOutput, "no sound output"},
        {platform::PlayFailure::CannotDecode, "cannot be decoded"}, {platform::PlayFailure::NoDisplay, "no display"},
        {platform::PlayFailure::TimedOut, "timed out"},           {platform::PlayFailure::StarterFailed, "starter failed"},
    };
    const CTime at(2026, 12, 7, 12, 0, 0);
    for (const auto& [failure, word] : reasons)
        records.Played(PlayReport{at, "/n/x.wav", PlayKind::Sound, PlayOutcome::Failed, failure});
    timer.refuse = true;
    GuardSettings.slots[0] = NoiseSlot{"dog", "/n/dog.wav", 10, kModeExact, 1, CTime()};
    guardOn = 1;
    PrepareGuardStart();
    RunGuardPass(window);
    const std::vector<std::string> lines = DiaryLines();
    ASSERT_EQ(lines.size(), 8u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(lines[i], std::string("2026-12-07T12:00:00+01:00\tfailed\t/n/x.wav\t\t\t") + reasons[i].second);
    EXPECT_EQ(lines[7], "2026-12-07T21:40:00+01:00\tfailed\t\t\t\ttimer failed");
}

TEST_F(DiaryTest, TheDutyRecordIsThereWhileTheGuardIsOnAndAResumeKeepsItsSince)
{
    const std::string record = folder / "on-duty";
    records.GuardStarted(CTime(2026, 12, 7, 9, 15, 0), GuardStartOrigin::Person);
    EXPECT_EQ(ReadWhole(record), "2026-12-07T09:15:00+01:00\n");
    struct stat info {};
    ASSERT_EQ(::stat(record.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().filename().string().rfind("on-duty.", 0), 0u) << "a temporary file was left beside it";

    // The program ended without the person: the next start resumes.
    records.GuardStarted(CTime(2026, 12, 8, 3, 0, 0), GuardStartOrigin::Resumed);
    EXPECT_EQ(ReadWhole(record), "2026-12-07T09:15:00+01:00\n") << "on duty since the person's start";
    EXPECT_EQ(trip::DutyRecordSince()->GetTime(), CTime(2026, 12, 7, 9, 15, 0).GetTime());

    records.GuardStopped(CTime(2026, 12, 8, 4, 0, 0));
    EXPECT_FALSE(trip::DutyRecordPresent());
    records.GuardStarted(CTime(2026, 12, 8, 5, 0, 0), GuardStartOrigin::Remote);
    EXPECT_EQ(ReadWhole(record), "2026-12-08T05:00:00+01:00\n");
    EXPECT_EQ(DiaryLines(), (std::vector<std::string>{
                                "2026-12-07T09:15:00+01:00\tguard on",
                                "2026-12-08T03:00:00+01:00\tguard resumed\t2026-12-07T09:15:00+01:00",
                                "2026-12-08T04:00:00+01:00\tguard off",
                                "2026-12-08T05:00:00+01:00\tguard on",
                            }));
}

TEST_F(DiaryTest, AResumeWithoutAReadableRecordIsOnDutySinceTheResume)
{
    std::ofstream(folder / "on-duty") << "not a time\n";
    records.GuardStarted(CTime(2026, 12, 8, 3, 0, 0), GuardStartOrigin::Resumed);
    EXPECT_EQ(DiaryLines().back(), "2026-12-08T03:00:00+01:00\tguard resumed\t2026-12-08T03:00:00+01:00");
    EXPECT_EQ(ReadWhole(folder / "on-duty"), "2026-12-08T03:00:00+01:00\n");
}

// Only a regular file is a record: a folder of that name is left alone.
// When a record cannot be written, the problem line says what a restart will
// do from what is on disk.
TEST_F(DiaryTest, OnlyARegularFileIsARecordAndAFailureSaysWhatARestartWillDo)
{
    std::filesystem::create_directory(folder / "on-duty");
    EXPECT_FALSE(trip::DutyRecordPresent());
    EXPECT_EQ(trip::NotADutyRecord(), "a folder");
    EXPECT_TRUE(trip::RemoveDutyRecord(nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "on-duty")) << "it was not left alone";
    records.GuardStarted(CTime(2026, 12, 7, 9, 15, 0), GuardStartOrigin::Person);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("after a restart Mervo stays off duty"), std::string::npos) << problems[0];
    std::filesystem::remove(folder / "on-duty");

    // A record from an earlier start stays when the new one cannot be written
    // (a full disk): a restart will put him back on duty from it.
    ASSERT_TRUE(trip::WriteDutyRecord(CTime(2026, 12, 6, 20, 0, 0), nullptr));
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    records.GuardStarted(CTime(2026, 12, 7, 9, 30, 0), GuardStartOrigin::Person);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.back().find("couldn't keep the duty record"), std::string::npos) << problems.back();
    EXPECT_NE(problems.back().find("after a restart the older record puts Mervo back on duty"), std::string::npos)
        << problems.back();
}

// Other parts of the program write their own lines; the diary keeps the
// lines of a week or more, a mebibyte at a time.
TEST_F(DiaryTest, OtherPartsAppendTheirLinesAndTheFileRotatesPastOneMebibyte)
{
    ASSERT_TRUE(Diary::Append("unheard", {"silence", "Built-in Audio\tAnalog"}));
    EXPECT_EQ(DiaryLines(), std::vector<std::string>{"2026-12-07T21:40:00+01:00\tunheard\tsilence\tBuilt-in Audio\\tAnalog"});

    // Long lines: each is flushed to the disk, and a few hundred are enough.
    const std::string filler(4000, 'x');
    int written = 1;
    while (!std::filesystem::exists(folder / "diary.log.1")) {
        ASSERT_TRUE(Diary::Append("remote", {std::to_string(written) + filler}));
        ++written;
        ASSERT_LT(written, 10000);
    }
    const auto rotatedSize = std::filesystem::file_size(folder / "diary.log.1");
    EXPECT_LE(rotatedSize, static_cast<std::uintmax_t>(Diary::kRotateBytes));
    EXPECT_GT(rotatedSize + filler.size() + 100, static_cast<std::uintmax_t>(Diary::kRotateBytes));
    EXPECT_EQ(DiaryLines().size(), 1u) << "the new file holds only the line that did not fit";
    EXPECT_EQ(Lines(ReadWhole(folder / "diary.log.1")).size() + 1, static_cast<size_t>(written));

    // Reading gives both files, oldest first, and drops what is not a line of its own.
    std::ofstream(folder / "diary.log", std::ios::app) << "torn line without fields\n";
    const std::vector<trip::DiaryEntry> entries = trip::ReadDiary(CTime(0));
    ASSERT_EQ(entries.size(), static_cast<size_t>(written));
    EXPECT_EQ(entries.front().event, "unheard");
    EXPECT_EQ(entries.front().fields[1], "Built-in Audio\tAnalog");
    EXPECT_EQ(entries.back().fields[0], std::to_string(written - 1) + filler);
    EXPECT_TRUE(trip::ReadDiary(CTime::GetCurrentTime() + CTimeSpan(1)).empty());
}

// A full disk: a line is written whole or not at all, and one cut short by
// an earlier power cut does not swallow the next.
TEST_F(DiaryTest, ALineThatDoesNotFitIsLeftOutAndTheNextStartsALineOfItsOwn)
{
    ASSERT_TRUE(Diary::Append("guard on"));
    const std::string before = ReadWhole(folder / "diary.log");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = before.size() + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    std::string error;
    const bool written = Diary::Append("guard off", {}, &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    EXPECT_EQ(ReadWhole(folder / "diary.log"), before) << "a part of the line stayed";

    std::ofstream(folder / "diary.log", std::ios::app) << "2026-12-07T21:39:59+01:00\tplay";
    ASSERT_TRUE(Diary::Append("guard off"));
    EXPECT_EQ(DiaryLines(), (std::vector<std::string>{"2026-12-07T21:40:00+01:00\tguard on", "2026-12-07T21:39:59+01:00\tplay",
                                                      "2026-12-07T21:40:00+01:00\tguard off"}));
}

TEST_F(DiaryTest, ADiaryThatCannotBeWrittenIsToldOncePerStart)
{
    // The home folder's place is taken by a file: nothing can be written there.
    const std::string blocked = folder / "blocked";
    std::ofstream(blocked) << "a file";
    ScopedEnv elsewhere("HAUNTWATCH_HOME", blocked + "/home");
    records.GuardStarted(CTime(2026, 12, 7, 9, 15, 0), GuardStartOrigin::Person);
    records.Played(PlayReport{CTime(2026, 12, 7, 9, 25, 0), "/n/a.wav", PlayKind::Sound, PlayOutcome::Played, {}});
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind("At 09:15 couldn't write Mervo's diary (", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("At 09:15 couldn't keep the duty record (", 0), 0u) << problems[1];
    EXPECT_NE(problems[1].find("after a restart Mervo stays off duty"), std::string::npos);
    records.GuardStarted(CTime(2026, 12, 7, 10, 0, 0), GuardStartOrigin::Person);
    EXPECT_EQ(problems.size(), 4u) << "told again at the next start";
}

}  // namespace
