#pragma once
// Small value types of the toolkit: rectangles, points, sizes, the string type and the
// list locks. Everything here is header-only so that the program and the toolkit agree
// on the layouts without exporting anything.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <string>
#include <utility>

#include "UIDefine.h"

class CPoint : public POINT {
public:
    CPoint() { x = y = 0; }
    CPoint(int px, int py) { x = px; y = py; }
    CPoint(const POINT& p) { x = p.x; y = p.y; }
    bool operator==(const POINT& p) const { return x == p.x && y == p.y; }
    bool operator!=(const POINT& p) const { return !(*this == p); }
    void Offset(int dx, int dy) { x += dx; y += dy; }
};

class CSize : public SIZE {
public:
    CSize() { cx = cy = 0; }
    CSize(int w, int h) { cx = w; cy = h; }
    CSize(const SIZE& s) { cx = s.cx; cy = s.cy; }
    bool operator==(const SIZE& s) const { return cx == s.cx && cy == s.cy; }
    bool operator!=(const SIZE& s) const { return !(*this == s); }
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) { left = r.left; top = r.top; right = r.right; bottom = r.bottom; }
    CRect(POINT p, SIZE s) { left = p.x; top = p.y; right = p.x + s.cx; bottom = p.y + s.cy; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    // Empty: no area (zero or negative width or height).
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Right and bottom edges are exclusive.
    bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    // True when both rects have area and overlap.
    bool Intersects(const RECT& r) const
    {
        return !IsRectEmpty() && r.right > r.left && r.bottom > r.top && left < r.right && r.left < right &&
               top < r.bottom && r.top < bottom;
    }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void InflateRect(int d) { InflateRect(d, d, d, d); }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int d) { InflateRect(-d); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void NormalizeRect()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    // Intersection of a and b; empty (all zero) when they do not overlap. Returns non-zero
    // when the result has area.
    BOOL IntersectRect(const RECT& a, const RECT& b)
    {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (r.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = r;
        return TRUE;
    }
    // Smallest rect holding a and b; an empty operand does not count.
    BOOL UnionRect(const RECT& a, const RECT& b)
    {
        const CRect ra(a), rb(b);
        if (ra.IsRectEmpty()) *this = rb;
        else if (rb.IsRectEmpty()) *this = ra;
        else
            SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom));
        if (IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        return TRUE;
    }
    CRect& operator|=(const RECT& r) { UnionRect(*this, r); return *this; }
    CRect& operator&=(const RECT& r) { IntersectRect(*this, r); return *this; }
    bool operator==(const RECT& r) const
    {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const RECT& r) const { return !(*this == r); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

// The toolkit's string: a wide string that also reads as a C string, so that operations
// taking "const wchar_t*" accept it directly. A null pointer builds an empty string.
class CString : public std::wstring {
public:
    CString() = default;
    CString(const wchar_t* s) : std::wstring(s ? s : L"") {}
    CString(const wchar_t* s, size_t n) : std::wstring(s ? s : L"", s ? n : 0) {}
    CString(const std::wstring& s) : std::wstring(s) {}
    CString(std::wstring&& s) : std::wstring(std::move(s)) {}

    operator const wchar_t*() const { return c_str(); }
    int GetLength() const { return static_cast<int>(size()); }
    bool IsEmpty() const { return empty(); }
    void Empty() { clear(); }
    int Compare(const wchar_t* s) const { return wcscmp(c_str(), s ? s : L""); }

    // printf-style formatting into this string.
    void Format(const wchar_t* fmt, ...)
    {
        va_list args;
        va_start(args, fmt);
        FormatV(fmt, args);
        va_end(args);
    }
    void FormatV(const wchar_t* fmt, va_list args)
    {
        clear();
        if (!fmt)
            return;
        std::wstring buf(128, L'\0');
        for (;;) {
            va_list copy;
            va_copy(copy, args);
            int n = _vsnwprintf(&buf[0], buf.size(), fmt, copy);
            va_end(copy);
            if (n >= 0 && static_cast<size_t>(n) < buf.size()) {
                assign(buf.c_str(), static_cast<size_t>(n));
                return;
            }
            if (buf.size() > (1u << 24))
                return; // unreasonable result: give up with an empty string
            buf.assign(buf.size() * 2, L'\0');
        }
    }
};

// A recursive lock over a critical section (the thread that holds it may take it again).
class MLock {
public:
    MLock() { InitializeCriticalSection(&cs_); }
    ~MLock() { DeleteCriticalSection(&cs_); }
    MLock(const MLock&) = delete;
    MLock& operator=(const MLock&) = delete;
    void Lock() { EnterCriticalSection(&cs_); }
    void Unlock() { LeaveCriticalSection(&cs_); }

private:
    CRITICAL_SECTION cs_;
};

// Holds an MLock for the lifetime of the guard.
class MAutoLock {
public:
    explicit MAutoLock(MLock& lock) : lock_(lock) { lock_.Lock(); }
    ~MAutoLock() { lock_.Unlock(); }
    MAutoLock(const MAutoLock&) = delete;
    MAutoLock& operator=(const MAutoLock&) = delete;

private:
    MLock& lock_;
};

// Removes the first occurrence of `item` from a list guarded by `lock`; true when it was there.
template <class List, class T>
bool EraseUnderLock(MLock& lock, List& list, const T& item)
{
    MAutoLock guard(lock);
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}
