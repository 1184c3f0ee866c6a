#include "MTabCtrl.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "MRender.h"
#include "MTabLayout.h"
#include "Manager.h"
#include "PaintManager.h"

namespace {
const UINT kSlidePeriodMs = 30; // one slide step at most every 30 ms
const int kCaptionHeight = 20;
const int kCaptionFontSize = 13;
const Gdiplus::ARGB kCaptionNormal = 0xFFFFFFFF;
const Gdiplus::ARGB kCaptionMarked = 0xFFFF0000;
} // namespace

MTabCtrl::MTabCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 3;
}

MTabCtrl::~MTabCtrl()
{
    if (m_manager)
        m_manager->DeleteFSTimer(this);
    for (TabItemInfo& t : m_items)
        delete t.image;
    m_items.clear();
}

// ---------------------------------------------------------------- owner side

LRESULT MTabCtrl::OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    return m_parent ? m_parent->OnBaseMessage(id, code, wparam, lparam) : 0;
}

LRESULT MTabCtrl::OnControlUpdate(CRect rect, int rebuild, MControl* control)
{
    if (!m_parent)
        return 0;
    // Pages may lie beside the strip: the window only draws this control (and so its
    // pages) where the repainted rect meets the control's own rect.
    CRect dirty = rect;
    dirty |= m_rect;
    if (m_manager && m_manager->IsForeignThread()) {
        m_manager->DeferUpdate(control, dirty, rebuild);
        return 0;
    }
    return m_parent->OnControlUpdate(dirty, rebuild, control);
}

// ---------------------------------------------------------------- items

TabItemInfo* MTabCtrl::GetItemInfo(int index)
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return &m_items[static_cast<size_t>(index)];
}

UINT MTabCtrl::GetItemID(int index)
{
    const TabItemInfo* t = GetItemInfo(index);
    return t ? t->id : 0;
}

int MTabCtrl::InsertItem(UINT id, const wchar_t* text, const wchar_t* image, MControl* panel, int frameCount,
                         int width)
{
    TabItemInfo info;
    info.visible = 1;
    info.id = id;
    info.text = CString(text ? text : L"");
    info.frameCount = frameCount > 0 ? frameCount : 3; // a count of 0 would divide by zero
    if (image && *image) {
        info.image = MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + image));
        if (info.image) {
            info.frameWidth = static_cast<int>(info.image->GetWidth()) / info.frameCount;
            info.frameHeight = static_cast<int>(info.image->GetHeight());
        }
    }
    const int w = width > 0 ? width : info.frameWidth > 0 ? info.frameWidth : m_tabWidth;
    info.rect = CRect(m_rect.left, m_rect.top, m_rect.left + w, m_rect.bottom);
    info.panel = panel;
    return InsertItem(-1, info);
}

int MTabCtrl::InsertItem(int index, TabItemInfo& info)
{
    const int count = GetItemCount();
    if (index >= 0 && index < count) {
        m_items.insert(m_items.begin() + index, info);
        // The selection stays on its tab.
        if (m_selected >= index)
            ++m_selected;
        if (m_previous >= index)
            ++m_previous;
    } else {
        m_items.push_back(info);
    }
    ApplySizeRule();
    RefreshItems();
    return 1;
}

void MTabCtrl::DeleteItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return;
    StopSlide();
    TabItemInfo gone = m_items[static_cast<size_t>(index)];
    m_items.erase(m_items.begin() + index);
    delete gone.image;
    if (m_tooltipTab == index)
        m_tooltipTab = -1;
    if (m_hoverIndex == index)
        m_hoverIndex = -1;
    else if (m_hoverIndex > index)
        --m_hoverIndex;
    // The selection stays on its tab; deleting the selected tab leaves the index, so the
    // next tab (or, past the end, the last visible one) is selected.
    if (m_selected > index)
        --m_selected;
    if (gone.panel)
        RemoveControl(gone.panel); // deletes it when it is our child
    ApplySizeRule();
    RefreshItems();
}

