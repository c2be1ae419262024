#pragma once
// The gateway between GuardSettings and the settings file.
#include "CDocument.h"

class CQwendrikDoc : public CDocument {
public:
    void Serialize(CArchive& ar) override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const char* path) override;
    BOOL OnSaveDocument(const char* path) override;

protected:
    std::string MissingFileMessage(const char* path, const std::string& realPath) const override;
};
