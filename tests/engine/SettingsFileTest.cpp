#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CQwendrikDoc.h"
#include "EngineState.h"
#include "FakeMessenger.h"
#include "TempFolder.h"
#include "TimeZoneGuard.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void FillNothingRows()
{
    for (NoiseSlot& slot : GuardSettings.slots) {
        slot.noiseName = kNothing;
        slot.filePath = kNone;
    }
}

// A record that uses every field and every string length form.
void FillFullRecord()
{
    GuardSettings.library.noiseCount = kMaxNoises;
    for (int i = 0; i < kMaxNoises; ++i) {
        GuardSettings.library.noises[i].name = CString("noise " + std::to_string(i));
        GuardSettings.library.noises[i].path = CString("/home/me/noises/" + std::to_string(i) + ".wav");
    }
    GuardSettings.library.noises[7].name = CString(std::string(255, 'n'));
    GuardSettings.library.noises[8].path = CString(std::string(70000, 'p'));
    GuardSettings.library.noises[9].name = CString("");
    for (int s = 0; s < kSlotCount; ++s) {
        NoiseSlot& slot = GuardSettings.slots[s];
        slot.noiseName = CString("noise " + std::to_string(s * 11));
        slot.filePath = CString("/p/" + std::to_string(s));
        slot.intervalMinutes = 15 + s * 300;
        slot.mode = s % 2;
        slot.repeatCount = s + 1;
        slot.nextDue = s == 0 ? unscheduledMark : CTime(1796594400 + s * 61);
    }
    GuardSettings.quietWindow = {22, 7};
}

void ExpectSameRecord(const GuardSettingsRecord& a, const GuardSettingsRecord& b)
{
    ASSERT_EQ(a.library.noiseCount, b.library.noiseCount);
    for (int i = 0; i < a.library.noiseCount; ++i) {
        EXPECT_EQ(a.library.noises[i].name, b.library.noises[i].name) << i;
        EXPECT_EQ(a.library.noises[i].path, b.library.noises[i].path) << i;
    }
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_EQ(a.slots[s].noiseName, b.slots[s].noiseName) << s;
        EXPECT_EQ(a.slots[s].filePath, b.slots[s].filePath) << s;
        EXPECT_EQ(a.slots[s].intervalMinutes, b.slots[s].intervalMinutes) << s;
        EXPECT_EQ(a.slots[s].mode, b.slots[s].mode) << s;
        EXPECT_EQ(a.slots[s].repeatCount, b.slots[s].repeatCount) << s;
        EXPECT_EQ(a.slots[s].nextDue, b.slots[s].nextDue) << s;
    }
    EXPECT_EQ(a.quietWindow.quietFromHour, b.quietWindow.quietFromHour);
    EXPECT_EQ(a.quietWindow.quietToHour, b.quietWindow.quietToHour);
}

class SettingsFileTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ::setenv("HAUNTWATCH_HOME", home.path().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("HAUNTWATCH_HOME"); }

    std::string SettingsFile() const { return home / "noises.hwt"; }

    TempFolder home;
    platform::FakeMessenger messenger;
    CQwendrikDoc doc;
};

TEST_F(SettingsFileTest, EmptyLibraryWithNothingRowsIsThe157ByteFile)
{
    std::string expected(4, '\0');
    for (int s = 0; s < kSlotCount; ++s)
        expected += std::string("\x07NOTHING\x04None", 13) + std::string(16, '\0');
    expected += std::string(8, '\0');
    ASSERT_EQ(expected.size(), 157u);

    FillNothingRows();
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    EXPECT_EQ(ReadFile(SettingsFile()), expected);

    GuardSettings = GuardSettingsRecord{};
    GuardSettings.quietWindow = {5, 9};
    ASSERT_TRUE(doc.OnOpenDocument(SettingsPath));
    for (const NoiseSlot& slot : GuardSettings.slots) {
        EXPECT_EQ(slot.noiseName.str(), "NOTHING");
        EXPECT_EQ(slot.filePath.str(), "None");
        EXPECT_EQ(slot.nextDue.GetTime(), 0);
    }
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 0);
    EXPECT_TRUE(messenger.messages.empty());
}

TEST_F(SettingsFileTest, FullRecordRoundTripsInAPinnedZone)
{
    TimeZoneGuard zone("Europe/Berlin");
    FillFullRecord();
    const GuardSettingsRecord saved = GuardSettings;
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    GuardSettings = GuardSettingsRecord{};
    ASSERT_TRUE(doc.OnOpenDocument(SettingsPath));
    ExpectSameRecord(GuardSettings, saved);
    EXPECT_EQ(GuardSettings.slots[0].nextDue, unscheduledMark);
}

