#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "OwnEnvironment.h"
#include "TempFolder.h"
#include "XdgProgramStarter.h"

namespace {

// Puts a stand-in xdg-open first on PATH that records its arguments, NUL-separated.
class XdgProgramStarterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        InstallStarter(0);
        ::setenv("PATH", (bin.path() + ":" + savedPath_).c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", savedPath_.c_str(), 1); }

    void InstallStarter(int exitCode)
    {
        const std::string script = bin / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done >> '" << (files / "log")
                              << "'\nenv > '" << (files / "env") << "'\nexit " << exitCode << "\n";
        ::chmod(script.c_str(), 0755);
    }

    std::vector<std::string> Recorded() const
    {
        std::ifstream in(files / "log", std::ios::binary);
        std::vector<std::string> arguments;
        for (std::string argument; std::getline(in, argument, '\0');)
            arguments.push_back(argument);
        return arguments;
    }

    std::string Touch(const std::string& name) const
    {
        const std::string path = files / name;
        std::ofstream(path) << "x";
        return path;
    }

    TempFolder bin;
    TempFolder files;
    platform::XdgProgramStarter starter;

private:
    std::string savedPath_;
};

TEST_F(XdgProgramStarterTest, HostileNamesArriveAsOneUntouchedArgument)
{
    const std::vector<std::string> names = {"notes; touch pwned.txt", "$(touch pwned).txt", "it's \"quoted\".doc",
                                            "two  spaces.odt", "new\nline.txt", "-flag.txt"};
    std::vector<std::string> expected;
    for (const std::string& name : names) {
        const std::string path = Touch(name);
        EXPECT_GT(starter.StartFile(path, 3), 31u) << name;
        expected.push_back(path);
    }
    EXPECT_EQ(Recorded(), expected);
    struct stat info {};
    EXPECT_NE(::stat((files / "pwned.txt").c_str(), &info), 0);
    EXPECT_NE(::stat("pwned", &info), 0);
}

// What the program told the sound server about itself stays its own: a
// started player would otherwise be listed, and muted, as Hauntwatch.
TEST_F(XdgProgramStarterTest, StartedProgramsGetTheEnvironmentAsItWasBeforeTheProgramsOwnSettings)
{
    ::setenv("HW_TEST_HAD", "the person's", 1);
    ::unsetenv("HW_TEST_NEW");
    platform::SetOwnVariable("HW_TEST_HAD", "Hauntwatch's");
    platform::SetOwnVariable("HW_TEST_NEW", "Hauntwatch's");
    EXPECT_GT(starter.StartFile(Touch("radio.ogg"), 3), 31u);
    std::ifstream in(files / "env");
    const std::string environment((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(environment.find("HW_TEST_HAD=the person's\n"), std::string::npos) << environment;
    EXPECT_EQ(environment.find("HW_TEST_NEW"), std::string::npos) << environment;
    EXPECT_NE(environment.find("PATH="), std::string::npos) << "the rest is inherited";
    EXPECT_STREQ(std::getenv("HW_TEST_NEW"), "Hauntwatch's") << "while the program itself keeps its own";
}

TEST_F(XdgProgramStarterTest, MissingFilesFailingStartersAndNoStarterAreFailures)
{
    EXPECT_LE(starter.StartFile(files / "missing.txt", 3), 31u);
    EXPECT_TRUE(Recorded().empty()) << "a missing file is not handed on";
    InstallStarter(3);
    EXPECT_LE(starter.StartFile(Touch("unknown.xyz"), 3), 31u);
    ::setenv("PATH", "/nonexistent", 1);
    EXPECT_LE(starter.StartFile(Touch("a.txt"), 3), 31u);
}

}  // namespace
