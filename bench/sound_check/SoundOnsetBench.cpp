// From a due tick (the guard's pass, as its timer runs it, with the sound
// check listening and the chosen output in use) to the sound's first sample
// at a real sink, found in a recording of the sink's monitor; beside a bare
// libmpv handle playing the same file on the same sink.  Taken in turns in
// one run, each with a new handle and with one kept from play to play.
#include <mpv/client.h>
#include <pulse/simple.h>

#include <QCoreApplication>
#include <QSettings>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "StandInGuard.h"
#include "GuardScheduler.h"
#include "GuardSettings.h"
#include "MpvSound.h"
#include "SoundModule.h"
#include "UserSettings.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100;
constexpr int kBlock = kRate / 200;  // 5 ms
// The test tone peaks at an eighth of full scale.
constexpr int kLoud = 32768 / 50;

// Records a sink's monitor in its own thread, in blocks of 5 ms.  A null sink
// renders its mix as time passes (at most one block of its latency ahead)
// and hands each rendered block to its monitor at once; a sample reached the
// sink when the block holding it was read here, within a block and the
// socket's delay.
class MonitorRecorder {
public:
    explicit MonitorRecorder(const std::string& sink)
    {
        const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.fragsize = kBlock * 2;
        int error = 0;
        stream_ = pa_simple_new(nullptr, "hauntwatch bench", PA_STREAM_RECORD, (sink + ".monitor").c_str(), "onset",
                                &format, nullptr, &attr, &error);
        if (stream_)
            thread_ = std::thread([this] { Run(); });
    }
    ~MonitorRecorder()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (stream_)
            pa_simple_free(stream_);
    }
    bool Recording() const { return stream_ != nullptr; }

    // Samples recorded so far: all of them were heard before now.
    std::size_t Mark()
    {
        const std::lock_guard lock(mutex_);
        return samples_.size();
    }

    // The sample number of the first loud sample from `mark` on; waits for
    // it, bounded, and then for the sink to be quiet again, so that the next
    // play starts in silence.
    std::optional<std::size_t> OnsetFrom(std::size_t mark)
    {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        std::optional<std::size_t> onset;
        std::size_t lastLoud = 0;
        std::size_t scanned = mark;
        for (;;) {
            {
                const std::lock_guard lock(mutex_);
                for (; scanned < samples_.size(); ++scanned) {
                    if (std::abs(int(samples_[scanned])) < kLoud)
                        continue;
                    lastLoud = scanned;
                    if (!onset)
                        onset = scanned;
                }
                if (onset && samples_.size() - lastLoud > kRate / 5)
                    return onset;
            }
            if (Clock::now() > deadline)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    Clock::time_point TimeOf(std::size_t sample)
    {
        const std::lock_guard lock(mutex_);
        return reads_[sample / kBlock];
    }

private:
    void Run()
    {
        std::vector<std::int16_t> block(kBlock);
        while (!stop_) {
            int error = 0;
            if (pa_simple_read(stream_, block.data(), block.size() * 2, &error) < 0)
                return;
            const Clock::time_point read = Clock::now();
            const std::lock_guard lock(mutex_);
            samples_.insert(samples_.end(), block.begin(), block.end());
            reads_.push_back(read);
        }
    }

    pa_simple* stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::int16_t> samples_;
    std::vector<Clock::time_point> reads_;  // one per block
};

class NoTimer final : public platform::TimerService {
public:
    bool Set(platform::TimerWindow*, UINT_PTR, UINT) override { return true; }
    void Kill(platform::TimerWindow*, UINT_PTR) override {}
};

class GuardWindow final : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override { RunGuardPass(*this); }
};

// What a program would do with libmpv and nothing else: its defaults (mpv's
// own scripts loaded, for one), no user configuration, the same sink.
mpv_handle* BareHandle(const std::string& sink)
{
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* handle = mpv_create();
    mpv_set_option_string(handle, "config", "no");
    mpv_set_option_string(handle, "vid", "no");
    mpv_set_option_string(handle, "ao", "pulse");
    mpv_set_option_string(handle, "audio-device", ("pulse/" + sink).c_str());
    mpv_initialize(handle);
    return handle;
}

void BarePlay(mpv_handle* handle, const std::string& path)
{
    const char* command[] = {"loadfile", path.c_str(), nullptr};
    mpv_command(handle, command);
    for (;;) {
        const mpv_event* event = mpv_wait_event(handle, 10);
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_NONE)
            return;
    }
}

