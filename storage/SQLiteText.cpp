#include "storage/SQLiteText.h"

#include <windows.h>

#include <climits>
#include <cstring>

std::string SQLiteUtf8(const std::wstring& text)
{
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX))
        return std::string();
    const int count = static_cast<int>(text.size());
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), count, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring SQLiteWide(const char* text, int length)
{
    if (!text)
        return std::wstring();
    size_t bytes = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    if (bytes == 0 || bytes > static_cast<size_t>(INT_MAX))
        return std::wstring();
    const int count = static_cast<int>(bytes);
    int n = MultiByteToWideChar(CP_UTF8, 0, text, count, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, count, out.data(), n);
    return out;
}
