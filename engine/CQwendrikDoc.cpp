#include "CQwendrikDoc.h"

#include <string>

#include "GuardEvents.h"
#include "GuardRealism.h"
#include "GuardSettings.h"
#include "Messenger.h"

namespace {

void Store(CArchive& ar)
{
    const NoiseLibrary& library = GuardSettings.library;
    ar << library.noiseCount;
    for (int i = 0; i < library.noiseCount && i < kMaxNoises; ++i)
        ar << library.noises[i].name << library.noises[i].path;
    for (const NoiseSlot& slot : GuardSettings.slots)
        ar << slot.noiseName << slot.filePath << slot.intervalMinutes << slot.mode << slot.repeatCount
           << slot.nextDue;
    ar << GuardSettings.quietWindow.quietFromHour << GuardSettings.quietWindow.quietToHour;
}

// Each value replaces the current one as soon as it is read, so a file cut
// short leaves what came before the cut assigned and the rest as it was.
void Load(CArchive& ar)
{
    NoiseLibrary& library = GuardSettings.library;
    std::int32_t count = 0;
    ar >> count;
    // The program never writes such a count; reading on would overrun the library.
    if (count < 0 || count > kMaxNoises)
        throw CArchiveException("it lists " + std::to_string(count) + " noises, but a library holds 0 to "
                                + std::to_string(kMaxNoises) + "; nothing was read");
    library.noiseCount = count;
    for (int i = 0; i < library.noiseCount; ++i)
        ar >> library.noises[i].name >> library.noises[i].path;
    for (NoiseSlot& slot : GuardSettings.slots)
        ar >> slot.noiseName >> slot.filePath >> slot.intervalMinutes >> slot.mode >> slot.repeatCount
            >> slot.nextDue;
    ar >> GuardSettings.quietWindow.quietFromHour >> GuardSettings.quietWindow.quietToHour;
}

}  // namespace

void CQwendrikDoc::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        Store(ar);
    else
        Load(ar);
}

// The very first start has no settings file: that is news for a person
// starting a new program, not an error.
std::string CQwendrikDoc::MissingFileMessage(const char* path, const std::string& realPath) const
{
    if (std::string(path) != SettingsPath)
        return {};
    return "Welcome to Hauntwatch. There are no settings yet, so Mervo's schedule starts empty.\n\n"
           "Choose \"What Should I Do?\" to tell him what to play. Set the quiet hours at the bottom "
           "first: until both of them are set, that window takes no other change. Then press "
           "\"Edit Noises\" to add sounds, movies or other files to your noise library, and pick "
           "them in the rows.\n\n"
           "Your settings will be kept in " + realPath + ".";
}

BOOL CQwendrikDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

// The row extras file beside the settings file is read with it.  What it
// could not say goes to the listener (the diary) now, and into the problem
// report at each guard start; a file the person opened says it at once.
BOOL CQwendrikDoc::OnOpenDocument(const char* path)
{
    const BOOL opened = CDocument::OnOpenDocument(path);
    LoadGuardRealism();
    const std::vector<std::string> problems = RealismProblems();
    InstalledGuardEvents().ExtrasRead(problems);
    if (!problems.empty() && path && !(CString(path) == SettingsPath)) {
        std::string text = "Some of " + ExtrasPath() + " was ignored:\n";
        for (const std::string& problem : problems)
            text += "\n" + problem;
        platform::InstalledMessenger().ShowWithoutWaiting(text);
    }
    InstalledGuardEvents().LibraryChanged();
    return opened;
}

BOOL CQwendrikDoc::OnSaveDocument(const char* path)
{
    return CDocument::OnSaveDocument(path);
}
