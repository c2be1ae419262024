#include "CProblemsDlg.h"

#include "DialogResources.h"

CProblemsDlg::CProblemsDlg(QWidget* parent) : CDialog(IDD_PROBLEMS, parent) {}

void CProblemsDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_TEXT, m_text);
}
