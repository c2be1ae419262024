#include "NoisePlayer.h"

#include "CTime.h"
#include "GuardEvents.h"
#include "GuardRealism.h"
#include "MovieCommands.h"
#include "PlayShape.h"
#include "ProblemLog.h"
#include "ProgramStarter.h"
#include "Sound.h"

namespace {

int guardPlays = 0;
PlayOrigin playOrigin = PlayOrigin::Guard;

// Only the last three characters decide, case-sensitively; no dot is needed.
PlayKind KindOf(const CString& path)
{
    const CString tail = path.Right(3);
    if (tail == "wav")
        return PlayKind::Sound;
    if (tail == "avi")
        return PlayKind::Movie;
    return PlayKind::Program;
}

platform::PlayFailure MovieFailure(MCIERROR error)
{
    switch (error) {
    case platform::kMovieCannotOpen:
    case platform::kMovieUnknownAlias:
        return platform::PlayFailure::FileMissing;
    case platform::kMovieNoDisplay:
        return platform::PlayFailure::NoDisplay;
    case platform::kMovieTimedOut:
        return platform::PlayFailure::TimedOut;
    case platform::kMovieNoAudio:
        return platform::PlayFailure::NoSoundOutput;
    default:
        return platform::PlayFailure::CannotDecode;
    }
}

// The movie's open result is not what decides, but it tells why a play failed.
MCIERROR PlayMovie(const CString& path)
{
    const CString open = "OPEN " + path + " ALIAS MOVIE";
    const MCIERROR opened = win::mciSendStringA(open, nullptr, 0, nullptr);
    const MCIERROR played = win::mciSendStringA("PLAY MOVIE FULLSCREEN WAIT", nullptr, 0, nullptr);
    win::mciSendStringA("CLOSE MOVIE", nullptr, 0, nullptr);
    return played != 0 && opened != 0 ? opened : played;
}

void Tell(PlayReport report)
{
    if (guardPlays == 0)
        return;
    report.outcome = report.failure != platform::PlayFailure::None ? PlayOutcome::Failed
                     : report.kind == PlayKind::Program            ? PlayOutcome::Started
                                                                   : PlayOutcome::Played;
    report.origin = playOrigin;
    InstalledGuardEvents().Played(report);
}

}  // namespace

GuardPlays::GuardPlays(PlayOrigin origin) : outer_(playOrigin)
{
    ++guardPlays;
    playOrigin = origin;
}

GuardPlays::~GuardPlays()
{
    --guardPlays;
    playOrigin = outer_;
}

void PlayNoise(const CString& noisePath, int repeatCount, int row, const CString& noiseName)
{
    const CTime now = CTime::GetCurrentTime();
    const CString at = now.Format("At %H:%M");
    for (int i = 0; i < repeatCount; ++i) {
        const ShapedPlay shaped = ShapePlay(noisePath, row);
        const CString& path = shaped.path;
        const PlayKind kind = KindOf(shaped.failure.empty() ? path : noisePath);
        PlayReport report{now, path, kind, PlayOutcome::Played, platform::PlayFailure::None, PlayOrigin::Guard,
                          noiseName, row, {}, {}};
        if (!shaped.failure.empty()) {
            report.path = noisePath;
            report.failure = platform::PlayFailure::NoTakes;
            report.reason = shaped.failure;
            ProblemLog.Append(at + " couldn't play " + noisePath + ": " + CString(shaped.failure));
            Tell(report);
            continue;
        }
        platform::PlayFailure& failure = report.failure;
        platform::ShapeNextPlay(shaped.shape);
        switch (kind) {
        case PlayKind::Sound:
            if (win::PlaySoundA(path, nullptr, 0) == 0) {
                failure = platform::LastSoundFailure();
                ProblemLog.Append(at + " couldn't play wav" + path);
            }
            break;
        case PlayKind::Movie:
            if (const MCIERROR error = PlayMovie(path); error != 0) {
                failure = MovieFailure(error);
                ProblemLog.Append(at + " couldn't play avi" + path);
            }
            break;
        case PlayKind::Program:
            if (const UINT started = win::WinExec("Start " + path, win::SW_SHOWMAXIMIZED); started <= 31) {
                failure = started == win::kStartFileNotFound ? platform::PlayFailure::FileMissing
                                                             : platform::PlayFailure::StarterFailed;
                ProblemLog.Append(at + " couldn't start" + path);
            }
            break;
        }
        // A player that does not shape (the program starter) leaves it.
        platform::TakePlayShape();
        report.excerpt = ExcerptText(platform::TakePlayedPart());
        Tell(report);
    }
}
