#pragma once
// The two click areas of the picture, in view pixels; every bound is exclusive.
#include "WindowsMessages.h"

inline constexpr bool InMansion(CPoint point)
{
    return point.x > 25 && point.x < 160 && point.y > 25 && point.y < 125;
}

inline constexpr bool InCupcake(CPoint point)
{
    return point.x > 250 && point.x < 400 && point.y > 200 && point.y < 300;
}
