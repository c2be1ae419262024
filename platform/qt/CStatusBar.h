#pragma once
// A status bar at the bottom of its frame: pane 0 (a separator id) is the wide
// text pane, the others are indicators whose text is the string of their id,
// shown while their lock key is on and blank while it is off.
#include <functional>
#include <vector>

#include "CWnd.h"
#include "LockKeys.h"

class QLabel;
class QStatusBar;

class CStatusBar : public CWnd {
public:
    CStatusBar() = default;
    ~CStatusBar() override;

    // The parent must be a frame; the bar takes the frame's status-bar place.
    BOOL Create(CWnd* parent, DWORD style, UINT id);
    // FALSE when an indicator id has no string.
    BOOL SetIndicators(const UINT* ids, int count);

    int GetCount() const { return static_cast<int>(panes_.size()); }
    BOOL SetPaneText(int index, const char* text, BOOL update = TRUE);
    CString GetPaneText(int index) const;

    // Called on key events and window activation.
    void UpdateLockIndicators();
    void SetLockKeyReader(std::function<LockKeyState()> reader) { readLockKeys_ = std::move(reader); }

private:
    struct Pane {
        UINT id;
        QLabel* label;
        CString indicatorText;
    };

    QStatusBar* Bar() const;

    std::vector<Pane> panes_;
    std::function<LockKeyState()> readLockKeys_ = ReadLockKeys;
};
