#pragma once
// A document that loads and saves itself through an archive.  Open and save
// tell the user about every failure and answer FALSE.
#include "CArchive.h"
#include "WinTypes.h"

class CDocument {
public:
    virtual ~CDocument() = default;

    virtual void Serialize(CArchive& ar) = 0;
    virtual BOOL OnNewDocument();
    // Paths under "c:\qwendrik\" are taken from the home folder.
    virtual BOOL OnOpenDocument(const char* path);
    // Writes a new file beside the old one and renames it over, so a save that
    // fails half-way leaves the previous file as it was.
    virtual BOOL OnSaveDocument(const char* path);
};
