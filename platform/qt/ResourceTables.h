#pragma once
// Menus, accelerator tables and strings as data, found by resource id.  The
// program hands its tables over once at start-up; the framework builds menu
// bars, shortcuts and status-bar panes from them.
#include <vector>

#include "CString.h"
#include "WinTypes.h"

struct MenuItemResource {
    const char* text;
    UINT commandId;                       // 0 for a popup
    std::vector<MenuItemResource> popup;  // a popup's items, top to bottom
};

struct MenuResource {
    UINT id;
    std::vector<MenuItemResource> items;  // the menu bar, left to right
};

struct AcceleratorResource {
    const char* keys;  // portable key text: "Ctrl+T", "Shift+Insert", "F6"
    UINT commandId;
};

struct AcceleratorTableResource {
    UINT id;
    std::vector<AcceleratorResource> entries;
};

struct StringResource {
    UINT id;
    const char* text;
};

struct ResourceSet {
    std::vector<MenuResource> menus;
    std::vector<AcceleratorTableResource> acceleratorTables;
    std::vector<StringResource> strings;
};

// The set stays the program's; the framework keeps only the pointer.
void AfxSetResources(const ResourceSet* resources);

const MenuResource* AfxFindMenu(UINT id);
const AcceleratorTableResource* AfxFindAccelerators(UINT id);
// False, with `text` left alone, when the string table has no such id.
bool AfxLoadString(UINT id, CString& text);
