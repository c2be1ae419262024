#pragma once
// One walk of a dialog's data exchange: pull (save) or push.
#include "CString.h"
#include "WinTypes.h"

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Text of edit control `id` <-> value; multi-line edits show "\r\n" as line breaks.
void DDX_Text(CDataExchange* pDX, int id, CString& value);
