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

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return false;
        done += static_cast<size_t>(put);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A settings file that is a symbolic link stays one: the save goes to the
// file it points to (a link whose file is missing gets that file made).
std::string FollowLinks(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(static_cast<size_t>(PATH_MAX), '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0)
            return current;
        target.resize(static_cast<size_t>(length));
        current = target[0] == '/' ? target : FolderOf(current) + "/" + target;
    }
    return current;
}

// The mode a new file gets from the user's umask, read without setting it:
// umask() would change it for the whole process, other threads included.
mode_t DefaultFileMode()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0)
            return 0666 & ~static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return 0644;
}

// Temp file, flush, rename: the old file is replaced only by a complete new one.
bool ReplaceFile(const std::string& named, const std::string& bytes, std::string* error)
{
    const std::string path = FollowLinks(named);
    const std::string folder = FolderOf(path);
    if (!platform::EnsureFolder(folder, error))
        return false;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        *error = "cannot create a file in " + folder + ": " + Reason();
        return false;
    }
    // The new file keeps the permissions the old one had, not mkstemp's 0600.
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : DefaultFileMode();
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        *error = "cannot write " + path + ": " + Reason();
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        *error = "cannot replace " + path + ": " + Reason();
        ::unlink(temp.c_str());
        return false;
    }
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
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
    if (error.empty() && ReplaceFile(realPath, ar.Bytes(), &error))
        return TRUE;
    Tell("The settings could not be saved to " + realPath + ": " + error
         + ". The previous file, if any, is unchanged.");
    return FALSE;
}
