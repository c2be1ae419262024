#include "DialogControls.h"

#include <QDateTime>
#include <QPainter>
#include <functional>
#include <QStyledItemDelegate>

namespace {

// Draws a line with its tabs expanded to fixed stops.
class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(QObject* parent, int tabStop) : QStyledItemDelegate(parent), tabStop_(tabStop) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, option.widget);
        const QFontMetrics metrics(option.font);
        int x = option.rect.left() + 2;
        const QStringList parts = index.data().toString().split('\t');
        for (int i = 0; i < parts.size(); ++i) {
            if (i > 0)
                x = option.rect.left() + 2 + ((x - option.rect.left() - 2) / tabStop_ + 1) * tabStop_;
            painter->setPen(option.state & QStyle::State_Selected ? option.palette.highlightedText().color()
                                                                   : option.palette.text().color());
            painter->drawText(QRect(x, option.rect.top(), option.rect.right() - x, option.rect.height()),
                              Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
            x += metrics.horizontalAdvance(parts[i]);
        }
    }

private:
    int tabStop_;
};

int SortedPlace(int count, const std::function<QString(int)>& textAt, const QString& text)
{
    int place = 0;
    while (place < count && QString::compare(textAt(place), text, Qt::CaseInsensitive) <= 0)
        ++place;
    return place;
}

}  // namespace

int SortedComboBox::AddString(const QString& text)
{
    const int place = SortedPlace(count(), [this](int i) { return itemText(i); }, text);
    insertItem(place, text);
    return place;
}

int SortedComboBox::FindStringExact(const QString& text) const
{
    for (int i = 0; i < count(); ++i)
        if (QString::compare(itemText(i), text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int SortedComboBox::FindStringPrefix(const QString& text) const
{
    for (int i = 0; i < count(); ++i)
        if (itemText(i).startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

void SortedComboBox::hidePopup()
{
    QComboBox::hidePopup();
    popupClosedAt_ = QDateTime::currentMSecsSinceEpoch();
}

SortedListBox::SortedListBox(QWidget* parent, int tabStopPixels) : QListWidget(parent)
{
    setItemDelegate(new TabStopDelegate(this, tabStopPixels));
}

int SortedListBox::AddString(const QString& text)
{
    const int place = SortedPlace(count(), [this](int i) { return item(i)->text(); }, text);
    insertItem(place, text);
    return place;
}
