#pragma once
// The main frame: a top-level window with the menu bar and accelerators of
// its resource id, a client view, and the command route
// view -> document -> frame -> application.
#include <vector>

#include "CWnd.h"

class CDocument;
class CSingleDocTemplate;
class CStatusBar;
class CView;
class QMainWindow;
class QMenu;

// What the document template hands the frame to create its view with.
struct CCreateContext {
    CView* newView = nullptr;
    CDocument* currentDocument = nullptr;
    CSingleDocTemplate* docTemplate = nullptr;
};

class CFrameWnd : public CWnd {
public:
    BOOL LoadFrame(UINT resourceId, CCreateContext* context);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Creates the view of the creation context; -1 refuses creation.
    int OnCreate(LPCREATESTRUCT cs);

    // Runs the first handler on the route; an id nobody has does nothing.
    bool OnCmdMsg(UINT id) override;

    CView* GetActiveView() const { return activeView_; }
    DWORD GetStyle() const { return style_; }
    // The view's initial update, then the caption; shows the frame when asked.
    void InitialUpdateFrame(CDocument* document, BOOL makeVisible);
    // Shows the frame (restoring it when minimised) and brings it to the front.
    void ActivateFrame();
    void OnUpdateFrameTitle();

    // Calls from the widget.  `byUser`: the person closed the window (the
    // close box, "&Quit"), not a session ending.
    void OnClose(bool byUser);
    // "&Quit" chose to close the frame.
    void RequestExit() { exitRequested_ = true; }
    bool ExitRequested() const { return exitRequested_; }
    virtual void OnDropFiles(const std::vector<CString>& paths);
    void OnKeyStateMayHaveChanged();
    void OnActivate();
    // The frame's status bar registers itself here.
    void SetStatusBar(CStatusBar* bar) { statusBar_ = bar; }

    // The popup menu at that place of the menu bar (0 the first), as the
    // resource lists it; null when there is none.
    QMenu* PopupMenu(int position) const;
    // From the event loop, once the frame's first paint is done: the main
    // frame tells the application that its window is up.
    void OnFirstPaint();

    DECLARE_MESSAGE_MAP()

private:
    void BuildMenu(QMainWindow& window, UINT resourceId);
    void BuildAccelerators(QMainWindow& window, UINT resourceId);

    DWORD style_ = 0;
    CView* activeView_ = nullptr;
    CSingleDocTemplate* docTemplate_ = nullptr;
    CStatusBar* statusBar_ = nullptr;
    bool exitRequested_ = false;
    bool closed_ = false;
    bool up_ = false;
};
