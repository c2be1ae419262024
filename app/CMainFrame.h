#pragma once
#include "CFrameWnd.h"
#include "CStatusBar.h"

class CMainFrame : public CFrameWnd {
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct);

    CStatusBar m_wndStatusBar;

    DECLARE_MESSAGE_MAP()
};
