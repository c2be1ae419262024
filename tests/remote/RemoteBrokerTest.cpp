// The remote control against a real Mosquitto: what the broker holds, which
// commands reach the guard, logins, TLS, a broker that goes away and comes
// back.  The guard here is a stand-in that records what it was asked.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <memory>
#include <set>
#include <sys/stat.h>

#include "Broker.h"
#include "DeviceId.h"
#include "RemoteControl.h"
#include "RemoteDialog.h"
#include "TempFolder.h"
#include "TimeZoneGuard.h"
#include "UserSettings.h"

namespace {

using namespace remote;
using namespace broker_test;
using namespace std::chrono_literals;

class FakeGuard final : public GuardAccess {
public:
    // As the view does: nothing while on (or off), else the guard's event.
    void TurnOn(GuardStartOrigin origin) override
    {
        origins.push_back(origin);
        if (snapshot.on)
            return;
        snapshot.on = true;
        if (events)
            events->GuardStarted(CTime(2026, 12, 7, 22, 0, 0), origin);
    }
    void Stop() override
    {
        ++stops;
        if (!snapshot.on)
            return;
        snapshot.on = false;
        if (events)
            events->GuardStopped(CTime(2026, 12, 7, 22, 0, 0));
    }
    bool PlayNoise(const std::string& name) override
    {
        plays.push_back(name);
        return name != "nothing of that name";
    }
    void AppendProblem(const std::string& line) override { problems.push_back(line); }
    GuardSnapshot Snapshot() const override { return snapshot; }
    int ProblemCount() const override { return problemCount; }
    void SetScheduleExtras(const lifelike::ScheduleExtras&) override {}

    std::vector<GuardStartOrigin> origins;
    std::vector<std::string> plays;
    int stops = 0;
    std::vector<std::string> problems;
    GuardSnapshot snapshot;
    int problemCount = 0;
    GuardEvents* events = nullptr;
};

class RemoteBrokerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("HAUNTWATCH_HOME", (home / "home").c_str(), 1);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home / "config"));
    }
    void TearDown() override { ::unsetenv("HAUNTWATCH_HOME"); }

    // Short waits, so that a test sees several retries in seconds.
    static RetryDelays Quick()
    {
        RetryDelays delays;
        delays.reconnectMin = 1;
        delays.reconnectMax = 2;
        delays.refusedSeconds = 3;
        delays.fatalMinSeconds = 1;
        delays.fatalMaxSeconds = 2;
        return delays;
    }

    std::unique_ptr<RemoteControl> StartRemote(const RemoteSettings& settings)
    {
        EXPECT_TRUE(SaveRemoteSettings(settings));
        auto control = std::make_unique<RemoteControl>(guard);
        control->SetDiary([this](const std::string& what) { diary.push_back(what); });
        control->SetRetryDelays(Quick());
        control->Start();
        guard.events = control.get();
        return control;
    }
    static RemoteSettings To(const Broker& broker)
    {
        RemoteSettings settings;
        settings.broker = QString::fromStdString(broker.Url());
        settings.name = QStringLiteral("Kitchen");
        return settings;
    }
    static bool WaitState(const RemoteControl& control, LinkState state, std::chrono::milliseconds timeout = 15s)
    {
        return WaitFor([&] { return control.Status().state == state; }, timeout);
    }
    bool Noted(const std::string& part) const
    {
        return std::any_of(diary.begin(), diary.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }

    TempFolder home;
    FakeGuard guard;
    std::vector<std::string> diary;
};

