#pragma once
// Message and notification numbers that the program's message maps name,
// and the few window-creation values the frame and the view exchange.
#include "WinTypes.h"

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
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

// Window styles.  Only those the frame, the view and the status bar look at.
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
inline constexpr DWORD CBRS_BOTTOM = 0x00008000;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_RESTORE = 9;

inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Raster operation of a plain copy.
inline constexpr DWORD SRCCOPY = 0x00CC0020;

struct CPoint {
    int x = 0;
    int y = 0;
};

// What a window is created with; PreCreateWindow may change it.
struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    int cy = CW_USEDEFAULT;
    int cx = CW_USEDEFAULT;
    DWORD style = 0;
};
using LPCREATESTRUCT = CREATESTRUCT*;
