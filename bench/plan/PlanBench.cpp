// A seven-day plan for five slots (one every minute), with the media lengths
// already in the cache, beside one scheduler pass on the fake clock measured
// in the same run: the plan is that many passes and a little bookkeeping.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeMovieCommands.h"
#include "FakeProgramStarter.h"
#include "FakeSound.h"
#include "FakeTimer.h"
#include "GuardRealism.h"
#include "GuardScheduler.h"
#include "GuardSettings.h"
#include "MediaLengths.h"
#include "Plan.h"
#include "Random.h"
#include "RowHours.h"

namespace {

using Clock = std::chrono::steady_clock;

double MedianMicroseconds(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Put32(std::ofstream& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// 8 kHz 8-bit mono PCM of the given length.
void WriteWave(const std::string& path, int seconds)
{
    const std::uint32_t data = static_cast<std::uint32_t>(seconds) * 8000;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    Put32(out, 36 + data);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    out.put(1).put(0).put(1).put(0);
    Put32(out, 8000);
    Put32(out, 8000);
    out.put(1).put(0).put(8).put(0);
    out.write("data", 4);
    Put32(out, data);
    out << std::string(data, '\x80');
}

class Window : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override { RunGuardPass(*this); }
};

}  // namespace

int main()
{
    char folder[] = "/tmp/hauntwatch-bench-XXXXXX";
    const std::string home = ::mkdtemp(folder);
    ::setenv("HAUNTWATCH_HOME", home.c_str(), 1);
    WriteWave(home + "/thanks.wav", 2);
    WriteWave(home + "/door.wav", 2);
    WriteWave(home + "/dog.wav", 6);
    WriteWave(home + "/tv.wav", 40);

    for (NoiseSlot& slot : GuardSettings.slots)
        slot = NoiseSlot{kNothing, kNone, 0, kModeExact, 1, CTime()};
    GuardSettings.slots[0] = NoiseSlot{"Door", (home + "/door.wav").c_str(), 1, kModeExact, 1, CTime()};
    GuardSettings.slots[1] = NoiseSlot{"Dog", (home + "/dog.wav").c_str(), 20, kModeRandom, 2, CTime()};
    GuardSettings.slots[2] = NoiseSlot{"TV", (home + "/tv.wav").c_str(), 45, kModeExact, 1, CTime()};
    GuardSettings.slots[3] = NoiseSlot{"Lamp", (home + "/lamp.txt").c_str(), 90, kModeRandom, 1, CTime()};
    GuardSettings.slots[4] = NoiseSlot{"Dog", (home + "/dog.wav").c_str(), 180, kModeExact, 3, CTime()};
    GuardSettings.quietWindow = {23, 6};
    win::srand(1);
    const GuardSnapshot settings = TakeGuardSnapshot();

    trip::MediaLengthCache lengths(home + "/media-lengths");
    const CTime now = CTime::GetCurrentTime();
    const CTimeSpan week(7 * 86400);
    const size_t events = trip::ComputePlan(settings, now, week, lengths).size();  // fills the cache
    constexpr int kPlans = 21;
    const double plan = MedianMicroseconds(kPlans, [&] { trip::ComputePlan(settings, now, week, lengths); });

    // The same week with every row kept to hours of the sun at Berlin: each
    // due time outside them is moved to the next start, worked out anew.
    lifelike::ScheduleExtras extras;
    extras.place = lifelike::Place{52.52, 13.41};
    const char* hours[][2] = {{"sunset", "23:30"}, {"sunset+20", "sunrise"}, {"sunrise-30", "sunset"},
                              {"16:00", "sunrise+45"}, {"sunset-60", "01:00"}};
    for (size_t row = 0; row < extras.rows.size(); ++row)
        extras.rows[row].hours = {lifelike::ParseDayTime(hours[row][0]), lifelike::ParseDayTime(hours[row][1])};
    SetScheduleExtras(extras);
    const size_t sunEvents = trip::ComputePlan(settings, now, week, lengths).size();
    const double sunPlan = MedianMicroseconds(kPlans, [&] { trip::ComputePlan(settings, now, week, lengths); });
    SetScheduleExtras({});

    // The reference: the guard's own pass, on the fake clock and fake players.
    double pass = 0;
    int passesPerPlan = 0;
    {
        platform::FakeClock clock(now.GetTime());
        platform::FakeTimer timer;
        platform::FakeSound sound;
        platform::FakeMovieCommands movies;
        platform::FakeProgramStarter starter;
        Window window;
        guardOn = 1;
        PrepareGuardStart();
        RunGuardPass(window);
        // How many passes the week takes, counted on the same schedule.
        std::map<std::string, std::int64_t> seconds;
        for (const NoiseSlot& slot : settings.slots)
            seconds[slot.filePath.str()] = static_cast<std::int64_t>(lengths.Seconds(slot.filePath.str()));
        sound.onPlay = [&](const std::string& path) { clock.Advance(seconds[path]); };
        while (clock.NowSeconds() < (now + week).GetTime()) {
            clock.Advance(timer.Delay(&window) / 1000);
            RunGuardPass(window);
            ++passesPerPlan;
        }
        constexpr int kBatch = 1000;
        pass = MedianMicroseconds(kPlans, [&] {
                   for (int i = 0; i < kBatch; ++i) {
                       clock.Advance(timer.Delay(&window) / 1000);
                       RunGuardPass(window);
                   }
               }) / kBatch;
        guardOn = 0;
    }

    std::printf("plan: 7 days, 5 slots (one every minute), media lengths cached; median of %d runs\n", kPlans);
    std::printf("  %-44s %10.2f ms   (%zu events)\n", "ComputePlan, 7 days", plan / 1000, events);
    std::printf("  %-44s %10.2f us   (%d passes in the week)\n", "reference: one RunGuardPass on the fake clock", pass,
                passesPerPlan);
    std::printf("  %-44s %10.2f      (plan time over the week's passes at the reference's speed)\n", "ratio",
                plan / (pass * passesPerPlan));
    std::printf("  %-44s %10.2f ms   (%zu events)\n", "ComputePlan, 7 days, every row on sun hours", sunPlan / 1000,
                sunEvents);
    std::printf("  %-44s %10.2f      (sun hours over the same schedule without hours)\n", "ratio", sunPlan / plan);
    std::filesystem::remove_all(home);
    return 0;
}
