#include "CHelpDlg.h"

#include "DialogResources.h"

CHelpDlg::CHelpDlg(QWidget* parent) : CDialog(IDD_HELP, parent) {}

void CHelpDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TEXT, m_text);
}