TEST_F(RemoteBrokerTest, DiscoveryAndTheStartingStateAreRetainedAndWellFormed)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start()) << "the broker did not start";
    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected)) << "never connected: " << control->StatusLine().toStdString();
    const Topics& topics = control->TopicNames();
    EXPECT_EQ(topics.base, "hauntwatch/" + control->Id());

    // What the program sends at connection ends with the problem count; once
    // that has come round, the broker holds all of it.
    {
        Listener settle(broker.port(), {topics.problems});
        ASSERT_TRUE(settle.WaitForCount(topics.problems, 1)) << "the state never reached the broker";
    }
    // A newcomer is told only what the broker keeps.
    Listener listener(broker.port(), {"hauntwatch/#", "homeassistant/#"});
    ASSERT_TRUE(listener.connected());
    ASSERT_TRUE(listener.WaitFor(topics.next, "None")) << "the retained state never came";
    ASSERT_TRUE(WaitFor([&] {
        const auto all = listener.All();
        return std::count_if(all.begin(), all.end(), [](const Heard& h) { return h.topic.ends_with("/config"); }) == 5;
    }, 10s)) << "not five discovery configurations";

    std::set<QString> uniqueIds;
    std::set<std::string> components;
    std::optional<QJsonObject> firstDevice;
    for (const Heard& heard : listener.All()) {
        EXPECT_TRUE(heard.retained) << heard.topic << " is not retained";
        if (!heard.topic.ends_with("/config"))
            continue;
        SCOPED_TRACE(heard.topic);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(heard.payload), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        const QJsonObject config = document.object();
        const QString uniqueId = config.value("unique_id").toString();
        EXPECT_TRUE(uniqueId.startsWith(QString::fromStdString("hauntwatch_" + control->Id())));
        // Home Assistant since 2025.10 takes the entity id from here, as domain.slug.
        EXPECT_EQ(config.value("default_entity_id").toString(),
                  QString::fromStdString(heard.topic.substr(14, heard.topic.find('/', 14) - 14)) + "." + uniqueId);
        EXPECT_FALSE(config.contains("object_id")) << "a key Home Assistant no longer honours";
        EXPECT_TRUE(uniqueIds.insert(uniqueId).second) << "unique_id used twice";
        EXPECT_EQ(config.value("availability_topic").toString().toStdString(), topics.availability);
        const std::string state = config.value("state_topic").toString().toStdString();
        EXPECT_TRUE(state.starts_with(topics.base + "/")) << state;
        const QJsonObject device = config.value("device").toObject();
        EXPECT_EQ(device.value("identifiers").toArray().first().toString().toStdString(), "hauntwatch_" + control->Id());
        EXPECT_EQ(device.value("name").toString(), "Kitchen");
        EXPECT_EQ(device.value("manufacturer").toString(), "Hauntwatch");
        EXPECT_FALSE(device.value("sw_version").toString().isEmpty());
        if (!firstDevice)
            firstDevice = device;
        EXPECT_EQ(device, *firstDevice) << "every entity is on the one device";

        const std::string component = heard.topic.substr(std::string("homeassistant/").size(),
                                                         heard.topic.find('/', 14) - 14);
        components.insert(component);
        EXPECT_EQ(heard.topic, "homeassistant/" + component + "/hauntwatch_" + control->Id() + "/" +
                                   state.substr(topics.base.size() + 1) + "/config");
        if (component == "switch") {
            EXPECT_EQ(state, topics.guard);
            EXPECT_EQ(config.value("command_topic").toString().toStdString(), topics.guardSet);
            EXPECT_EQ(config.value("payload_on").toString(), "ON");
            EXPECT_EQ(config.value("payload_off").toString(), "OFF");
        } else {
            EXPECT_FALSE(config.contains("command_topic")) << "only the guard takes commands";
        }
        if (state == topics.next) {
            EXPECT_EQ(config.value("device_class").toString(), "timestamp");
        }
        if (component == "binary_sensor") {
            EXPECT_EQ(state, topics.unheard);
            EXPECT_EQ(config.value("device_class").toString(), "problem");
        }
    }
    EXPECT_EQ(components, (std::set<std::string>{"switch", "sensor", "binary_sensor"}));
    EXPECT_EQ(listener.Latest(topics.availability), "online");
    EXPECT_EQ(listener.Latest(topics.guard), "OFF");
    EXPECT_EQ(listener.Latest(topics.problems), "0");
    EXPECT_FALSE(listener.Latest(topics.unheard)) << "nothing is claimed before the audible check says";
    EXPECT_FALSE(listener.Latest(topics.lastPlay)) << "the last play of an earlier run stays as it was";

    // Home Assistant says it went away, then that it is back.
    const std::string guardConfig = "homeassistant/switch/hauntwatch_" + control->Id() + "/guard/config";
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "offline"));
    // OFF while off changes nothing but is answered: once it is, the
    // "offline" before it has been handled.
    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    ASSERT_TRUE(listener.WaitForCount(topics.guard, 2)) << "the OFF was never answered";
    EXPECT_EQ(listener.On(guardConfig).size(), 1u) << "\"offline\" sends nothing again";
    ASSERT_TRUE(listener.Publish(kHomeAssistantStatus, "online"));
    ASSERT_TRUE(listener.WaitForCount(guardConfig, 2)) << "the configurations were not sent again";
    EXPECT_TRUE(WaitFor([&] {
        const auto all = listener.All();
        return std::count_if(all.begin(), all.end(), [](const Heard& h) { return h.topic.ends_with("/config"); }) == 10;
    }, 10s)) << "all five again";
}