struct Series {
    const char* name;
    std::vector<double> ms;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || !std::getenv("PULSE_SERVER")) {
        std::fprintf(stderr, "usage (through run.sh, which starts the sound server): %s SINK FILE\n", argv[0]);
        return 2;
    }
    const std::string sink = argv[1];
    const std::string path = std::filesystem::absolute(argv[2]).string();
    QCoreApplication qtApp(argc, argv);
    const std::string config = (std::filesystem::temp_directory_path() / "hauntwatch-bench-onset").string();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config));
    ::unsetenv("HAUNTWATCH_AO");

    // The guard as it runs: the check listening, the output chosen.
    UserSettings().setValue("Sound/Output", QString::fromStdString(sink));
    StandInGuard problems;
    sound::SoundModule module(problems);
    InstallGuardEvents(&module.Listener());
    const auto known = Clock::now() + std::chrono::seconds(10);
    while (module.Watcher().View().state != sound::SoundServerView::State::Known && Clock::now() < known)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    NoTimer timer;
    platform::InstallTimerService(&timer);
    GuardWindow window;

    MonitorRecorder recorder(sink);
    if (!recorder.Recording()) {
        std::fprintf(stderr, "cannot record %s.monitor\n", sink.c_str());
        return 1;
    }
    Series guardNew{"guard, new handle", {}}, guardKept{"guard, handle kept", {}};
    Series bareNew{"bare libmpv, new handle", {}}, bareKept{"bare libmpv, handle kept", {}};
    struct Trial {
        Series* series;
        Clock::time_point tick;
        std::size_t onset;
    };
    std::vector<Trial> trials;
    auto measure = [&](Series& series, auto play) {
        const std::size_t mark = recorder.Mark();
        const Clock::time_point tick = Clock::now();
        play();
        if (const auto onset = recorder.OnsetFrom(mark))
            trials.push_back({&series, tick, *onset});
    };
    auto guardPass = [&] {
        GuardSettings.slots[0] = NoiseSlot{"tone", path.c_str(), 1, kModeExact, 1, CTime::GetCurrentTime()};
        window.OnTimer(guardTimerId);
    };

    auto kept = std::make_unique<platform::MpvSound>();
    mpv_handle* bareHandle = BareHandle(sink);
    // One of each first, so the kept handles and the codecs are warm.
    platform::InstallSoundService(kept.get());
    guardPass();
    BarePlay(bareHandle, path);
    recorder.OnsetFrom(0);

    constexpr int kRounds = 12;
    for (int round = 0; round < kRounds; ++round) {
        {
            platform::MpvSound fresh;
            platform::InstallSoundService(&fresh);
            measure(guardNew, guardPass);
        }
        platform::InstallSoundService(kept.get());
        measure(guardKept, guardPass);
        measure(bareNew, [&] {
            mpv_handle* handle = BareHandle(sink);
            BarePlay(handle, path);
            mpv_terminate_destroy(handle);
        });
        measure(bareKept, [&] { BarePlay(bareHandle, path); });
    }
    mpv_terminate_destroy(bareHandle);
    for (const Trial& trial : trials)
        trial.series->ms.push_back(std::chrono::duration<double, std::milli>(recorder.TimeOf(trial.onset) - trial.tick).count());
    platform::InstallSoundService(nullptr);
    platform::InstallTimerService(nullptr);
    InstallGuardEvents(nullptr);

    std::printf("due tick to the sound's onset at sink %s (its monitor recorded), %d plays each, in turns\n",
                sink.c_str(), kRounds);
    for (const Series* series : {&guardNew, &bareNew, &guardKept, &bareKept}) {
        if (series->ms.empty()) {
            std::printf("  %-26s no onset found\n", series->name);
            return 1;
        }
        std::vector<double> sorted = series->ms;
        std::sort(sorted.begin(), sorted.end());
        std::printf("  %-26s median %7.1f ms   min %7.1f   max %7.1f   (%zu heard)\n", series->name, Median(sorted),
                    sorted.front(), sorted.back(), sorted.size());
    }
    std::printf("  ratio guard/bare: new handle %.2f, kept handle %.2f (aim: 1.3 at most)\n",
                Median(guardNew.ms) / Median(bareNew.ms), Median(guardKept.ms) / Median(bareKept.ms));
    if (!problems.problems.empty())
        std::printf("  problem lines: %s ...\n", problems.problems.front().c_str());
    return 0;
}
