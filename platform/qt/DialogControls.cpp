#include "DialogControls.h"

#include <QPainter>
#include <algorithm>
#include <functional>
#include <QStyledItemDelegate>

#include "DialogText.h"

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

    void SetTabStop(int pixels) { tabStop_ = std::max(1, pixels); }

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

QByteArray Bytes(const CString& text)
{
    return QByteArray(text.str().data(), static_cast<qsizetype>(text.str().size()));
}

CString FromBytes(const QVariant& bytes, const QString& fallback)
{
    if (!bytes.isValid())
        return FromQString(fallback);
    const QByteArray raw = bytes.toByteArray();
    return CString(std::string(raw.constData(), static_cast<size_t>(raw.size())));
}

}  // namespace

int SortedComboBox::AddString(const CString& text)
{
    const QString shown = ToQString(text);
    const int place = SortedPlace(count(), [this](int i) { return itemText(i); }, shown);
    insertItem(place, shown, Bytes(text));
    return place;
}

CString SortedComboBox::BytesAt(int index) const
{
    return FromBytes(itemData(index), itemText(index));
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

SortedListBox::SortedListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new TabStopDelegate(this, 32));
}

void SortedListBox::SetTabStop(int pixels)
{
    static_cast<TabStopDelegate*>(itemDelegate())->SetTabStop(pixels);
    viewport()->update();
}

int SortedListBox::AddString(const CString& text)
{
    const QString shown = ToQString(text);
    const int place = SortedPlace(count(), [this](int i) { return item(i)->text(); }, shown);
    auto* line = new QListWidgetItem(shown);
    line->setData(Qt::UserRole, Bytes(text));
    insertItem(place, line);
    return place;
}

CString SortedListBox::BytesAt(int row) const
{
    const QListWidgetItem* line = item(row);
    return line ? FromBytes(line->data(Qt::UserRole), line->text()) : CString();
}