TEST_F(RemoteBrokerTest, OnAndOffReachTheGuardAndAnythingElseIsOnlyNoted)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    const Topics& topics = control->TopicNames();
    Listener listener(broker.port(), {topics.guard});
    ASSERT_TRUE(listener.WaitFor(topics.guard, "OFF"));

    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    ASSERT_TRUE(WaitFor([&] { return !guard.origins.empty(); }, 10s)) << "ON never reached the guard";
    EXPECT_EQ(guard.origins, std::vector{GuardStartOrigin::Remote});
    EXPECT_TRUE(listener.WaitFor(topics.guard, "ON")) << "the switch did not learn the guard is on";

    // ON while on changes nothing, yet a switch that guessed is told.
    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    EXPECT_TRUE(listener.WaitForCount(topics.guard, 3)) << "a second ON was not answered";
    EXPECT_EQ(listener.Latest(topics.guard), "ON");

    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    ASSERT_TRUE(WaitFor([&] { return guard.stops == 1; }, 10s)) << "OFF never reached the guard";
    EXPECT_TRUE(listener.WaitFor(topics.guard, "OFF"));

    const std::size_t lines = diary.size();
    for (const std::string& other : std::vector<std::string>{"on", "TOGGLE", "", std::string("ON\0\xff\n", 5)})
        ASSERT_TRUE(listener.Publish(topics.guardSet, other));
    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    ASSERT_TRUE(listener.WaitForCount(topics.guard, 5)) << "the OFF after them was never answered";
    EXPECT_EQ(diary.size(), lines) << "a command not carried out wrote a line of its own";
    EXPECT_EQ(guard.origins.size(), 1u) << "an ON while on asks nothing of the guard";
    EXPECT_EQ(guard.stops, 1);
    EXPECT_TRUE(Noted("command ON") && Noted("command OFF"));
    // One line for all of them, at the end of the minute or, as here, at exit;
    // the last one's bytes as printable text.
    control.reset();
    EXPECT_TRUE(Noted("ignored 4 commands since ")) << diary.back();
    EXPECT_TRUE(Noted("the last: \"ON\\x00\\xFF\\x0A\"")) << diary.back();
}

TEST_F(RemoteBrokerTest, ACommandLeftRetainedOnTheBrokerIsNotObeyedAtConnection)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    const Topics topics(ThisDeviceId());
    Listener listener(broker.port(), {topics.availability, "homeassistant/#"});
    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON", true));

    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    const std::string guardConfig = "homeassistant/switch/hauntwatch_" + control->Id() + "/guard/config";
    ASSERT_TRUE(listener.WaitForCount(guardConfig, 1));
    // The program hears its subscriptions in order: once it has answered a
    // later message, it has handled the retained command.  Home Assistant
    // said "online" five hundred times in a moment: one start, one answer.
    ASSERT_TRUE(listener.Flood(kHomeAssistantStatus, std::vector<std::string>(500, "online")));
    ASSERT_TRUE(listener.WaitForCount(guardConfig, 2));
    EXPECT_TRUE(guard.origins.empty()) << "a retained ON started the guard";
    // An OFF while off is answered, after whatever the burst still brings.
    Listener answers(broker.port(), {topics.guard});
    ASSERT_TRUE(answers.WaitForCount(topics.guard, 1));
    ASSERT_TRUE(listener.Publish(topics.guardSet, "OFF"));
    ASSERT_TRUE(answers.WaitForCount(topics.guard, 2));
    EXPECT_EQ(listener.On(guardConfig).size(), 2u) << "a burst of \"online\" was answered more than once";

    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    EXPECT_TRUE(WaitFor([&] { return guard.origins.size() == 1; }, 10s)) << "a live ON after it was not obeyed";
    control.reset();
    EXPECT_TRUE(Noted("ignored 1 command since ") && Noted("the last: retained \"ON\""))
        << "the diary does not say why nothing happened";
}

