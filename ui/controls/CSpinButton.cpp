#include "CSpinButton.h"

#include "MSpinButton.h"

CSpinButton::CSpinButton(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MRichEdit(parent, id, rect, L"", visible, enabled)
{
    m_textColor = 0xFE050505;
    m_richTextColor = RGB(0x05, 0x05, 0x05);
    m_style = 0x100080;
    SetCurValue(0);
}

void CSpinButton::InitControl(PaintManager* manager)
{
    MRichEdit::InitControl(manager);
    MSpinButton::CreateArrowButtons(*this, m_up, m_down);
    LayoutButtons();
}

void CSpinButton::LayoutButtons()
{
    const int mid = m_rect.top + m_rect.Height() / 2;
    if (auto* up = dynamic_cast<MControlFont*>(m_up)) {
        const CSize s = up->GetImageSize();
        up->SetRect(CRect(m_rect.right - s.cx, mid - s.cy, m_rect.right, mid));
    }
    if (auto* down = dynamic_cast<MControlFont*>(m_down)) {
        const CSize s = down->GetImageSize();
        down->SetRect(CRect(m_rect.right - s.cx, mid, m_rect.right, mid + s.cy));
    }
}

void CSpinButton::SetControlRect(CRect rect)
{
    MRichEdit::SetControlRect(rect);
    LayoutButtons();
}

CRect CSpinButton::GetTextArea() const
{
    const int inset = m_rect.Height() / 2 - 8;
    return CRect(m_rect.left + m_padding.left, m_rect.top + inset, m_rect.right - m_padding.right - 15,
                 m_rect.bottom - inset);
}

void CSpinButton::SetCurValue(int value)
{
    m_value = value;
    CString text;
    text.Format(L"%d", value);
    SetControlTitle(text);
    UpdateControl(1);
}

void CSpinButton::Step(int delta)
{
    const long long next = static_cast<long long>(m_value) + delta;
    SetCurValue(next > m_max ? m_min : next < m_min ? m_max : static_cast<int>(next));
    SendMessage(MN_SPIN_CHANGED, 0, 0);
}

LRESULT CSpinButton::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    if (id == kUpButtonId || id == kDownButtonId) {
        if (code == MN_CLICKED)
            Step(id == kUpButtonId ? 1 : -1);
        return 0;
    }
    return MRichEdit::OnMessage(id, code, wparam, lparam);
}
