#pragma once
// Playing a sound file to its end.
#include <string>

#include "PlayFailure.h"
#include "WinTypes.h"

namespace platform {

class SoundService {
public:
    virtual ~SoundService() = default;
    // Returns when the sound has ended; false when nothing could be played
    // (no file, nothing decodable in it, no audio output).
    virtual bool PlaySync(const std::string& path) = 0;
    // Why the last PlaySync that returned false failed.
    virtual PlayFailure LastFailure() const { return PlayFailure::CannotDecode; }
};

// Installed for the whole process; without one every play fails.
void InstallSoundService(SoundService* service);
SoundService* InstalledSoundService();
// The installed service's reason for its last failed play.
PlayFailure LastSoundFailure();

}  // namespace platform

namespace win {
// flags 0 is the only mode the program uses: synchronous.  Paths under
// "c:\qwendrik\" are the program's own files.  Non-zero when played.
BOOL PlaySoundA(const char* path, void* module, DWORD flags);
}
