#include "CDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "AtomicFile.h"
#include "HomeFolder.h"
#include "Messenger.h"
#include "SmallFile.h"

namespace {

void Tell(const std::string& text)
{
    platform::InstalledMessenger().ShowMessage(text);
}

}  // namespace

std::string CDocument::MissingFileMessage(const char* /*path*/, const std::string& /*realPath*/) const
{
    return {};
}

BOOL CDocument::OnNewDocument()
{
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path)
{
    const std::string realPath = platform::HomePath(path);
    std::string bytes;
    std::string why;
    const platform::SmallFileRead read = platform::ReadSmallFile(realPath, kLargestFile, "settings file", &bytes, &why);
    if (read != platform::SmallFileRead::Read) {
        if (read == platform::SmallFileRead::Missing)
            why = std::strerror(ENOENT);
        // A link to nowhere is not a first start.
        struct stat info {};
        const bool missing = read == platform::SmallFileRead::Missing && ::lstat(realPath.c_str(), &info) != 0;
        const std::string welcome = missing ? MissingFileMessage(path, realPath) : std::string();
        if (welcome.empty())
            Tell("Cannot open the settings file " + realPath + ": " + why + ".");
        else
            platform::InstalledMessenger().ShowNote(welcome);
        return FALSE;
    }
    // An empty file is a document with nothing in it yet.
    if (bytes.empty())
        return TRUE;
    CArchive ar(std::move(bytes));
    try {
        Serialize(ar);
    } catch (const CArchiveException& failure) {
        Tell("The settings file " + realPath + " is damaged and was read only in part: "
             + failure.what() + ".");
        return FALSE;
    }
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char* path)
{
    const std::string realPath = platform::HomePath(path);
    CArchive ar;
    std::string error;
    try {
        Serialize(ar);
    } catch (const CArchiveException& failure) {
        error = failure.what();
    }
    platform::ReplaceOptions options;
    options.followLinks = true;
    if (error.empty() && platform::ReplaceFileAtomically(realPath, ar.Bytes(), options, &error))
        return TRUE;
    Tell("The settings could not be saved to " + realPath + ": " + error
         + ". The previous file, if any, is unchanged.");
    return FALSE;
}
