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

namespace {

void Tell(const std::string& text)
{
    platform::InstalledMessenger().ShowMessage(text);
}

std::string Reason()
{
    return std::strerror(errno);
}

// Whatever a person or another program names as a settings file: only a
// regular file of a sensible size is read, and nothing here can block on a
// FIFO or a device, or swallow a huge file dropped by mistake.
bool ReadSettingsFile(const std::string& path, std::string* bytes, std::string* why)
{
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        *why = Reason();
        return false;
    }
    if (!S_ISREG(named.st_mode)) {
        *why = S_ISDIR(named.st_mode) ? "it is a folder" : "it is not a regular file";
        return false;
    }
    if (named.st_size > CDocument::kLargestFile) {
        *why = "it is " + std::to_string(named.st_size / (1024 * 1024)) +
               " MiB, far larger than any settings file (at most 4 MiB)";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        *why = Reason();
        return false;
    }
    // The name may have been pointed elsewhere since it was looked at.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_size > CDocument::kLargestFile) {
        *why = "it changed while it was being opened";
        ::close(fd);
        return false;
    }
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = Reason();
            ::close(fd);
            return false;
        }
        if (got == 0)
            break;
        bytes->append(chunk, static_cast<size_t>(got));
        if (bytes->size() > static_cast<size_t>(CDocument::kLargestFile)) {
            *why = "it grew past 4 MiB while it was being read";
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    return true;
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
    if (!ReadSettingsFile(realPath, &bytes, &why)) {
        struct stat info {};
        const bool missing = ::lstat(realPath.c_str(), &info) != 0 && errno == ENOENT;
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
