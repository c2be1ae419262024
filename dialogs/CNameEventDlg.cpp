#include "CNameEventDlg.h"

#include "DialogResources.h"

namespace {
constexpr int kMaxNameLength = 20;
}

CNameEventDlg::CNameEventDlg(QWidget* parent) : CDialog(IDD_NAME_EVENT, parent) {}

void CNameEventDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EVENT_NAME, m_eventName);
    DDV_MaxChars(pDX, IDC_EVENT_NAME, m_eventName, kMaxNameLength);
    DDX_Text(pDX, IDC_FILE_NAME, m_fileName);
}
