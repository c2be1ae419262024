#pragma once
// The few control behaviours the dialogs rely on beyond plain Qt widgets.
#include <QComboBox>
#include <QListWidget>
#include <QString>

#include "CString.h"

// A drop-down list kept in alphabetical order without regard to case.
class SortedComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    // Entries keep the bytes they were added from: a name the locale cannot
    // decode reads back as it was.
    int AddString(const CString& text);
    CString BytesAt(int index) const;
    // Whole text, ignoring case, from the first entry; -1 when none.
    int FindStringExact(const QString& text) const;
    // First entry that begins with the text, ignoring case; -1 when none.
    int FindStringPrefix(const QString& text) const;
};

// A list box kept in alphabetical order of the whole line, tabs expanded.
class SortedListBox : public QListWidget {
    Q_OBJECT
public:
    explicit SortedListBox(QWidget* parent);
    int AddString(const CString& text);
    CString BytesAt(int row) const;
    void SetTabStop(int pixels);
};
