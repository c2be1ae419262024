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

// Thrown by a failed field to stop the walk; UpdateData turns it into FALSE.
struct DataExchangeFailure {};

// Text of edit control `id` <-> value; multi-line edits show "\r\n" as line breaks.
void DDX_Text(CDataExchange* pDX, int id, CString& value);

// Whole number in edit control `id`; in a pull a field that is not one is refused with a prompt.
void DDX_Text(CDataExchange* pDX, int id, int& value);
// In a pull, refuses a value outside min..max with a prompt giving both bounds.
void DDV_MinMaxInt(CDataExchange* pDX, int id, int value, int minimum, int maximum);
// In a pull, refuses a text longer than maxChars; in a push, limits the field.
void DDV_MaxChars(CDataExchange* pDX, int id, const CString& value, int maxChars);
// Pull: the selected entry's text; push: the first entry beginning with the text, ignoring case.
void DDX_CBString(CDataExchange* pDX, int id, CString& value);
// Index of the checked button of the pair starting at `firstId`, -1 for none.
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);
