#pragma once
// The settings file's encoding: little-endian 32-bit ints, times as unsigned
// 32-bit seconds, strings with a one-, three- or seven-byte length prefix.
// A loading archive reads from bytes already in memory, a storing archive
// collects bytes that the document then writes out in one go.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "CString.h"
#include "CTime.h"

class CArchiveException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CArchive {
public:
    enum Mode { store, load };

    // A storing archive.
    CArchive() : mode_(store) {}
    // A loading archive over the given bytes.
    explicit CArchive(std::string bytes) : mode_(load), bytes_(std::move(bytes)) {}

    bool IsStoring() const { return mode_ == store; }
    bool IsLoading() const { return mode_ == load; }

    CArchive& operator<<(std::int32_t value);
    CArchive& operator<<(CTime value);
    CArchive& operator<<(const CString& value);

    CArchive& operator>>(std::int32_t& value);
    CArchive& operator>>(CTime& value);
    CArchive& operator>>(CString& value);

    // What a storing archive has collected.
    const std::string& Bytes() const { return bytes_; }
    size_t Remaining() const { return bytes_.size() - position_; }

private:
    void PutUnsigned(std::uint32_t value, int width);
    std::uint32_t TakeUnsigned(int width, const char* what);

    Mode mode_;
    std::string bytes_;
    size_t position_ = 0;
};
