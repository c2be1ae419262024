#pragma once
// What the trip tests share: a home folder of their own, media files of a
// chosen length, and reading a file back.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            previous_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

inline std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

namespace media {

inline void Le32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void Le16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
inline std::string Chunk(const char* id, const std::string& body)
{
    std::string out(id, 4);
    Le32(out, static_cast<std::uint32_t>(body.size()));
    out += body;
    if (body.size() % 2)
        out += '\0';
    return out;
}

// 8 kHz, 8-bit, mono PCM of the given length in milliseconds, with a chunk
// before the data as many writers put one.
inline void WriteWave(const std::string& path, int milliseconds)
{
    std::string format;
    Le16(format, 1);
    Le16(format, 1);
    Le32(format, 8000);
    Le32(format, 8000);
    Le16(format, 1);
    Le16(format, 8);
    const std::string body = std::string("WAVE") + Chunk("fmt ", format) + Chunk("LIST", std::string("INFOISFT\x05\0\0\0test\0", 17)) +
                             Chunk("data", std::string(static_cast<size_t>(milliseconds) * 8, '\x80'));
    std::ofstream(path, std::ios::binary) << Chunk("RIFF", body);
}

// An AVI whose video stream has `frames` frames at `rate` per second; only
// the headers, which is all a length is read from.
inline void WriteAvi(const std::string& path, std::uint32_t frames, std::uint32_t rate)
{
    std::string main;
    Le32(main, 1000000 / rate);
    for (int i = 0; i < 3; ++i)
        Le32(main, 0);
    Le32(main, frames);
    for (int i = 0; i < 9; ++i)
        Le32(main, 0);
    std::string stream("vidsmp4v", 8);
    Le32(stream, 0);
    Le32(stream, 0);
    Le32(stream, 0);
    Le32(stream, 1);       // scale
    Le32(stream, rate);    // rate
    Le32(stream, 0);       // start
    Le32(stream, frames);  // length
    for (int i = 0; i < 5; ++i)
        Le32(stream, 0);
    const std::string header = Chunk("LIST", "hdrl" + Chunk("avih", main) + Chunk("LIST", "strl" + Chunk("strh", stream)));
    std::ofstream(path, std::ios::binary) << Chunk("RIFF", "AVI " + header + Chunk("LIST", "movi"));
}

}  // namespace media
