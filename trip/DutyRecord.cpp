#include "DutyRecord.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "AtomicFile.h"
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
    platform::ReplaceOptions options;
    options.mode = 0600;
    return platform::ReplaceFileAtomically(DutyRecordPath(), IsoLocalTime(since) + "\n", options, error);
}

bool RemoveDutyRecord(std::string* error)
{
    // Anything but a regular file in the record's place is not a record: it
    // is left alone (and told once, at the start).
    if (!DutyRecordPresent())
        return true;
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
    return ::lstat(DutyRecordPath().c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> NotADutyRecord()
{
    struct stat info {};
    if (::lstat(DutyRecordPath().c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    return S_ISDIR(info.st_mode) ? "a folder" : S_ISLNK(info.st_mode) ? "a symbolic link" : "not a regular file";
}

std::optional<CTime> DutyRecordSince()
{
    if (!DutyRecordPresent())
        return std::nullopt;
    std::ifstream in(DutyRecordPath());
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    return ParseIsoTime(line);
}

}  // namespace trip
