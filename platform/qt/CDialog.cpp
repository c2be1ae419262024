#include "CDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSlider>
#include <QDialog>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DialogControls.h"
#include "DialogLayout.h"
#include "DialogText.h"
#include "DialogTemplate.h"
#include "ExposureWatch.h"

namespace {

QWidget* MakeControl(const DialogControl& c, QDialog* dialog)
{
    switch (c.kind) {
    case DialogControl::Kind::ComboBox:
        return new SortedComboBox(dialog);
    case DialogControl::Kind::ListBox:
        return new SortedListBox(dialog);
    case DialogControl::Kind::Slider:
        return new QSlider(Qt::Horizontal, dialog);
    case DialogControl::Kind::RadioFirst:
    case DialogControl::Kind::Radio: {
        auto* radio = new QRadioButton(QString::fromLocal8Bit(c.text.c_str()), dialog);
        radio->setAutoExclusive(false);
        return radio;
    }
    case DialogControl::Kind::Static:
        return new QLabel(QString::fromLocal8Bit(c.text.c_str()), dialog);
    case DialogControl::Kind::Icon: {
        auto* label = new QLabel(dialog);
        label->setPixmap(QIcon(QString::fromStdString(c.text)).pixmap(32, 32));
        return label;
    }
    case DialogControl::Kind::Edit: {
        auto* edit = new QLineEdit(dialog);
        edit->setReadOnly(c.readOnly);
        edit->setFrame(c.border);
        if (c.maxChars > 0)
            edit->setMaxLength(c.maxChars);
        if (!c.tabStop)
            edit->setFocusPolicy(Qt::ClickFocus);
        return edit;
    }
    case DialogControl::Kind::MultiLineEdit: {
        auto* edit = new QPlainTextEdit(dialog);
        edit->setReadOnly(c.readOnly);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setFocusPolicy(Qt::ClickFocus);
        if (!c.border)
            edit->setFrameShape(QFrame::NoFrame);
        return edit;
    }
    case DialogControl::Kind::Button:
    case DialogControl::Kind::DefaultButton: {
        auto* button = new QPushButton(QString::fromLocal8Bit(c.text.c_str()), dialog);
        button->setAutoDefault(false);
        button->setDefault(c.kind == DialogControl::Kind::DefaultButton);
        return button;
    }
    }
    return nullptr;
}

// Enter that no control took: the old dialog manager sent it to the
// default button, even a hidden one, or to OK when there was none; a
// focused push button stood in for the default.
class EnterKeyFilter final : public QObject {
public:
    explicit EnterKeyFilter(std::function<void()> onEnter) : onEnter_(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        onEnter_();
        return true;
    }

private:
    std::function<void()> onEnter_;
};

// The list box's tab stops, 32 dialog units apart as the old list box set them.
constexpr int kListTabStopUnits = 32;

}  // namespace

CDialog::CDialog(int templateId, QWidget* parent) : templateId_(templateId), parent_(parent) {}

CDialog::~CDialog()
{
    delete window_;
}

void CDialog::Build()
{
    const DialogTemplate* tmpl = FindDialogTemplate(templateId_);
    QWidget* owner = parent_ ? parent_ : QApplication::activeWindow();
    // A fixed-size modal frame: a caption and a close box, nothing to
    // minimise or maximise, as the old dialogs had.
    window_ = new QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                     Qt::WindowCloseButtonHint);
    window_->setModal(true);
    if (!tmpl)
        return;
    window_->setWindowTitle(QString::fromLocal8Bit(tmpl->caption.c_str()));
    std::vector<QWidget*> controls;
    std::vector<QSize> needed;
    for (const DialogControl& c : tmpl->controls) {
        controls.push_back(MakeControl(c, window_));
        controls.back()->ensurePolished();
        needed.push_back(NeededSize(c, *controls.back()));
    }
    const DialogUnits units(window_->font());
    const DialogLayout layout = FitDialog(*tmpl, units, needed);
    window_->setFixedSize(layout.size);
    QRadioButton* groupFirst = nullptr;
    for (size_t i = 0; i < controls.size(); ++i) {
        const DialogControl& c = tmpl->controls[i];
        QWidget* control = controls[i];
        control->setGeometry(layout.geometry[i]);
        control->setVisible(!c.hidden);
        if (c.kind == DialogControl::Kind::DefaultButton)
            defaultButtonId_ = c.id;
        if (auto* list = qobject_cast<SortedListBox*>(control))
            list->SetTabStop(units.Width(kListTabStopUnits, layout.scale));
        if (c.id >= 0)
            items_[c.id] = control;
        const int id = c.id;
        if (auto* button = qobject_cast<QPushButton*>(control))
            QObject::connect(button, &QPushButton::clicked, [this, id] { OnButton(id); });
        if (auto* radio = qobject_cast<QRadioButton*>(control)) {
            // A pair behaves as one group: a click checks one and clears the other.
            if (c.kind == DialogControl::Kind::RadioFirst)
                groupFirst = radio;
            QRadioButton* first = groupFirst;
            QObject::connect(radio, &QRadioButton::clicked, [this, radio, first] { CheckInGroup(first, radio); });
            radioGroups_[radio] = first;
        }
        if (auto* combo = qobject_cast<SortedComboBox*>(control))
            QObject::connect(combo, qOverload<int>(&QComboBox::activated), [this, id] {
                Msg msg = CommandMessage(static_cast<UINT>(id));
                msg.code = CBN_SELCHANGE;
                Dispatch(msg);
            });
        if (auto* slider = qobject_cast<QSlider*>(control)) {
            // Every notification, whether or not it moved the slider: a
            // click on the handle, End at the end, a wheel turn at a stop.
            const auto notify = [this, slider] {
                Msg msg;
                msg.message = WM_HSCROLL;
                msg.scrollPos = slider->sliderPosition();
                msg.control = slider;
                Dispatch(msg);
            };
            QObject::connect(slider, &QSlider::actionTriggered, notify);
            QObject::connect(slider, &QSlider::sliderReleased, notify);
        }
    }
    keyFilter_ = std::make_unique<EnterKeyFilter>([this] { OnEnter(); });
    window_->installEventFilter(keyFilter_.get());
    QObject::connect(window_, &QDialog::rejected, [this] {
        if (window_->result() != IDOK)
            OnCancel();
    });
}

