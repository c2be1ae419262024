#pragma once
// The parts of the program beside the guard (the trip's records and items,
// the sound check, the remote control), made and joined to the application
// as the program runs them: they hear the guard's events at once, and reach
// the main window only once it is up, so none of them holds up its first
// picture.  The program's main and its start-up benchmark both use this.
#include <functional>
#include <memory>

#include "ProgramOptions.h"

class CWinApp;

class ProgramParts {
public:
    // `whenUp` runs last once the window is up (the program tells its
    // service manager it is ready there).
    ProgramParts(const ProgramOptions& options, std::function<void()> whenUp = {});
    // The guard's events go to nobody again.
    ~ProgramParts();
    ProgramParts(const ProgramParts&) = delete;
    ProgramParts& operator=(const ProgramParts&) = delete;

    // Gives the application what to do once its main window is up and with
    // the options later starts hand over.
    void JoinTo(CWinApp& app);

    // A start after a restart has nobody to close a message box: the
    // messenger shows none until the window is up.
    void SetUnattendedUntilUp(std::function<void(bool)> unattended);

    // What a normal end writes, for an end without one (the display gone):
    // nothing of the windows is touched.
    void WriteLastLines();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
