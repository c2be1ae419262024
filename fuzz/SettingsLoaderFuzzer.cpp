// Feeds arbitrary bytes to the settings loader.  Whatever the bytes, loading
// must not crash, must keep the library within its 100 entries, and a record
// that loaded completely must survive a store and a second load unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CArchive.h"
#include "CQwendrikDoc.h"
#include "GuardSettings.h"

namespace {

bool SameRecord(const GuardSettingsRecord& a, const GuardSettingsRecord& b)
{
    if (a.library.noiseCount != b.library.noiseCount)
        return false;
    for (int i = 0; i < a.library.noiseCount; ++i)
        if (!(a.library.noises[i].name == b.library.noises[i].name)
            || !(a.library.noises[i].path == b.library.noises[i].path))
            return false;
    for (int s = 0; s < kSlotCount; ++s) {
        const NoiseSlot& x = a.slots[s];
        const NoiseSlot& y = b.slots[s];
        if (!(x.noiseName == y.noiseName) || !(x.filePath == y.filePath) || x.intervalMinutes != y.intervalMinutes
            || x.mode != y.mode || x.repeatCount != y.repeatCount || !(x.nextDue == y.nextDue))
            return false;
    }
    return a.quietWindow.quietFromHour == b.quietWindow.quietFromHour
           && a.quietWindow.quietToHour == b.quietWindow.quietToHour;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    GuardSettings = GuardSettingsRecord{};
    CQwendrikDoc doc;
    CArchive in(std::string(reinterpret_cast<const char*>(data), size));
    bool complete = true;
    try {
        doc.Serialize(in);
    } catch (const CArchiveException&) {
        complete = false;
    }
    if (GuardSettings.library.noiseCount < 0 || GuardSettings.library.noiseCount > kMaxNoises)
        std::abort();
    if (!complete)
        return 0;

    const GuardSettingsRecord loaded = GuardSettings;
    CArchive out;
    doc.Serialize(out);
    GuardSettings = GuardSettingsRecord{};
    CArchive again(out.Bytes());
    doc.Serialize(again);
    if (!SameRecord(loaded, GuardSettings) || again.Remaining() != 0)
        std::abort();
    return 0;
}
