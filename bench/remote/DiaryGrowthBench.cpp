// What a second client on the broker and a restless Home Assistant cost the
// guard, at a private Mosquitto on loopback, with the program's own retry
// delays:
//  - the diary's growth from the remote control's lines while a stray client
//    connects as hauntwatch-ID (the client id every Hauntwatch of this home
//    once used) and reconnects a second after it is pushed off, as a cloned
//    machine or a copied home does; beside the same minutes without it;
//  - the same while the stray client takes the id this run connects with,
//    the worst another client can do: first as it comes (the outage never
//    ends), then with the stray client waiting 3 s before it comes back and
//    an outage over once the link has held for 1 s instead of a minute, so
//    that every push is an outage of its own and writes its two lines;
//  - the messages the program sends for 500 "online" from Home Assistant in
//    a burst, beside what it sends for one.
#include <mosquitto.h>

#include <QApplication>
#include <QSettings>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "Broker.h"
#include "RemoteControl.h"
#include "StandInGuard.h"
#include "TempFolder.h"

namespace {

using namespace remote;
using namespace broker_test;
using namespace std::chrono_literals;

constexpr auto kWatched = 90s;

// Connects under `id` and, like any libmosquitto client left to itself,
// reconnects a second (or `wait` seconds) after each loss.
class Stray {
public:
    Stray(int port, const std::string& id, unsigned wait)
    {
        client_ = mosquitto_new(id.c_str(), true, nullptr);
        mosquitto_reconnect_delay_set(client_, wait, wait, false);
        mosquitto_connect_async(client_, "127.0.0.1", port, 30);
        mosquitto_loop_start(client_);
    }
    ~Stray()
    {
        mosquitto_disconnect(client_);
        mosquitto_loop_stop(client_, false);
        mosquitto_destroy(client_);
    }

private:
    mosquitto* client_;
};

// The bytes the diary gets for a remote line: the time with its offset, the
// event and the text, tab-separated, and the line break.
std::size_t LineBytes(const std::string& what)
{
    return std::strlen("2026-12-07T23:30:00+01:00\tremote\t") + what.size() + 1;
}

struct Growth {
    std::size_t bytes = 0;
    std::size_t lines = 0;
};

Growth Watch(const std::string& strayId, int port, RemoteControl& control, std::vector<std::string>& diary,
             unsigned strayWait = 1)
{
    const std::size_t before = diary.size();
    {
        std::optional<Stray> stray;
        if (!strayId.empty())
            stray.emplace(port, strayId, strayWait);
        WaitFor([] { return false; }, kWatched);
    }
    // The link back after the stray client left.
    WaitFor([&] { return control.Status().state == LinkState::Connected; }, 10s);
    Growth growth;
    for (std::size_t i = before; i < diary.size(); ++i) {
        growth.bytes += LineBytes(diary[i]);
        ++growth.lines;
    }
    return growth;
}

void PrintGrowth(const char* name, const Growth& growth)
{
    const double perDay = static_cast<double>(growth.bytes) * (86400.0 / std::chrono::seconds(kWatched).count());
    std::printf("  %-58s %4zu lines %6zu bytes in %llds: %9.0f bytes a day\n", name, growth.lines, growth.bytes,
                static_cast<long long>(std::chrono::seconds(kWatched).count()), perDay);
}

int Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

// The messages the program sends after Home Assistant said "online" `times`
// times in a row, counted until it has been quiet for ten seconds.
std::size_t AnswersToOnline(int port, int times)
{
    Listener heard(port, {"homeassistant/+/+/+/config"});
    Listener homeAssistant(port, {});
    const std::size_t retained = [&] {
        WaitFor([] { return false; }, 2s);
        return heard.Count();
    }();
    for (int i = 0; i < times; ++i)
        homeAssistant.Publish(kHomeAssistantStatus, kOnline);
    std::size_t count = heard.Count();
    for (;;) {
        WaitFor([] { return false; }, 10s);
        if (heard.Count() == count)
            break;
        count = heard.Count();
    }
    return count - retained;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TempFolder home;
    ::setenv("HAUNTWATCH_HOME", (home / "home").c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(home / "config"));
    Broker broker(home / "broker");
    if (!broker.Start())
        return Fail("the broker did not start");
    SaveRemoteSettings(RemoteSettings{QString::fromStdString(broker.Url()), {}, {}, {}, {}});
    StandInGuard guard;
    std::vector<std::string> diary;
    RemoteControl control(guard);
    control.SetDiary([&diary](const std::string& line) { diary.push_back(line); });
    control.Start();
    if (!WaitFor([&] { return control.Status().state == LinkState::Connected; }, 10s))
        return Fail("the remote control did not connect");

    std::printf("The remote control's diary lines, a local Mosquitto, the program's own retry delays:\n");
    PrintGrowth("reference: nobody else on the broker", Watch({}, broker.port(), control, diary));
    PrintGrowth("a stray client as hauntwatch-ID", Watch("hauntwatch-" + control.Id(), broker.port(), control, diary));
    PrintGrowth("a stray client with this run's own client id", Watch(control.ClientId(), broker.port(), control, diary));
    control.SetOutageOverAfter(1s);
    PrintGrowth("the same, each push an outage of its own", Watch(control.ClientId(), broker.port(), control, diary, 3));
    const bool capped = std::any_of(diary.begin(), diary.end(), [](const std::string& l) { return l.starts_with("more connection trouble"); });
    std::printf("  (a day at the pace of 90 s, were there no cap; the diary takes at most %zu bytes of these lines in any\n"
                "   24 hours, and the cap %s in this run)\n",
                ConnectionNotes::kBytesPerDay, capped ? "was reached" : "was not reached");
    const std::size_t one = AnswersToOnline(broker.port(), 1);
    const std::size_t burst = AnswersToOnline(broker.port(), 500);
    std::printf("Discovery messages sent back for Home Assistant's \"online\":\n");
    std::printf("  %-58s %6zu\n", "reference: one \"online\"", one);
    std::printf("  %-58s %6zu\n", "500 \"online\" in a burst", burst);
    return 0;
}
