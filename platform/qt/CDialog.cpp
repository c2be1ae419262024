#include "CDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
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
#include "DialogTemplate.h"

namespace {

// Dialog units to pixels with the dialog font's metrics, as the old framework did.
struct DialogUnits {
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics metrics(font);
        cx = metrics.averageCharWidth();
        cy = metrics.height();
    }
    QRect Rect(int x, int y, int w, int h) const { return QRect(x * cx / 4, y * cy / 8, w * cx / 4, h * cy / 8); }
    int cx, cy;
};

QWidget* MakeControl(const DialogControl& c, QDialog* dialog, const DialogUnits& units)
{
    switch (c.kind) {
    case DialogControl::Kind::ComboBox:
        return new SortedComboBox(dialog);
    case DialogControl::Kind::ListBox:
        return new SortedListBox(dialog, 32 * units.cx / 4);
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
    window_ = new QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    window_->setModal(true);
    if (!tmpl)
        return;
    window_->setWindowTitle(QString::fromLocal8Bit(tmpl->caption.c_str()));
    const DialogUnits units(window_->font());
    window_->setFixedSize(units.Rect(0, 0, tmpl->width, tmpl->height).size());
    QRadioButton* groupFirst = nullptr;
    for (const DialogControl& c : tmpl->controls) {
        QWidget* control = MakeControl(c, window_, units);
        control->setGeometry(units.Rect(c.x, c.y, c.width, c.height));
        control->setVisible(!c.hidden);
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
        if (auto* slider = qobject_cast<QSlider*>(control))
            QObject::connect(slider, &QSlider::valueChanged, [this, slider](int position) {
                Msg msg;
                msg.message = WM_HSCROLL;
                msg.scrollPos = position;
                msg.control = slider;
                Dispatch(msg);
            });
    }
    window_->installEventFilter(&paintWatch_);
    paintWatch_.onPaint = [this] {
        Msg msg;
        msg.message = WM_PAINT;
        Dispatch(msg);
    };
    paintWatch_.dialog = this;
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
    Build();
    OnInitDialog();
    const int result = window_->exec() == QDialog::Accepted ? IDOK : IDCANCEL;
    return result;
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

bool CDialog::PaintWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Paint || !onPaint || QApplication::activePopupWidget())
        return false;
    // A drop-down repainting itself, or its popup closing, uncovers only the
    // drop-downs: refilling then would undo the choice just made and paint again.
    QRegion uncovered = static_cast<QPaintEvent*>(event)->region();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    for (SortedComboBox* combo : watched->findChildren<SortedComboBox*>()) {
        if (now - combo->PopupClosedAt() < 500)
            return false;
        uncovered -= combo->geometry();
    }
    if (!uncovered.isEmpty())
        onPaint();
    return false;
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

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    QWidget* control = pDX->m_pDlgWnd->GetDlgItem(id);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        if (pDX->m_bSaveAndValidate)
            value = CString(edit->toPlainText().replace('\n', "\r\n").toLocal8Bit().toStdString());
        else
            edit->setPlainText(QString::fromLocal8Bit(value.c_str()).replace("\r\n", "\n"));
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        if (pDX->m_bSaveAndValidate)
            value = CString(line->text().toLocal8Bit().toStdString());
        else
            line->setText(QString::fromLocal8Bit(value.c_str()));
    }
}
