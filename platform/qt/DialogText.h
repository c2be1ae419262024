#pragma once
// The program's 8-bit strings in the system's code page, and Qt's strings.
#include <QString>

#include "CString.h"

inline QString ToQString(const CString& text)
{
    return QString::fromLocal8Bit(text.str().data(), static_cast<qsizetype>(text.str().size()));
}

inline CString FromQString(const QString& text)
{
    return CString(text.toLocal8Bit().toStdString());
}
