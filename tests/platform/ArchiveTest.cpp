#include <gtest/gtest.h>

#include <string>

#include "CArchive.h"

namespace {

std::string Stored(const CString& text)
{
    CArchive ar;
    ar << text;
    return ar.Bytes();
}

CString LoadedText(const std::string& bytes)
{
    CArchive ar(bytes);
    CString text;
    ar >> text;
    EXPECT_EQ(ar.Remaining(), 0u);
    return text;
}

TEST(ArchiveTest, StringsUseTheShortestOfTheThreeLengthPrefixes)
{
    struct Case { size_t length; std::string prefix; };
    const Case cases[] = {
        {0, std::string("\x00", 1)},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'x');
        const std::string bytes = Stored(CString(text));
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(LoadedText(bytes).str(), text) << c.length;
    }
}

TEST(ArchiveTest, ReaderAcceptsLongerPrefixesThanTheWriterWouldUse)
{
    EXPECT_EQ(LoadedText(std::string("\xFF\x03\x00" "abc", 6)).str(), "abc");
    EXPECT_EQ(LoadedText(std::string("\xFF\xFF\xFF\x02\x00\x00\x00" "ab", 9)).str(), "ab");
}

TEST(ArchiveTest, NumbersAndTimesAreLittleEndian)
{
    CArchive ar;
    ar << std::int32_t{-2} << CTime(0x01020304);
    EXPECT_EQ(ar.Bytes(), std::string("\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 8));

    CArchive in(std::string("\x00\x00\x00\x80\xFF\xFF\xFF\xFF", 8));
    std::int32_t number = 0;
    CTime time;
    in >> number >> time;
    EXPECT_EQ(number, INT32_MIN);
    EXPECT_EQ(time.GetTime(), 0xFFFFFFFFll) << "times are unsigned on disk";
}

TEST(ArchiveTest, ReadingPastTheEndOrALyingLengthFailsWithoutTouchingTheValue)
{
    const std::string damaged[] = {
        "",
        "\x05" "abc",
        "\xFF\x10",
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF" "tiny", 11),
    };
    for (const std::string& bytes : damaged) {
        CArchive ar(bytes);
        CString text = "kept";
        EXPECT_THROW(ar >> text, CArchiveException) << bytes.size();
        EXPECT_EQ(text.str(), "kept");
    }
    CArchive shortNumber(std::string("\x01\x02", 2));
    std::int32_t number = 7;
    EXPECT_THROW(shortNumber >> number, CArchiveException);
    EXPECT_EQ(number, 7);
}

}  // namespace