TEST_F(SettingsFileTest, ACutFileKeepsWhatCameBeforeTheCutAndTheRestAsBefore)
{
    FillFullRecord();
    GuardSettings.library.noises[8].path = "short";
    const GuardSettingsRecord full = GuardSettings;
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    const std::string bytes = ReadFile(SettingsFile());

    GuardSettingsRecord before{};
    before.library.noiseCount = 3;
    before.library.noises[0].name = "old";
    for (NoiseSlot& slot : before.slots)
        slot.noiseName = "old row";
    before.quietWindow = {1, 2};

    for (size_t cut = 1; cut < bytes.size(); ++cut) {
        WriteFile(SettingsFile(), bytes.substr(0, cut));
        GuardSettings = before;
        messenger.messages.clear();
        ASSERT_FALSE(doc.OnOpenDocument(SettingsPath)) << cut;
        ASSERT_EQ(messenger.messages.size(), 1u) << cut;
        EXPECT_EQ(GuardSettings.library.noiseCount, cut < 4 ? 3 : kMaxNoises) << cut;
        // The last field can only be as before: the file ends in it.
        EXPECT_EQ(GuardSettings.quietWindow.quietToHour, 2) << cut;
        EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, cut >= bytes.size() - 4 ? 22 : 1) << cut;
        if (cut >= 12) {
            EXPECT_EQ(GuardSettings.library.noises[0].name, full.library.noises[0].name) << cut;
        }
        if (cut < 5) {
            EXPECT_EQ(GuardSettings.library.noises[0].name.str(), "old") << cut;
        }
    }
}

TEST_F(SettingsFileTest, ImpossibleNoiseCountsAreRefusedAndChangeNothing)
{
    FillFullRecord();
    const GuardSettingsRecord before = GuardSettings;
    for (std::int32_t count : {-1, 101, INT32_MAX}) {
        std::string bytes(reinterpret_cast<const char*>(&count), 4);
        bytes += std::string(5000, '\x01');
        WriteFile(SettingsFile(), bytes);
        messenger.messages.clear();
        EXPECT_FALSE(doc.OnOpenDocument(SettingsPath));
        ASSERT_EQ(messenger.messages.size(), 1u);
        EXPECT_NE(messenger.messages[0].find(std::to_string(count)), std::string::npos) << messenger.messages[0];
        ExpectSameRecord(GuardSettings, before);
    }
}

TEST_F(SettingsFileTest, ALyingStringLengthFailsCleanly)
{
    WriteFile(SettingsFile(), std::string("\x01\x00\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF" "abc", 14));
    EXPECT_FALSE(doc.OnOpenDocument(SettingsPath));
    EXPECT_EQ(GuardSettings.library.noiseCount, 1) << "the count came before the damage";
    EXPECT_TRUE(GuardSettings.library.noises[0].name.IsEmpty());
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_NE(messenger.messages[0].find("damaged"), std::string::npos);
}

TEST_F(SettingsFileTest, EmptyAndMissingFilesLeaveEverySetting)
{
    FillFullRecord();
    const GuardSettingsRecord before = GuardSettings;
    WriteFile(SettingsFile(), "");
    EXPECT_TRUE(doc.OnOpenDocument(SettingsPath));
    EXPECT_TRUE(messenger.messages.empty());
    ExpectSameRecord(GuardSettings, before);

    std::filesystem::remove(SettingsFile());
    EXPECT_FALSE(doc.OnOpenDocument(SettingsPath));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_NE(messenger.messages[0].find(SettingsFile()), std::string::npos) << "names the file";
    ExpectSameRecord(GuardSettings, before);
}

// The first start has no settings file: the message welcomes a new user and
// says what to do first; any other file that will not open is a failure
// that names the file and the reason.
TEST_F(SettingsFileTest, AMissingSettingsFileWelcomesAnyOtherFailureNamesFileAndReason)
{
    EXPECT_FALSE(doc.OnOpenDocument(SettingsPath));
    ASSERT_EQ(messenger.messages.size(), 1u);
    for (const char* says : {"no settings yet", "What Should I Do?", "quiet hours", "Edit Noises"})
        EXPECT_NE(messenger.messages[0].find(says), std::string::npos) << says;

    const std::string other = home / "elsewhere.hwt";
    messenger.messages.clear();
    EXPECT_FALSE(doc.OnOpenDocument(other.c_str()));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_NE(messenger.messages[0].find(other), std::string::npos);
    EXPECT_NE(messenger.messages[0].find("No such file"), std::string::npos);
    EXPECT_EQ(messenger.messages[0].find("Welcome"), std::string::npos);

    WriteFile(SettingsFile(), std::string("\x05\x00\x00\x00\x03", 5));
    messenger.messages.clear();
    EXPECT_FALSE(doc.OnOpenDocument(SettingsPath));
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_NE(messenger.messages[0].find("damaged"), std::string::npos);
}

