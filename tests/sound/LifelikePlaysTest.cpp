// A household rather than a loop, heard at a real sink: a folder's takes
// never twice in a row, a row's level spread over its range, and an excerpt
// of a long recording from the point the draw gives, for its length.
#include <cmath>
#include <fstream>

#include "ExtrasFile.h"
#include "GuardEvents.h"
#include "SoundRoutingFixture.h"
#include "ToneFile.h"

namespace {

class PlayRecorder final : public GuardEvents {
public:
    void Played(const PlayReport& report) override { reports.push_back(report); }
    std::vector<PlayReport> reports;
};

// The recording as samples, 0 to 1 of full scale.
std::vector<double> Samples(const std::string& raw)
{
    std::ifstream in(raw, std::ios::binary);
    std::vector<double> samples;
    for (std::int16_t sample; in.read(reinterpret_cast<char*>(&sample), sizeof sample);)
        samples.push_back(std::abs(sample) / 32768.0);
    return samples;
}
constexpr double kRate = 44100;

class LifelikePlaysTest : public SoundRoutingTest {
protected:
    void SetUp() override
    {
        SoundRoutingTest::SetUp();
        InstallGuardEvents(&recorder);
    }

    // One pass a minute on, recorded at the default sink.
    std::vector<double> NextPass(const std::string& name)
    {
        SinkRecording sink("a", home / (name + ".raw"));
        EXPECT_TRUE(sink.Running());
        clock.Advance(60);
        timer.Fire(view());
        sink.Stop();
        return Samples(home / (name + ".raw"));
    }

    PlayRecorder recorder;
};

TEST_F(LifelikePlaysTest, TakesNeverRepeatAndLevelsSpreadOverTheRowsRange)
{
    std::filesystem::create_directories(home / "barks/older");
    for (const char* take : {"a.wav", "b.wav", "c.wav", ".hidden.wav", "older/d.wav"})
        WriteTone(home / (std::string("barks/") + take), 0.3);
    std::ofstream(home / "barks/notes.txt") << "not a take";
    std::ofstream(home / "noises.hwt.ini") << "[row1]\nlevel = -24..0\n";
    WriteSettings(home / "noises.hwt",
                  [&](GuardSettingsRecord& settings) { SetNoise(settings, 0, 1, (home / "barks").c_str()); });
    ASSERT_TRUE(Start());
    view()->OnTurnMeOn();
    GuardRealism.random = lifelike::RealismRandom(7);

    std::vector<double> levels;
    for (int pass = 0; pass < 8; ++pass) {
        const std::vector<double> samples = NextPass("pass" + std::to_string(pass));
        const double peak = samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
        ASSERT_GT(peak, 0) << "pass " << pass << " was not heard";
        levels.push_back(20 * std::log10(peak / (8000 / 32768.0)));
    }
    ASSERT_EQ(recorder.reports.size(), 8u);
    for (size_t i = 0; i < recorder.reports.size(); ++i) {
        const std::string take = recorder.reports[i].path.str();
        EXPECT_TRUE(take == home / "barks/a.wav" || take == home / "barks/b.wav" || take == home / "barks/c.wav") << take;
        EXPECT_EQ(recorder.reports[i].noiseName, CString("door"));
        if (i > 0) {
            EXPECT_NE(take, recorder.reports[i - 1].path.str()) << "the same take twice in a row at play " << i;
        }
    }
    for (double level : levels)
        EXPECT_TRUE(level > -25 && level < 1) << level << " dB";
    const auto [quietest, loudest] = std::minmax_element(levels.begin(), levels.end());
    EXPECT_GT(*loudest - *quietest, 10) << "the plays' levels spread over the range";
}

TEST_F(LifelikePlaysTest, AnExcerptPlaysItsLengthFromTheDrawnPoint)
{
    // Louder second by second, so the level heard tells where the excerpt lies.
    const auto rising = [](double t) { return 0.02 + 0.02 * t; };
    WriteTone(home / "radio.wav", 12, rising);
    WriteSettings(home / "noises.hwt",
                  [&](GuardSettingsRecord& settings) { SetNoise(settings, 0, 1, (home / "radio.wav").c_str()); });
    ASSERT_TRUE(Start());
    lifelike::ScheduleExtras extras;
    extras.rows[0].excerptSeconds = 3;
    SetScheduleExtras(extras);
    view()->OnTurnMeOn();
    GuardRealism.random = lifelike::RealismRandom(11);

    std::vector<int> starts;
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<double> samples = NextPass("excerpt" + std::to_string(pass));
        ASSERT_EQ(recorder.reports.size(), static_cast<size_t>(pass + 1));
        int minutes = 0, seconds = 0;
        ASSERT_EQ(std::sscanf(recorder.reports.back().excerpt.c_str(), "from %d:%d for 0:03", &minutes, &seconds), 2)
            << recorder.reports.back().excerpt;
        starts.push_back(minutes * 60 + seconds);
        const auto first = std::find_if(samples.begin(), samples.end(), [](double s) { return s > 0.005; });
        const auto last = std::find_if(samples.rbegin(), samples.rend(), [](double s) { return s > 0.005; });
        ASSERT_NE(first, samples.end()) << "pass " << pass << " was not heard";
        const double heard = static_cast<double>(std::distance(first, last.base())) / kRate;
        EXPECT_NEAR(heard, 3, 0.3) << "the excerpt's length, faded in and out";
        // Its middle second, past the fade-in, at the file's level there.
        const auto middle = first + static_cast<std::ptrdiff_t>(1.5 * kRate);
        const double peak = *std::max_element(middle - static_cast<std::ptrdiff_t>(0.2 * kRate),
                                               middle + static_cast<std::ptrdiff_t>(0.2 * kRate));
        EXPECT_NEAR(peak, rising(starts.back() + 1.5), 0.02) << "from " << starts.back() << " s";
    }
    EXPECT_NE(starts[0], starts[1]) << "two plays, two points in the recording";
}

}  // namespace
