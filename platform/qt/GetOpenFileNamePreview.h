#pragma once
// The old file-open call with a preview pane, on the program's file picker.
#include "CString.h"
#include "WinTypes.h"

class QWidget;

namespace win {

// The fields of the old record the program sets; the others stay zero.
struct OPENFILENAMEA {
    QWidget* hwndOwner = nullptr;  // none: the picker is a window of its own
    // "description\0patterns\0" pairs and one more '\0'; patterns joined by ';'.
    const char* lpstrFilter = nullptr;
    // Out: the chosen path, whole.  The old record's fixed buffer refused a
    // longer path without a word; this takes any length.
    CString file;
};

// Non-zero with the chosen path in `file`; 0 when the user cancelled.
BOOL GetOpenFileNamePreviewA(OPENFILENAMEA* ofn);

}  // namespace win