int MTabCtrl::SetItemText(int index, CString text)
{
    TabItemInfo* t = GetItemInfo(index);
    if (!t)
        return 0;
    t->text = text;
    UpdateControl(1);
    return 1;
}

int MTabCtrl::SetItemVisible(int index, int visible)
{
    TabItemInfo* t = GetItemInfo(index);
    if (!t)
        return 0;
    t->visible = visible;
    RefreshItems();
    return 1;
}

int MTabCtrl::GetItemVisible(int index)
{
    const TabItemInfo* t = GetItemInfo(index);
    return t ? t->visible : 0;
}

// ---------------------------------------------------------------- layout

namespace {

// The size rule of tabs along the strip: the requested size, or with a minimum above 0
// and tabs present, the share of the free span when the requested size does not fit, but
// not below the minimum.
int FitTabSize(int requested, int minimum, int freeSpan, int count)
{
    if (count <= 0 || minimum <= 0)
        return requested;
    const int fit = freeSpan / count;
    return fit >= requested ? requested : std::max(fit, minimum);
}

} // namespace

void MTabCtrl::SetItemWidth(int width, int minWidth, int refresh)
{
    m_reqWidth = width;
    m_minWidth = minWidth;
    const int w = FitTabSize(width, minWidth, m_rect.Width() - m_padRight - m_padLeft, GetItemCount());
    if (w != m_itemWidth) {
        m_itemWidth = w;
        if (refresh)
            RefreshItems();
    }
}

void MTabCtrl::SetItemHeight(int height, int minHeight, int refresh)
{
    m_reqHeight = height;
    m_minHeight = minHeight;
    const int h = FitTabSize(height, minHeight, m_rect.Height() - m_padBottom - m_padTop, GetItemCount());
    if (h != m_itemHeight) {
        m_itemHeight = h;
        if (refresh)
            RefreshItems();
    }
}

void MTabCtrl::ApplySizeRule()
{
    if (m_type == TAB_TYPE_VERTICAL)
        SetItemHeight(m_reqHeight, m_minHeight, 0);
    else
        SetItemWidth(m_reqWidth, m_minWidth, 0);
}

void MTabCtrl::SetTabCtrlWidth(int width)
{
    m_tabWidth = width;
    RefreshItems();
}

void MTabCtrl::SetTabCtrlHeight(int height)
{
    m_tabHeight = height;
    RefreshItems();
}

void MTabCtrl::SetLeftRightPading(int left, int right)
{
    m_padLeft = left;
    m_padRight = right;
    RefreshItems();
}

void MTabCtrl::SetTopBottomPading(int top, int bottom)
{
    m_padTop = top;
    m_padBottom = bottom;
    RefreshItems();
}

void MTabCtrl::SetTabType(TAB_TYPE type)
{
    m_type = type;
    RefreshItems();
}

void MTabCtrl::SetControlRect(CRect rect)
{
    m_rect = rect;
    RefreshItems();
}

int MTabCtrl::StripTabWidth() const
{
    if (m_tabWidth > 0 || m_items.empty())
        return m_tabWidth;
    const TabItemInfo& first = m_items.front();
    return first.rect.Width() > 0 ? first.rect.Width() : first.frameWidth;
}

int MTabCtrl::StripTabHeight() const
{
    if (m_tabHeight > 0)
        return m_tabHeight;
    if (m_type == TAB_TYPE_VERTICAL && m_itemHeight > 0)
        return m_itemHeight;
    return m_items.empty() ? 0 : m_items.front().frameHeight;
}

CRect MTabCtrl::StripRect() const
{
    if (m_type == TAB_TYPE_VERTICAL)
        return CRect(m_rect.left, m_rect.top, std::min(m_rect.left + m_padLeft + StripTabWidth(), m_rect.right),
                     m_rect.bottom);
    return CRect(m_rect.left, m_rect.top, m_rect.right,
                 std::min(m_rect.top + m_padTop + StripTabHeight(), m_rect.bottom));
}

