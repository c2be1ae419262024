#pragma once
// A sine tone of the given length, 16-bit mono at 22050 Hz, at a quarter of
// full scale: long enough to act on a play while it lasts.
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

// `amplitude(t)`, 0 to 1 of full scale at t seconds, shapes it: a level
// that rises through the file tells at the sink which part of it played.
inline void WriteTone(const std::string& path, double seconds,
                      const std::function<double(double)>& amplitude = [](double) { return 8000 / 32768.0; })
{
    const std::uint32_t rate = 22050;
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    std::ofstream out(path, std::ios::binary);
    const auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    const auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    u32(36 + frames * 2);
    out << "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(rate), u32(rate * 2), u16(2), u16(16);
    out << "data";
    u32(frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i)
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(32767 * amplitude(double(i) / rate) *
                                                                 std::sin(i * 2 * M_PI * 440 / rate))));
}
