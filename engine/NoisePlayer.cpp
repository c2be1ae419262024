#include "NoisePlayer.h"

#include "CTime.h"
#include "MovieCommands.h"
#include "ProblemLog.h"
#include "ProgramStarter.h"
#include "Sound.h"

namespace {

enum class NoiseKind { Sound, Movie, Other };

// Only the last three characters decide, case-sensitively; no dot is needed.
NoiseKind KindOf(const CString& path)
{
    const CString tail = path.Right(3);
    if (tail == "wav")
        return NoiseKind::Sound;
    if (tail == "avi")
        return NoiseKind::Movie;
    return NoiseKind::Other;
}

bool PlayMovie(const CString& path)
{
    const CString open = "OPEN " + path + " ALIAS MOVIE";
    win::mciSendStringA(open, nullptr, 0, nullptr);
    const MCIERROR played = win::mciSendStringA("PLAY MOVIE FULLSCREEN WAIT", nullptr, 0, nullptr);
    win::mciSendStringA("CLOSE MOVIE", nullptr, 0, nullptr);
    return played == 0;
}

}  // namespace

void PlayNoise(const CString& path, int repeatCount)
{
    const NoiseKind kind = KindOf(path);
    const CString at = CTime::GetCurrentTime().Format("At %H:%M");
    for (int i = 0; i < repeatCount; ++i) {
        switch (kind) {
        case NoiseKind::Sound:
            if (win::PlaySoundA(path, nullptr, 0) == 0)
                ProblemLog.Append(at + " couldn't play wav" + path);
            break;
        case NoiseKind::Movie:
            if (!PlayMovie(path))
                ProblemLog.Append(at + " couldn't play avi" + path);
            break;
        case NoiseKind::Other:
            if (win::WinExec("Start " + path, win::SW_SHOWMAXIMIZED) <= 31)
                ProblemLog.Append(at + " couldn't start" + path);
            break;
        }
    }
}
