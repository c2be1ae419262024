#include "CString.h"

#include <algorithm>

CString CString::Left(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(text_.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(text_.substr(text_.size() - static_cast<size_t>(count)));
}

int CString::Find(char ch) const
{
    const auto at = text_.find(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub) const
{
    const auto at = text_.find(sub ? sub : "");
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

namespace win {
int _mbscmp(const CString& a, const CString& b)
{
    const int order = a.str().compare(b.str());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}
}
