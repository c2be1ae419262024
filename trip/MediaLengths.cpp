#include "MediaLengths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "AtomicFile.h"
#include "DiaryFormat.h"
#include "HomeFolder.h"

namespace trip {

namespace {

constexpr char kCacheHeader[] = "hauntwatch media lengths 1";

std::uint32_t U32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t U16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

class File {
public:
    explicit File(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY))
    {
        struct stat info {};
        if (fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode))
            size_ = info.st_size;
    }
    ~File()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Ok() const { return fd_ >= 0 && size_ > 0; }
    std::int64_t Size() const { return size_; }
    bool Read(std::int64_t at, void* into, size_t count) const
    {
        return at >= 0 && at + static_cast<std::int64_t>(count) <= size_ &&
               ::pread(fd_, into, count, at) == static_cast<ssize_t>(count);
    }

private:
    int fd_;
    std::int64_t size_ = 0;
};

struct Chunk {
    char id[5] = {};
    std::int64_t data = 0;  // where its contents begin
    std::int64_t size = 0;  // as declared, cut to the file's end
};

// The chunks in [begin, end); a chunk's contents are padded to an even size.
template <typename Visit>
void EachChunk(const File& file, std::int64_t begin, std::int64_t end, Visit visit)
{
    std::int64_t at = begin;
    for (int guard = 0; guard < 10000 && at + 8 <= end; ++guard) {
        unsigned char head[8];
        if (!file.Read(at, head, sizeof head))
            return;
        Chunk chunk;
        std::memcpy(chunk.id, head, 4);
        chunk.data = at + 8;
        chunk.size = std::min<std::int64_t>(U32(head + 4), end - chunk.data);
        if (!visit(chunk))
            return;
        at = chunk.data + chunk.size + (chunk.size & 1);
    }
}

std::optional<double> WaveSeconds(const File& file, std::int64_t end)
{
    std::optional<std::uint16_t> format;
    std::uint32_t sampleRate = 0, byteRate = 0;
    std::optional<std::uint32_t> factSamples;
    std::optional<std::int64_t> dataBytes;
    EachChunk(file, 12, end, [&](const Chunk& chunk) {
        unsigned char bytes[16];
        if (std::strcmp(chunk.id, "fmt ") == 0 && chunk.size >= 16 && file.Read(chunk.data, bytes, 16)) {
            format = U16(bytes);
            sampleRate = U32(bytes + 4);
            byteRate = U32(bytes + 8);
        } else if (std::strcmp(chunk.id, "fact") == 0 && chunk.size >= 4 && file.Read(chunk.data, bytes, 4)) {
            factSamples = U32(bytes);
        } else if (std::strcmp(chunk.id, "data") == 0) {
            // A size left at its maximum by a recorder that never finished: the rest of the file.
            dataBytes = chunk.size;
            return false;
        }
        return true;
    });
    if (!format || !dataBytes)
        return std::nullopt;
    constexpr std::uint16_t kPcm = 1, kFloat = 3, kExtensible = 0xFFFE;
    const bool uncompressed = *format == kPcm || *format == kFloat || *format == kExtensible;
    if (!uncompressed && factSamples && sampleRate > 0)
        return static_cast<double>(*factSamples) / sampleRate;
    if (byteRate == 0)
        return std::nullopt;
    return static_cast<double>(*dataBytes) / byteRate;
}

