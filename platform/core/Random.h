#pragma once
// The classic linear congruential rand, so a seeded run gives the same due
// times on every platform.
namespace win {
inline constexpr int kRandMax = 32767;
void srand(unsigned int seed);
int rand();
}
