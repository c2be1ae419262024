#pragma once
// How long a sound or a movie plays, for the plan.
//
// The lengths come from the files' own RIFF headers (WAVE: the data chunk
// over the byte rate, or the fact chunk's sample count; AVI: the streams'
// headers, the OpenDML frame count, else the main header).  The player
// decodes with libmpv, but the plan reads only what the header declares:
// that takes a few reads instead of loading libmpv and its codec libraries
// (which the program defers to the first play on purpose), needs neither a
// display nor a sound output, and keeps the plan plain C++.  A file whose
// header cannot be read is counted as taking no time, as a failed play does.
//
// Each length is probed once and kept in a cache file
// ($XDG_CACHE_HOME/hauntwatch/media-lengths), keyed by the path, the size
// and the modification time, so a changed file is probed again.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace trip {

std::optional<double> ProbeRiffSeconds(const std::string& path);

class MediaLengthSource {
public:
    virtual ~MediaLengthSource() = default;
    // Seconds a play of the file takes; 0 when unknown.
    virtual double Seconds(const std::string& path) = 0;
};

class MediaLengthCache final : public MediaLengthSource {
public:
    explicit MediaLengthCache(std::string cacheFile = DefaultCacheFile());
    // Writes what was newly probed.
    ~MediaLengthCache() override;
    MediaLengthCache(const MediaLengthCache&) = delete;
    MediaLengthCache& operator=(const MediaLengthCache&) = delete;

    double Seconds(const std::string& path) override;
    bool Save();
    // How many files were opened for their headers since construction.
    int Probes() const { return probes_; }

    static std::string DefaultCacheFile();

private:
    struct Entry {
        std::int64_t size = 0;
        std::int64_t modified = 0;  // nanoseconds
        double seconds = 0;
    };
    void Load();

    std::string file_;
    std::map<std::string, Entry> entries_;
    bool changed_ = false;
    int probes_ = 0;
};

}  // namespace trip
