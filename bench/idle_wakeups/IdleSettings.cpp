// Writes a settings file whose one active row plays every 60 minutes exactly,
// so a guard started with it sleeps for an hour.
#include <cstdio>

#include "CQwendrikDoc.h"
#include "GuardSettings.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s settings.hwt\n", argv[0]);
        return 2;
    }
    for (NoiseSlot& slot : GuardSettings.slots)
        slot = NoiseSlot{kNothing, kNone, 0, kModeExact, 0, CTime()};
    GuardSettings.slots[0] = NoiseSlot{"clock", "c:\\qwendrik\\thanks.wav", 60, kModeExact, 1, CTime()};
    CQwendrikDoc document;
    return document.OnSaveDocument(argv[1]) ? 0 : 1;
}
