#pragma once
// The few control behaviours the dialogs rely on beyond plain Qt widgets.
#include <QComboBox>
#include <QListWidget>
#include <QString>

// A drop-down list kept in alphabetical order without regard to case.
class SortedComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    int AddString(const QString& text);
    // Whole text, ignoring case, from the first entry; -1 when none.
    int FindStringExact(const QString& text) const;
    // First entry that begins with the text, ignoring case; -1 when none.
    int FindStringPrefix(const QString& text) const;
    // When the last popup closed: the paint that follows must not refill the lists.
    qint64 PopupClosedAt() const { return popupClosedAt_; }
    void hidePopup() override;

private:
    qint64 popupClosedAt_ = 0;
};

// A list box kept in alphabetical order of the whole line, tabs expanded.
class SortedListBox : public QListWidget {
    Q_OBJECT
public:
    explicit SortedListBox(QWidget* parent, int tabStopPixels);
    int AddString(const QString& text);
};
