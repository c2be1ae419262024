#pragma once
#include "CDialog.h"
#include "CString.h"

// A read-only text window with no visible button: Enter does nothing, Esc closes it.
class CProblemsDlg : public CDialog {
public:
    explicit CProblemsDlg(QWidget* parent = nullptr);
    CString m_text;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
