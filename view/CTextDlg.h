#pragma once
#include "CDialog.h"
#include "CString.h"

// A read-only text window with no visible button: Enter does nothing, Esc closes it.
class CTextDlg : public CDialog {
public:
    CString m_text;

protected:
    explicit CTextDlg(int templateId, QWidget* parent) : CDialog(templateId, parent) {}
    void DoDataExchange(CDataExchange* pDX) override;
};
