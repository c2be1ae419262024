#include "DutyRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "DiaryFormat.h"
#include "HomeFolder.h"

namespace trip {

namespace {

bool Fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

}  // namespace

std::string DutyRecordPath()
{
    return platform::HomeFolder() + "/on-duty";
}

bool WriteDutyRecord(CTime since, std::string* error)
{
    const std::string folder = platform::HomeFolder();
    if (!platform::EnsureFolder(folder, error))
        return false;
    const std::string path = DutyRecordPath();
    const std::string text = IsoLocalTime(since) + "\n";
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return Fail(error, "cannot create a file in " + folder);
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
    if (!written) {
        const int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot write " + temp);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot replace " + path);
    }
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool RemoveDutyRecord(std::string* error)
{
    const std::string path = DutyRecordPath();
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return Fail(error, "cannot remove " + path);
    if (const int dir = ::open(platform::HomeFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool DutyRecordPresent()
{
    struct stat info {};
    return ::lstat(DutyRecordPath().c_str(), &info) == 0;
}

std::optional<CTime> DutyRecordSince()
{
    std::ifstream in(DutyRecordPath());
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    return ParseIsoTime(line);
}

}  // namespace trip
