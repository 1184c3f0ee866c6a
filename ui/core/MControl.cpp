#include "MControl.h"

#include <algorithm>
#include <cwchar>

#include "MRender.h"
#include "PaintManager.h"

// ---------------------------------------------------------------- MObject

MObject::~MObject() = default;

int MObject::IsClass(const wchar_t* name)
{
    const wchar_t* mine = GetClassName();
    return mine && name && wcscmp(mine, name) == 0 ? 1 : 0;
}

const wchar_t* MObject::GetClassName() { return nullptr; }
const wchar_t* MObject::GetObjectClass() { return nullptr; }
const wchar_t* MObject::BaseObjectClassName() { return nullptr; }
LRESULT MObject::OnBaseMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }
LRESULT MObject::OnControlUpdate(CRect, int, MControl*) { return 0; }

// ---------------------------------------------------------------- construction

MControl::MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled, int response)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible), m_enabled(enabled), m_response(response)
{
}

MControl::~MControl()
{
    // Nobody may reach this control once it is gone: the window's hover, focus, caret,
    // periodic tick and timers, and the owner's hover child.
    if (m_manager)
        m_manager->ForgetControl(this);
    if (MControl* owner = dynamic_cast<MControl*>(m_parent))
        owner->ForgetChild(this);
    RemoveAllControl();
    ReleaseSurface(m_cacheBmp, m_memDC, m_oldObj);
    ReleaseSurface(m_animBmp, m_animDC, m_animOldObj);
}

const wchar_t* MControl::GetClassName() { return L"FSControl"; }

// ---------------------------------------------------------------- default behaviour

void MControl::InitControl(PaintManager*) {}

int MControl::PtInRect(CPoint pt) { return m_visible && m_rect.PtInRect(pt) ? 1 : 0; }

int MControl::DrawSubControls(HDC& dc, CRect clip)
{
    MAutoLock guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* c = m_controls[i];
        if (c->m_visible)
            c->Draw(dc, clip);
    }
    return 1;
}

int MControl::IsDraw(CPoint) { return 0; }

void MControl::SetUpdate(int update, DWORD backColor)
{
    m_update = update;
    MAutoLock guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* c = m_controls[i];
        if (c->m_rect.Intersects(m_rect))
            c->SetUpdate(update, backColor);
    }
}

int MControl::SetControlFocus(int focus)
{
    if (!focus) {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i)
            m_controls[i]->SetControlFocus(0);
    }
    return 0;
}

void MControl::InitUI(CRect) {}
int MControl::OnMousePointChange(CPoint&) { return 0; }
int MControl::OnCheckMouseResponse(UINT, CPoint) { return 1; }
LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM) { return 0; }
LRESULT MControl::OnMessage(UINT, UINT, WPARAM, LPARAM) { return 0; }
void MControl::SetControlRect(CRect rect) { m_rect = rect; }
void MControl::SetControlVisible(int visible) { m_visible = visible; }
void MControl::SetControlWndVisible(int) {}
void MControl::SetControlEnabled(int enabled) { m_enabled = enabled; }
int MControl::OnControlTimer() { return 0; }
HBITMAP MControl::GetControlDropBitmap() { return nullptr; }
int MControl::OnControlMouseMove(UINT, CPoint) { return 0; }

int MControl::OnControlSetCursor(UINT, CPoint pt)
{
    if (m_cursor && m_rect.PtInRect(pt)) {
        ::SetCursor(m_cursor);
        return 1;
    }
    return 0;
}

int MControl::OnControlLButtonDown(UINT, CPoint) { return 0; }
int MControl::OnControlLButtonUp(UINT, CPoint) { return 0; }
int MControl::OnControlLButtonDblClk(UINT, CPoint) { return 0; }
int MControl::OnControlScroll(int, UINT, CPoint) { return 0; }
int MControl::OnControlRButtonDown(UINT, CPoint) { return 0; }
int MControl::OnControlRButtonUp(UINT, CPoint) { return 0; }
int MControl::OnControlRButtonDblClk(UINT, CPoint) { return 0; }

