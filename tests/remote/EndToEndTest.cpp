// The real program under its own Xvfb, a real Mosquitto, the real clock and a
// stand-in xdg-open that writes down what it was asked to open: as a person
// with Home Assistant would see it from afar.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
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
                               QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
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

private:
    QProcess process_;
    std::string display_;
};

// One Hauntwatch with its own home, settings and stand-in starter.
class Program {
public:
    Program(const std::string& folder, const XServer& x, const Broker& broker) : folder_(folder)
    {
        for (const char* sub : {"home", "config/Hauntwatch", "bin"})
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
        std::ofstream(folder_ + "/config/Hauntwatch/hauntwatch.conf")
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
        QProcess xdotool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromStdString(x.display()));
        xdotool.setProcessEnvironment(environment);
        xdotool.start(QStringLiteral("sh"), {QStringLiteral("-c"),
                                             QStringLiteral("w=$(xdotool search --sync --onlyvisible --pid %1 --name '^Hauntwatch$' | head -1) && "
                                                            "xdotool windowfocus --sync \"$w\" && xdotool key alt+q")
                                                 .arg(process_.processId())});
        return xdotool.waitForFinished(20000) && xdotool.exitCode() == 0 && process_.waitForFinished(20000);
    }

    qint64 pid() const { return process_.processId(); }
    bool Finished() { return process_.waitForFinished(30000) && process_.exitCode() == 0; }
    std::string home() const { return folder_ + "/home"; }
    std::string radio() const { return folder_ + "/radio.txt"; }
    std::string StarterLogPath() const { return folder_ + "/started.log"; }
    std::string StarterLog() const { return ReadFile(StarterLogPath()); }
    std::string ProgramLog() const { return ReadFile(folder_ + "/program.log"); }
    std::string Id() const { return DeviceId(ReadMachineId(), home()); }
    Topics TopicNames() const { return Topics(Id()); }
    std::string Node() const { return "hauntwatch_" + Id(); }

private:
    // One noise, "radio", started every minute, exactly.
    void WriteSettingsFile()
    {
        const GuardSettingsRecord kept = GuardSettings;
        GuardSettings = GuardSettingsRecord{};
        for (NoiseSlot& slot : GuardSettings.slots) {
            slot.noiseName = kNothing;
            slot.filePath = kNone;
        }
        GuardSettings.library.noiseCount = 1;
        GuardSettings.library.noises[0] = Noise{"radio", radio().c_str()};
        GuardSettings.slots[0] = NoiseSlot{"radio", radio().c_str(), 1, kModeExact, 1, CTime()};
        CQwendrikDoc document;
        EXPECT_TRUE(document.OnSaveDocument((home() + "/noises.hwt").c_str()));
        GuardSettings = kept;
    }

    std::string folder_;
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
    EXPECT_EQ(Configs(listener, program.Node()), 5u);

    // What a Home Assistant starting now finds on the broker.
    {
        Listener newcomer(broker.port(), {"homeassistant/#", topics.guard});
        ASSERT_TRUE(newcomer.WaitFor(topics.guard, "OFF")) << "the guard is not retained OFF";
        ASSERT_TRUE(WaitFor([&] { return Configs(newcomer) == 5; }, 10s));
        for (const Heard& h : newcomer.All()) {
            SCOPED_TRACE(h.topic);
            EXPECT_TRUE(h.retained);
            if (h.topic == topics.guard)
                continue;
            const QJsonObject config = QJsonDocument::fromJson(QByteArray::fromStdString(h.payload)).object();
            EXPECT_TRUE(config.value("unique_id").toString().startsWith(QString::fromStdString(program.Node())));
            EXPECT_EQ(config.value("device").toObject().value("identifiers").toArray().first().toString().toStdString(), program.Node());
            EXPECT_EQ(config.value("device").toObject().value("name").toString(), "kitchen");
            EXPECT_TRUE(config.value("state_topic").toString().startsWith(QString::fromStdString(topics.base + "/")));
            if (h.topic.starts_with("homeassistant/switch/")) {
                EXPECT_EQ(config.value("command_topic").toString().toStdString(), topics.guardSet);
            }
        }
    }
    // The program handles its subscriptions in order: once it has answered
    // Home Assistant's "online", it has passed over the retained ON.
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "online"));
    ASSERT_TRUE(WaitFor([&] { return Configs(listener, program.Node()) == 10; }, 15s)) << "discovery was not sent again";
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
    ASSERT_TRUE(WaitFor([&] { return listener.Latest(topics.lastPlay).has_value() && Configs(listener) == 5; }, 15s));
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
    EXPECT_EQ(uniqueIds.size(), 10u);
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
    // Both send all they keep again; the attic's guard is still off by then.
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "online"));
    ASSERT_TRUE(listener.WaitForCount(a.guard, 3)) << "the attic did not answer";
    EXPECT_EQ(listener.Latest(a.guard), "OFF") << "the kitchen's command switched the attic";

    ASSERT_TRUE(listener.Publish(a.guardSet, "ON"));
    ASSERT_TRUE(listener.WaitFor(a.guard, "ON"));
    ASSERT_TRUE(listener.Publish(k.guardSet, "OFF"));
    ASSERT_TRUE(listener.WaitFor(k.guard, "OFF"));
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "online"));
    ASSERT_TRUE(listener.WaitForCount(a.guard, 5));
    EXPECT_EQ(listener.Latest(a.guard), "ON") << "the kitchen's OFF stopped the attic";
}

}  // namespace
