// The remote control's delays at a private Mosquitto on loopback, each beside
// a bare libmosquitto client's publish to a subscriber in the same run:
//  - from a guard change (the guard's event) to its state message at a
//    subscriber of the broker;
//  - from a command message published at the broker to the guard's start
//    (GuardAccess::TurnOn on the window's thread), and on to the state
//    message that answers it.
// The window's thread runs a real event loop, woken by what arrives.
// With --program HAUNTWATCH THANKS.wav: the same command to the real
// program's ON message, beside the length of the guard-on sound, which the
// view plays to its end before the guard is on.
#include <mosquitto.h>

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

#include "Broker.h"
#include "DeviceId.h"
#include "RemoteControl.h"
#include "TempFolder.h"

namespace {

using namespace remote;
using namespace broker_test;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 200;

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void Report(const char* name, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("  %-46s median %7.3f ms   p90 %7.3f ms   max %7.3f ms   (%zu)\n", name, ms[ms.size() / 2],
                ms[ms.size() * 9 / 10], ms.back(), ms.size());
}

// Runs the window thread's loop until `quit` is called, at most ten seconds.
class Wait {
public:
    bool Run()
    {
        // The quit may have been handled by another wait's loop already.
        if (done_)
            return true;
        QTimer::singleShot(10000, &loop_, [this] { loop_.exit(1); });
        return loop_.exec() == 0;
    }
    // From any thread.
    void Quit()
    {
        QMetaObject::invokeMethod(&loop_, [this] {
            done_ = true;
            loop_.exit(0);
        }, Qt::QueuedConnection);
    }

private:
    QEventLoop loop_;
    bool done_ = false;
};

// Turns on and off as the view would, telling the remote control at once.
class Guard final : public GuardAccess {
public:
    void TurnOn(GuardStartOrigin) override
    {
        startedAt = Clock::now();
        snapshot.on = true;
        control->GuardStarted(CTime(), GuardStartOrigin::Remote);
        if (started)
            started();
    }
    void Stop() override
    {
        snapshot.on = false;
        control->GuardStopped(CTime());
    }
    bool PlayNoise(const std::string&) override { return false; }
    void AppendProblem(const std::string&) override {}
    GuardSnapshot Snapshot() const override { return snapshot; }
    int ProblemCount() const override { return 0; }
    void SetScheduleExtras(const lifelike::ScheduleExtras&) override {}

    RemoteControl* control = nullptr;
    GuardSnapshot snapshot;
    Clock::time_point startedAt;
    std::function<void()> started;
};

// Takes the moment a wanted message arrives, on libmosquitto's thread.
class Stopwatch {
public:
    Stopwatch(int port, const std::string& topic)
    {
        client_ = mosquitto_new(nullptr, true, this);
        mosquitto_message_callback_set(client_, [](mosquitto*, void* self, const mosquitto_message* m) {
            const Clock::time_point now = Clock::now();
            auto* me = static_cast<Stopwatch*>(self);
            std::lock_guard lock(me->mutex_);
            if (m->retain || !me->wait_ || me->wanted_ != std::string(static_cast<const char*>(m->payload), m->payloadlen))
                return;
            me->arrived_ = now;
            me->wait_->Quit();
            me->wait_ = nullptr;
        });
        mosquitto_subscribe_callback_set(client_, [](mosquitto*, void* self, int, int, const int*) {
            auto* me = static_cast<Stopwatch*>(self);
            std::lock_guard lock(me->mutex_);
            if (me->wait_)
                me->wait_->Quit();
        });
        Wait subscribed;
        Expect(&subscribed, "");
        mosquitto_connect(client_, "127.0.0.1", port, 30);
        mosquitto_subscribe(client_, nullptr, topic.c_str(), 0);
        mosquitto_loop_start(client_);
        subscribed.Run();
    }
    ~Stopwatch()
    {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }
    // The next message with `payload` quits `wait`.
    void Expect(Wait* wait, const std::string& payload)
    {
        std::lock_guard lock(mutex_);
        wait_ = wait;
        wanted_ = payload;
    }
    Clock::time_point Arrived()
    {
        std::lock_guard lock(mutex_);
        return arrived_;
    }

private:
    mosquitto* client_;
    std::mutex mutex_;
    Wait* wait_ = nullptr;
    std::string wanted_;
    Clock::time_point arrived_;
};

int Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

// The length of a PCM WAV file from its header, in milliseconds.
double WavMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    quint32 byteRate = 0;
    in.skipRawData(28);
    in >> byteRate;
    const qsizetype data = bytes.indexOf("data", 36);
    if (byteRate == 0 || data < 0)
        return 0;
    QDataStream size(bytes.mid(data + 4, 4));
    size.setByteOrder(QDataStream::LittleEndian);
    quint32 dataBytes = 0;
    size >> dataBytes;
    return 1000.0 * dataBytes / byteRate;
}

