#include "MPanel.h"

#include <algorithm>

#include "ControlFactory.h"
#include "PaintManager.h"

namespace {

// One of the panel's own bars, made by the class-name table (the core knows the bars only
// through MScrollBar).
MScrollBar* MakeBar(MPanel* panel, const wchar_t* className, UINT id, CRect rect)
{
    MControl* made = ConstructPart(panel, className, id, rect, 1);
    MScrollBar* bar = dynamic_cast<MScrollBar*>(made);
    if (!bar)
        delete made;
    return bar;
}

} // namespace

MPanel::MPanel(MObject* parent, UINT id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
    m_dblClkMode = 1;
    // The scroll bars come first in the controls list: ids 1 and 2 are taken in every panel.
    m_vbar = MakeBar(this, L"CScrollVertical", 1, CRect(-m_barThickness, 0, 0, 0));
    m_hbar = MakeBar(this, L"CScrollHorizontal", 2, CRect(0, -m_barThickness, 0, 0));
    if (m_vbar)
        AddChild(m_vbar, 1);
    if (m_hbar)
        AddChild(m_hbar, 1);
}

void MPanel::InitControl(PaintManager* manager)
{
    m_init = 1;
    for (MControl* c : SnapshotChildren()) {
        if (!c->GetManager()) {
            c->SetManager(manager);
            c->InitControl(manager);
        }
    }
}

void MPanel::DrawControl(HDC&, CRect) {}

bool MPanel::ContentFits() const { return m_virtualH <= m_rect.Height() && m_virtualW <= m_rect.Width(); }

int MPanel::DrawSubControls(HDC& dc, CRect clip)
{
    // Scrolled content is drawn by the scrolling subclass.
    if (m_enableScroll && !ContentFits())
        return 0;
    return MControl::DrawSubControls(dc, clip);
}

int MPanel::GetScrollOffsetY() const
{
    if (!m_enableScroll || ContentFits() || !m_vbar)
        return 0;
    const int range = m_vbar->GetScrollMaxRange();
    if (range <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(m_rect.top + m_virtualH - m_rect.bottom) *
                            m_vbar->GetScrollCurrentPos() / range);
}

int MPanel::GetScrollOffsetX() const
{
    if (!m_enableScroll || ContentFits() || !m_hbar)
        return 0;
    const int range = m_hbar->GetScrollMaxRange();
    if (range <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(m_rect.left + m_virtualW - m_rect.right) *
                            m_hbar->GetScrollCurrentPos() / range);
}

int MPanel::OnMousePointChange(CPoint& pt)
{
    if (!m_enableScroll || ContentFits())
        return 0;
    pt.x += GetScrollOffsetX();
    pt.y += GetScrollOffsetY();
    return 1;
}

LRESULT MPanel::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    MAutoLock guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (m_controls[i]->OnWindowMessage(msg, wparam, lparam))
            return 1;
    return 0;
}

LRESULT MPanel::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    return m_parent ? m_parent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

LRESULT MPanel::OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    return OnMessage(id, code, wparam, lparam);
}

LRESULT MPanel::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    if (!control)
        return 0;
    if (m_manager && m_manager->IsForeignThread()) {
        m_manager->DeferUpdate(control, rect, rebuild);
        return 0;
    }
    const DWORD back = m_manager ? m_manager->GetBackColor() : 0;
    if (rebuild)
        control->SetUpdate(0, back);
    CRect dirty = rect;
    if (m_init) {
        MAutoLock guard(m_controlsLock);
        bool met = false;
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* c = m_controls[i];
            if (c == control) {
                met = true;
            } else if (met && c->IsVisible() && c->GetRect().Intersects(rect)) {
                c->SetUpdate(0, back);
                dirty |= c->GetRect();
            }
        }
    }
    dirty.OffsetRect(-GetScrollOffsetX(), -GetScrollOffsetY());
    dirty |= m_rect;
    if (m_manager)
        m_manager->InvalidateRect(dirty, 0);
    return 0;
}

void MPanel::UpdateScrollBars()
{
    if (m_vbar) {
        m_vbar->SetVisible(m_virtualH > m_rect.Height() ? 1 : 0);
        m_vbar->SetScrollMaxRange(m_virtualH);
    }
    if (m_hbar) {
        m_hbar->SetVisible(m_virtualW > m_rect.Width() ? 1 : 0);
        m_hbar->SetScrollMaxRange(m_virtualW);
    }
}

void MPanel::SetControlRect(CRect rect)
{
    m_rect = rect;
    m_virtualH = m_virtualW = 0;
    if (m_vbar)
        m_vbar->SetRect(CRect(rect.right - m_barThickness, rect.top, rect.right, rect.bottom));
    if (m_hbar)
        m_hbar->SetRect(CRect(rect.left, rect.bottom - m_barThickness, rect.right, rect.bottom));
    UpdateScrollBars();
}

void MPanel::SetVirtualHeight(int height)
{
    m_virtualH = std::max(height, 0);
    UpdateScrollBars();
    UpdateControl(1);
}

void MPanel::SetVirtualWidth(int width)
{
    m_virtualW = std::max(width, 0);
    UpdateScrollBars();
    UpdateControl(1);
}

void MPanel::SetControlVisible(int visible)
{
    m_visible = visible;
    SetControlWndVisible(visible);
}

void MPanel::SetControlEnabled(int enabled)
{
    m_enabled = enabled;
    std::vector<MControl*> children;
    {
        MAutoLock guard(m_controlsLock);
        children = m_controls;
    }
    for (MControl* c : children)
        if ((c->IsEnabled() != 0) != (enabled != 0))
            c->SetEnabled(enabled); // requests a rebuild when the child is visible
}

int MPanel::OnControlScroll(int, UINT down, CPoint)
{
    if (m_enableScroll && m_virtualH >= m_rect.Height() && m_vbar) {
        const int range = m_vbar->GetScrollMaxRange();
        const int old = m_vbar->GetScrollCurrentPos();
        const int step = m_vbar->GetScrollStep();
        const int pos = std::min(std::max(down == 1 ? old + step : old - step, 0), std::max(range, 0));
        if (pos != old) {
            m_vbar->SetScrollCurrentPos(pos);
            UpdateControl(1);
            m_vbar->UpdateControl(1);
        }
    }
    return 1;
}

MControl* MPanel::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                             int enabled)
{
    return CreateControl(0, this, className, id, rect, title, visible, enabled);
}

MControl* MPanel::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                const wchar_t* title, int visible, int enabled)
{
    MControl* c = ConstructControl(0, parent, className, id, rect, title, visible, enabled);
    if (!c)
        return nullptr;
    if (m_manager) {
        c->SetManager(m_manager);
        c->InitControl(m_manager);
    }
    AddChild(c, kind);
    return c;
}

MControl* MPanel::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                int enabled)
{
    return CreateControl(1, this, className, id, rect, title, visible, enabled);
}

int MPanel::OnControlKeyUp(UINT, UINT, UINT) { return 0; }