// A copied home or a stray client connects under the id every Hauntwatch of
// this home once used: nothing happens to this one.  The broker then goes
// away twice in a few seconds: one outage, written when it begins and when
// the link has held again, with its attempts.
TEST_F(RemoteBrokerTest, AStrayClientUnderTheOldIdDisturbsNothingAndAnOutageIsTwoLines)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    auto control = StartRemote(To(broker));
    control->SetOutageOverAfter(3s);
    ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    ASSERT_TRUE(Listener(broker.port(), {}, "hauntwatch-" + control->Id()).connected());
    WaitFor([] { return false; }, 3s);
    EXPECT_EQ(diary, std::vector<std::string>{"Connected to " + broker.Url() + "."});

    for (int i = 0; i < 2; ++i) {
        broker.Stop();
        ASSERT_TRUE(WaitState(*control, LinkState::Lost));
        ASSERT_TRUE(broker.Start());
        ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    }
    ASSERT_TRUE(WaitFor([&] { return diary.size() == 3; }, 10s)) << diary.back();
    EXPECT_EQ(diary[1].rfind("Lost the connection to " + broker.Url(), 0), 0u) << diary[1];
    EXPECT_NE(diary[2].find(" attempts; the last trouble: "), std::string::npos) << diary[2];
}

// Every noise of the library is a button; buttons follow the library, and a
// press plays the noise of that name.
TEST_F(RemoteBrokerTest, EachNoiseIsAButtonThatPlaysItAndTheButtonsFollowTheLibrary)
{
    auto setLibrary = [&](std::vector<std::pair<const char*, const char*>> noises) {
        guard.snapshot.library = NoiseLibrary{};
        for (const auto& [name, path] : noises)
            guard.snapshot.library.noises[guard.snapshot.library.noiseCount++] = Noise{name, path};
    };
    // A name twice: one button, whose press plays the last entry's noise.
    // A Latin-1 name would come back from Home Assistant as other bytes: no button.
    setLibrary({{"Dog barking", "/n/dog.wav"}, {"Caf\xe9", "/n/cafe.wav"}, {"Door", "/n/door.wav"},
                {"Dog barking", "/n/dog2.wav"}});
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    const Topics& topics = control->TopicNames();
    const std::string node = "hauntwatch_" + control->Id();
    const std::string dog = "homeassistant/button/" + node + "/" + ButtonId("Dog barking") + "/config";
    const std::string door = "homeassistant/button/" + node + "/" + ButtonId("Door") + "/config";
    const std::string cat = "homeassistant/button/" + node + "/" + ButtonId("Cat") + "/config";
    Listener listener(broker.port(), {"homeassistant/button/#", topics.guard});
    ASSERT_TRUE(listener.WaitForCount(dog, 1) && listener.WaitForCount(door, 1));
    const QJsonObject config = QJsonDocument::fromJson(QByteArray::fromStdString(*listener.Latest(dog))).object();
    EXPECT_EQ(config.value("name").toString(), "Play Dog barking");
    EXPECT_EQ(config.value("payload_press").toString(), "Dog barking");
    EXPECT_EQ(config.value("command_topic").toString().toStdString(), topics.play);
    EXPECT_EQ(config.value("default_entity_id").toString().toStdString(), "button." + node + "_" + ButtonId("Dog barking"));
    EXPECT_EQ(listener.On(dog).size(), 1u) << "one button for a name that is there twice";
    EXPECT_TRUE(listener.On("homeassistant/button/" + node + "/" + ButtonId("Caf\xe9") + "/config").empty())
        << "a button whose press could never match its noise";

    // A press, a name nobody has, and a press left retained.
    ASSERT_TRUE(listener.Publish(topics.play, "Dog barking"));
    ASSERT_TRUE(listener.Publish(topics.play, "nothing of that name"));
    ASSERT_TRUE(WaitFor([&] { return guard.plays.size() == 2; }, 10s)) << "the presses never reached the guard";
    EXPECT_EQ(guard.plays, (std::vector<std::string>{"Dog barking", "nothing of that name"}));

    // Door deleted and Cat added in "Edit Noises": Door's button goes, Cat's comes.
    setLibrary({{"Dog barking", "/n/dog.wav"}, {"Cat", "/n/cat.wav"}});
    control->LibraryChanged();
    ASSERT_TRUE(listener.WaitForCount(door, 2) && listener.WaitForCount(cat, 1));
    EXPECT_EQ(listener.Latest(door), "") << "an empty configuration removes the entity";

    // Cat's noise goes while the program is not running: its button is
    // removed at the next connection.
    control.reset();
    setLibrary({{"Dog barking", "/n/dog.wav"}});
    control = StartRemote(To(broker));
    ASSERT_TRUE(listener.WaitForCount(cat, 2)) << "a button of an earlier run stayed";
    EXPECT_EQ(listener.Latest(cat), "");
    control.reset();
    EXPECT_TRUE(Noted("ignored 1 command since ") && Noted("no such noise"));
}

