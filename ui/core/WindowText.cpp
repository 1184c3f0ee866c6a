#include "WindowText.h"

#include <string>

CString GetWindowTextString(HWND hwnd)
{
    if (!hwnd)
        return CString();
    const int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return CString(text);
}