int CDialog::DoModal()
{
    delete window_;
    window_ = nullptr;
    items_.clear();
    radioGroups_.clear();
    defaultButtonId_ = -1;
    Build();
    OnInitDialog();
    exposureWatch_ = std::make_unique<ExposureWatch>(window_, [this] {
        Msg msg;
        msg.message = WM_PAINT;
        Dispatch(msg);
    });
    const int result = window_->exec() == QDialog::Accepted ? IDOK : IDCANCEL;
    exposureWatch_.reset();
    return result;
}

void CDialog::OnEnter()
{
    for (const auto& [id, widget] : items_)
        if (auto* button = qobject_cast<QPushButton*>(widget); button && button->hasFocus() && button->isEnabled()) {
            OnButton(id);
            return;
        }
    if (defaultButtonId_ < 0) {
        OnButton(IDOK);
        return;
    }
    if (QWidget* button = GetDlgItem(defaultButtonId_); button && button->isEnabled())
        OnButton(defaultButtonId_);
}

void CDialog::OnButton(int id)
{
    if (id == IDOK) {
        OnOK();
        return;
    }
    Msg msg;
    msg.message = WM_COMMAND;
    msg.id = static_cast<UINT>(id);
    msg.code = BN_CLICKED;
    if (!Dispatch(msg) && id == IDCANCEL)
        EndDialog(IDCANCEL);
}

QWidget* CDialog::GetDlgItem(int id) const
{
    const auto found = items_.find(id);
    return found == items_.end() ? nullptr : found->second;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const DataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

void CDialog::CheckInGroup(QRadioButton* first, QRadioButton* chosen)
{
    for (const auto& [radio, groupFirst] : radioGroups_)
        if (groupFirst == first)
            radio->setChecked(radio == chosen);
}

std::vector<QRadioButton*> CDialog::RadioGroup(int firstId) const
{
    auto* first = qobject_cast<QRadioButton*>(GetDlgItem(firstId));
    std::vector<std::pair<int, QRadioButton*>> members;
    for (const auto& [id, widget] : items_)
        if (auto* radio = qobject_cast<QRadioButton*>(widget); radio && radioGroups_.count(radio) && radioGroups_.at(radio) == first)
            members.push_back({id, radio});
    // Template order is creation order, which is the group's index order.
    std::vector<QRadioButton*> group;
    for (QObject* child : window_->children())
        for (const auto& member : members)
            if (member.second == child)
                group.push_back(member.second);
    return group;
}

void CDialog::EndDialog(int result)
{
    if (window_)
        window_->done(result == IDOK ? QDialog::Accepted : QDialog::Rejected);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {}

// A text the locale cannot decode shows with stand-in characters; pulled back
// unchanged, it must keep the bytes it was pushed with.
namespace {
constexpr char kPushedBytes[] = "hauntwatchPushedBytes";
constexpr char kPushedText[] = "hauntwatchPushedText";

void RememberPush(QWidget* control, const CString& value, const QString& shown)
{
    control->setProperty(kPushedBytes, QByteArray(value.str().data(), static_cast<qsizetype>(value.str().size())));
    control->setProperty(kPushedText, shown);
}

CString Pulled(const QWidget* control, const QString& shown, const CString& decoded)
{
    if (control->property(kPushedText).toString() == shown && control->property(kPushedBytes).isValid()) {
        const QByteArray bytes = control->property(kPushedBytes).toByteArray();
        return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
    return decoded;
}
}  // namespace

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    QWidget* control = pDX->m_pDlgWnd->GetDlgItem(id);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        if (pDX->m_bSaveAndValidate) {
            const QString shown = edit->toPlainText();
            value = Pulled(edit, shown, FromQString(QString(shown).replace('\n', "\r\n")));
        } else {
            edit->setPlainText(ToQString(value).replace("\r\n", "\n"));
            RememberPush(edit, value, edit->toPlainText());
        }
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        if (pDX->m_bSaveAndValidate) {
            value = Pulled(line, line->text(), FromQString(line->text()));
        } else {
            line->setText(ToQString(value));
            RememberPush(line, value, line->text());
            // A shown path too long for its field shows its end, where the
            // file's name is, and whole in its tooltip.
            if (line->isReadOnly()) {
                line->setCursorPosition(static_cast<int>(line->text().size()));
                line->setToolTip(line->text());
            }
        }
    }
}
