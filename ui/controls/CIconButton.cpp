#include "CIconButton.h"

#include <algorithm>

#include "ButtonGroup.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

namespace {
const int kFaceCorner = 20;
const Gdiplus::ARGB kDimText = 0xFEC8C8C8;
} // namespace

IconButtonTipsFactory CIconButton::s_tipsFactory = nullptr;

CIconButton::CIconButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MStateButton(parent, id, rect, title, visible, enabled)
{
}

CIconButton::~CIconButton() { delete m_iconImage; }

const wchar_t* CIconButton::GetClassName() { return L"IconButton"; }

void CIconButton::SetTipsFactory(IconButtonTipsFactory factory) { s_tipsFactory = factory; }

int CIconButton::ShownSlot() const { return m_check ? BS_DISABLED : m_down ? BS_HOVER : m_state; }

void CIconButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    std::unique_ptr<Gdiplus::Font> normal, larger;
    if (!m_title.IsEmpty()) {
        normal = MakeTitleFont();
        larger = MakeTitleFont(2);
    }
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    g.SetTextRenderingHint(m_renderingHint);
    const bool hasTextRect = !m_textRect.IsRectEmpty();
    for (int i = 0; i < 4; ++i) {
        const CRect slot(i * w, 0, (i + 1) * w, h);
        DrawImageState(g, slot, i, kFaceCorner);
        if (!normal)
            continue;
        CRect box = slot;
        Gdiplus::ARGB color = m_textColor;
        if (hasTextRect) {
            box = m_textRect;
            box.OffsetRect(slot.left, 0);
            if (i == BS_PRESSED)
                box.OffsetRect(1, 1);
            if (i != BS_HOVER)
                color = kDimText;
        }
        Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
        Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top),
                              static_cast<Gdiplus::REAL>(box.Width()), static_cast<Gdiplus::REAL>(box.Height()));
        g.DrawString(m_title, -1, i == 0 ? normal.get() : larger.get(), layout, &format, &brush);
    }
}

int CIconButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_pressing)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    ShowCursorFor(inside);
    SetState(inside ? BS_HOVER : BS_NORMAL);
    SetTips(inside);
    return inside ? 1 : 0;
}

int CIconButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    m_pressing = true;
    m_down = 1;
    SetState(BS_PRESSED);
    SendMessage(MN_PRESSED);
    return 1;
}

int CIconButton::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool clicked = m_pressing && m_rect.PtInRect(pt);
    m_pressing = false;
    if (!clicked) {
        SetState(BS_NORMAL);
        return 0;
    }
    m_down = 1;
    ResetGroupCheck();
    SetState(BS_PRESSED);
    UpdateControl(0);
    SendMessage(MN_CLICKED);
    return 1;
}

int CIconButton::SetCheck(int check)
{
    m_check = check;
    m_state = m_enabled ? BS_NORMAL : BS_DISABLED;
    m_down = 0;
    UpdateControl(1);
    return 1;
}

int CIconButton::SetDownState(int)
{
    m_state = m_enabled ? BS_NORMAL : BS_DISABLED;
    m_down = 0;
    UpdateControl(1);
    return 1;
}

void CIconButton::SetControlCheck(int check)
{
    m_down = check;
    m_state = check ? BS_PRESSED : BS_NORMAL;
    UpdateControl(0);
}

int CIconButton::ResetGroupCheck()
{
    return ForEachGroupMember(this, GetClassName(), [this](MControl* c) {
        auto* other = dynamic_cast<CIconButton*>(c);
        if (!other || !other->IsVisible() || !other->IsEnabled() || other->m_group != m_group)
            return;
        other->m_down = 0;
        other->m_state = BS_NORMAL;
        other->UpdateControl(0);
    });
}

int CIconButton::SetIconImage(const wchar_t* file, int count)
{
    delete m_iconImage;
    m_iconImage = nullptr;
    m_iconFrameW = m_iconH = 0;
    if (file && *file)
        m_iconImage = MRender::LoadImageFromFile(Manager::GetSkinFolder() + file);
    if (!m_iconImage)
        return 0;
    m_iconFrameW = static_cast<int>(m_iconImage->GetWidth()) / std::max(count, 1);
    m_iconH = static_cast<int>(m_iconImage->GetHeight());
    return 1;
}

void CIconButton::SetTextRect(CRect rect)
{
    m_textRect = rect;
    UpdateControl(1);
}

void CIconButton::SetTips(CString title, CString line2, CString line3)
{
    m_tips[0] = title;
    m_tips[1] = line2;
    m_tips[2] = line3;
}

void CIconButton::SetTips(bool show)
{
    if (!m_showTips)
        return;
    if (!show) {
        if (m_tipsWindow)
            m_tipsWindow->HideTips();
        return;
    }
    if (!m_tipsWindow && s_tipsFactory)
        m_tipsWindow.reset(s_tipsFactory());
    if (!m_tipsWindow)
        return;
    HWND owner = m_manager ? m_manager->GetPaintWnd() : nullptr;
    POINT anchor{m_rect.left + m_rect.Width() / 2, m_rect.top + 10};
    if (owner)
        ::ClientToScreen(owner, &anchor);
    m_tipsWindow->ShowTips(owner, anchor, m_tips[0], m_tips[1], m_tips[2]);
}
