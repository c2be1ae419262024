#include "CStatusBar.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <algorithm>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include "AfxRes.h"
#include "CFrameWnd.h"
#include "ResourceTables.h"

namespace {

bool LockOn(UINT indicatorId, const LockKeyState& state)
{
    switch (indicatorId) {
    case ID_INDICATOR_CAPS:
        return state.capsLock;
    case ID_INDICATOR_NUM:
        return state.numLock;
    case ID_INDICATOR_SCRL:
        return state.scrollLock;
    default:
        return true;
    }
}

// The old status bar wrote in the 8-point system font.
constexpr qreal kBarPointSize = 8.0;
// Smaller than this, a text is no longer read at a glance.
constexpr qreal kSmallestPointSize = 6.0;
constexpr qreal kPointStep = 0.5;
constexpr int kIndicatorPadding = 6;

// The text pane shows its whole text in the largest font, up to the bar's,
// that fits the width the indicators leave: the greeting is a sentence, and
// a sentence cut off in the middle says nothing.
class FittingPane final : public QLabel {
public:
    explicit FittingPane(QWidget* parent) : QLabel(parent) {}

    void SetFittedText(const QString& text)
    {
        setText(text);
        Fit();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        Fit();
    }
    void showEvent(QShowEvent* event) override
    {
        QLabel::showEvent(event);
        Fit();
    }
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::ParentChange || event->type() == QEvent::ApplicationFontChange)
            Fit();
    }

private:
    void Fit()
    {
        // Unshown, the pane has no room of its own to measure against: every
        // size would be tried (each a font to load, at start-up), and the
        // show fits the text anyway.
        if (!isVisible())
            return;
        QFont font = parentWidget() ? parentWidget()->font() : QApplication::font();
        const int room = contentsRect().width() - 2 * margin();
        for (qreal size = font.pointSizeF(); size >= kSmallestPointSize; size -= kPointStep) {
            font.setPointSizeF(size);
            if (QFontMetrics(font).horizontalAdvance(text()) <= room)
                break;
        }
        if (this->font() != font)
            setFont(font);
    }
};

QLabel* NewPane(QStatusBar* bar, bool textPane)
{
    QLabel* label = textPane ? new FittingPane(bar) : new QLabel(bar);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

}  // namespace

CStatusBar::~CStatusBar()
{
    if (auto* frame = dynamic_cast<CFrameWnd*>(GetParent()))
        frame->SetStatusBar(nullptr);
}

QStatusBar* CStatusBar::Bar() const
{
    return static_cast<QStatusBar*>(GetSafeHwnd());
}

BOOL CStatusBar::Create(CWnd* parent, DWORD style, UINT id)
{
    auto* frame = parent ? qobject_cast<QMainWindow*>(parent->GetSafeHwnd()) : nullptr;
    if (!frame || (style & CBRS_BOTTOM) == 0)
        return FALSE;
    auto* bar = new QStatusBar(frame);
    QFont font = bar->font();
    font.setPointSizeF(std::min(font.pointSizeF(), kBarPointSize));
    bar->setFont(font);
    Attach(bar, parent, id);
    frame->setStatusBar(bar);
    if (auto* frameWnd = dynamic_cast<CFrameWnd*>(parent))
        frameWnd->SetStatusBar(this);
    bar->setVisible((style & WS_VISIBLE) != 0);
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* ids, int count)
{
    QStatusBar* bar = Bar();
    if (!bar || count < 0)
        return FALSE;
    for (int i = 0; i < count; ++i) {
        Pane pane{ids[i], NewPane(bar, ids[i] == ID_SEPARATOR), CString()};
        if (pane.id == ID_SEPARATOR) {
            // The text pane takes what the indicators leave and clips a long text
            // instead of widening the window.
            pane.label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            bar->addWidget(pane.label, 1);
        } else {
            if (!AfxLoadString(pane.id, pane.indicatorText)) {
                delete pane.label;
                return FALSE;
            }
            // A blank indicator keeps its width, so the panes never jump.
            const QString text = QString::fromLocal8Bit(pane.indicatorText.c_str());
            pane.label->setFixedWidth(QFontMetrics(pane.label->font()).horizontalAdvance(text) + kIndicatorPadding +
                                      2 * pane.label->frameWidth());
            pane.label->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(pane.label);
        }
        panes_.push_back(pane);
    }
    UpdateLockIndicators();
    return TRUE;
}

BOOL CStatusBar::SetPaneText(int index, const char* text, BOOL update)
{
    if (index < 0 || index >= GetCount())
        return FALSE;
    QLabel* label = panes_[static_cast<size_t>(index)].label;
    const QString shown = QString::fromLocal8Bit(text ? text : "");
    if (auto* fitting = dynamic_cast<FittingPane*>(label))
        fitting->SetFittedText(shown);
    else
        label->setText(shown);
    if (update)
        label->repaint();
    return TRUE;
}

CString CStatusBar::GetPaneText(int index) const
{
    if (index < 0 || index >= GetCount())
        return CString();
    return CString(panes_[static_cast<size_t>(index)].label->text().toLocal8Bit().toStdString());
}

void CStatusBar::UpdateLockIndicators()
{
    const LockKeyState state = readLockKeys_ ? readLockKeys_() : LockKeyState{};
    for (const Pane& pane : panes_)
        if (pane.id != ID_SEPARATOR)
            pane.label->setText(LockOn(pane.id, state) ? QString::fromLocal8Bit(pane.indicatorText.c_str()) : QString());
}