// The real program, with the home, settings and outputs the caller set up.
int MeasureProgram(const QString& program, const QString& guardOnSound)
{
    TempFolder scratch;
    Broker broker(scratch / "broker");
    if (!broker.Start())
        return Fail("the broker did not start");
    const QString home = qEnvironmentVariable("HAUNTWATCH_HOME");
    QDir().mkpath(home);
    QFile settings(home + "/hauntwatch.conf");
    if (!settings.open(QIODevice::WriteOnly))
        return Fail("the settings file could not be written");
    settings.write(QByteArray("[Remote]\nBroker=") + QByteArray::fromStdString(broker.Url()) + "\n");
    settings.close();
    const Topics topics(ThisDeviceId());
    Stopwatch state(broker.port(), topics.guard);
    Wait online;
    Stopwatch availability(broker.port(), topics.availability);
    availability.Expect(&online, kOnline);
    QProcess hauntwatch;
    hauntwatch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    hauntwatch.start(program, {});
    if (!online.Run())
        return Fail("the program never came online");
    mosquitto* publisher = mosquitto_new(nullptr, true, nullptr);
    mosquitto_connect(publisher, "127.0.0.1", broker.port(), 30);
    mosquitto_loop_start(publisher);
    std::vector<double> commandAnswered;
    for (int i = 0; i < 5; ++i) {
        for (const char* command : {kOn, kOff}) {
            Wait answered;
            state.Expect(&answered, command);
            const Clock::time_point sent = Clock::now();
            mosquitto_publish(publisher, nullptr, topics.guardSet.c_str(), static_cast<int>(std::strlen(command)), command, 0, false);
            if (!answered.Run())
                return Fail("the program did not answer a command");
            if (std::strcmp(command, kOn) == 0)
                commandAnswered.push_back(Ms(state.Arrived() - sent));
        }
    }
    // A flood of 1001 alternating commands, ending in ON, as fast as the
    // client sends: the first is carried out (its sound plays), the rest
    // wait, and only the newest counts.  The state that answers the last
    // command is the second ON after the flood began.
    Wait firstOn, lastOn;
    state.Expect(&firstOn, kOn);
    Clock::time_point lastSent;
    for (int i = 0; i <= 1000; ++i) {
        const char* command = i % 2 == 0 ? kOn : kOff;
        mosquitto_publish(publisher, nullptr, topics.guardSet.c_str(), static_cast<int>(std::strlen(command)), command, 0, false);
        lastSent = Clock::now();
    }
    if (!firstOn.Run())
        return Fail("the flood's first command was not carried out");
    state.Expect(&lastOn, kOn);
    if (!lastOn.Run())
        return Fail("the flood's last command was never answered");
    const double floodAnswered = Ms(state.Arrived() - lastSent);
    mosquitto_disconnect(publisher);
    mosquitto_loop_stop(publisher, false);
    mosquitto_destroy(publisher);
    hauntwatch.kill();
    hauntwatch.waitForFinished();
    std::printf("The real program, a local Mosquitto:\n");
    Report("command published -> ON message back", commandAnswered);
    std::printf("  %-46s %7.3f ms\n", "flood of 1001, last published -> its state", floodAnswered);
    std::printf("  %-46s %7.3f ms\n", "reference: the guard-on sound's length", WavMs(guardOnSound));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--program") == 0)
        return MeasureProgram(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    TempFolder home;
    ::setenv("HAUNTWATCH_HOME", (home / "home").c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home / "config"));
    Broker broker(home / "broker");
    if (!broker.Start())
        return Fail("the broker did not start");
    SaveRemoteSettings(RemoteSettings{QString::fromStdString(broker.Url()), {}, {}, {}, {}});
    Guard guard;
    RemoteControl control(guard);
    guard.control = &control;
    control.Start();
    if (!WaitFor([&] { return control.Status().state == LinkState::Connected; }, std::chrono::seconds(10)))
        return Fail("the remote control did not connect");
    const Topics& topics = control.TopicNames();
    Stopwatch state(broker.port(), topics.guard);
    Stopwatch bare(broker.port(), "bench/bare");
    mosquitto* publisher = mosquitto_new(nullptr, true, nullptr);
    mosquitto_connect(publisher, "127.0.0.1", broker.port(), 30);
    mosquitto_loop_start(publisher);

    std::vector<double> change, bareTrip, command, commandAnswered;
    for (int i = 0; i < kRounds; ++i) {
        const bool on = i % 2 == 0;
        Wait stateCame;
        state.Expect(&stateCame, on ? kOn : kOff);
        const Clock::time_point changed = Clock::now();
        on ? control.GuardStarted(CTime(), GuardStartOrigin::Person) : control.GuardStopped(CTime());
        if (!stateCame.Run())
            return Fail("a state message never came");
        change.push_back(Ms(state.Arrived() - changed));

        Wait bareCame;
        bare.Expect(&bareCame, "ON");
        const Clock::time_point sent = Clock::now();
        mosquitto_publish(publisher, nullptr, "bench/bare", 2, "ON", 0, false);
        if (!bareCame.Run())
            return Fail("a bare message never came");
        bareTrip.push_back(Ms(bare.Arrived() - sent));
    }
    control.GuardStopped(CTime());
    for (int i = 0; i < kRounds / 2; ++i) {
        Wait started;
        guard.started = [&started] { started.Quit(); };
        Wait answered;
        state.Expect(&answered, kOn);
        const Clock::time_point sent = Clock::now();
        mosquitto_publish(publisher, nullptr, topics.guardSet.c_str(), 2, "ON", 0, false);
        if (!started.Run() || !answered.Run())
            return Fail("a command never started the guard");
        command.push_back(Ms(guard.startedAt - sent));
        commandAnswered.push_back(Ms(state.Arrived() - sent));
        Wait stopped;
        state.Expect(&stopped, kOff);
        guard.Stop();
        if (!stopped.Run())
            return Fail("the stop was never sent");
    }
    mosquitto_disconnect(publisher);
    mosquitto_loop_stop(publisher, false);
    mosquitto_destroy(publisher);

    std::printf("Remote control at a local Mosquitto (loopback):\n");
    Report("guard change -> state message at a subscriber", change);
    Report("command published -> guard started", command);
    Report("command published -> state message back", commandAnswered);
    Report("reference: bare publish -> subscriber", bareTrip);
    return 0;
}
