#pragma once
#include "CDialog.h"
#include "CString.h"

// "Name the Event": shows the chosen file and asks for the noise's name.
class CNameEventDlg : public CDialog {
public:
    explicit CNameEventDlg(QWidget* parent = nullptr);
    CString m_eventName;
    CString m_fileName;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
