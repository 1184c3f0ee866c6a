#include "MEdit.h"

#include <algorithm>

#include "CEditWnd.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

namespace {
const COLORREF kGrey = 0x808080;
} // namespace

MEdit::MEdit(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1), m_tip(tipText)
{
    m_textColor = 0xFFFFFFFF;
    m_fontName = L"Arail"; // as the skin's layouts name it; the font mapper substitutes
    m_fontSize = 14;
    m_tabStop = 1;
    m_imageCount = 4;
    m_hAlign = 0;
    m_state = enabled ? 0 : 3;
}

MEdit::~MEdit()
{
    if (m_edit) {
        m_edit->Detach();
        delete m_edit;
        m_edit = nullptr;
    }
    delete m_icon;
    if (m_font)
        DeleteObject(m_font);
}

// ---------------------------------------------------------------- text

void MEdit::SetControlTitle(const wchar_t* title)
{
    MControlFont::SetControlTitle(title);
    if (m_edit && m_edit->GetHWND())
        m_edit->SetText(m_title);
    UpdateControl(1);
}

const wchar_t* MEdit::GetControlTitle()
{
    if (m_editing)
        HideEdit();
    return m_title.c_str();
}

void MEdit::SetEditText(const wchar_t* text) { m_title = CString(text); }

CString MEdit::GetEditText()
{
    if (m_edit && m_edit->GetHWND() && IsWindowVisible(m_edit->GetHWND()))
        return m_edit->GetText();
    return m_title;
}

void MEdit::SetTipInfo(const wchar_t* tip)
{
    m_tip = CString(tip);
    UpdateControl(1);
}

void MEdit::OnEditChanged(const wchar_t* text)
{
    if (m_title.Compare(text) == 0)
        return;
    SetEditText(text);
    SendMessage(MN_EDIT_CHANGED, 0, 0);
    UpdateControl(1);
}

void MEdit::OnEditKillFocus()
{
    // Focus went elsewhere (another window or another control): editing ends here.
    if (!m_editing)
        return;
    HideEdit();
    SetState(m_enabled ? 0 : 3);
}

void MEdit::OnEditDestroyed()
{
    CEditWnd* edit = m_edit;
    m_edit = nullptr;
    m_editing = false;
    m_focused = 0;
    delete edit;
    UpdateControl(1);
}

// ---------------------------------------------------------------- look

HFONT MEdit::GetDefaultFont()
{
    if (!m_font)
        SetEditFont();
    return m_font;
}

void MEdit::SetEditFont()
{
    SetEditFont(m_fontName, m_fontSize, m_fontStyle & 1, (m_fontStyle >> 2) & 1, (m_fontStyle >> 1) & 1);
}

void MEdit::SetEditFont(const wchar_t* face, int size, int bold, int underline, int italic)
{
    LOGFONTW lf = {};
    lf.lfHeight = -size;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy(lf.lfFaceName, face ? face : L"", LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&lf);
    if (!font)
        return;
    if (m_edit && m_edit->GetHWND())
        ::SendMessageW(m_edit->GetHWND(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
    UpdateControl(1);
}

COLORREF MEdit::GetEditTextColor() const
{
    return RGB((m_textColor >> 16) & 0xFF, (m_textColor >> 8) & 0xFF, m_textColor & 0xFF);
}

void MEdit::SetTextRect(CRect rect)
{
    m_textRect = rect;
    m_textRectExplicit = true;
    UpdateControl(1);
}

CRect MEdit::GetTextRect() { return CalcTextRect(); }

CRect MEdit::CalcTextRect() const
{
    if (m_textRectExplicit)
        return m_textRect;
    CRect r;
    if (m_multiLine) {
        r.SetRect(m_rect.left + 6, m_rect.top + 5, m_rect.right - 6, m_rect.bottom - 5);
    } else {
        const int band = m_fontSize == 10 ? 14 : m_fontSize == 12 ? 18 : m_fontSize;
        const int top = m_rect.top + (m_rect.Height() - band) / 2;
        r.SetRect(m_rect.left + 8, top, m_rect.right - 8, top + band);
    }
    if (m_icon)
        r.right -= m_iconW + 6;
    return r;
}

int MEdit::SetIconImage(const wchar_t* file, int count)
{
    if (!file || !*file)
        return 0;
    Gdiplus::Image* image = MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + file));
    if (!image)
        return 0;
    delete m_icon;
    m_icon = image;
    m_iconCount = std::max(count, 1);
    m_iconW = static_cast<int>(image->GetWidth()) / m_iconCount;
    m_iconH = static_cast<int>(image->GetHeight());
    SetControlRect(m_rect);
    UpdateControl(1);
    return 1;
}

// ---------------------------------------------------------------- flags

