#include "Random.h"

#include <cstdint>

namespace win {
namespace {
std::uint32_t state = 1;
}

void srand(unsigned int seed)
{
    state = seed;
}

unsigned int RandomState()
{
    return state;
}

void SetRandomState(unsigned int saved)
{
    state = saved;
}

int rand()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}
}  // namespace win