int MControl::OnControlKeyDown(UINT key, UINT, UINT modifiers)
{
    return m_hotKey && key == m_hotKey && modifiers == m_hotKeyModifiers ? 1 : 0;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, int erase)
{
    if (m_manager)
        m_manager->InvalidateRect(m_rect, erase);
}

// ---------------------------------------------------------------- state with repaint requests

void MControl::RequestUpdate(const CRect& rect, int rebuild)
{
    if (!m_parent)
        return;
    if (m_manager && m_manager->IsForeignThread()) {
        m_manager->DeferUpdate(this, rect, rebuild);
        return;
    }
    m_parent->OnControlUpdate(rect, rebuild, this);
}

void MControl::SetRect(CRect rect)
{
    CRect old = m_rect;
    SetControlRect(rect);
    if (m_visible) {
        CRect dirty;
        dirty.UnionRect(old, m_rect);
        RequestUpdate(dirty, 1);
    }
}

void MControl::SetRect(int x, int y, int cx, int cy) { SetRect(CRect(x, y, x + cx, y + cy)); }

void MControl::SetVisible(int visible) { SetVisible(visible, 1); }

void MControl::SetVisible(int visible, int request)
{
    if ((visible != 0) == (m_visible != 0))
        return;
    SetControlVisible(visible);
    // Requested even when now hidden, so that what lies below is drawn again.
    if (request)
        RequestUpdate(m_rect, 1);
}

void MControl::SetEnabled(int enabled)
{
    if ((enabled != 0) == (m_enabled != 0))
        return;
    SetControlEnabled(enabled);
    if (m_visible)
        RequestUpdate(m_rect, 1);
}

void MControl::UpdateControl(int rebuild, int force)
{
    if (m_visible || force)
        RequestUpdate(m_rect, rebuild);
}

void MControl::UpdateControl(CRect rect, int force, int rebuild)
{
    if (m_visible || force)
        RequestUpdate(rect, rebuild);
}

void MControl::UpdateAControl(int keepAnimation, int force)
{
    m_animateUpdate = keepAnimation ? 0 : 1;
    if (m_visible || force)
        RequestUpdate(m_rect, 0);
}

int MControl::IsParentVisible()
{
    MObject* p = m_parent;
    if (!p)
        return 0;
    while (p) {
        const wchar_t* name = p->GetClassName();
        if (name && wcscmp(name, L"MDialog") == 0)
            return 1;
        MControl* c = dynamic_cast<MControl*>(p);
        if (!c)
            return 1; // a window other than a dialog ends the walk
        if (!c->m_visible)
            return 0;
        p = c->m_parent;
    }
    return 1;
}

LRESULT MControl::SendMessage(UINT code, WPARAM wparam, LPARAM lparam)
{
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wparam, lparam) : 0;
}

// ---------------------------------------------------------------- children

MControl* MControl::GetControl(UINT id) { return FindChild(id); }

void MControl::AddControl(MControl* child)
{
    if (!child)
        return;
    if (m_manager && !child->m_manager) {
        child->SetManager(m_manager);
        child->InitControl(m_manager);
    }
    AddChild(child, 1);
}

void MControl::AddArea(MControl* child)
{
    if (!child)
        return;
    if (m_manager && !child->m_manager) {
        child->SetManager(m_manager);
        child->InitControl(m_manager);
    }
    AddChild(child, 0);
}

void MControl::ForgetChild(MControl* child)
{
    if (m_hover == child)
        m_hover = nullptr;
}

void MControl::RemoveControl(MControl* child)
{
    if (!child)
        return;
    if (!EraseChild(child))
        return; // not a child of this control: not ours to delete
    if (m_manager && m_manager->GetFocusControl() == child)
        m_manager->SetFocusControl(nullptr);
    ForgetChild(child);
    DeleteControl(child);
}

void MControl::RemoveAllControl()
{
    const std::vector<MControl*> controls = TakeChildren(1), areas = TakeChildren(0);
    m_hover = nullptr;
    for (MControl* c : controls)
        DeleteControl(c);
    for (MControl* c : areas)
        DeleteControl(c);
}

void MControl::ForgetTree()
{
    // No list lock is held here: a periodic tick running on this control may need them.
    for (MControl* c : SnapshotChildren())
        c->ForgetTree();
    if (m_manager)
        m_manager->ForgetControl(this);
}

