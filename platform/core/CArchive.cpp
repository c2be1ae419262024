#include "CArchive.h"

namespace {
constexpr std::uint32_t kWordEscape = 0xFF;
constexpr std::uint32_t kLongEscape = 0xFFFF;
// 0xFFFE is the last length a two-byte prefix could hold, but the old writer
// already switched to the long form there.
constexpr std::uint32_t kLongFormFrom = 0xFFFE;
}

void CArchive::PutUnsigned(std::uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t CArchive::TakeUnsigned(int width, const char* what)
{
    if (Remaining() < static_cast<size_t>(width))
        throw CArchiveException(std::string("the file ends in the middle of ") + what);
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[position_ + i])) << (8 * i);
    position_ += static_cast<size_t>(width);
    return value;
}

CArchive& CArchive::operator<<(std::int32_t value)
{
    PutUnsigned(static_cast<std::uint32_t>(value), 4);
    return *this;
}

CArchive& CArchive::operator<<(CTime value)
{
    // Times outside 1970..2106 wrap, as they did in the 32-bit original.
    PutUnsigned(static_cast<std::uint32_t>(value.GetTime()), 4);
    return *this;
}

CArchive& CArchive::operator<<(const CString& value)
{
    const auto length = static_cast<std::uint64_t>(value.GetLength());
    if (length < kWordEscape) {
        PutUnsigned(static_cast<std::uint32_t>(length), 1);
    } else if (length < kLongFormFrom) {
        PutUnsigned(kWordEscape, 1);
        PutUnsigned(static_cast<std::uint32_t>(length), 2);
    } else {
        PutUnsigned(kWordEscape, 1);
        PutUnsigned(kLongEscape, 2);
        PutUnsigned(static_cast<std::uint32_t>(length), 4);
    }
    bytes_ += value.str();
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& value)
{
    value = static_cast<std::int32_t>(TakeUnsigned(4, "a number"));
    return *this;
}

CArchive& CArchive::operator>>(CTime& value)
{
    value = CTime(static_cast<std::int64_t>(TakeUnsigned(4, "a time")));
    return *this;
}

CArchive& CArchive::operator>>(CString& value)
{
    std::uint32_t length = TakeUnsigned(1, "a text length");
    if (length == kWordEscape) {
        length = TakeUnsigned(2, "a text length");
        if (length == kLongEscape)
            length = TakeUnsigned(4, "a text length");
    }
    // Checked before anything is allocated: a damaged prefix must not ask for gigabytes.
    if (length > Remaining())
        throw CArchiveException("a text claims " + std::to_string(length) + " bytes but only "
                                + std::to_string(Remaining()) + " are left");
    value = CString(bytes_.substr(position_, length));
    position_ += length;
    return *this;
}