void MTabCtrl::RefreshItems()
{
    int x = m_rect.left + m_padLeft, y = m_rect.top + m_padTop;
    const int tabW = StripTabWidth(), tabH = StripTabHeight();
    for (TabItemInfo& t : m_items) {
        if (!t.visible) {
            t.rect = CRect();
            continue;
        }
        if (m_type == TAB_TYPE_VERTICAL) {
            t.rect = CRect(x, y, x + tabW, y + tabH);
            y += tabH + 1;
        } else {
            const int w = m_itemWidth > 0 ? m_itemWidth : t.frameWidth;
            t.rect = CRect(x, y, x + w, y + tabH);
            x += w;
        }
    }
    const int count = GetItemCount();
    if (m_selected >= count) {
        m_selected = -1;
        for (int i = count - 1; i >= 0 && m_selected < 0; --i)
            if (m_items[static_cast<size_t>(i)].visible)
                m_selected = i;
    }
    if (m_hoverIndex >= count)
        m_hoverIndex = -1;
    ShowSelectedPanel();
    UpdateControl(1);
}

void MTabCtrl::ShowSelectedPanel()
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (MControl* panel = m_items[static_cast<size_t>(i)].panel)
            panel->SetVisible(i == m_selected ? 1 : 0); // a change asks for a rebuild
}

MControl* MTabCtrl::CreatePanel(const wchar_t* className, UINT id, CRect rect)
{
    if (!className || wcscmp(className, L"MTabLayout") != 0)
        return nullptr;
    auto* page = new MTabLayout(this, id, rect, 1);
    AddControl(page); // gives it the manager and InitControl when there is one
    return page;
}

void MTabCtrl::SetTabTooltip(int index, CString text)
{
    const TabItemInfo* t = GetItemInfo(index);
    if (!t || index == m_tooltipTab)
        return;
    if (t->tooltip || !t->panel || t->panel->GetTooltip().IsEmpty())
        SetTooltip(text, t->rect);
    m_tooltipTab = index;
}

// ---------------------------------------------------------------- selection and slide

int MTabCtrl::SetSelectItem(int index)
{
    if (index == m_selected || index < 0 || index >= GetItemCount())
        return m_selected;
    const int previous = m_selected;
    StopSlide();
    m_previous = previous;
    m_selected = index;
    m_hoverIndex = -1;
    SendMessage(MN_CLICKED, static_cast<WPARAM>(index), 0);
    ShowSelectedPanel();
    // The slide runs on the window's periodic tick; without one the pages change at once.
    if (m_animate && previous >= 0 && m_manager && m_manager->GetMTimerID()) {
        m_slideOffset = 0;
        m_lastStep = GetTickCount();
        m_sliding = true;
        SetRunTimer(1);
        AddMTimer();
    }
    UpdateControl(0);
    return previous;
}

void MTabCtrl::StopSlide()
{
    m_sliding = false;
    m_slideOffset = 0;
    SetRunTimer(0);
}

int MTabCtrl::OnControlTimer()
{
    if (!m_sliding)
        return 0;
    const DWORD now = GetTickCount();
    if (now - m_lastStep < kSlidePeriodMs)
        return 0;
    m_lastStep = now;
    const int span = m_type == TAB_TYPE_VERTICAL ? m_rect.Height() : m_rect.Width();
    const int step = std::max(span / m_slideSteps, 1);
    const int dir = m_selected > m_previous ? -1 : 1; // up (left) towards a later tab
    int offset = m_slideOffset + dir * step;
    if (std::abs(offset) >= span) {
        offset = dir * span;
        m_sliding = false;
        SetRunTimer(0); // nothing more to tick
    }
    m_slideOffset = offset;
    UpdateControl(m_rect, 0, 0);
    return 1;
}