void MControl::DeleteControl(MControl* control)
{
    if (!control)
        return;
    // Unreachable first (and no tick running on it), then destroyed.
    control->ForgetTree();
    delete control;
}

// ---------------------------------------------------------------- timers, tooltip, cursor

void MControl::SetRunTimer(int run)
{
    m_runTimer = run;
    if (m_manager)
        m_manager->RefreshPeriodicTick();
}

int MControl::AddMTimer()
{
    if (!m_manager)
        return 0;
    m_manager->AddMTimer(this);
    return 1;
}

void MControl::SetTooltip(const wchar_t* text) { m_tooltip = CString(text); }

void MControl::SetTooltip(CString text, CRect rect)
{
    if (m_manager)
        m_manager->SetTooltip(text, rect);
}

void MControl::ClearTooltip()
{
    if (m_manager)
        m_manager->ClearTooltip();
}

int MControl::SetCursorEx(const wchar_t* keyword)
{
    static const struct {
        const wchar_t* name;
        LPCWSTR id;
    } cursors[] = {
        {L"arrow", IDC_ARROW}, {L"wait", IDC_WAIT},     {L"cross", IDC_CROSS}, {L"sizewe", IDC_SIZEWE},
        {L"sizens", IDC_SIZENS}, {L"hand", IDC_HAND}, {L"help", IDC_HELP},
    };
    if (!keyword)
        return 0;
    for (const auto& c : cursors) {
        if (wcscmp(keyword, c.name) == 0) {
            m_cursor = LoadCursorW(nullptr, c.id);
            break;
        }
    }
    return 0;
}

// ---------------------------------------------------------------- caches

void MControl::ReleaseSurface(HBITMAP& bmp, HDC& dc, HGDIOBJ& old)
{
    if (dc) {
        if (old)
            SelectObject(dc, old);
        DeleteDC(dc);
    }
    if (bmp)
        DeleteObject(bmp);
    bmp = nullptr;
    dc = nullptr;
    old = nullptr;
}

void MControl::MakeSurface(HDC& target, int cx, int cy, HBITMAP& bmp, HDC& dc, HGDIOBJ& old, BYTE*& bits)
{
    ReleaseSurface(bmp, dc, old);
    bits = nullptr;
    if (cx <= 0 || cy <= 0)
        return;
    bmp = MRender::CreateARGB32Bitmap(target, cx, cy, &bits);
    if (!bmp)
        return;
    dc = ::CreateCompatibleDC(target);
    if (!dc) {
        DeleteObject(bmp);
        bmp = nullptr;
        bits = nullptr;
        return;
    }
    old = SelectObject(dc, bmp);
}

void MControl::UpdateMemDC(HDC& dc, int cx, int cy)
{
    m_update = 1;
    if (m_memDC && cx == m_cacheW && cy == m_cacheH)
        return;
    MakeSurface(dc, cx, cy, m_cacheBmp, m_memDC, m_oldObj, m_cacheBits);
    m_cacheW = m_memDC ? cx : 0;
    m_cacheH = m_memDC ? cy : 0;
}

void MControl::UpdateAnimateDC(HDC& dc, int cx, int cy)
{
    m_animateUpdate = 1;
    if (m_animDC && cx == m_animW && cy == m_animH)
        return;
    MakeSurface(dc, cx, cy, m_animBmp, m_animDC, m_animOldObj, m_animBits);
    m_animW = m_animDC ? cx : 0;
    m_animH = m_animDC ? cy : 0;
}

void MControl::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update) {
        UpdateMemDC(dc, w, h);
        if (!m_memDC)
            return;
        CopyBackground(dc);
        GdiFlush();
        DrawFace(m_memDC, w, h);
    }
    BlitCache(dc);
}

void MControl::DrawFace(HDC&, int, int) {}

bool MControl::PrepareFaceSlots(HDC& dc, int slots)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0 || slots <= 0)
        return false;
    UpdateMemDC(dc, w * slots, h);
    if (!m_memDC)
        return false;
    for (int i = 0; i < slots; ++i)
        ::BitBlt(m_memDC, i * w, 0, w, h, dc, m_rect.left, m_rect.top, SRCCOPY);
    GdiFlush();
    return true;
}

