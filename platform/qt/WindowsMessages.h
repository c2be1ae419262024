#pragma once
// Message and notification numbers that the program's message maps name.
#include "WinTypes.h"

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;

// Notification codes carried by WM_COMMAND from controls.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT CBN_SELCHANGE = 1;

// Modifier flags of mouse messages.
inline constexpr UINT MK_LBUTTON = 0x0001;
inline constexpr UINT MK_SHIFT = 0x0004;
inline constexpr UINT MK_CONTROL = 0x0008;

// Dialog results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

struct CPoint {
    int x = 0;
    int y = 0;
};
