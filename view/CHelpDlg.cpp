#include "CHelpDlg.h"

#include "DialogResources.h"

CHelpDlg::CHelpDlg(QWidget* parent) : CTextDlg(IDD_HELP, parent) {}
