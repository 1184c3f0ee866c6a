#pragma once
#include <string>

// Text crosses the database boundary as UTF-8; in memory the program works with UTF-16.
// Both conversions go through the Windows code-page functions (CP_UTF8).

// UTF-16 to UTF-8. An empty input gives an empty string.
std::string SQLiteUtf8(const std::wstring& text);

// UTF-8 to UTF-16. A null pointer reads as an empty string; length -1 measures up to the
// terminator.
std::wstring SQLiteWide(const char* text, int length = -1);