TEST_F(RemoteBrokerTest, WhatTheGuardDoesBecomesTheRetainedState)
{
    TimeZoneGuard zone("Europe/Berlin");
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    guard.snapshot.slots[0].noiseName = "door";
    guard.snapshot.slots[0].filePath = "/noises/door.wav";
    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    const Topics& topics = control->TopicNames();
    Listener listener(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(listener.WaitFor(topics.next, "None"));

    control->GuardStarted(CTime(2026, 12, 7, 22, 0, 0), GuardStartOrigin::Person);
    EXPECT_TRUE(listener.WaitFor(topics.guard, "ON"));
    control->WakeUpArmed(CTime(2026, 12, 7, 22, 1, 0));
    control->WakeUpArmed(CTime(2026, 12, 7, 22, 1, 0));
    control->WakeUpArmed(CTime(2026, 12, 7, 22, 2, 30));
    ASSERT_TRUE(listener.WaitFor(topics.next, "2026-12-07T22:02:30+01:00"));
    std::vector<std::string> nexts;
    for (const Heard& h : listener.On(topics.next))
        nexts.push_back(h.payload);
    EXPECT_EQ(nexts, (std::vector<std::string>{"None", "2026-12-07T22:01:00+01:00", "2026-12-07T22:02:30+01:00"}))
        << "the same wake-up is sent once";

    guard.problemCount = 1;
    control->Played(PlayReport{CTime(2026, 12, 7, 22, 1, 0), "/noises/door.wav", PlayKind::Sound, PlayOutcome::Failed,
                               platform::PlayFailure::FileMissing, PlayOrigin::Guard, "door"});
    ASSERT_TRUE(listener.WaitFor(topics.problems, "1")) << "the failure's problem line was not counted";
    const QJsonObject play = QJsonDocument::fromJson(QByteArray::fromStdString(*listener.Latest(topics.lastPlay))).object();
    EXPECT_FALSE(play.contains("path")) << "a path tells whose house it is: not published unless asked for";
    EXPECT_EQ(play.value("name").toString(), "door");
    EXPECT_EQ(play.value("result").toString(), "failed");
    EXPECT_EQ(play.value("reason").toString(), "file missing");
    EXPECT_EQ(play.value("time").toString(), "2026-12-07T22:01:00+01:00");

    // Lines the other parts append outside the guard's events are counted
    // when they say so.
    guard.problemCount = 3;
    control->SetUnheard(true);
    EXPECT_TRUE(listener.WaitFor(topics.unheard, "ON"));
    EXPECT_TRUE(listener.WaitFor(topics.problems, "3"));
    control->SetUnheard(false);
    EXPECT_TRUE(listener.WaitFor(topics.unheard, "OFF"));

    control->GuardStopped(CTime(2026, 12, 7, 22, 3, 0));
    EXPECT_TRUE(listener.WaitFor(topics.guard, "OFF"));
    EXPECT_TRUE(listener.WaitFor(topics.next, "None")) << "no wake-up while off";
    for (const std::string& news : {topics.lastPlay, topics.unheard})
        for (const Heard& h : listener.On(news))
            EXPECT_FALSE(h.retained) << h.topic << " came as news, yet the broker marked it retained";

    // The person's time away, retained: only whether it is set, unless the
    // dates are asked for; then the last play names its file again too.
    const std::pair<std::int64_t, std::int64_t> away(CTime(2026, 12, 8, 18, 0, 0).GetTime(), CTime(2026, 12, 20, 12, 0, 0).GetTime());
    control->SetAway(away);
    EXPECT_TRUE(listener.WaitFor(topics.away, "ON"));
    RemoteSettings details = To(broker);
    details.publishDetails = true;
    ASSERT_TRUE(control->Apply(details));
    EXPECT_TRUE(listener.WaitFor(topics.away, R"({"from":"2026-12-08T18:00:00+01:00","until":"2026-12-20T12:00:00+01:00"})"));
    EXPECT_TRUE(WaitFor([&] { return listener.Latest(topics.lastPlay).value_or("").find("\"path\":\"/noises/door.wav\"") != std::string::npos; }, 10s));
    control->SetAway(std::nullopt);
    EXPECT_TRUE(listener.WaitFor(topics.away, "")) << "cleared, it leaves the broker";

    Listener late(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(late.WaitFor(topics.unheard, "OFF"));
    for (const Heard& h : late.All())
        EXPECT_TRUE(h.retained) << h.topic;
    EXPECT_EQ(late.Latest(topics.problems), "3");
    EXPECT_EQ(late.Latest(topics.guard), "OFF");
}

TEST_F(RemoteBrokerTest, ACleanExitLeavesOfflineOnTheBroker)
{
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected));
    const Topics topics = control->TopicNames();
    control->GuardStarted(CTime(2026, 12, 7, 22, 0, 0), GuardStartOrigin::Person);
    control.reset();
    Listener listener(broker.port(), {topics.base + "/#"});
    ASSERT_TRUE(listener.WaitFor(topics.availability, "offline")) << "no offline after a clean exit";
    EXPECT_EQ(listener.Latest(topics.guard), "ON") << "what was sent before the goodbye arrived";
}

