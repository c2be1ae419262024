#pragma once
// A view: the frame's client area, drawn by OnDraw and given its document
// at every initial update.
#include "CWnd.h"

class CDC;
class CDocument;
class CFrameWnd;

class CView : public CWnd {
public:
    // Creates the widget as the frame's client area.
    BOOL Create(CFrameWnd* frame, CDocument* document);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);

    CDocument* GetDocument() const { return document_; }
    CFrameWnd* GetParentFrame() const { return frame_; }

    // Runs when the view is given a new or opened document; redraws it.
    virtual void OnInitialUpdate();
    virtual void OnDraw(CDC* dc) = 0;
    // The person closed the frame ("Quit", the close box); not called when
    // the program ends any other way (a signal, a session ending, the
    // display going away).
    virtual void OnFrameClosedByUser() {}

    void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    CDocument* document_ = nullptr;
    CFrameWnd* frame_ = nullptr;
};
