#include "CProblemsDlg.h"

#include "DialogResources.h"

CProblemsDlg::CProblemsDlg(QWidget* parent) : CTextDlg(IDD_PROBLEMS, parent) {}