TEST_F(RemoteBrokerTest, ABrokerRestartedOrStartedLateGetsTheWholeStateAgain)
{
    Broker broker(home / "broker");
    // Nobody listens yet: the program keeps trying on its own.
    auto control = StartRemote(To(broker));
    ASSERT_TRUE(WaitState(*control, LinkState::Unreachable)) << control->StatusLine().toStdString();
    EXPECT_TRUE(control->StatusLine().contains("Connection refused")) << control->StatusLine().toStdString();
    ASSERT_TRUE(broker.Start());
    ASSERT_TRUE(WaitState(*control, LinkState::Connected)) << "did not connect once the broker came";
    const Topics& topics = control->TopicNames();
    control->GuardStarted(CTime(2026, 12, 7, 22, 0, 0), GuardStartOrigin::Person);

    broker.Stop();
    ASSERT_TRUE(WaitState(*control, LinkState::Lost)) << control->StatusLine().toStdString();
    EXPECT_EQ(diary.size(), 1u) << "the link had not held yet: still the outage of the start";
    EXPECT_TRUE(Noted("Cannot reach"));
    // While the broker is away the guard goes on.
    control->WakeUpArmed(CTime(2026, 12, 7, 22, 5, 0));
    control->Played(PlayReport{CTime(2026, 12, 7, 22, 1, 0), "/x/radio.txt", PlayKind::Program, PlayOutcome::Started,
                               platform::PlayFailure::None});

    ASSERT_TRUE(broker.Start()) << "the broker did not start again";
    ASSERT_TRUE(WaitState(*control, LinkState::Connected)) << "did not reconnect: " << control->StatusLine().toStdString();
    Listener listener(broker.port(), {topics.base + "/#", "homeassistant/#"});
    ASSERT_TRUE(listener.WaitFor(topics.next, IsoTime(CTime(2026, 12, 7, 22, 5, 0).GetTime())))
        << "the state was not sent again";
    EXPECT_EQ(listener.Latest(topics.availability), "online");
    EXPECT_EQ(listener.Latest(topics.guard), "ON");
    EXPECT_NE(listener.Latest(topics.lastPlay).value_or("").find("\"started\""), std::string::npos);
    EXPECT_TRUE(WaitFor([&] {
        const auto all = listener.All();
        return std::count_if(all.begin(), all.end(), [](const Heard& h) { return h.topic.ends_with("/config"); }) == 5;
    }, 10s)) << "the discovery configurations were not sent again";

    ASSERT_TRUE(listener.Publish(topics.guardSet, "ON"));
    EXPECT_TRUE(WaitFor([&] { return guard.origins.size() == 1; }, 10s)) << "not subscribed again after the restart";
}

