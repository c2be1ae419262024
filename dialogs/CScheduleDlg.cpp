#include "CScheduleDlg.h"

CScheduleDlg::CScheduleDlg(QWidget* parent) : CDialog(134, parent) {}
