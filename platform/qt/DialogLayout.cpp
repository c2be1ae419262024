#include "DialogLayout.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <algorithm>
#include <cmath>

namespace {

// Steps by which a dialog grows when its texts do not fit, and how far.
constexpr double kScaleStep = 1.0 / 32;
constexpr double kLargestScale = 4.0;
// What QLineEdit keeps free on each side of its text, beyond the style's frame.
constexpr int kLineEditSideMargin = 2;
constexpr int kLineEditTopMargin = 1;
constexpr int kTextCursorWidth = 1;
// Room a grown control leaves before the dialog's edge.
constexpr int kEdgeDialogUnits = 2;

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

// What a style adds around contents of `contents`, without the minimum sizes
// some styles impose (Fusion makes every push button 80 pixels wide at
// least), which are taste rather than room for the text.
QSize StyleAround(QStyle::ContentsType type, const QStyleOption& option, const QWidget& control, QSize contents)
{
    constexpr int kAboveAnyMinimum = 1000;
    const QSize big = contents + QSize(kAboveAnyMinimum, kAboveAnyMinimum);
    const QSize wrapped = control.style()->sizeFromContents(type, &option, big, &control);
    return contents + (wrapped - big);
}

QString WidestNumber(const QFontMetrics& metrics, int low, int high)
{
    QString widest;
    for (int n = low; n <= high; ++n) {
        const QString text = QString::number(n);
        if (metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widest))
            widest = text;
    }
    return widest;
}

bool Overlap(int a0, int a1, int b0, int b1)
{
    return a0 < b1 && b0 < a1;
}

// How far right control i may reach before another visible control on its
// rows, or the dialog's edge.
int RightLimit(const DialogTemplate& dialog, const std::vector<QRect>& rects, size_t i, int edge)
{
    const QRect& r = rects[i];
    int limit = edge;
    for (size_t j = 0; j < rects.size(); ++j)
        if (j != i && !dialog.controls[j].hidden && rects[j].left() > r.left() &&
            Overlap(r.top(), r.bottom() + 1, rects[j].top(), rects[j].bottom() + 1))
            limit = std::min(limit, rects[j].left());
    return limit;
}

int BottomLimit(const DialogTemplate& dialog, const std::vector<QRect>& rects, size_t i, int edge)
{
    const QRect& r = rects[i];
    int limit = edge;
    for (size_t j = 0; j < rects.size(); ++j)
        if (j != i && !dialog.controls[j].hidden && rects[j].top() > r.top() &&
            Overlap(r.left(), r.right() + 1, rects[j].left(), rects[j].right() + 1))
            limit = std::min(limit, rects[j].top());
    return limit;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX = (letters / 26 + 1) / 2;
    baseY = metrics.ascent() + metrics.descent();
}

QRect DialogUnits::Rect(int x, int y, int width, int height, double scale) const
{
    const auto across = [&](int units) { return Round(units * baseX * scale / 4); };
    const auto down = [&](int units) { return Round(units * baseY * scale / 8); };
    const int left = across(x), right = across(x + width);
    const int top = down(y), bottom = down(y + height);
    return QRect(left, top, right - left, bottom - top);
}

int DialogUnits::Width(int dialogUnits, double scale) const
{
    return Round(dialogUnits * baseX * scale / 4);
}

DialogLayout FitDialog(const DialogTemplate& dialog, const DialogUnits& units, const std::vector<QSize>& needed)
{
    DialogLayout layout;
    for (layout.scale = 1.0;; layout.scale += kScaleStep) {
        const double scale = layout.scale;
        layout.size = units.Rect(0, 0, dialog.width, dialog.height, scale).size();
        layout.geometry.clear();
        for (const DialogControl& c : dialog.controls)
            layout.geometry.push_back(units.Rect(c.x, c.y, c.width, c.height, scale));
        const int rightEdge = layout.size.width() - units.Width(kEdgeDialogUnits, scale);
        const int bottomEdge = layout.size.height() - units.Rect(0, 0, 0, kEdgeDialogUnits, scale).height();
        bool fits = true;
        // Widths first, then heights against the widened neighbours.
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            QRect& r = layout.geometry[i];
            if (dialog.controls[i].hidden || i >= needed.size() || needed[i].width() <= r.width())
                continue;
            if (r.left() + needed[i].width() <= std::max(r.right() + 1, RightLimit(dialog, layout.geometry, i, rightEdge)))
                r.setWidth(needed[i].width());
            else
                fits = false;
        }
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            QRect& r = layout.geometry[i];
            if (dialog.controls[i].hidden || i >= needed.size() || needed[i].height() <= r.height())
                continue;
            if (r.top() + needed[i].height() <= std::max(r.bottom() + 1, BottomLimit(dialog, layout.geometry, i, bottomEdge)))
                r.setHeight(needed[i].height());
            else
                fits = false;
        }
        if (fits || layout.scale >= kLargestScale)
            return layout;
    }
}

QSize NeededSize(const DialogControl& item, const QWidget& control)
{
    const QFontMetrics metrics(control.font());
    switch (item.kind) {
    case DialogControl::Kind::Static:
        if (item.text.empty())
            return {};
        return QSize(metrics.horizontalAdvance(QString::fromLocal8Bit(item.text.c_str())), metrics.height());
    case DialogControl::Kind::Button:
    case DialogControl::Kind::DefaultButton: {
        const auto* button = qobject_cast<const QPushButton*>(&control);
        if (!button)
            return {};
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.features = button->isDefault() ? QStyleOptionButton::DefaultButton : QStyleOptionButton::None;
        if (button->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QSize text = metrics.size(Qt::TextShowMnemonic, button->text());
        return StyleAround(QStyle::CT_PushButton, option, control, text);
    }
    case DialogControl::Kind::RadioFirst:
    case DialogControl::Kind::Radio: {
        const auto* radio = qobject_cast<const QRadioButton*>(&control);
        if (!radio)
            return {};
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        const QSize text = control.style()->itemTextRect(metrics, QRect(), Qt::TextShowMnemonic, false, radio->text()).size();
        return StyleAround(QStyle::CT_RadioButton, option, control, text);
    }
    case DialogControl::Kind::Edit: {
        const auto* edit = qobject_cast<const QLineEdit*>(&control);
        if (!edit || item.fitHigh < item.fitLow)
            return {};
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? control.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        option.midLineWidth = 0;
        option.state |= QStyle::State_Sunken;
        if (edit->isReadOnly())
            option.state |= QStyle::State_ReadOnly;
        const QMargins text = edit->textMargins();
        const QMargins contents = edit->contentsMargins();
        const int width = metrics.horizontalAdvance(WidestNumber(metrics, item.fitLow, item.fitHigh)) +
                          2 * kLineEditSideMargin + kTextCursorWidth + text.left() + text.right() + contents.left() +
                          contents.right();
        const int height = metrics.height() + 2 * kLineEditTopMargin + text.top() + text.bottom() + contents.top() +
                           contents.bottom();
        if (!edit->hasFrame())
            return QSize(width, height);
        return StyleAround(QStyle::CT_LineEdit, option, control, QSize(width, height));
    }
    default:
        return {};
    }
}
