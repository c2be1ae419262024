// From the moment a due slot asks for its sound to the start of sound output,
// with the null audio output, beside a bare libmpv handle made and loaded for
// the same file in the same run.
#include <mpv/client.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <vector>

#include "MpvSound.h"

namespace {

double BareStartLatency(const char* path)
{
    const auto called = std::chrono::steady_clock::now();
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle* handle = mpv_create();
    mpv_set_option_string(handle, "config", "no");
    mpv_set_option_string(handle, "ao", "null");
    mpv_set_option_string(handle, "vid", "no");
    mpv_initialize(handle);
    const char* command[] = {"loadfile", path, nullptr};
    mpv_command(handle, command);
    double latency = -1;
    while (latency < 0) {
        const mpv_event* event = mpv_wait_event(handle, 5);
        if (event->event_id == MPV_EVENT_PLAYBACK_RESTART)
            latency = std::chrono::duration<double>(std::chrono::steady_clock::now() - called).count();
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_NONE)
            break;
    }
    mpv_terminate_destroy(handle);
    return latency;
}

void Report(const char* name, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("  %-36s median %7.2f ms   min %7.2f   max %7.2f\n", name, ms[ms.size() / 2], ms.front(), ms.back());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "thanks.wav";
    constexpr int kRuns = 20;
    std::vector<double> first, warm, bare;
    for (int i = 0; i < kRuns; ++i) {
        platform::MpvSound fresh;
        fresh.PlaySync(path);
        first.push_back(fresh.LastStartLatency() * 1000);
        bare.push_back(BareStartLatency(path) * 1000);
    }
    platform::MpvSound guard;
    for (int i = 0; i < kRuns; ++i) {
        guard.PlaySync(path);
        warm.push_back(guard.LastStartLatency() * 1000);
    }
    std::printf("due play to start of sound output, null audio output, %d runs each\n", kRuns);
    Report("guard, first play (handle made)", first);
    Report("guard, later plays (handle reused)", warm);
    Report("bare mpv_create + loadfile", bare);
    std::printf("  ratio first/bare %.2f, later/bare %.2f\n", Median(first) / Median(bare), Median(warm) / Median(bare));
    return 0;
}
