#include "CMainFrame.h"

#include <iterator>

#include "MenuResources.h"

namespace {
const UINT indicators[] = {
    ID_SEPARATOR,
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};
}

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.cx = 460;
    cs.cy = 395;
    // The caption stays "Hauntwatch" whatever document is open.
    cs.style &= ~FWS_ADDTOTITLE;
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, ID_GUARD_STATUS_BAR)
        || !m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators))))
        return -1;
    return 0;
}