void MTabCtrl::DrawPageInto(HDC dc, MControl* page, const CRect& area, CRect clip)
{
    if (!page)
        return;
    POINT old;
    SetViewportOrgEx(dc, -area.left, -area.top, &old);
    {
        MAutoLock guard(page->GetAreasLock());
        for (MControl* a : page->GetAreas())
            a->Draw(dc, clip);
    }
    page->DrawControl(dc, clip);
    page->DrawSubControls(dc, clip);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

int MTabCtrl::DrawSubControls(HDC& dc, CRect clip)
{
    MControl* from = m_previous >= 0 && m_previous < GetItemCount() ? m_items[static_cast<size_t>(m_previous)].panel
                                                                    : nullptr;
    MControl* to = m_selected >= 0 ? m_items[static_cast<size_t>(m_selected)].panel : nullptr;
    if (!m_sliding || (!from && !to))
        return MControl::DrawSubControls(dc, clip);

    // Everything but the two pages as usual.
    {
        MAutoLock guard(m_controlsLock);
        for (MControl* c : m_controls)
            if (c != from && c != to && c->IsVisible())
                c->Draw(dc, clip);
    }
    CRect area = to ? to->GetRect() : from->GetRect();
    if (from && to)
        area |= from->GetRect();
    const int w = area.Width(), h = area.Height();
    if (w <= 0 || h <= 0)
        return 1;
    const bool vertical = m_type == TAB_TYPE_VERTICAL;
    const int span = std::max(vertical ? m_rect.Height() : m_rect.Width(), 1);
    const int length = vertical ? h : w;
    const int offset = m_slideOffset;
    const int shift = static_cast<int>(static_cast<long long>(std::abs(offset)) * length / span);
    const int sign = offset < 0 ? -1 : 1;

    HDC surfaces[2] = {};
    HBITMAP bitmaps[2] = {};
    HGDIOBJ olds[2] = {};
    MControl* pages[2] = {from, to};
    for (int i = 0; i < 2; ++i) {
        BYTE* bits = nullptr;
        bitmaps[i] = MRender::CreateARGB32Bitmap(dc, w, h, &bits);
        surfaces[i] = bitmaps[i] ? ::CreateCompatibleDC(dc) : nullptr;
        if (!surfaces[i])
            continue;
        olds[i] = SelectObject(surfaces[i], bitmaps[i]);
        ::BitBlt(surfaces[i], 0, 0, w, h, dc, area.left, area.top, SRCCOPY);
        DrawPageInto(surfaces[i], pages[i], area, area);
    }
    // The previous page moves out by `shift`, the new one follows it in.
    const int fromPos = sign * shift;
    const int toPos = fromPos - sign * length;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    const int pos[2] = {fromPos, toPos};
    for (int i = 0; i < 2; ++i) {
        if (!surfaces[i])
            continue;
        const int dx = vertical ? 0 : pos[i], dy = vertical ? pos[i] : 0;
        ::BitBlt(dc, area.left + dx, area.top + dy, w, h, surfaces[i], 0, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
    for (int i = 0; i < 2; ++i) {
        if (surfaces[i]) {
            SelectObject(surfaces[i], olds[i]);
            DeleteDC(surfaces[i]);
        }
        if (bitmaps[i])
            DeleteObject(bitmaps[i]);
    }
    return 1;
}

// ---------------------------------------------------------------- face

void MTabCtrl::DrawControl(HDC& dc, CRect)
{
    const CRect strip = StripRect();
    const int w = strip.Width(), h = strip.Height();
    if (w <= 0 || h <= 0)
        return;
    const bool vertical = m_type == TAB_TYPE_VERTICAL;
    const int slots = 3; // vertical: normal, hover, selected side by side; horizontal: rows
    const int cacheW = vertical ? w * slots : w, cacheH = vertical ? h : h * slots;
    if (!m_update || m_cacheSlotW != w || m_cacheRowH != h) {
        m_cacheSlotW = w;
        m_cacheRowH = h;
        UpdateMemDC(dc, cacheW, cacheH);
        if (!m_memDC)
            return;
        for (int s = 0; s < slots; ++s)
            ::BitBlt(m_memDC, vertical ? s * w : 0, vertical ? 0 : s * h, w, h, dc, strip.left, strip.top, SRCCOPY);
        GdiFlush();
        MBitsGraphics bits(m_cacheBits, cacheW, cacheH);
        if (bits.ok()) {
            Gdiplus::Graphics& g = *bits;
            const int tabW = StripTabWidth(), tabH = StripTabHeight();
            Gdiplus::FontFamily* family = GetFontFamily(Manager::GetFontName());
            Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(),
                               static_cast<Gdiplus::REAL>(kCaptionFontSize), m_fontStyle, Gdiplus::UnitPixel);
            Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap |
                                         Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
            format.SetAlignment(Gdiplus::StringAlignmentCenter);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            g.SetTextRenderingHint(m_renderingHint);
            for (int s = 0; s < slots; ++s) {
                // Nothing of one slot (row) spills into the next.
                g.SetClip(vertical ? Gdiplus::Rect(s * w, 0, w, h) : Gdiplus::Rect(0, s * h, w, h));
                for (const TabItemInfo& t : m_items) {
                    if (!t.visible || t.rect.IsRectEmpty())
                        continue;
                    if (vertical) {
                        const int slotLeft = s * w;
                        const int top = t.rect.top - m_rect.top;
                        if (t.image && t.frameWidth > 0) {
                            const int frame = std::min(s, std::max(t.frameCount, 1) - 1);
                            const int x = slotLeft + m_padLeft + (tabW - t.frameWidth) / 2;
                            const int y = top + (tabH - t.frameHeight - 25) / 2;
                            g.DrawImage(t.image, Gdiplus::Rect(x, y, t.frameWidth, t.frameHeight),
                                        frame * t.frameWidth, 0, t.frameWidth, t.frameHeight, Gdiplus::UnitPixel);
                        }
                        if (!t.text.empty()) {
                            const int y = t.frameHeight + (tabH - t.frameHeight - kCaptionHeight) / 2 + top + 3;
                            Gdiplus::RectF box(static_cast<Gdiplus::REAL>(slotLeft + m_padLeft),
                                               static_cast<Gdiplus::REAL>(y), static_cast<Gdiplus::REAL>(tabW),
                                               static_cast<Gdiplus::REAL>(kCaptionHeight));
                            Gdiplus::SolidBrush brush{Gdiplus::Color(s == 0 ? kCaptionNormal : kCaptionMarked)};
                            g.DrawString(t.text.c_str(), -1, &font, box, &format, &brush);
                        }
                    } else if (t.image && t.frameWidth > 0) {
                        // Rows 0 and 2 frame 0, row 1 frame 1 (one-frame tabs always frame 0).
                        const int frame = s == 1 && t.frameCount > 1 ? 1 : 0;
                        const int x = t.rect.left - m_rect.left + (t.rect.Width() - t.frameWidth) / 2;
                        const int y = s * h + 10 + m_padTop;
                        g.DrawImage(t.image, Gdiplus::Rect(x, y, t.frameWidth, t.frameHeight),
                                    frame * t.frameWidth, 0, t.frameWidth, t.frameHeight, Gdiplus::UnitPixel);
                    }
                }
            }
        }
    }
    ::BitBlt(dc, strip.left, strip.top, w, h, m_memDC, 0, 0, SRCCOPY);
    // The hovered tab, then the selected one, from the marked slot (row).
    const int marks[2] = {m_hoverIndex, m_selected};
    for (int m = 0; m < 2; ++m) {
        const TabItemInfo* t = GetItemInfo(marks[m]);
        if (!t || !t->visible || t->rect.IsRectEmpty())
            continue;
        const int slot = vertical ? m + 1 : 1;
        const int sx = (vertical ? slot * w : 0) + t->rect.left - strip.left;
        const int sy = (vertical ? 0 : slot * h) + t->rect.top - strip.top;
        ::BitBlt(dc, t->rect.left, t->rect.top, t->rect.Width(), t->rect.Height(), m_memDC, sx, sy, SRCCOPY);
    }
}

// ---------------------------------------------------------------- input

int MTabCtrl::TabAt(CPoint pt) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].visible && m_items[i].rect.PtInRect(pt))
            return static_cast<int>(i);
    return -1;
}

