#include "CRecentFileList.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "UserSettings.h"

namespace {

QString EntryKey(int index)
{
    return QStringLiteral("Recent File List/File%1").arg(index + 1);
}

}  // namespace

void CRecentFileList::ReadList()
{
    QSettings settings = UserSettings();
    files_.clear();
    for (int i = 0; i < maxSize_; ++i) {
        const QString path = settings.value(EntryKey(i)).toString();
        if (!path.isEmpty())
            files_.emplace_back(QFile::encodeName(path).toStdString());
    }
}

void CRecentFileList::Add(const char* path)
{
    if (!path || !*path || maxSize_ <= 0)
        return;
    const CString full(QFile::encodeName(QFileInfo(QFile::decodeName(path)).absoluteFilePath()).toStdString());
    files_.erase(std::remove(files_.begin(), files_.end(), full), files_.end());
    files_.insert(files_.begin(), full);
    if (GetSize() > maxSize_)
        files_.resize(static_cast<size_t>(maxSize_));
    WriteList();
}

void CRecentFileList::WriteList() const
{
    QSettings settings = UserSettings();
    for (int i = 0; i < maxSize_; ++i) {
        if (i < GetSize())
            settings.setValue(EntryKey(i), QFile::decodeName(files_[static_cast<size_t>(i)].c_str()));
        else
            settings.remove(EntryKey(i));
    }
}
