#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>

#include "HomeFolder.h"

namespace platform {

namespace {

std::string Reason()
{
    return std::strerror(errno);
}

void Say(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + Reason();
}

bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return false;
        if (put == 0) {  // no room, and no error said so
            errno = ENOSPC;
            return false;
        }
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

}  // namespace

bool ReplaceFileAtomically(const std::string& named, std::string_view bytes, const ReplaceOptions& options,
                           std::string* error)
{
    const std::string path = options.followLinks ? FollowLinks(named) : named;
    const std::string folder = FolderOf(path);
    if (!platform::EnsureFolder(folder, error))
        return false;
    std::string temp = path + ".XXXXXX";
    // Not inherited by a program the guard starts meanwhile.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        Say(error, "cannot create a file in " + folder);
        return false;
    }
    // The new file keeps the permissions the old one had, not mkstemp's 0600.
    struct stat old {};
    const mode_t mode = options.mode ? *options.mode
                        : ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777)
                                                          : DefaultFileMode();
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || (options.durable && ::fsync(fd) != 0)) {
        const int saved = errno;
        Say(error, "cannot write " + path);
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        Say(error, "cannot replace " + path);
        ::unlink(temp.c_str());
        errno = saved;
        return false;
    }
    if (!options.durable)
        return true;
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace platform
