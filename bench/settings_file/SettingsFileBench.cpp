// Load and save of the full 100-noise record through the document, beside a
// plain fread/fwrite of the same bytes, measured in the same run.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "CQwendrikDoc.h"
#include "FakeMessenger.h"
#include "GuardSettings.h"

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

void FillFullRecord()
{
    GuardSettings.library.noiseCount = kMaxNoises;
    for (int i = 0; i < kMaxNoises; ++i) {
        GuardSettings.library.noises[i].name = CString("Noise number " + std::to_string(i));
        GuardSettings.library.noises[i].path = CString("/home/someone/Music/house noises/noise-" + std::to_string(i) + ".wav");
    }
    for (NoiseSlot& slot : GuardSettings.slots)
        slot = NoiseSlot{"Noise number 7", "/home/someone/Music/house noises/noise-7.wav", 90, 0, 2, unscheduledMark};
}

std::string ReadPlain(const std::string& path)
{
    std::string bytes(1 << 16, '\0');
    FILE* file = std::fopen(path.c_str(), "rb");
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

void WritePlain(const std::string& path, const std::string& bytes, bool sync)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    if (sync)
        ::fsync(fileno(file));
    std::fclose(file);
}

}  // namespace

int main()
{
    char folder[] = "/tmp/hauntwatch-bench-XXXXXX";
    ::setenv("HAUNTWATCH_HOME", ::mkdtemp(folder), 1);
    platform::FakeMessenger quiet;
    CQwendrikDoc doc;
    FillFullRecord();
    doc.OnSaveDocument(SettingsPath);
    const std::string settingsFile = std::string(folder) + "/noises.hwt";
    const std::string plainFile = std::string(folder) + "/plain.bin";
    const std::string bytes = ReadPlain(settingsFile);

    constexpr int kRuns = 200;
    const double load = MedianMicroseconds(kRuns, [&] { doc.OnOpenDocument(SettingsPath); });
    const double fread = MedianMicroseconds(kRuns, [&] { ReadPlain(settingsFile); });
    const double save = MedianMicroseconds(kRuns, [&] { doc.OnSaveDocument(SettingsPath); });
    const double fwrite = MedianMicroseconds(kRuns, [&] { WritePlain(plainFile, bytes, false); });
    const double fwriteSync = MedianMicroseconds(kRuns, [&] { WritePlain(plainFile, bytes, true); });

    std::printf("settings file: %zu bytes, 100 noises, median of %d runs\n", bytes.size(), kRuns);
    std::printf("  %-34s %10.1f us   plain fread  %10.1f us   ratio %.2f\n", "load (OnOpenDocument)", load, fread, load / fread);
    std::printf("  %-34s %10.1f us   plain fwrite %10.1f us   ratio %.2f\n", "save (OnSaveDocument, fsync+rename)", save, fwrite, save / fwrite);
    std::printf("  %-34s %10.1f us   fwrite+fsync %10.1f us   ratio %.2f\n", "save against a synced plain write", save, fwriteSync, save / fwriteSync);
    std::remove(settingsFile.c_str());
    std::remove(plainFile.c_str());
    ::rmdir(folder);
    return 0;
}