void MControl::CopyBackground(HDC& dc)
{
    if (m_memDC)
        ::BitBlt(m_memDC, 0, 0, m_rect.Width(), m_rect.Height(), dc, m_rect.left, m_rect.top, SRCCOPY);
}

void MControl::BlitCache(HDC& dc, int srcX, int srcY)
{
    if (m_memDC)
        ::BitBlt(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_memDC, srcX, srcY, SRCCOPY);
}

// ---------------------------------------------------------------- dispatch

CPoint MControl::PointFor(const MControl* child, const CPoint& original, const CPoint& translated)
{
    return child->m_id == 1 || child->m_id == 2 ? original : translated;
}

void MControl::Draw(HDC& dc, CRect clip)
{
    if (!m_visible || !m_rect.Intersects(clip))
        return;
    {
        MAutoLock guard(m_areasLock);
        for (size_t i = 0; i < m_areas.size(); ++i) {
            MControl* a = m_areas[i];
            if (a->m_rect.Intersects(m_rect))
                a->Draw(dc, clip);
        }
    }
    DrawControl(dc, clip);
    DrawSubControls(dc, clip);
}

int MControl::OnMouseMove(UINT flags, CPoint pt)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);

    MControl* hover = m_hover;
    if (hover) {
        CPoint hp = PointFor(hover, pt, tp);
        if (m_pressed || (hover->PtInRect(hp) && hover->OnCheckMouseResponse(flags, hp)))
            return hover->OnMouseMove(flags, hp);
    }
    const int hadHover = hover != nullptr;
    m_hover = nullptr;

    if (!m_tooltip.IsEmpty() && m_rect.PtInRect(pt) && OnCheckMouseResponse(flags, pt) && m_manager &&
        m_manager->GetTooltipCtrlID() != static_cast<int>(m_id)) {
        m_manager->SetTooltip(m_tooltip, m_rect);
        m_manager->SetTooltipCtrlID(static_cast<int>(m_id));
    }

    OnControlSetCursor(flags, pt);
    int result = OnControlMouseMove(flags, pt);

    if (!m_pressed) {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size(); ++i) {
            MControl* c = m_controls[i];
            CPoint cp = PointFor(c, pt, tp);
            if (c->OnMouseMove(flags, cp) && c->PtInRect(cp)) {
                m_hover = c;
                result = 1;
            }
        }
    }
    if (m_hover || hadHover)
        result = 1;
    return result;
}

int MControl::ButtonDown(UINT flags, CPoint pt, bool left)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    if (m_rect.PtInRect(pt))
        m_pressed = 1;
    {
        MAutoLock guard(m_controlsLock);
        for (size_t i = m_controls.size(); i-- > 0;) {
            MControl* c = m_controls[i];
            if (c->m_visible && c->m_enabled && c->m_response && c->PtInRect(PointFor(c, pt, tp))) {
                m_hover = c;
                break;
            }
        }
    }
    if (MControl* hover = m_hover) {
        CPoint hp = PointFor(hover, pt, tp);
        return left ? hover->OnLButtonDown(flags, hp) : hover->OnRButtonDown(flags, hp);
    }
    if (m_manager && m_manager->GetFocusControl() != this)
        m_manager->SetFocusControl(this);
    return left ? OnControlLButtonDown(flags, pt) : OnControlRButtonDown(flags, pt);
}

int MControl::ButtonUp(UINT flags, CPoint pt, bool left)
{
    m_pressed = 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    if (MControl* hover = m_hover) {
        CPoint hp = PointFor(hover, pt, tp);
        return left ? hover->OnLButtonUp(flags, hp) : hover->OnRButtonUp(flags, hp);
    }
    return left ? OnControlLButtonUp(flags, pt) : OnControlRButtonUp(flags, pt);
}

