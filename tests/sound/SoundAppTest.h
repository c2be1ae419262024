#pragma once
// The started program (fake services, see AppTestFixture.h) beside a private
// sound server with two outputs, "a" (Living room, the default) and "b"
// (Front door), and the sound module as the program makes it.
#include "AppTestFixture.h"
#include "ViewGuardAccess.h"
#include "SinkRecording.h"
#include "SoundModule.h"
#include "UserSettings.h"

using sound::SoundServerView;
using State = SoundServerView::State;

class SoundAppTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(server.Start()) << server.Log();
    }

    void TearDown() override
    {
        InstallGuardEvents(nullptr);
        module.reset();
        AppTest::TearDown();
    }

    static void ChooseInSettings(const char* output)
    {
        QSettings settings = UserSettings();
        settings.setValue("Sound/Output", output);
    }

    // The module as the program makes it; it hears the guard's events.
    void MakeModule(sound::WatcherTiming timing = {50, 400, 3000, 200})
    {
        module = std::make_unique<sound::SoundModule>(access, timing);
        module->SetUnheardSink([this](const sound::UnheardNote& note) { notes.push_back(note); });
        InstallGuardEvents(&module->Listener());
    }

    // Waits until the module knows what the server says.
    bool ServerKnown(const std::function<bool(const SoundServerView&)>& what = [](const SoundServerView&) { return true; })
    {
        return WaitFor([&] { return module->Watcher().View().state == State::Known && what(module->Watcher().View()); });
    }
    bool Output(const std::string& name, const std::function<bool(const sound::SoundOutput&)>& what)
    {
        return ServerKnown([&](const SoundServerView& v) { return v.Find(name) && what(*v.Find(name)); });
    }

    std::vector<std::string> Problems() const
    {
        std::vector<std::string> lines;
        for (int i = 0; i < ProblemLog.problemCount; ++i)
            lines.push_back(ProblemLog.problemLines[i].str());
        return lines;
    }

    std::vector<std::string> UnheardLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : Problems())
            if (line.find("nobody can hear Mervo") != std::string::npos)
                lines.push_back(line);
        return lines;
    }
    int Unheard() const { return static_cast<int>(UnheardLines().size()); }

    PulseServer server{{{"a", "Living room"}, {"b", "Front door"}}};
    ViewGuardAccess access;
    std::unique_ptr<sound::SoundModule> module;
    std::vector<sound::UnheardNote> notes;
};

