#include "SmallFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

std::string Size(std::int64_t bytes)
{
    if (bytes >= 1024 * 1024)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024)
        return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

SmallFileRead Refuse(std::string* why, std::string text)
{
    *why = std::move(text);
    return SmallFileRead::Refused;
}

}  // namespace

SmallFileRead ReadSmallFile(const std::string& path, std::int64_t largest, const char* what, std::string* bytes,
                            std::string* why)
{
    bytes->clear();
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0) {
        if (errno == ENOENT)
            return SmallFileRead::Missing;
        return Refuse(why, std::strerror(errno));
    }
    if (!S_ISREG(named.st_mode))
        return Refuse(why, S_ISDIR(named.st_mode) ? "it is a folder" : "it is not a regular file");
    const std::string tooLarge = std::string(", far larger than any ") + what + " (at most " + Size(largest) + ")";
    if (named.st_size > largest)
        return Refuse(why, "it is " + Size(named.st_size) + tooLarge);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? SmallFileRead::Missing : Refuse(why, std::strerror(errno));
    // The name may have been pointed elsewhere since it was looked at.
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_size > largest) {
        ::close(fd);
        return Refuse(why, "it changed while it was being opened");
    }
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int saved = errno;
            ::close(fd);
            return Refuse(why, std::strerror(saved));
        }
        if (got == 0)
            break;
        bytes->append(chunk, static_cast<size_t>(got));
        if (bytes->size() > static_cast<size_t>(largest)) {
            ::close(fd);
            return Refuse(why, "it grew past " + Size(largest) + " while it was being read");
        }
    }
    ::close(fd);
    return SmallFileRead::Read;
}

}  // namespace platform
