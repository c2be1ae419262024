#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "HomeFolder.h"
#include "TempFolder.h"

namespace {

// The variables a test changes, put back as they were for the tests after it.
class SavedEnvironment {
public:
    explicit SavedEnvironment(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~SavedEnvironment()
    {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class HomeFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("HAUNTWATCH_HOME", (folder / "home").c_str(), 1);
        ::setenv("HAUNTWATCH_DATA_DIR", (folder / "data").c_str(), 1);
    }
    SavedEnvironment environment{"HAUNTWATCH_HOME", "HAUNTWATCH_DATA_DIR", "XDG_DATA_HOME", "HOME"};
    TempFolder folder;
};

TEST_F(HomeFolderTest, WindowsHomePathsMapIntoTheHomeFolder)
{
    EXPECT_EQ(platform::HomePath("c:\\qwendrik\\noises.hwt"), folder / "home/noises.hwt");
    EXPECT_EQ(platform::HomePath("C:\\Qwendrik\\sub\\x.wav"), folder / "home/sub/x.wav");
    EXPECT_EQ(platform::HomePath("/srv/noises/dog.wav"), "/srv/noises/dog.wav");
    EXPECT_EQ(platform::HomePath("c:\\qwendrikx\\a"), "c:\\qwendrikx\\a");
}

TEST_F(HomeFolderTest, HomeFolderFallsBackToXdgDataHome)
{
    ::unsetenv("HAUNTWATCH_HOME");
    ::setenv("XDG_DATA_HOME", "/x/data", 1);
    EXPECT_EQ(platform::HomeFolder(), "/x/data/qwendrik");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(platform::HomeFolder(), "/home/someone/.local/share/qwendrik");
}

TEST_F(HomeFolderTest, ProgramFilesPreferTheHomeFolderCopy)
{
    ASSERT_TRUE(platform::EnsureFolder(folder / "data", nullptr));
    std::ofstream(folder / "data/thanks.wav") << "shipped";
    EXPECT_EQ(platform::ProgramFilePath("c:\\qwendrik\\thanks.wav"), folder / "data/thanks.wav");
    ASSERT_TRUE(platform::EnsureFolder(folder / "home", nullptr));
    std::ofstream(folder / "home/thanks.wav") << "own";
    EXPECT_EQ(platform::ProgramFilePath("c:\\qwendrik\\thanks.wav"), folder / "home/thanks.wav");
}

TEST_F(HomeFolderTest, DataFolderLiesBesideTheRunningBinarysFolder)
{
    ::unsetenv("HAUNTWATCH_DATA_DIR");
    // <prefix>/bin/program has its data in <prefix>/share/hauntwatch: here the
    // prefix is the folder above this test's own folder.
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(platform::DataFolder(), (program.parent_path().parent_path() / "share/hauntwatch").string());
}

TEST_F(HomeFolderTest, EnsureFolderCreatesPrivateFoldersWithParents)
{
    const std::string deep = folder / "a/b/c";
    ASSERT_TRUE(platform::EnsureFolder(deep, nullptr));
    struct stat info {};
    ASSERT_EQ(::stat(deep.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

}  // namespace