int MTabCtrl::OnCheckMouseResponse(UINT, CPoint pt)
{
    // Outside the strip the pages below take the mouse; inside only the tabs do.
    if (!StripRect().PtInRect(pt))
        return 1;
    return TabAt(pt) >= 0 ? 1 : 0;
}

int MTabCtrl::OnControlMouseMove(UINT, CPoint pt)
{
    bool changed = false;
    if (!m_rect.PtInRect(pt)) {
        changed = m_hoverIndex != -1;
        m_hoverIndex = -1;
        m_tooltipTab = -1;
        if (m_manager && m_manager->GetTooltipCtrlID() == static_cast<int>(m_id))
            ClearTooltip();
    } else {
        const int tab = TabAt(pt);
        if (tab >= 0 && tab == m_hoverIndex) {
            const TabItemInfo& t = m_items[static_cast<size_t>(tab)];
            if (m_tooltipTab != tab && !t.text.empty() && m_manager) {
                SetTooltip(t.text, t.rect);
                m_manager->SetTooltipCtrlID(static_cast<int>(m_id));
                m_tooltipTab = tab;
            }
        } else {
            if (m_manager && m_manager->GetTooltipCtrlID() == static_cast<int>(m_id))
                ClearTooltip();
            m_tooltipTab = -1;
            changed = m_hoverIndex != tab;
            m_hoverIndex = tab;
        }
    }
    for (TabItemInfo& t : m_items) {
        if (t.buttonRect.IsRectEmpty() || t.buttonState == 2)
            continue;
        CRect button = t.buttonRect;
        button.OffsetRect(m_rect.left, m_rect.top);
        const int state = button.PtInRect(pt) ? 1 : 0;
        if (state != t.buttonState) {
            t.buttonState = state;
            changed = true;
        }
    }
    if (changed)
        UpdateControl(0);
    return m_rect.PtInRect(pt) ? 1 : 0;
}

