#include "Plan.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>

#include "Clock.h"
#include "GuardRealism.h"
#include "GuardScheduler.h"
#include "HomeFolder.h"
#include "GuardSettings.h"
#include "MediaLengths.h"
#include "MovieCommands.h"
#include "PlayShape.h"
#include "ProblemLog.h"
#include "ProgramStarter.h"
#include "Random.h"
#include "Sound.h"
#include "Timer.h"

namespace trip {

namespace {

// Whole seconds for the engine; the fractions of the media lengths add up.
class SimulatedClock final : public platform::Clock {
public:
    explicit SimulatedClock(CTime start) : milliseconds_(start.GetTime() * 1000) {}
    std::int64_t NowSeconds() override { return milliseconds_ / 1000; }
    void Advance(std::int64_t milliseconds) { milliseconds_ += milliseconds; }
    void AdvanceSeconds(double seconds) { milliseconds_ += std::llround(seconds * 1000); }
    void Set(CTime at) { milliseconds_ = at.GetTime() * 1000; }

private:
    std::int64_t milliseconds_;
};

class DelayRecorder final : public platform::TimerService {
public:
    bool Set(platform::TimerWindow*, UINT_PTR, UINT delayMs) override
    {
        delayMs_ = delayMs;
        return true;
    }
    void Kill(platform::TimerWindow*, UINT_PTR) override {}
    UINT Delay() const { return delayMs_; }

private:
    UINT delayMs_ = 0;
};

class PlanWindow final : public platform::TimerWindow {
public:
    void OnTimer(UINT_PTR) override {}
};

class LengthPlayer final : public platform::SoundService,
                           public platform::MovieCommandService,
                           public platform::ProgramStarter {
public:
    LengthPlayer(SimulatedClock& clock, MediaLengthSource& lengths) : clock_(clock), lengths_(lengths) {}

    bool PlaySync(const std::string& path) override
    {
        Play(path);
        return true;
    }
    // "OPEN <path> ALIAS MOVIE", "PLAY MOVIE FULLSCREEN WAIT", "CLOSE MOVIE".
    MCIERROR SendCommand(const std::string& command) override
    {
        static const std::string open = "OPEN ", alias = " ALIAS ";
        if (command.rfind(open, 0) == 0) {
            const size_t end = command.rfind(alias);
            movie_ = command.substr(open.size(), end == std::string::npos ? std::string::npos : end - open.size());
        } else if (command.rfind("PLAY ", 0) == 0) {
            Play(platform::ProgramFilePath(movie_));
        }
        return platform::kMovieOk;
    }
    UINT StartFile(const std::string&, UINT) override { return 33; }

private:
    // As long as the file, or its excerpt, placed as the real player places it.
    void Play(const std::string& path)
    {
        const double seconds = Seconds(path);
        const std::optional<platform::PlayedPart> part = platform::PlaceExcerpt(platform::TakePlayShape(), seconds);
        platform::TellPlayedPart(part);
        clock_.AdvanceSeconds(part ? static_cast<double>(part->length) : seconds);
    }

    // A file is looked at once per plan, not at each of its plays.
    double Seconds(const std::string& path)
    {
        const auto known = seconds_.find(path);
        if (known != seconds_.end())
            return known->second;
        return seconds_[path] = lengths_.Seconds(path);
    }

    SimulatedClock& clock_;
    MediaLengthSource& lengths_;
    std::string movie_;
    std::unordered_map<std::string, double> seconds_;
};

// What one pass told.
class PassRecorder final : public GuardEvents {
public:
    struct Play {
        CTime at;
        PlayKind kind;
        CString path;
        std::string excerpt;
        int row;
    };
    void Played(const PlayReport& report) override
    {
        plays.push_back({report.at, report.kind, report.path, report.excerpt, report.row});
    }
    void QuietHold(CTime until, CTime at) override { holds.push_back({until, at}); }
    void Clear()
    {
        plays.clear();
        holds.clear();
    }

