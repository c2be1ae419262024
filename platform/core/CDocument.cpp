#include "CDocument.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
            return false;
        }
        if (got == 0)
            break;
        bytes->append(chunk, static_cast<size_t>(got));
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

// Temp file, flush, rename: the old file is replaced only by a complete new one.
bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* error)
{
    const std::string folder = FolderOf(path);
    if (!platform::EnsureFolder(folder, error))
        return false;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        *error = "cannot create a file in " + folder + ": " + Reason();
        return false;
    }
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
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

BOOL CDocument::OnNewDocument()
{
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path)
{
    const std::string realPath = platform::HomePath(path);
    std::string bytes;
    if (!ReadWholeFile(realPath, &bytes)) {
        Tell("Cannot open the settings file " + realPath + ": " + Reason() + ".");
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
