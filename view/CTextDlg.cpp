#include "CTextDlg.h"

#include "DialogResources.h"

void CTextDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TEXT, m_text);
}
