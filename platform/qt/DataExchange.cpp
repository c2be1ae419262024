#include <QLineEdit>
#include <QRadioButton>
#include <string>

#include "CDataExchange.h"
#include "CDialog.h"
#include "DialogControls.h"
#include "Messenger.h"

namespace {

// The first failure: the prompt, then focus on the field with its whole text selected.
[[noreturn]] void Refuse(CDataExchange* pDX, int id, const std::string& prompt)
{
    platform::InstalledMessenger().ShowMessage(prompt);
    if (auto* edit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(id))) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    throw DataExchangeFailure{};
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    auto* edit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (!edit)
        return;
    if (!pDX->m_bSaveAndValidate) {
        edit->setText(QString::number(value));
        return;
    }
    bool whole = false;
    const int number = edit->text().trimmed().toInt(&whole);
    if (!whole)
        Refuse(pDX, id, "Please enter a whole number.");
    value = number;
}

void DDV_MinMaxInt(CDataExchange* pDX, int id, int value, int minimum, int maximum)
{
    if (pDX->m_bSaveAndValidate && (value < minimum || value > maximum))
        Refuse(pDX, id, "Please enter a whole number between " + std::to_string(minimum) + " and "
                            + std::to_string(maximum) + ".");
}

void DDV_MaxChars(CDataExchange* pDX, int id, const CString& value, int maxChars)
{
    if (!pDX->m_bSaveAndValidate) {
        if (auto* edit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(id)))
            edit->setMaxLength(maxChars);
        return;
    }
    if (value.GetLength() > maxChars)
        Refuse(pDX, id, "Please enter no more than " + std::to_string(maxChars) + " characters.");
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    auto* combo = qobject_cast<SortedComboBox*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (!combo)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = CString(combo->currentIndex() < 0 ? std::string() : combo->currentText().toLocal8Bit().toStdString());
        return;
    }
    if (value.IsEmpty())
        return;
    const int found = combo->FindStringPrefix(QString::fromLocal8Bit(value.c_str()));
    if (found >= 0)
        combo->setCurrentIndex(found);
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value)
{
    const std::vector<QRadioButton*> group = pDX->m_pDlgWnd->RadioGroup(firstId);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (group[i]->isChecked())
                value = static_cast<int>(i);
        return;
    }
    for (size_t i = 0; i < group.size(); ++i)
        group[i]->setChecked(static_cast<int>(i) == value);
}
