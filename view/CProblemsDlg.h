#pragma once
#include "CTextDlg.h"

// "Any errors?": the problem report.
class CProblemsDlg : public CTextDlg {
public:
    explicit CProblemsDlg(QWidget* parent = nullptr);
};
