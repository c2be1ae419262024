// The real program under its own Xvfb, a real Mosquitto, the real clock and a
// stand-in xdg-open that writes down what it was asked to open: as a person
// with Home Assistant would see it from afar.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>

#include "Broker.h"
#include "CQwendrikDoc.h"
#include "DeviceId.h"
#include "GuardSettings.h"
#include "RemoteMessages.h"
#include "TempFolder.h"

namespace {

using namespace remote;
using namespace broker_test;
using namespace std::chrono_literals;

// A slot every minute is due a minute after the start; its start is logged
// after at most a few seconds more, but a loaded machine gets time.
constexpr auto kSlotPatience = 100s;

class XServer {
public:
    XServer()
    {
        process_.setProgram(QStringLiteral("Xvfb"));
        process_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                               QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                               // A server that resets when its last client leaves drops whoever
                               // connects meanwhile: the program started again after a kill.
                               QStringLiteral("-noreset")});
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start();
        if (!process_.waitForStarted(10000))
            return;
        QByteArray number;
        WaitFor([&] {
            number += process_.readAllStandardOutput();
            return number.contains('\n');
        }, 20s);
        if (number.contains('\n'))
            display_ = ":" + number.trimmed().toStdString();
    }
    ~XServer()
    {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    const std::string& display() const { return display_; }
    // As an X server that crashed.
    void Kill()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
    std::string display_;
};

struct LibraryNoise {
    std::string name;
    std::string path;
};

// One Hauntwatch with its own home, settings and stand-in starter.  Without
// a library of its own it has one noise, "radio", started every minute.
class Program {
public:
    Program(const std::string& folder, const XServer& x, const Broker& broker, std::vector<LibraryNoise> library = {})
        : folder_(folder), library_(std::move(library))
    {
        for (const char* sub : {"home", "config", "bin"})
            std::filesystem::create_directories(folder_ + "/" + sub);
        std::filesystem::create_directory(folder_ + "/run");
        std::filesystem::permissions(folder_ + "/run", std::filesystem::perms::owner_all);
        std::ofstream(radio()) << "a radio left on\n";
        {
            std::ofstream starter(folder_ + "/bin/xdg-open");
            starter << "#!/bin/sh\nprintf '%s %s\\n' \"$(date +%s)\" \"$1\" >> '" << StarterLogPath() << "'\n";
        }
        std::filesystem::permissions(folder_ + "/bin/xdg-open", std::filesystem::perms::owner_all);
        WriteSettingsFile();
        std::ofstream(home() + "/hauntwatch.conf")
            << "[Remote]\nBroker=" << broker.Url() << "\nName=" << std::filesystem::path(folder_).filename().string() << "\n";

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HAUNTWATCH_HOME", QString::fromStdString(home()));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(folder_ + "/config"));
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder_ + "/run"));
        environment.insert("DISPLAY", QString::fromStdString(x.display()));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("HAUNTWATCH_AO", "null");
        environment.insert("HAUNTWATCH_VO", "null");
        environment.insert("ASAN_OPTIONS", "detect_leaks=0");
        environment.insert("PATH", QString::fromStdString(folder_ + "/bin:") + environment.value("PATH"));
        process_.setProcessEnvironment(environment);
        process_.setProgram(QStringLiteral(HAUNTWATCH_BINARY));
        process_.setStandardOutputFile(QString::fromStdString(folder_ + "/program.log"));
        process_.setStandardErrorFile(QString::fromStdString(folder_ + "/program.log"));
    }
    ~Program()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    bool Start()
    {
        process_.start();
        return process_.waitForStarted(10000);
    }
    void Kill()
    {
        ::kill(static_cast<pid_t>(process_.processId()), SIGKILL);
        process_.waitForFinished(5000);
    }
    // "&Quit" from the keyboard, as a person at the machine would.
    bool Quit(const XServer& x)
    {
        return OnMainWindow(x, QStringLiteral("xdotool windowfocus --sync \"$w\" && xdotool key alt+q"), 20000) &&
               process_.waitForFinished(20000);
    }

    // Two _NET_WM_PING round trips to the main window within thirty seconds.
    bool AnswersPing(const XServer& x)
    {
        return OnMainWindow(x, QStringLiteral("'%1' \"$w\" 2 30").arg(QStringLiteral(ROUNDTRIP_BINARY)), 40000);
    }

    // A shell command run with $w the program's main window; whether it succeeded.
    bool OnMainWindow(const XServer& x, const QString& command, int timeoutMs)
    {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromStdString(x.display()));
        shell.setProcessEnvironment(environment);
        shell.start(QStringLiteral("sh"),
                    {QStringLiteral("-c"), QStringLiteral("w=$(xdotool search --sync --onlyvisible --pid %1 --name '^Hauntwatch$' | head -1) && ")
                                               .arg(process_.processId()) +
                                           command});
        return shell.waitForFinished(timeoutMs) && shell.exitStatus() == QProcess::NormalExit && shell.exitCode() == 0;
    }
    std::string DiaryPath() const { return home() + "/diary.log"; }
    std::string Diary() const { return ReadFile(DiaryPath()); }

    qint64 pid() const { return process_.processId(); }
    bool Finished() { return process_.waitForFinished(30000) && process_.exitCode() == 0; }
    // Ended by itself, with a status that is not 0.
    bool Failed() { return process_.waitForFinished(30000) && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() != 0; }
    std::string home() const { return folder_ + "/home"; }
    std::string radio() const { return folder_ + "/radio.txt"; }
    std::string StarterLogPath() const { return folder_ + "/started.log"; }
    std::string StarterLog() const { return ReadFile(StarterLogPath()); }
    std::string ProgramLog() const { return ReadFile(folder_ + "/program.log"); }
    std::string Id() const { return DeviceId(ReadMachineId(), home()); }
    Topics TopicNames() const { return Topics(Id()); }
    std::string Node() const { return "hauntwatch_" + Id(); }