int MTabCtrl::OnControlLButtonDown(UINT, CPoint pt)
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        TabItemInfo& t = m_items[i];
        CRect button = t.buttonRect;
        button.OffsetRect(m_rect.left, m_rect.top);
        if (!t.visible || t.buttonRect.IsRectEmpty() || !button.PtInRect(pt))
            continue;
        t.buttonState = 2;
        UpdateControl(0);
        SendMessage(MN_TAB_BUTTON, static_cast<WPARAM>(i), 0);
        return 1;
    }
    return 0;
}

int MTabCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (pt.x <= 0 || pt.y <= 0)
        return 0;
    for (TabItemInfo& t : m_items)
        if (t.buttonState == 2)
            t.buttonState = 0;
    const TabItemInfo* hovered = GetItemInfo(m_hoverIndex);
    if (hovered && hovered->rect.PtInRect(pt))
        SetSelectItem(m_hoverIndex);
    UpdateControl(0);
    return 1;
}

int MTabCtrl::OnControlScroll(int bar, UINT down, CPoint pt)
{
    const TabItemInfo* t = GetItemInfo(m_selected);
    if (t && t->panel && t->rect.PtInRect(pt))
        return t->panel->OnScroll(bar, down, pt);
    return 0;
}

int MTabCtrl::OnControlKeyDown(UINT key, UINT repeat, UINT modifiers)
{
    if (MControlFont::OnControlKeyDown(key, repeat, modifiers))
        return 1;
    const TabItemInfo* t = GetItemInfo(m_selected);
    return t && t->panel ? t->panel->OnKeyDown(key, repeat, modifiers) : 0;
}