void MEdit::SetNumberOnly(int numberOnly)
{
    m_numberOnly = numberOnly != 0;
    if (HWND hwnd = GetEditHWND()) {
        LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
        SetWindowLongPtrW(hwnd, GWL_STYLE, m_numberOnly ? (style | ES_NUMBER) : (style & ~static_cast<LONG_PTR>(ES_NUMBER)));
    }
}

void MEdit::SetReadOnly(int readOnly)
{
    m_readOnly = readOnly != 0;
    if (HWND hwnd = GetEditHWND())
        ::SendMessageW(hwnd, EM_SETREADONLY, m_readOnly ? TRUE : FALSE, 0);
    if (m_readOnly && m_editing)
        HideEdit();
}

void MEdit::SetLimitText(int limit)
{
    m_limitText = limit;
    if (HWND hwnd = GetEditHWND())
        ::SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(limit, 0)), 0);
}

HWND MEdit::GetEditHWND() const { return m_edit ? m_edit->GetHWND() : nullptr; }

int MEdit::IsEditFocused() const
{
    HWND hwnd = GetEditHWND();
    return hwnd && IsWindowVisible(hwnd) && ::GetFocus() == hwnd ? 1 : 0;
}

// ---------------------------------------------------------------- the native window

void MEdit::ShowEdit()
{
    if (m_readOnly || !m_enabled || !m_manager)
        return;
    HWND parent = m_manager->GetPaintWnd();
    if (!parent || !IsWindow(parent))
        return;
    CRect r = CalcTextRect();
    if (r.IsRectEmpty()) {
        r = m_rect;
        r.DeflateRect(6, 0, 6, 0);
        if (!m_multiLine) {
            const int band = m_fontSize + 2;
            r.top = m_rect.top + (m_rect.Height() - band) / 2;
            r.bottom = r.top + band;
        }
    }
    const bool layered = m_manager->IsLayered() != 0;
    CRect place = r;
    if (layered) {
        POINT origin = {0, 0};
        ClientToScreen(parent, &origin);
        place.OffsetRect(origin.x, origin.y);
    }
    HWND hwnd = GetEditHWND();
    if (!hwnd) {
        DWORD style = m_multiLine ? (layered ? 0x90000044 : 0x40000044) : (layered ? 0x90000080 : 0x40000080);
        if (m_hAlign == 1)
            style |= ES_CENTER;
        else if (m_hAlign == 2)
            style |= ES_RIGHT;
        if (m_password)
            style |= ES_PASSWORD;
        if (m_numberOnly)
            style |= ES_NUMBER;
        m_edit = new CEditWnd(this);
        hwnd = m_edit->Create(parent, style & ~WS_VISIBLE, place);
        if (!hwnd) {
            delete m_edit;
            m_edit = nullptr;
            return;
        }
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetDefaultFont()), FALSE);
        ::SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(m_limitText, 0)), 0);
        if (m_password)
            ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, m_passwordChar, 0);
        m_edit->SetText(m_title);
        ::SendMessageW(hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
        EnableWindow(hwnd, m_enabled ? TRUE : FALSE);
        ::SendMessageW(hwnd, EM_SETREADONLY, m_readOnly ? TRUE : FALSE, 0);
        m_editing = true; // before the focus moves: the owner hears of focus changes now
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::SetFocus(hwnd);
        ::SendMessageW(hwnd, EM_SETSEL, 0, -1);
    } else {
        const bool wasEditing = m_editing;
        SetWindowPos(hwnd, nullptr, place.left, place.top, place.Width(), place.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (!wasEditing)
            m_edit->SetText(m_title);
        m_editing = true;
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        if (!wasEditing) {
            const int length = GetWindowTextLengthW(hwnd);
            ::SendMessageW(hwnd, EM_SETSEL, length, length);
        }
        ::SetFocus(hwnd);
        if (wasEditing)
            return; // already editing: no second start
    }
    m_focused = 1;
    SendMessage(MN_EDIT_START, 0, 0);
}

void MEdit::HideEdit()
{
    m_focused = 0;
    if (!m_editing)
        return;
    m_editing = false; // before hiding: the focus loss that follows is not a second end
    HWND hwnd = GetEditHWND();
    if (hwnd && IsWindowVisible(hwnd)) {
        const CString text = m_edit->GetText();
        if (text != m_title) {
            m_title = text;
            UpdateControl(1);
        }
        ShowWindow(hwnd, SW_HIDE);
    }
    SendMessage(MN_EDIT_END, 0, 0);
}

// ---------------------------------------------------------------- state and input

void MEdit::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0);
}

void MEdit::SetIconState(int state)
{
    if (state == m_iconState)
        return;
    m_iconState = state;
    UpdateControl(0);
}

int MEdit::SetControlFocus(int focus)
{
    MControl::SetControlFocus(focus);
    if (!m_enabled)
        return 0;
    const int old = m_state;
    if (focus) {
        ShowEdit();
        m_state = 2;
    } else {
        HideEdit();
        m_state = 0;
    }
    if (old != m_state) {
        UpdateControl(1);
        return 1;
    }
    return 0;
}

