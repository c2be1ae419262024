#pragma once
// The random source of the guard's realism (takes, levels, delays, excerpt
// points), apart from the schedule's own `rand`, so the schedule's moments
// stay what they were.  Its whole state is one number: a copy goes on with
// the very draws the original would make, which is how the plan foresees
// the live guard.
#include <cstdint>

namespace lifelike {

class RealismRandom {
public:
    explicit RealismRandom(std::uint64_t seed = 0) : state_(seed) {}
    // Seeded from the system's entropy, for a live run.
    static RealismRandom FromEntropy();

    std::uint64_t Next();
    // Uniform in [0, bound); 0 when bound is 0.
    std::uint64_t Below(std::uint64_t bound);
    // Uniform in [low, high).
    double Uniform(double low, double high);

    std::uint64_t State() const { return state_; }
    friend bool operator==(const RealismRandom&, const RealismRandom&) = default;

private:
    std::uint64_t state_;
};

}  // namespace lifelike
