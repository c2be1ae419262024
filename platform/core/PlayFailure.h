#pragma once
// Why a play or a program start failed, as far as the service that tried it
// can tell.  The problem report keeps its own fixed texts; this is for those
// who want the reason (the diary, the remote control).
namespace platform {

enum class PlayFailure {
    None,
    FileMissing,    // no such file, or not a regular file
    NoSoundOutput,  // no audio device or sound server would take the sound
    CannotDecode,   // the file is there but holds nothing playable
    NoDisplay,      // a movie with nowhere to show its picture
    TimedOut,       // it never ended: a stalled sound server or file system
    StarterFailed,  // the desktop's program starter refused or failed
    NoTakes,        // a folder noise with nothing in it to play
};

}  // namespace platform
