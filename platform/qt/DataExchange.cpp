#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>
#include <string>

#include "CDataExchange.h"
#include "CDialog.h"
#include "DialogControls.h"
#include "DialogText.h"
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

// Characters as a person counts them: Unicode code points, in the field and
// in the check alike.
qsizetype CharacterCount(const QString& text)
{
    return text.toUcs4().size();
}

class CharacterLimit final : public QValidator {
public:
    CharacterLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& text, int& /*position*/) const override
    {
        return CharacterCount(text) <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

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
        if (auto* edit = qobject_cast<QLineEdit*>(pDX->m_pDlgWnd->GetDlgItem(id))) {
            // QLineEdit counts UTF-16 units; a letter outside the first plane is two.
            edit->setMaxLength(2 * maxChars);
            if (!edit->validator())
                edit->setValidator(new CharacterLimit(maxChars, edit));
        }
        return;
    }
    if (CharacterCount(ToQString(value)) > maxChars)
        Refuse(pDX, id, "Please enter no more than " + std::to_string(maxChars) + " characters.");
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    auto* combo = qobject_cast<SortedComboBox*>(pDX->m_pDlgWnd->GetDlgItem(id));
    if (!combo)
        return;
    if (pDX->m_bSaveAndValidate) {
        value = combo->currentIndex() < 0 ? CString() : combo->BytesAt(combo->currentIndex());
        return;
    }
    if (value.IsEmpty())
        return;
    const int found = combo->FindStringPrefix(ToQString(value));
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
