#include "MSpinButton.h"

#include <algorithm>
#include <string>

#include "MRender.h"
#include "PaintManager.h"

namespace {
const int kCorner = 6;
const Gdiplus::ARGB kHighlight = 0xFE3399FF;
const Gdiplus::ARGB kGreyText = 0xFF808080;
} // namespace

MSpinButton::MSpinButton(MObject* parent, UINT id, CRect rect, int visible, int enabled) : MPanel(parent, id, rect, visible)
{
    m_enabled = enabled;
    m_state = enabled ? 0 : 3;
    m_textColor = 0xFE050505;
}

void MSpinButton::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    CreateArrowButtons(*this, m_up, m_down);
    LayoutButtons();
}

void MSpinButton::CreateArrowButtons(MPanel& owner, MControl*& up, MControl*& down)
{
    const int enabled = owner.IsEnabled();
    if (!up) {
        up = owner.CreateControl(L"CImageButton", kUpButtonId, CRect(), L"", 1, enabled);
        if (auto* button = dynamic_cast<MControlFont*>(up))
            button->SetImage(L"img_spin_up.png", 4);
    }
    if (!down) {
        down = owner.CreateControl(L"CImageButton", kDownButtonId, CRect(), L"", 1, enabled);
        if (auto* button = dynamic_cast<MControlFont*>(down))
            button->SetImage(L"img_spin_down.png", 4);
    }
}

void MSpinButton::LayoutButtons()
{
    const int mid = m_rect.top + m_rect.Height() / 2;
    if (auto* up = dynamic_cast<MControlFont*>(m_up)) {
        const CSize s = up->GetImageSize();
        up->SetRect(CRect(m_rect.right - s.cx - 4, mid - s.cy, m_rect.right - 4, mid));
    }
    if (auto* down = dynamic_cast<MControlFont*>(m_down)) {
        const CSize s = down->GetImageSize();
        down->SetRect(CRect(m_rect.right - s.cx - 4, mid, m_rect.right - 4, mid + s.cy));
    }
}

void MSpinButton::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    LayoutButtons();
}

void MSpinButton::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    m_state = enabled ? 0 : 3;
}

void MSpinButton::SetLimitLength(int length) { m_limit = std::min(std::max(length, 1), kMaxLimitLength); }

void MSpinButton::SetCurValue(int value)
{
    m_value = value;
    UpdateControl(1);
}

void MSpinButton::Commit(int value)
{
    if (value != m_value) {
        m_value = value;
        UpdateControl(1);
    }
    SendMessage(MN_SPIN_CHANGED, 0, 0);
}

void MSpinButton::StepUp()
{
    const long long next = static_cast<long long>(m_value) + 1;
    Commit(next > m_max ? m_min : static_cast<int>(next));
}

void MSpinButton::StepDown()
{
    const long long next = static_cast<long long>(m_value) - 1;
    Commit(next < m_min ? m_max : static_cast<int>(next));
}

LRESULT MSpinButton::OnMessage(UINT id, UINT code, WPARAM, LPARAM)
{
    // The arrow buttons are parts of the box: their notifications stop here, and so do
    // those of any other child.
    if (code == MN_CLICKED && id == kUpButtonId)
        StepUp();
    else if (code == MN_CLICKED && id == kDownButtonId)
        StepDown();
    return 0;
}

int MSpinButton::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    if (!m_focused || !m_enabled)
        return MPanel::OnControlKeyDown(key, repeat, modifiers);
    int digit = -1;
    if (key >= '0' && key <= '9')
        digit = static_cast<int>(key - '0');
    else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        digit = static_cast<int>(key - VK_NUMPAD0);
    switch (key) {
    case VK_UP:
    case VK_ADD:
        StepUp();
        return 1;
    case VK_DOWN:
    case VK_SUBTRACT:
        StepDown();
        return 1;
    case VK_BACK: {
        const int value = m_value > 9 ? m_value / 10 : 0;
        if (value != m_value) {
            m_value = value;
            UpdateControl(1);
            SendMessage(MN_SPIN_CHANGED, 0, 0);
        }
        return 1;
    }
    case VK_LEFT:
    case VK_RIGHT:
        return 1;
    default:
        break;
    }
    if (digit < 0)
        return MPanel::OnControlKeyDown(key, repeat, modifiers);
    // The typed digit is appended; a value that would grow past the limit starts again
    // from the digit. The limit is at most 9 digits, so the text always fits an int.
    std::wstring text = std::to_wstring(m_value) + static_cast<wchar_t>(L'0' + digit);
    long long value = static_cast<int>(text.size()) > m_limit ? digit : std::stoll(text);
    if (value > m_max)
        value = m_min;
    else if (value < m_min)
        value = m_max;
    Commit(static_cast<int>(value));
    return 1;
}

int MSpinButton::SetControlFocus(int focus)
{
    MPanel::SetControlFocus(focus);
    if (!m_enabled)
        return 0;
    const int focused = focus ? 1 : 0;
    if (focused == m_focused)
        return 0;
    m_focused = focused;
    UpdateControl(1);
    return 1;
}

void MSpinButton::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0);
}

int MSpinButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (!m_pressed)
        SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int MSpinButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    SetState(2);
    return 1;
}

int MSpinButton::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    SetState(m_rect.PtInRect(pt) ? 1 : 0);
    return 1;
}

void MSpinButton::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update) {
        if (!PrepareFaceSlots(dc, 4))
            return;
        MBitsGraphics bitsGraphics(m_cacheBits, w * 4, h);
        if (bitsGraphics.ok()) {
            Gdiplus::Graphics& g = *bitsGraphics;
            CString text;
            text.Format(L"%d", m_value);
            const UINT h0 = m_hAlign, v0 = m_vAlign;
            m_hAlign = 0;
            m_vAlign = 4;
            for (int i = 0; i < 4; ++i) {
                const int left = i * w;
                DrawImageState(g, CRect(left, 0, left + w, h), i, kCorner);
                if (m_focused) {
                    Gdiplus::SolidBrush highlight{Gdiplus::Color(kHighlight)};
                    g.FillRectangle(&highlight, left + 5, h / 2 - 7, w - 28, 14);
                }
                DrawTitleText(g, text, CRect(left + 4, 0, left + 4 + w - 18, h), i == 3 ? kGreyText : m_textColor);
            }
            m_hAlign = h0;
            m_vAlign = v0;
        }
    }
    BlitCache(dc, std::min(std::max(m_state, 0), 3) * w);
}
