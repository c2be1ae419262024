#pragma once
// Dialog template ids and the ids of their controls.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_HELP = 139;
inline constexpr int IDD_PROBLEMS = 140;

inline constexpr int IDC_TEXT = 1006;
