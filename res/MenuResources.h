#pragma once
// The program's resource ids, and its menu, accelerators and strings as data.
#include "AfxRes.h"
#include "ResourceTables.h"

// Menu, accelerator table, program icon and document string.
inline constexpr UINT IDR_MAINFRAME = 128;
// Where "&Say Whut?" stands on the main menu bar, the parts beside the guard
// add their items to it.
inline constexpr int kSayWhutMenuPosition = 3;
inline constexpr UINT IDI_DOCUMENT = 129;
inline constexpr UINT IDB_PICTURE = 130;

inline constexpr UINT ID_WHAT_SHOULD_I_DO = 32772;
inline constexpr UINT ID_WHAT_IS_THIS = 32773;
inline constexpr UINT ID_PROBLEM_REPORT = 32775;
inline constexpr UINT ID_TURN_ME_ON = 32776;
// Stops the guard as a click on the mansion does; carried by no menu item:
// the way in for those who act on the guard from elsewhere.
inline constexpr UINT ID_STOP_GUARD = 32777;

// Child-window id of the frame's status bar; the view finds the bar by it.
inline constexpr UINT ID_GUARD_STATUS_BAR = 61204;

const ResourceSet& MenuResources();
