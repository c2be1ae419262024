#pragma once
// The classic linear congruential rand, so a seeded run gives the same due
// times on every platform.
namespace win {
inline constexpr int kRandMax = 32767;
void srand(unsigned int seed);
int rand();
// The whole state of the sequence: a copy taken and put back later goes on
// with the very numbers the original would have drawn.
unsigned int RandomState();
void SetRandomState(unsigned int state);
}
