#include "Diary.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>

#include "DiaryFormat.h"
#include "HomeFolder.h"

namespace trip {

namespace {

std::mutex& DiaryMutex()
{
    static std::mutex mutex;
    return mutex;
}

bool Fail(std::string* error, const std::string& what)
{
    if (error)
        *error = what + ": " + std::strerror(errno);
    return false;
}

void ReadFile(const std::string& path, CTime from, std::vector<DiaryEntry>* entries)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields = SplitFields(line);
        if (fields.size() < 2)
            continue;
        const std::optional<CTime> at = ParseIsoTime(fields[0]);
        if (!at || *at < from)
            continue;
        DiaryEntry entry{*at, std::move(fields[1]), {}};
        entry.fields.assign(std::make_move_iterator(fields.begin() + 2), std::make_move_iterator(fields.end()));
        entries->push_back(std::move(entry));
    }
}

}  // namespace

std::string Diary::Path()
{
    return platform::HomeFolder() + "/diary.log";
}

bool Diary::Append(std::string_view event, const std::vector<std::string>& fields, std::string* error)
{
    return Append(CTime::GetCurrentTime(), event, fields, error);
}

bool Diary::Append(CTime at, std::string_view event, const std::vector<std::string>& fields, std::string* error)
{
    std::string line = IsoLocalTime(at) + '\t' + EscapeField(event);
    for (const std::string& field : fields)
        line += '\t' + EscapeField(field);
    line += '\n';

    const std::lock_guard<std::mutex> lock(DiaryMutex());
    if (!platform::EnsureFolder(platform::HomeFolder(), error))
        return false;
    const std::string path = Path();
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && info.st_size > 0 &&
        info.st_size + static_cast<std::int64_t>(line.size()) > kRotateBytes &&
        ::rename(path.c_str(), (path + ".1").c_str()) != 0)
        return Fail(error, "cannot rename " + path + " to diary.log.1");
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0)
        return Fail(error, "cannot open " + path);
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return Fail(error, "cannot look at " + path);
    }
    // A line cut short by a power cut in an older run would glue this one
    // to it, and a reader would lose both.
    char last = '\n';
    if (before.st_size > 0 && ::pread(fd, &last, 1, before.st_size - 1) == 1 && last != '\n')
        line.insert(line.begin(), '\n');
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t put = ::write(fd, line.data() + done, line.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            // A full disk or a size limit: the line is written whole or not
            // at all, so the next one starts a line of its own.
            const int saved = put < 0 ? errno : ENOSPC;
            const bool cutBack = done == 0 || ::ftruncate(fd, before.st_size) == 0;
            ::close(fd);
            errno = saved;
            return Fail(error, "cannot write " + path + (cutBack ? "" : " (and a part of the line stays)"));
        }
        done += static_cast<size_t>(put);
    }
    // Written through to the kernel at once, but not synced: a sync per line
    // runs on the window's thread, and on a slow card or a network home it
    // would hold up the very ticks and plays the diary records.  A power cut
    // may lose the last half minute of lines; the duty record, which the
    // restart needs, is synced.
    ::close(fd);
    return true;
}

std::vector<DiaryEntry> ReadDiary(CTime from)
{
    std::vector<DiaryEntry> entries;
    const std::lock_guard<std::mutex> lock(DiaryMutex());
    ReadFile(Diary::Path() + ".1", from, &entries);
    ReadFile(Diary::Path(), from, &entries);
    // A clock set back leaves lines out of order; the reader wants them by time.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const DiaryEntry& a, const DiaryEntry& b) { return a.at < b.at; });
    return entries;
}

std::string FailureReason(platform::PlayFailure failure)
{
    switch (failure) {
    case platform::PlayFailure::FileMissing: return "file missing";
    case platform::PlayFailure::NoSoundOutput: return "no sound output";
    case platform::PlayFailure::CannotDecode: return "cannot be decoded";
    case platform::PlayFailure::NoDisplay: return "no display";
    case platform::PlayFailure::TimedOut: return "timed out";
    case platform::PlayFailure::StarterFailed: return "starter failed";
    case platform::PlayFailure::NoTakes: return "no takes";
    case platform::PlayFailure::None: break;
    }
    // A failure the service could not name: the file was there but gave nothing.
    return "cannot be decoded";
}

}  // namespace trip