private:
    void WriteSettingsFile()
    {
        const GuardSettingsRecord kept = GuardSettings;
        GuardSettings = GuardSettingsRecord{};
        for (NoiseSlot& slot : GuardSettings.slots) {
            slot.noiseName = kNothing;
            slot.filePath = kNone;
        }
        for (const LibraryNoise& noise : library_)
            GuardSettings.library.noises[GuardSettings.library.noiseCount++] = Noise{noise.name.c_str(), noise.path.c_str()};
        if (library_.empty()) {
            GuardSettings.library.noiseCount = 1;
            GuardSettings.library.noises[0] = Noise{"radio", radio().c_str()};
            GuardSettings.slots[0] = NoiseSlot{"radio", radio().c_str(), 1, kModeExact, 1, CTime()};
        }
        CQwendrikDoc document;
        EXPECT_TRUE(document.OnSaveDocument((home() + "/noises.hwt").c_str()));
        GuardSettings = kept;
    }

    std::string folder_;
    std::vector<LibraryNoise> library_;
    QProcess process_;
};

// The TCP sockets (IPv4 or IPv6) the process listens on.
std::vector<std::string> ListeningTcpSockets(qint64 pid)
{
    std::set<std::string> inodes;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        std::error_code error;
        const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
        if (target.starts_with("socket:["))
            inodes.insert(target.substr(8, target.size() - 9));
    }
    std::vector<std::string> listening;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream lines(table);
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
            if (state == "0A" && inodes.count(inode))
                listening.push_back(local);
        }
    }
    return listening;
}

std::size_t Configs(const Listener& listener, const std::string& node = "")
{
    std::size_t found = 0;
    for (const Heard& h : listener.All())
        if (h.topic.starts_with("homeassistant/") && h.topic.ends_with("/config") && h.topic.find(node) != std::string::npos)
            ++found;
    return found;
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
        ASSERT_TRUE(broker.Start()) << "the broker did not start";
    }
    TempFolder folder;
    XServer x;
    Broker broker{folder / "broker"};
};

