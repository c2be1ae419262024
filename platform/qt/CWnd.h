#pragma once
// A message target bound to one widget.  Windows form a tree of their own
// (parent, children with child-window ids) beside Qt's, so a window can be
// found by its id as the old framework found it.
#include <QPointer>
#include <QWidget>
#include <vector>

#include "CCmdTarget.h"
#include "CString.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Deletes the widget unless a parent widget already took it down.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Null until the window is created.
    QWidget* GetSafeHwnd() const { return widget_.data(); }
    UINT GetDlgCtrlID() const { return id_; }
    CWnd* GetParent() const { return parent_; }
    // The window below this one (at any depth) with that child-window id, or null.
    CWnd* GetDescendantWindow(UINT id) const;

    void ShowWindow(int showCommand);
    BOOL IsWindowVisible() const;
    void Invalidate();
    void SetWindowText(const char* text);
    CString GetWindowText() const;
    void DragAcceptFiles(BOOL accept = TRUE);
    // WM_CLOSE asks the window to close, as its close box does.
    void SendMessage(UINT message);

protected:
    // Takes ownership of `widget`; `parent` may be null for a top-level window.
    void Attach(QWidget* widget, CWnd* parent, UINT id);

private:
    void RemoveChild(CWnd* child);

    QPointer<QWidget> widget_;
    CWnd* parent_ = nullptr;
    UINT id_ = 0;
    std::vector<CWnd*> children_;
};