std::optional<double> AviSeconds(const File& file, std::int64_t end)
{
    std::optional<double> mainHeader, video, longest;
    std::optional<std::uint32_t> openDmlFrames;
    std::uint32_t microsecondsPerFrame = 0;
    auto streamHeader = [&](const Chunk& chunk) {
        unsigned char h[36];
        if (std::strcmp(chunk.id, "strh") != 0 || chunk.size < 36 || !file.Read(chunk.data, h, sizeof h))
            return true;
        const std::uint32_t scale = U32(h + 20), rate = U32(h + 24), start = U32(h + 28), length = U32(h + 32);
        if (rate == 0)
            return true;
        const double seconds = (static_cast<double>(start) + length) * scale / rate;
        if (std::memcmp(h, "vids", 4) == 0 && !video)
            video = seconds;
        if (!longest || seconds > *longest)
            longest = seconds;
        return true;
    };
    EachChunk(file, 12, end, [&](const Chunk& chunk) {
        char type[4];
        if (std::strcmp(chunk.id, "LIST") != 0 || !file.Read(chunk.data, type, 4))
            return true;
        if (std::memcmp(type, "movi", 4) == 0)
            return false;  // the headers come before the frames
        if (std::memcmp(type, "hdrl", 4) != 0)
            return true;
        EachChunk(file, chunk.data + 4, chunk.data + chunk.size, [&](const Chunk& inner) {
            unsigned char h[20];
            char listType[4];
            if (std::strcmp(inner.id, "avih") == 0 && inner.size >= 20 && file.Read(inner.data, h, sizeof h)) {
                microsecondsPerFrame = U32(h);
                mainHeader = static_cast<double>(U32(h + 16)) * microsecondsPerFrame / 1e6;
            } else if (std::strcmp(inner.id, "LIST") == 0 && file.Read(inner.data, listType, 4)) {
                if (std::memcmp(listType, "strl", 4) == 0) {
                    EachChunk(file, inner.data + 4, inner.data + inner.size, streamHeader);
                } else if (std::memcmp(listType, "odml", 4) == 0) {
                    EachChunk(file, inner.data + 4, inner.data + inner.size, [&](const Chunk& odml) {
                        unsigned char frames[4];
                        if (std::strcmp(odml.id, "dmlh") == 0 && odml.size >= 4 && file.Read(odml.data, frames, 4))
                            openDmlFrames = U32(frames);
                        return true;
                    });
                }
            }
            return true;
        });
        return true;
    });
    // A file past 1 GiB counts its frames in the OpenDML header only.
    if (openDmlFrames && microsecondsPerFrame > 0) {
        const double total = static_cast<double>(*openDmlFrames) * microsecondsPerFrame / 1e6;
        if (!video || total > *video)
            video = total;
    }
    if (video)
        return video;
    return longest ? longest : mainHeader;
}

std::string CacheFolderDefault()
{
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return std::string(cache) + "/hauntwatch";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.cache/hauntwatch";
}

}  // namespace

std::optional<double> ProbeRiffSeconds(const std::string& path)
{
    const File file(path);
    unsigned char head[12];
    if (!file.Ok() || !file.Read(0, head, sizeof head) || std::memcmp(head, "RIFF", 4) != 0)
        return std::nullopt;
    const std::int64_t end = std::min<std::int64_t>(file.Size(), 8 + static_cast<std::int64_t>(U32(head + 4)));
    std::optional<double> seconds;
    if (std::memcmp(head + 8, "WAVE", 4) == 0)
        seconds = WaveSeconds(file, end);
    else if (std::memcmp(head + 8, "AVI ", 4) == 0)
        seconds = AviSeconds(file, end);
    // A header that claims days for a few bytes is not believed.
    if (seconds && (*seconds < 0 || *seconds > 7 * 86400.0))
        return std::nullopt;
    return seconds;
}

std::string MediaLengthCache::DefaultCacheFile()
{
    return CacheFolderDefault() + "/media-lengths";
}

MediaLengthCache::MediaLengthCache(std::string cacheFile) : file_(std::move(cacheFile))
{
    Load();
}

MediaLengthCache::~MediaLengthCache()
{
    Save();
}

void MediaLengthCache::Load()
{
    std::ifstream in(file_, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kCacheHeader)
        return;
    while (std::getline(in, line)) {
        const std::vector<std::string> fields = SplitFields(line);
        if (fields.size() != 4)
            continue;
        Entry entry;
        char* stop = nullptr;
        entry.size = std::strtoll(fields[0].c_str(), &stop, 10);
        entry.modified = std::strtoll(fields[1].c_str(), &stop, 10);
        entry.seconds = std::strtod(fields[2].c_str(), &stop);
        entries_[fields[3]] = entry;
    }
}

bool MediaLengthCache::Save()
{
    if (!changed_)
        return true;
    std::ostringstream text;
    text << kCacheHeader << '\n';
    for (const auto& [path, entry] : entries_) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.6f", entry.seconds);
        text << JoinFields({std::to_string(entry.size), std::to_string(entry.modified), seconds, path}) << '\n';
    }
    // A cache, not a record: not synced, and a torn file is probed anew.
    // Another run may save at the same time; each writes a file of its own first.
    platform::ReplaceOptions options;
    options.durable = false;
    options.mode = 0600;
    if (!platform::ReplaceFileAtomically(file_, text.str(), options, nullptr))
        return false;
    changed_ = false;
    return true;
}

double MediaLengthCache::Seconds(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return 0;
    const std::int64_t modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    const auto found = entries_.find(path);
    if (found != entries_.end() && found->second.size == info.st_size && found->second.modified == modified)
        return found->second.seconds;
    ++probes_;
    const Entry entry{info.st_size, modified, ProbeRiffSeconds(path).value_or(0)};
    entries_[path] = entry;
    changed_ = true;
    return entry.seconds;
}

}  // namespace trip