TEST_F(EndToEndTest, SeenSwitchedAndHeardFromTheBrokerAndSaidOfflineWhenKilled)
{
    Program program(folder / "kitchen", x, broker);
    const Topics topics = program.TopicNames();
    Listener listener(broker.port(), {topics.base + "/#", "homeassistant/#"});
    ASSERT_TRUE(listener.connected());
    // Somebody's ON, left retained on the broker before the program runs.
    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON", true));

    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(listener.WaitFor(topics.availability, "online", 30s)) << "never online:\n" << program.ProgramLog();
    ASSERT_TRUE(listener.WaitFor(topics.problems, "0")) << "the starting state never came";
    EXPECT_EQ(Configs(listener, program.Node()), 6u) << "five entities and the library's one noise as a button";

    // What a Home Assistant starting now finds on the broker.
    {
        Listener newcomer(broker.port(), {"homeassistant/#", topics.guard});
        ASSERT_TRUE(newcomer.WaitFor(topics.guard, "OFF")) << "the guard is not retained OFF";
        ASSERT_TRUE(WaitFor([&] { return Configs(newcomer) == 6; }, 10s));
        for (const Heard& h : newcomer.All()) {
            SCOPED_TRACE(h.topic);
            EXPECT_TRUE(h.retained);
            if (h.topic == topics.guard)
                continue;
            const QJsonObject config = QJsonDocument::fromJson(QByteArray::fromStdString(h.payload)).object();
            EXPECT_TRUE(config.value("unique_id").toString().startsWith(QString::fromStdString(program.Node())));
            EXPECT_EQ(config.value("device").toObject().value("identifiers").toArray().first().toString().toStdString(), program.Node());
            EXPECT_EQ(config.value("device").toObject().value("name").toString(), "kitchen");
            if (h.topic.starts_with("homeassistant/button/")) {
                EXPECT_EQ(config.value("command_topic").toString().toStdString(), topics.play);
                EXPECT_EQ(config.value("payload_press").toString(), "radio");
                continue;
            }
            EXPECT_TRUE(config.value("state_topic").toString().startsWith(QString::fromStdString(topics.base + "/")));
            if (h.topic.starts_with("homeassistant/switch/")) {
                EXPECT_EQ(config.value("command_topic").toString().toStdString(), topics.guardSet);
            }
        }
    }
    // The program handles its subscriptions in order: once it has answered
    // Home Assistant's "online", it has passed over the retained ON.
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "online"));
    ASSERT_TRUE(WaitFor([&] { return Configs(listener, program.Node()) == 12; }, 15s)) << "discovery was not sent again";
    for (const Heard& h : listener.On(topics.guard))
        EXPECT_EQ(h.payload, "OFF") << "the retained ON was obeyed";

    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitFor(topics.guard, "ON")) << "ON did not start the guard:\n" << program.ProgramLog();
    ASSERT_TRUE(WaitFor([&] { return listener.Latest(topics.next) != "None"; }, 10s));
    const std::string wake = *listener.Latest(topics.next);
    ASSERT_TRUE(WaitFor([&] { return !program.StarterLog().empty(); }, kSlotPatience)) << "the minute's slot never played";
    const std::string started = program.StarterLog();
    EXPECT_NE(started.find(program.radio()), std::string::npos) << started;
    const QDateTime due = QDateTime::fromString(QString::fromStdString(wake), Qt::ISODate);
    EXPECT_GE(std::stoll(started), due.toSecsSinceEpoch()) << "played before the wake-up it announced, " << wake;
    ASSERT_TRUE(WaitFor([&] { return listener.Latest(topics.lastPlay).has_value(); }, 10s));
    const QJsonObject play = QJsonDocument::fromJson(QByteArray::fromStdString(*listener.Latest(topics.lastPlay))).object();
    EXPECT_EQ(play.value("result").toString(), "started");
    EXPECT_EQ(play.value("name").toString(), "radio");

    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    EXPECT_TRUE(listener.WaitFor(topics.guard, "OFF")) << "OFF did not stop the guard";
    EXPECT_TRUE(listener.WaitFor(topics.next, "None"));

    program.Kill();
    EXPECT_TRUE(listener.WaitFor(topics.availability, "offline", 30s)) << "the broker did not say the killed program is offline";
}

