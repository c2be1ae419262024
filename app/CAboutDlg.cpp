#include "CAboutDlg.h"

#include "DialogResources.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
