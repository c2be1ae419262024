#pragma once
// A document that loads and saves itself through an archive.  Open and save
// tell the user about every failure and answer FALSE.
#include <string>

#include "CArchive.h"
#include "WinTypes.h"

class CDocument {
public:
    // A settings file larger than this is refused unread: the program writes
    // at most about half a megabyte, even with paths of the longest length.
    static constexpr long long kLargestFile = 4LL * 1024 * 1024;

    virtual ~CDocument() = default;

    virtual void Serialize(CArchive& ar) = 0;
    virtual BOOL OnNewDocument();
    // Paths under "c:\qwendrik\" are taken from the home folder.
    virtual BOOL OnOpenDocument(const char* path);
    // Writes a new file beside the old one and renames it over, so a save that
    // fails half-way leaves the previous file as it was.
    virtual BOOL OnSaveDocument(const char* path);

protected:
    // What to tell the user when the file to open does not exist; empty for
    // the usual failure message.
    virtual std::string MissingFileMessage(const char* path, const std::string& realPath) const;
};
