#pragma once
// The handful of Windows integer types the program's logic is written in.
#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using MCIERROR = DWORD;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