// The broker's log, line by line as it grows, with when the test saw each.
struct LogWatch {
    explicit LogWatch(const Broker& broker) : broker(broker) {}
    // Until the log holds `count` lines with `text`; each one's moment kept.
    bool WaitForLines(const std::string& text, std::size_t count, std::chrono::milliseconds timeout)
    {
        return WaitFor([&] {
            const std::string log = broker.Log();
            std::size_t found = 0;
            for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
                ++found;
            while (seen.size() < found)
                seen.push_back(std::chrono::steady_clock::now());
            return found >= count;
        }, timeout);
    }
    const Broker& broker;
    std::vector<std::chrono::steady_clock::time_point> seen;
};

TEST_F(RemoteBrokerTest, APasswordLogsInAWrongOneIsShownAndRetriedOnlyAfterTheLongWait)
{
    Broker broker(home / "broker", BrokerOptions{.user = "hauntwatch", .password = "right horse"});
    ASSERT_TRUE(broker.Start());
    RemoteSettings settings = To(broker);
    settings.user = "hauntwatch";
    settings.password = "wrong horse";
    auto control = StartRemote(settings);
    RemoteDialog dialog(*control);
    dialog.show();

    ASSERT_TRUE(WaitState(*control, LinkState::Refused)) << control->StatusLine().toStdString();
    EXPECT_TRUE(WaitFor([&] { return dialog.stateLabel()->text().contains("wrong user name or password"); }, 5s))
        << "the dialog says: " << dialog.stateLabel()->text().toStdString();
    EXPECT_TRUE(Noted("wrong user name or password"));
    // libmosquitto alone would log in again after one second; a refused login
    // waits for the three seconds set here.
    LogWatch watch(broker);
    ASSERT_TRUE(watch.WaitForLines("not authorised", 3, 20s)) << "not tried again at all:\n" << broker.Log();
    EXPECT_GE(watch.seen[2] - watch.seen[1], 2500ms) << "a refused login was retried in a hurry";

    // The person mends the password in the dialog.
    dialog.passwordField()->setText("right horse");
    dialog.buttons()->button(QDialogButtonBox::Apply)->click();
    ASSERT_TRUE(WaitFor([&] { return dialog.stateLabel()->text().startsWith("Connected to mqtt://127.0.0.1:"); }, 15s))
        << "the dialog says: " << dialog.stateLabel()->text().toStdString();
    EXPECT_EQ(LoadRemoteSettings().password, "right horse");
    struct stat info {};
    ::stat(QFile::encodeName(UserSettings().fileName()).constData(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    Listener listener(broker.port(), {control->TopicNames().availability});
    EXPECT_FALSE(listener.connected()) << "the broker let an anonymous client in";
}

TEST_F(RemoteBrokerTest, TlsWithTheRightAuthorityConnectsAndWithAnotherFailsVisibly)
{
    Certificates certificates(home.path());
    ASSERT_TRUE(certificates.made) << "openssl could not make the test certificates";
    Broker broker(home / "broker",
                  BrokerOptions{.caFile = certificates.ca, .certFile = certificates.cert, .keyFile = certificates.key});
    ASSERT_TRUE(broker.Start());
    RemoteSettings settings = To(broker);
    settings.caFile = QString::fromStdString(certificates.otherCa);
    auto control = StartRemote(settings);
    ASSERT_TRUE(WaitState(*control, LinkState::TlsFailed)) << control->StatusLine().toStdString();
    EXPECT_TRUE(control->StatusLine().contains("certificate verify failed")) << control->StatusLine().toStdString();
    EXPECT_TRUE(Noted("TLS failed"));

    RemoteDialog dialog(*control);
    dialog.caFileField()->setText(QString::fromStdString(certificates.ca));
    dialog.buttons()->button(QDialogButtonBox::Apply)->click();
    ASSERT_TRUE(WaitState(*control, LinkState::Connected)) << control->StatusLine().toStdString();
    EXPECT_TRUE(dialog.stateLabel()->text().startsWith("Connected to mqtts://localhost:"));

    // No CA file: the system's store, which OpenSSL reads from SSL_CERT_FILE
    // when it is set (here, to the test's own authority).
    ::setenv("SSL_CERT_FILE", certificates.ca.c_str(), 1);
    dialog.caFileField()->clear();
    dialog.buttons()->button(QDialogButtonBox::Apply)->click();
    ASSERT_TRUE(WaitState(*control, LinkState::Connected)) << control->StatusLine().toStdString();
    ::setenv("SSL_CERT_FILE", certificates.otherCa.c_str(), 1);
    dialog.buttons()->button(QDialogButtonBox::Apply)->click();
    EXPECT_TRUE(WaitState(*control, LinkState::TlsFailed)) << "the store was not the one asked: "
                                                           << control->StatusLine().toStdString();
    ::unsetenv("SSL_CERT_FILE");

    // A plain client cannot even speak to this listener: the TLS was real.
    Listener plain(broker.port(), {"#"});
    EXPECT_FALSE(plain.connected());
}

// A broker that takes the connection and then never answers.
class SilentBroker {
public:
    SilentBroker()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        listening_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd_, 8) == 0 &&
                     ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0;
        port_ = ntohs(address.sin_port);
    }
    ~SilentBroker() { ::close(fd_); }
    bool listening() const { return listening_; }
    std::string Url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
    bool listening_ = false;
};

