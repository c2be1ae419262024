#include "RealismRandom.h"

#include <sys/random.h>
#include <unistd.h>

#include <ctime>

namespace lifelike {

RealismRandom RealismRandom::FromEntropy()
{
    std::uint64_t seed = 0;
    if (::getrandom(&seed, sizeof seed, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof seed))
        seed = static_cast<std::uint64_t>(std::time(nullptr)) << 20 ^ static_cast<std::uint64_t>(::getpid());
    return RealismRandom(seed);
}

// SplitMix64 (Steele, Lea and Flood): a 64-bit state, every output equally
// likely, and good enough statistics for picking sounds.
std::uint64_t RealismRandom::Next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t RealismRandom::Below(std::uint64_t bound)
{
    if (bound == 0)
        return 0;
    // Draws below 2^64 mod bound would make the low remainders likelier.
    const std::uint64_t threshold = -bound % bound;
    for (;;)
        if (const std::uint64_t r = Next(); r >= threshold)
            return r % bound;
}

double RealismRandom::Uniform(double low, double high)
{
    const double unit = static_cast<double>(Next() >> 11) * 0x1.0p-53;
    return low + unit * (high - low);
}

}  // namespace lifelike