TEST_F(EndToEndTest, ABrokerAwayWhileASlotPlaysGetsTheWholeStateWhenBackAndAQuitSaysOffline)
{
    Program program(folder / "hall", x, broker);
    const Topics topics = program.TopicNames();
    ASSERT_TRUE(program.Start());
    {
        Listener listener(broker.port(), {topics.base + "/#"});
        ASSERT_TRUE(listener.WaitFor(topics.availability, "online", 30s)) << "never online:\n" << program.ProgramLog();
        ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
        ASSERT_TRUE(listener.WaitFor(topics.guard, "ON")) << "ON did not start the guard";
    }
    broker.Stop();
    ASSERT_TRUE(WaitFor([&] { return !program.StarterLog().empty(); }, kSlotPatience))
        << "the slot due while the broker was away never played";
    const std::int64_t playedAt = std::stoll(program.StarterLog());

    ASSERT_TRUE(broker.Start()) << "the broker did not start again";
    // This broker keeps nothing across a restart: all it holds now was sent again.
    Listener listener(broker.port(), {topics.base + "/#", "homeassistant/#"});
    ASSERT_TRUE(listener.WaitFor(topics.availability, "online", 60s)) << "did not reconnect:\n" << program.ProgramLog();
    ASSERT_TRUE(listener.WaitFor(topics.guard, "ON"));
    ASSERT_TRUE(WaitFor([&] { return listener.Latest(topics.lastPlay).has_value() && Configs(listener) == 6; }, 15s));
    const QJsonObject play = QJsonDocument::fromJson(QByteArray::fromStdString(*listener.Latest(topics.lastPlay))).object();
    EXPECT_EQ(play.value("result").toString(), "started");
    EXPECT_NEAR(QDateTime::fromString(play.value("time").toString(), Qt::ISODate).toSecsSinceEpoch(), playedAt, 2)
        << "the last play is not the one that happened while the broker was away";

    ASSERT_TRUE(program.Quit(x)) << "the program did not quit on &Quit";
    EXPECT_TRUE(listener.WaitFor(topics.guard, "OFF")) << "quitting ends the guard";
    EXPECT_TRUE(listener.WaitFor(topics.availability, "offline")) << "a clean exit did not say offline";
}