TEST_F(RemoteBrokerTest, ABrokerThatNeverAnswersHoldsUpNeitherTheGuardNorNewSettings)
{
    SilentBroker silent;
    ASSERT_TRUE(silent.listening());
    RemoteSettings settings;
    settings.broker = QString::fromStdString(silent.Url());
    auto control = StartRemote(settings);
    EXPECT_EQ(control->Status().state, LinkState::Connecting);
    // The guard's events and commands go on while nothing answers.
    control->GuardStarted(CTime(2026, 12, 7, 22, 0, 0), GuardStartOrigin::Person);
    control->WakeUpArmed(CTime(2026, 12, 7, 22, 1, 0));
    control->GuardStopped(CTime(2026, 12, 7, 22, 2, 0));
    EXPECT_EQ(control->Status().state, LinkState::Connecting);

    // Another broker is taken at once, whatever the silent one does.
    Broker broker(home / "broker");
    ASSERT_TRUE(broker.Start());
    RemoteSettings real = To(broker);
    ASSERT_TRUE(control->Apply(real));
    ASSERT_TRUE(WaitState(*control, LinkState::Connected)) << control->StatusLine().toStdString();
    Listener listener(broker.port(), {control->TopicNames().guard});
    EXPECT_TRUE(listener.WaitFor(control->TopicNames().guard, "OFF")) << "what happened meanwhile was not kept";

    // And a program leaving while connected to the silent one leaves.
    ASSERT_TRUE(control->Apply(settings));
    control.reset();
}

TEST_F(RemoteBrokerTest, TheDialogRefusesAnAddressItCannotUseAndSavesNothing)
{
    auto control = StartRemote(RemoteSettings{});
    EXPECT_EQ(control->Status().state, LinkState::Off);
    RemoteDialog dialog(*control);
    dialog.show();
    EXPECT_TRUE(dialog.brokerField()->text().isEmpty());
    EXPECT_EQ(dialog.stateLabel()->text(), "Off: no broker is set.");

    // Every field's label is a label, its mnemonic leading to the field.
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text().contains('&')) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString() << " shows its & as it is";
        }
    }
    // A password that would cross the network as typed is warned of.
    const QLabel* plain = dialog.findChild<QLabel*>("plainPassword");
    ASSERT_NE(plain, nullptr);
    dialog.brokerField()->setText("mqtt://broker.lan");
    dialog.passwordField()->setText("s3cret");
    EXPECT_TRUE(plain->isVisible());
    dialog.brokerField()->setText("mqtts://broker.lan");
    EXPECT_FALSE(plain->isVisible());
    dialog.passwordField()->clear();

    dialog.brokerField()->setText("broker.lan:1883");
    dialog.userField()->setText("ann");
    dialog.buttons()->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(dialog.isVisible()) << "OK closed the dialog on an address it cannot use";
    const QLabel* error = dialog.findChild<QLabel*>("error");
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(error->isVisible());
    EXPECT_TRUE(error->text().contains("mqtt://host:port")) << error->text().toStdString();
    EXPECT_EQ(LoadRemoteSettings(), RemoteSettings{}) << "something was saved";

    dialog.brokerField()->setText("mqtt://127.0.0.1:1");
    dialog.buttons()->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(LoadRemoteSettings().broker, "mqtt://127.0.0.1:1");
    EXPECT_EQ(LoadRemoteSettings().user, "ann");
    EXPECT_TRUE(WaitState(*control, LinkState::Unreachable));
}

}  // namespace