    std::vector<Play> plays;
    std::vector<std::pair<CTime, CTime>> holds;
};

// Everything the engine's start and passes read or change, put aside while
// the plan's own services stand in, and put back as it was.
class SwappedEngine {
public:
    SwappedEngine(platform::Clock& clock, platform::TimerService& timer, LengthPlayer& player,
                  GuardEvents& listener, platform::TimerWindow& window)
        : quiet_(GuardSettings.quietWindow),
          problems_(ProblemLog),
          guardOn_(guardOn),
          random_(win::RandomState()),
          realism_(GuardRealism),
          origin_(TakeGuardStartOrigin()),
          armed_(ArmedWakeUp()),
          clock_(&platform::InstalledClock()),
          timer_(platform::InstalledTimerService()),
          sound_(platform::InstalledSoundService()),
          movies_(platform::InstalledMovieCommandService()),
          starter_(platform::InstalledProgramStarter()),
          listener_(&InstalledGuardEvents()),
          window_(window)
    {
        for (int s = 0; s < kSlotCount; ++s)
            slots_[s] = GuardSettings.slots[s];
        platform::InstallClock(&clock);
        platform::InstallTimerService(&timer);
        platform::InstallSoundService(&player);
        platform::InstallMovieCommandService(&player);
        platform::InstallProgramStarter(&player);
        InstallGuardEvents(&listener);
    }
    ~SwappedEngine()
    {
        // Kills only the plan window's arming, on the plan's own timer.
        StopGuard(window_);
        InstallGuardEvents(listener_);
        platform::InstallProgramStarter(starter_);
        platform::InstallMovieCommandService(movies_);
        platform::InstallSoundService(sound_);
        platform::InstallTimerService(timer_);
        platform::InstallClock(clock_);
        RestoreArmedWakeUp(armed_);
        SetNextGuardStartOrigin(origin_);
        win::SetRandomState(random_);
        GuardRealism = realism_;
        guardOn = guardOn_;
        ProblemLog = problems_;
        GuardSettings.quietWindow = quiet_;
        for (int s = 0; s < kSlotCount; ++s)
            GuardSettings.slots[s] = slots_[s];
    }
    SwappedEngine(const SwappedEngine&) = delete;
    SwappedEngine& operator=(const SwappedEngine&) = delete;

private:
    NoiseSlot slots_[kSlotCount];
    QuietWindow quiet_;
    ProblemLogRecord problems_;
    int guardOn_;
    unsigned int random_;
    GuardRealismRecord realism_;
    GuardStartOrigin origin_;
    std::optional<CTime> armed_;
    platform::Clock* clock_;
    platform::TimerService* timer_;
    platform::SoundService* sound_;
    platform::MovieCommandService* movies_;
    platform::ProgramStarter* starter_;
    GuardEvents* listener_;
    platform::TimerWindow& window_;
};

}  // namespace

std::vector<PlanEvent> ComputePlan(const GuardSnapshot& from, CTime now, CTimeSpan span, MediaLengthSource& lengths)
{
    std::vector<PlanEvent> plan;
    if (from.on && !from.armedWakeUp)
        return plan;  // a guard whose timer failed will not wake again
    const CTime end = now + span;

    SimulatedClock clock(now);
    DelayRecorder timer;
    LengthPlayer player(clock, lengths);
    PassRecorder recorder;
    PlanWindow window;
    const SwappedEngine swapped(clock, timer, player, recorder, window);

    for (int s = 0; s < kSlotCount; ++s)
        GuardSettings.slots[s] = from.slots[s];
    GuardSettings.quietWindow = from.quietWindow;
    win::SetRandomState(from.randomState);
    guardOn = 1;

    if (from.on) {
        clock.Set(std::max(now, *from.armedWakeUp));
    } else {
        // The start plays the guard-on sound first, as the view does: its
        // length delays the first pass and so every due time after it.
        win::PlaySoundA(kGuardOnSound, nullptr, 0);
        PrepareGuardStart();
    }

    bool shownContinuously[kSlotCount] = {};
    while (!(end < CTime::GetCurrentTime())) {
        CTime dueBefore[kSlotCount];
        for (int s = 0; s < kSlotCount; ++s)
            dueBefore[s] = GuardSettings.slots[s].nextDue;
        recorder.Clear();
        if (!RunGuardPass(window))
            break;
        // Each row's plays say which row they were; a row held to its hours
        // had its due time replaced without playing.
        for (int s = 0; s < kSlotCount; ++s) {
            const NoiseSlot& slot = GuardSettings.slots[s];
            if (dueBefore[s] == unscheduledMark || slot.nextDue == dueBefore[s] || slot.repeatCount <= 0)
                continue;
            const auto played = std::find_if(recorder.plays.begin(), recorder.plays.end(),
                                             [s](const PassRecorder::Play& play) { return play.row == s; });
            if (played == recorder.plays.end())
                continue;
            const PassRecorder::Play& first = *played;
            const bool continuously = slot.intervalMinutes <= 0;
            if (end < first.at || (continuously && shownContinuously[s]))
                continue;
            shownContinuously[s] = continuously;
            PlanEvent event;
            event.at = first.at;
            event.noiseName = slot.noiseName;
            event.path = first.path;
            event.excerpt = first.excerpt;
            event.playKind = first.kind;
            event.repeatCount = slot.repeatCount;
            event.continuously = continuously;
            plan.push_back(std::move(event));
        }
        for (const auto& [until, at] : recorder.holds) {
            PlanEvent hold;
            hold.kind = PlanEvent::Kind::QuietHold;
            hold.at = at;
            hold.until = until;
            plan.push_back(hold);
        }
        // The real timer counts its delay from when it is armed, after the plays.
        clock.Advance(timer.Delay());
    }
    return plan;
}

}  // namespace trip
