#include "CRadioButton.h"

#include "ButtonGroup.h"

CRadioButton::CRadioButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : CCheckButton(parent, id, rect, title, visible, enabled)
{
}

const wchar_t* CRadioButton::GetClassName() { return L"RadioButton"; }

int CRadioButton::SetCheck(int check)
{
    const int old = m_check;
    const int now = CCheckButton::SetCheck(check);
    if (now != old)
        ResetGroupCheck();
    return now;
}

void CRadioButton::SetControlCheck(int check)
{
    m_check = check;
    SetState(check ? BS_CHECKED : BS_NORMAL);
}

int CRadioButton::ResetGroupCheck()
{
    return ForEachGroupMember(this, GetClassName(), [this](MControl* c) {
        auto* radio = dynamic_cast<CRadioButton*>(c);
        if (!radio || radio->m_group != m_group)
            return;
        radio->m_check = 0;
        radio->SetState(radio->m_enabled ? BS_NORMAL : BS_DISABLED);
    });
}

void CRadioButton::OnClick()
{
    m_check = 1;
    ResetGroupCheck();
    SendMessage(MN_CLICKED);
}

void CRadioButton::OnKeyCheck()
{
    if (!m_enabled)
        return;
    SetCheck(1);
    SendMessage(MN_CHECK_BY_KEY, 0, m_check);
}

Gdiplus::RectF CRadioButton::TitleBox(const Gdiplus::Font& font, int fw, int)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    const CSize text = MeasureText(font, m_title);
    const int x = m_hAlign == 1 ? (w - text.cx) / 2 : m_hAlign == 2 ? w - text.cx : 0;
    const int y = m_vAlign == 4 ? (h - text.cy) / 2 : m_vAlign == 8 ? h - text.cy : 0;
    return Gdiplus::RectF(static_cast<Gdiplus::REAL>(x + fw + 8), static_cast<Gdiplus::REAL>(y + 2),
                          static_cast<Gdiplus::REAL>(w - fw - x - 3), static_cast<Gdiplus::REAL>(text.cy));
}
