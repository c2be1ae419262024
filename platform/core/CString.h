#pragma once
// 8-bit text counted in bytes, as the settings file and the problem log keep it.
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text ? text : "") {}
    CString(std::string text) : text_(std::move(text)) {}
    CString(std::string_view text) : text_(text) {}

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }

    // Out-of-range counts are clamped, as the old framework did.
    CString Left(int count) const;
    CString Right(int count) const;
    // Byte index of the first occurrence, or -1.
    int Find(char ch) const;
    int Find(const char* sub) const;

    CString& operator+=(const CString& other) { text_ += other.text_; return *this; }
    friend CString operator+(CString a, const CString& b) { a += b; return a; }
    friend CString operator+(CString a, const char* b) { a += CString(b); return a; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) + b; }

    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator==(const CString& a, const char* b) { return a.text_ == (b ? b : ""); }

    const char* c_str() const { return text_.c_str(); }
    operator const char*() const { return text_.c_str(); }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

namespace win {
// Exact comparison of two texts: zero when they hold the same bytes.  Counted
// strings are compared whole, so an embedded NUL does not end the comparison.
int _mbscmp(const CString& a, const CString& b);
}