// A FIFO, a device or a folder named as a settings file, or a huge file
// dropped by mistake: refused at once, unread, with every setting kept.
TEST_F(SettingsFileTest, OnlyARegularFileOfAtMostFourMebibytesIsRead)
{
    FillFullRecord();
    const GuardSettingsRecord before = GuardSettings;
    const std::string fifo = home / "pipe.hwt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = home / "big.hwt";
    std::filesystem::resize_file((std::ofstream(big), big), CDocument::kLargestFile + 1);
    const struct {
        std::string path;
        const char* reason;
    } refused[] = {
        {fifo, "not a regular file"}, {"/dev/zero", "not a regular file"}, {home.path(), "folder"}, {big, "MiB"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.path);
        messenger.messages.clear();
        EXPECT_FALSE(doc.OnOpenDocument(r.path.c_str()));
        ASSERT_EQ(messenger.messages.size(), 1u);
        EXPECT_NE(messenger.messages[0].find(r.reason), std::string::npos) << messenger.messages[0];
        ExpectSameRecord(GuardSettings, before);
    }
    // 4 MiB exactly is still read: here a record followed by filler.
    const std::string atTheLimit = home / "limit.hwt";
    GuardSettings = GuardSettingsRecord{};
    FillNothingRows();
    GuardSettings.quietWindow = {1, 2};
    ASSERT_TRUE(doc.OnSaveDocument(atTheLimit.c_str()));
    std::filesystem::resize_file(atTheLimit, CDocument::kLargestFile);
    GuardSettings.quietWindow = {};
    messenger.messages.clear();
    EXPECT_TRUE(doc.OnOpenDocument(atTheLimit.c_str()));
    EXPECT_TRUE(messenger.messages.empty());
    EXPECT_EQ(GuardSettings.quietWindow.quietToHour, 2);
}

TEST_F(SettingsFileTest, ASaveThroughASymlinkWritesItsFileAndKeepsLinkAndMode)
{
    const std::string real = home / "kept/real-settings.hwt";
    std::filesystem::create_directories(home / "kept");
    FillNothingRows();
    ASSERT_TRUE(doc.OnSaveDocument(real.c_str()));
    ASSERT_EQ(::chmod(real.c_str(), 0644), 0);
    std::filesystem::create_symlink("kept/real-settings.hwt", SettingsFile());

    GuardSettings.quietWindow = {22, 7};
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    EXPECT_TRUE(std::filesystem::is_symlink(SettingsFile()));
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    GuardSettings.quietWindow = {};
    ASSERT_TRUE(doc.OnOpenDocument(real.c_str()));
    EXPECT_EQ(GuardSettings.quietWindow.quietFromHour, 22);

    // A new file gets what the user's umask gives any new file.
    std::filesystem::remove(SettingsFile());
    const mode_t previous = ::umask(022);
    const BOOL saved = doc.OnSaveDocument(SettingsPath);
    ::umask(previous);
    ASSERT_TRUE(saved);
    ASSERT_EQ(::stat(SettingsFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(SettingsFileTest, SaveCreatesAMissingHomeFolder)
{
    const std::string nested = home / "not/yet/there";
    ::setenv("HAUNTWATCH_HOME", nested.c_str(), 1);
    FillNothingRows();
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    EXPECT_EQ(ReadFile(nested + "/noises.hwt").size(), 157u);
    struct stat info {};
    ASSERT_EQ(::stat(nested.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(SettingsFileTest, AFailedSaveLeavesTheOldFileAndMemoryAlone)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    FillNothingRows();
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    const std::string old = ReadFile(SettingsFile());
    FillFullRecord();
    const GuardSettingsRecord inMemory = GuardSettings;
    ASSERT_EQ(::chmod(home.path().c_str(), 0500), 0);
    EXPECT_FALSE(doc.OnSaveDocument(SettingsPath));
    ::chmod(home.path().c_str(), 0700);
    EXPECT_EQ(ReadFile(SettingsFile()), old);
    ExpectSameRecord(GuardSettings, inMemory);
    ASSERT_EQ(messenger.messages.size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path()), {}), 1) << "no temporary left";
}

TEST_F(SettingsFileTest, ASaveThatFailsHalfWayLeavesTheOldFileIntact)
{
    FillNothingRows();
    ASSERT_TRUE(doc.OnSaveDocument(SettingsPath));
    const std::string old = ReadFile(SettingsFile());
    FillFullRecord();
    // A file-size limit makes the write stop part-way, as a full disk would, even for root.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const BOOL result = doc.OnSaveDocument(SettingsPath);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(result);
    EXPECT_EQ(ReadFile(SettingsFile()), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path()), {}), 1) << "no temporary left";
    ASSERT_EQ(messenger.messages.size(), 1u);
}

}  // namespace
