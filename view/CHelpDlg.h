#pragma once
#include "CTextDlg.h"

// "What is this?": the help text.
class CHelpDlg : public CTextDlg {
public:
    explicit CHelpDlg(QWidget* parent = nullptr);
};