int MControl::ButtonDblClk(UINT flags, CPoint pt, bool left)
{
    m_pressed = 0;
    if (!m_visible || !m_response)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    if (MControl* hover = m_hover) {
        // The child applies its own double-click mode (a second button-down when it is 0).
        CPoint hp = PointFor(hover, pt, tp);
        return left ? hover->OnLButtonDblClk(flags, hp) : hover->OnRButtonDblClk(flags, hp);
    }
    if (m_dblClkMode == 0) {
        if (m_rect.PtInRect(pt))
            m_pressed = 1;
        return left ? OnControlLButtonDown(flags, pt) : OnControlRButtonDown(flags, pt);
    }
    if (m_dblClkNotify && m_rect.PtInRect(pt))
        SendMessage(MN_ITEM_DBLCLK, flags, MAKELPARAM(pt.x, pt.y));
    return left ? OnControlLButtonDblClk(flags, pt) : OnControlRButtonDblClk(flags, pt);
}

int MControl::OnLButtonDown(UINT flags, CPoint pt) { return ButtonDown(flags, pt, true); }
int MControl::OnLButtonUp(UINT flags, CPoint pt) { return ButtonUp(flags, pt, true); }
int MControl::OnLButtonDblClk(UINT flags, CPoint pt) { return ButtonDblClk(flags, pt, true); }
int MControl::OnRButtonDown(UINT flags, CPoint pt) { return ButtonDown(flags, pt, false); }
int MControl::OnRButtonUp(UINT flags, CPoint pt) { return ButtonUp(flags, pt, false); }
int MControl::OnRButtonDblClk(UINT flags, CPoint pt) { return ButtonDblClk(flags, pt, false); }

int MControl::OnScroll(int bar, UINT down, CPoint pt)
{
    if (!m_visible || !m_response || !m_enabled)
        return 0;
    CPoint tp = pt;
    OnMousePointChange(tp);
    if (MControl* hover = m_hover) {
        CPoint hp = PointFor(hover, pt, tp);
        if (hover->PtInRect(hp) && hover->OnCheckMouseResponse(0, hp) && hover->OnScroll(bar, down, hp))
            return 1;
    }
    if (!m_rect.PtInRect(pt))
        return 0;
    if (OnControlScroll(bar, down, pt))
        return 1;
    MAutoLock guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* c = m_controls[i];
        CPoint cp = PointFor(c, pt, tp);
        if (c->PtInRect(cp) && c->OnScroll(bar, down, cp))
            return 1;
    }
    return 0;
}

int MControl::OnKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    if (!m_visible || !m_response)
        return 0;
    MControl* focused = nullptr;
    {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size() && !focused; ++i)
            if (m_controls[i]->m_focused)
                focused = m_controls[i];
    }
    if (focused)
        return focused->m_visible ? focused->OnKeyDown(key, repeat, modifiers) : 0;

    if (m_hover && m_hover->OnKeyDown(key, repeat, modifiers))
        return 1;
    int handled = OnControlKeyDown(key, repeat, modifiers);
    if (!handled) {
        MAutoLock guard(m_controlsLock);
        for (size_t i = 0; i < m_controls.size() && !handled; ++i)
            if (m_controls[i]->OnKeyDown(key, repeat, modifiers))
                handled = 1;
    }
    if (m_keyNotify)
        SendMessage(MN_KEYDOWN, key, modifiers);
    return handled ? 1 : 0;
}

int MControl::OnKeyUp(UINT, UINT, UINT) { return 0; }

int MControl::OnTimer()
{
    int result = OnControlTimer() ? 1 : 0;
    MAutoLock guard(m_controlsLock);
    for (size_t i = 0; i < m_controls.size(); ++i) {
        MControl* c = m_controls[i];
        if (c->m_runTimer && c->m_visible && c->OnTimer())
            result = 1;
    }
    return result;
}

int MControl::PositionItem2Value(const FS_POSITION_ITEM& item, int low, int high)
{
    switch (item.mode) {
    case 0:
        return item.fromEnd ? static_cast<int>(high - item.value) : static_cast<int>(low + item.value);
    case 1: {
        float v = item.fromEnd ? -item.value : item.value;
        return static_cast<int>(low + (high - low) / 2 + v);
    }
    case 2: {
        int v = static_cast<int>(low + (high - low) * item.value / 100.0f);
        return std::min(v, high);
    }
    default:
        return 0;
    }
}