TEST_F(EndToEndTest, TwoHomesOnOneBrokerAreTwoDevicesEachSwitchingOnlyItself)
{
    Program kitchen(folder / "kitchen", x, broker);
    Program attic(folder / "attic", x, broker);
    ASSERT_NE(kitchen.Id(), attic.Id());
    const Topics k = kitchen.TopicNames();
    const Topics a = attic.TopicNames();
    Listener listener(broker.port(), {"hauntwatch/#", "homeassistant/#"});
    ASSERT_TRUE(kitchen.Start());
    ASSERT_TRUE(attic.Start());
    ASSERT_TRUE(listener.WaitFor(k.problems, "0", 30s)) << "the kitchen never came:\n" << kitchen.ProgramLog();
    ASSERT_TRUE(listener.WaitFor(a.problems, "0", 30s)) << "the attic never came:\n" << attic.ProgramLog();

    std::map<QString, QString> deviceNames;
    std::set<QString> uniqueIds;
    for (const Heard& h : listener.All()) {
        if (!h.topic.ends_with("/config"))
            continue;
        const QJsonObject config = QJsonDocument::fromJson(QByteArray::fromStdString(h.payload)).object();
        const QJsonObject device = config.value("device").toObject();
        deviceNames[device.value("identifiers").toArray().first().toString()] = device.value("name").toString();
        uniqueIds.insert(config.value("unique_id").toString());
    }
    EXPECT_EQ(deviceNames, (std::map<QString, QString>{{QString::fromStdString(kitchen.Node()), "kitchen"},
                                                       {QString::fromStdString(attic.Node()), "attic"}}));
    EXPECT_EQ(uniqueIds.size(), 12u);
    EXPECT_TRUE(ListeningTcpSockets(kitchen.pid()).empty()) << "the program listens for connections";

    // A second start for the kitchen's home hands over and ends, leaving the
    // running kitchen on the broker.
    {
        Program again(folder / "kitchen", x, broker);
        ASSERT_TRUE(again.Start());
        ASSERT_TRUE(again.Finished()) << "the second start did not end";
    }
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "online"));
    ASSERT_TRUE(listener.WaitForCount(k.availability, 2)) << "the kitchen did not answer";
    for (const Heard& h : listener.On(k.availability))
        EXPECT_EQ(h.payload, "online") << "a second start disturbed the running program's connection";

    ASSERT_TRUE(listener.Publish(k.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitFor(k.guard, "ON")) << "the kitchen did not start";
    // An OFF to the attic while it is off is answered with its state, which
    // is still off by then.
    ASSERT_TRUE(listener.Publish(a.guardSet, "OFF"));
    ASSERT_TRUE(listener.WaitForCount(a.guard, 3)) << "the attic did not answer";
    EXPECT_EQ(listener.Latest(a.guard), "OFF") << "the kitchen's command switched the attic";

    ASSERT_TRUE(listener.Publish(a.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitFor(a.guard, "ON"));
    ASSERT_TRUE(listener.Publish(k.guardSet, "OFF"));
    ASSERT_TRUE(listener.WaitFor(k.guard, "OFF"));
    ASSERT_TRUE(listener.Publish(a.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitForCount(a.guard, 5));
    EXPECT_EQ(listener.Latest(a.guard), "ON") << "the kitchen's OFF stopped the attic";
}

// The X server goes away under a running guard: the program ends by itself
// without a crash (nor a sanitizer's report), with a failure status for its
// unit to start it again, keeps the duty record, and writes what a normal
// end writes: the count of the commands it set aside, and offline.
TEST_F(EndToEndTest, TheDisplayGoingAwayEndsTheProgramWithoutACrashAndWithItsLastLines)
{
    Program program(folder / "home", x, broker);
    const Topics topics = program.TopicNames();
    Listener listener(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(listener.WaitFor(topics.problems, "0", 30s)) << program.ProgramLog();
    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitFor(topics.guard, "ON"));
    ASSERT_TRUE(listener.Publish(topics.guardSet, "sing"));
    // Answered after the one before it was set aside.
    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitForCount(topics.guard, 3));

    x.Kill();
    ASSERT_TRUE(program.Failed()) << program.ProgramLog();
    for (const char* report : {"AddressSanitizer", "runtime error", "Segmentation", "Aborted"})
        EXPECT_EQ(program.ProgramLog().find(report), std::string::npos) << program.ProgramLog();
    EXPECT_NE(program.Diary().find("ignored 1 command since "), std::string::npos) << program.Diary();
    EXPECT_TRUE(std::filesystem::exists(program.home() + "/on-duty")) << "the duty record went";
    EXPECT_TRUE(listener.WaitFor(topics.availability, "offline"));
}

std::size_t LinesWith(const std::string& text, const std::string& part)
{
    std::size_t found = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        found += line.find(part) != std::string::npos ? 1 : 0;
    return found;
}

// A thousand and one ON and OFF in a fraction of a second: each change plays
// the guard's sound, yet the flood ends in the last one's state within
// seconds, and a key typed meanwhile is answered.
TEST_F(EndToEndTest, AFloodOfCommandsEndsInTheLastOnesStateAndTheWindowAnswersMeanwhile)
{
    Program program(folder / "hall", x, broker);
    const Topics topics = program.TopicNames();
    Listener listener(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(listener.WaitFor(topics.guard, "OFF", 30s)) << "never online:\n" << program.ProgramLog();

    std::vector<std::string> flood;
    for (int i = 0; i <= 1000; ++i)
        flood.push_back(i % 2 == 0 ? "ON" : "OFF");
    ASSERT_TRUE(listener.Flood(topics.guardSet, flood));
    // The window's event loop answers the window manager's ping meanwhile.
    EXPECT_TRUE(program.AnswersPing(x)) << "the window did not answer during the flood";
    ASSERT_TRUE(listener.WaitFor(topics.guard, "ON", 60s)) << "the flood did not end in its last command's state";
    ASSERT_TRUE(program.Quit(x)) << program.ProgramLog();
    const std::string diary = program.Diary();
    EXPECT_LE(LinesWith(diary, "from the broker"), 3u) << "the guard followed the flood:\n" << diary;
    EXPECT_EQ(LinesWith(diary, "overtaken by a later one"), 1u) << diary;
}

// Anybody who may publish on the command topic sends fifteen thousand
// payloads of junk: the diary's history stays, and grows by a line.
TEST_F(EndToEndTest, FifteenThousandJunkCommandsLeaveTheDiarysHistoryInPlace)
{
    Program program(folder / "hall", x, broker);
    std::string history;
    for (int day = 1; day <= 7; ++day)
        for (int hour = 0; hour < 24; ++hour)
            history += "2026-12-0" + std::to_string(day) + "T" + (hour < 10 ? "0" : "") + std::to_string(hour) +
                       ":00:00+00:00\tstarted\t" + program.radio() + "\n";
    std::ofstream(program.DiaryPath()) << history;
    const Topics topics = program.TopicNames();
    Listener listener(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(program.Start());
    ASSERT_TRUE(listener.WaitFor(topics.guard, "OFF", 30s)) << "never online:\n" << program.ProgramLog();

    std::vector<std::string> junk;
    for (int i = 0; i < 15000; ++i)
        junk.push_back(i % 3 == 0 ? std::string("\0\xff\xfe junk\n", 10) : i % 3 == 1 ? "toggle " + std::to_string(i) : std::string(200, 'x'));
    ASSERT_TRUE(listener.Flood(topics.guardSet, junk));
    // Answered once everything before it is handled.
    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    ASSERT_TRUE(listener.WaitForCount(topics.guard, 2, 60s));
    ASSERT_TRUE(program.Quit(x));

    const std::string diary = program.Diary();
    ASSERT_TRUE(diary.starts_with(history)) << "the history was pushed out";
    EXPECT_LT(diary.size() - history.size(), 4096u) << diary.substr(history.size());
    EXPECT_EQ(LinesWith(diary, "ignored 15000 commands since "), 1u) << diary.substr(history.size());
    EXPECT_EQ(diary.find('\0'), std::string::npos) << "raw bytes reached the diary";
}

// The README's Home Assistant script: footsteps upstairs, a door downstairs
// twenty seconds later, then the television, pressed as Home Assistant
// presses the buttons the two programs offer.  Both diaries tell the order.
TEST_F(EndToEndTest, AStoryAcrossTwoMachinesPlaysInTheOrderOfTheScript)
{
    std::filesystem::create_directories(folder / "sounds");
    for (const char* name : {"footsteps.wav", "door.wav", "television.wav"})
        std::filesystem::copy_file(TEST_DATA_DIR "/tone.wav", folder / (std::string("sounds/") + name));
    Program upstairs(folder / "upstairs", x, broker, {{"Footsteps", folder / "sounds/footsteps.wav"}});
    Program downstairs(folder / "downstairs", x, broker,
                       {{"Door", folder / "sounds/door.wav"}, {"Television", folder / "sounds/television.wav"}});
    Listener listener(broker.port(), {"homeassistant/button/#"});
    ASSERT_TRUE(upstairs.Start() && downstairs.Start());
    ASSERT_TRUE(WaitFor([&] { return Configs(listener) == 3; }, 30s)) << "not three buttons";
    // What Home Assistant knows of each button: where a press goes, and what it says.
    std::map<std::string, std::pair<std::string, std::string>> buttons;
    for (const Heard& h : listener.All()) {
        const QJsonObject config = QJsonDocument::fromJson(QByteArray::fromStdString(h.payload)).object();
        buttons[config.value("name").toString().toStdString()] = {config.value("command_topic").toString().toStdString(),
                                                                  config.value("payload_press").toString().toStdString()};
    }
    auto press = [&](const std::string& button) {
        ASSERT_EQ(buttons.count(button), 1u) << button;
        ASSERT_TRUE(listener.Publish(buttons[button].first, buttons[button].second));
    };
    press("Play Footsteps");
    QTest::qWait(20000);  // the script's delay: the story's own time
    press("Play Door");
    press("Play Television");
    auto played = [](const Program& program, const std::string& file) -> std::optional<std::int64_t> {
        std::istringstream lines(program.Diary());
        for (std::string line; std::getline(lines, line);)
            if (line.find("\tplayed\t") != std::string::npos && line.find(file) != std::string::npos &&
                line.ends_with("\tfrom the broker"))
                return QDateTime::fromString(QString::fromStdString(line.substr(0, line.find('\t'))), Qt::ISODate).toSecsSinceEpoch();
        return std::nullopt;
    };
    ASSERT_TRUE(WaitFor([&] { return played(downstairs, "television.wav").has_value(); }, 30s))
        << "the television never played:\n" << downstairs.Diary();
    const auto footsteps = played(upstairs, "footsteps.wav");
    const auto door = played(downstairs, "door.wav");
    const auto television = played(downstairs, "television.wav");
    ASSERT_TRUE(footsteps && door) << upstairs.Diary() << downstairs.Diary();
    EXPECT_GE(*door - *footsteps, 19) << "the door came before the script's twenty seconds";
    EXPECT_LE(*door, *television) << "the television before the door";
}

}  // namespace
