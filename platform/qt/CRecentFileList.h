#pragma once
// The most recently opened documents, newest first, kept in the user's
// settings.  No menu shows them; they are remembered for the desktop.
#include <vector>

#include "CString.h"

class CRecentFileList {
public:
    explicit CRecentFileList(int maxSize) : maxSize_(maxSize) {}

    void ReadList();
    // Moves the file to the front (adding it when new) and saves the list.
    void Add(const char* path);

    int GetSize() const { return static_cast<int>(files_.size()); }
    const CString& operator[](int index) const { return files_[static_cast<size_t>(index)]; }

private:
    void WriteList() const;

    int maxSize_;
    std::vector<CString> files_;
};