void MEdit::SetControlRect(CRect rect)
{
    MControlFont::SetControlRect(rect);
    if (m_icon)
        m_iconRect.SetRect(rect.right - m_iconW - 9, rect.top + (rect.Height() - m_iconH) / 2, rect.right - 9,
                           rect.top + (rect.Height() - m_iconH) / 2 + m_iconH);
    else
        m_iconRect.SetRectEmpty();
    if (m_editing && GetEditHWND()) {
        CRect r = CalcTextRect();
        if (m_manager && m_manager->IsLayered()) {
            POINT origin = {0, 0};
            ClientToScreen(m_manager->GetPaintWnd(), &origin);
            r.OffsetRect(origin.x, origin.y);
        }
        SetWindowPos(GetEditHWND(), nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MEdit::SetControlVisible(int visible)
{
    MControlFont::SetControlVisible(visible);
    SetControlWndVisible(visible);
}

void MEdit::SetControlWndVisible(int visible)
{
    if (!visible && m_editing)
        HideEdit();
}

void MEdit::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    if (!enabled && m_editing)
        HideEdit();
    m_state = enabled ? 0 : 3;
}

int MEdit::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (m_state != 2)
        SetState(inside ? 1 : 0);
    if (m_icon)
        SetIconState(m_iconRect.PtInRect(pt) ? (m_iconState == 2 ? 2 : 1) : 0);
    return inside ? 1 : 0;
}

int MEdit::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    if (m_icon && m_iconRect.PtInRect(pt)) {
        SetIconState(2);
        HideEdit();
        SendMessage(MN_TAB_BUTTON, 0, 0);
        return 1;
    }
    SetState(2);
    ShowEdit();
    SendMessage(MN_PRESSED, 0, 0);
    return 1;
}

int MEdit::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt)) {
        SetIconState(0);
        if (!m_editing)
            SetState(0);
        return 0;
    }
    if (m_icon && m_iconRect.PtInRect(pt) && m_iconState == 2) {
        SetIconState(1);
        HideEdit();
        SendMessage(MN_EDIT_BUTTON_UP, 0, 0);
    }
    if (m_state == 2) {
        // While editing the box keeps its focused look.
        if (!m_editing)
            SetState(1);
        SendMessage(MN_CLICKED, 0, 0);
    }
    return 1;
}

int MEdit::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    if (key == VK_SPACE && modifiers == 0 && m_focused && m_enabled) {
        SendMessage(MN_PRESSED, 0, 0);
        SendMessage(MN_CLICKED, 0, 0);
        return 1;
    }
    return MControlFont::OnControlKeyDown(key, repeat, modifiers);
}

// ---------------------------------------------------------------- face

void MEdit::DrawSlots(HDC& dc, int w, int h)
{
    if (!PrepareFaceSlots(dc, 4))
        return;
    {
        MBitsGraphics bitsGraphics(m_cacheBits, w * 4, h);
        if (bitsGraphics.ok())
            for (int i = 0; i < 4; ++i)
                DrawImageState(*bitsGraphics, CRect(i * w, 0, (i + 1) * w, h), i, m_corner);
    }
    const bool showTip = m_title.IsEmpty();
    if (showTip && m_tip.IsEmpty())
        return;
    CString text = showTip ? m_tip : m_title;
    if (!showTip && m_password)
        text = CString(std::wstring(m_title.size(), m_passwordChar));
    UINT format;
    if (m_multiLine)
        format = DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL;
    else if (m_hAlign == 1)
        format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
    else
        format = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_WORD_ELLIPSIS;
    CRect textRect = CalcTextRect();
    textRect.OffsetRect(-m_rect.left, -m_rect.top);
    HFONT font = GetDefaultFont();
    for (int i = 0; i < 4; ++i) {
        CRect slot = textRect;
        slot.OffsetRect(i * w, 0);
        const COLORREF color = (showTip || i == 3) ? kGrey : GetEditTextColor();
        MRender::DrawTextW(m_memDC, slot, text, color, font, format);
    }
    GdiFlush();
}

void MEdit::DrawIcon(HDC& dc)
{
    if (!m_icon || m_iconW <= 0 || m_iconH <= 0 || m_iconRect.IsRectEmpty())
        return;
    Gdiplus::Graphics g(dc);
    const int frame = std::min(m_iconState, m_iconCount - 1);
    g.DrawImage(m_icon, Gdiplus::Rect(m_iconRect.left, m_iconRect.top, m_iconRect.Width(), m_iconRect.Height()),
                frame * m_iconW, 0, m_iconW, m_iconH, Gdiplus::UnitPixel);
}

void MEdit::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update)
        DrawSlots(dc, w, h);
    BlitCache(dc, std::min(std::max(m_state, 0), 3) * w);
    DrawIcon(dc);
}
