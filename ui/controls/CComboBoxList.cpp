#include "CComboBoxList.h"

#include <algorithm>

#include "MRender.h"
#include "MScroll.h"
#include "Manager.h"

namespace {
const LPARAM kListCommit = 19; // lparam of the list's code 2
}

CComboBoxList::CComboBoxList(MObject* parent, UINT id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible), m_hoverFill(Manager::GetSelectColor()), m_selectFill(Manager::GetSelectColor())
{
    m_imageCount = 1;
    // The bars follow the rect from the start (the factory does not call SetControlRect).
    MPanel::SetControlRect(rect);
}

CComboBoxList::~CComboBoxList()
{
    DelAllItems();
}

int CComboBoxList::AddItem(const wchar_t* text, long data, const wchar_t* icon, Gdiplus::Color colour)
{
    auto* item = new ComboItem;
    item->text = CString(text ? text : L"");
    item->icon = CString(icon ? icon : L"");
    item->colour = colour.GetValue();
    item->data = data;
    int count;
    {
        MAutoLock guard(m_itemsLock);
        m_items.push_back(item);
        count = static_cast<int>(m_items.size());
    }
    // Rows taller than the list show the vertical bar with the rows' height as its range.
    SetVirtualHeight(count * m_rowHeight);
    return count - 1;
}

int CComboBoxList::DelAllItems()
{
    std::vector<ComboItem*> items;
    {
        MAutoLock guard(m_itemsLock);
        items.swap(m_items);
    }
    for (ComboItem* item : items)
        delete item;
    m_hoverIndex = m_selectIndex = -1;
    SetVirtualHeight(0);
    return 1;
}

int CComboBoxList::GetItemCount()
{
    MAutoLock guard(m_itemsLock);
    return static_cast<int>(m_items.size());
}

int CComboBoxList::GetListHeight() { return GetItemCount() * m_rowHeight; }

CRect CComboBoxList::GetItemRect(int index)
{
    MAutoLock guard(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return CRect();
    return m_items[static_cast<size_t>(index)]->rect;
}

int CComboBoxList::RowsWidth() const
{
    const bool bar = m_vbar && m_vbar->IsVisible() && m_virtualH > m_rect.Height();
    return std::max(m_rect.Width() - (bar ? m_barThickness : 0), 0);
}

int CComboBoxList::RowAt(CPoint pt)
{
    if (pt.x < m_rect.left || pt.x >= m_rect.left + RowsWidth() || pt.y < m_rect.top || pt.y >= m_rect.bottom)
        return -1;
    const int row = (pt.y - m_rect.top + GetScrollOffsetY()) / m_rowHeight;
    return row < GetItemCount() ? row : -1;
}

void CComboBoxList::DrawControl(HDC& dc, CRect)
{
    const int w = RowsWidth(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update) {
        UpdateMemDC(dc, w, h);
        if (!m_memDC)
            return;
        // The window below the list, fully opaque.
        ::BitBlt(m_memDC, 0, 0, w, h, dc, m_rect.left, m_rect.top, SRCCOPY);
        GdiFlush();
        MBitsGraphics bits(m_cacheBits, w, h);
        if (!bits.ok())
            return;
        Gdiplus::Graphics& g = *bits;
        const int offset = GetScrollOffsetY();
        MAutoLock guard(m_itemsLock);
        const int count = static_cast<int>(m_items.size());
        m_rowOffset = offset;
        m_firstRow = std::min(offset / m_rowHeight, count);
        m_lastRow = std::min((offset + h) / m_rowHeight, count - 1);
        for (ComboItem* item : m_items)
            item->rect = CRect();
        for (int i = m_firstRow; i <= m_lastRow; ++i) {
            ComboItem* item = m_items[static_cast<size_t>(i)];
            const int top = i * m_rowHeight - offset;
            item->rect = CRect(m_rect.left, m_rect.top + top, m_rect.left + w, m_rect.top + top + m_rowHeight);
            const bool selected = i == m_selectIndex;
            const bool marked = selected || i == m_hoverIndex;
            if (marked) {
                Gdiplus::SolidBrush fill{Gdiplus::Color(selected ? m_selectFill : m_hoverFill)};
                g.FillRectangle(&fill, 2, top, w - 4, m_rowHeight);
            }
            DrawTitleText(g, item->text, CRect(0, top, w, top + m_rowHeight), marked ? m_textColor2 : m_textColor);
        }
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, w, h, m_memDC, 0, 0, SRCCOPY);
}

int CComboBoxList::DrawSubControls(HDC& dc, CRect clip)
{
    // The rows are the face; the only children are the panel's own bars.
    return MControl::DrawSubControls(dc, clip);
}

int CComboBoxList::OnControlMouseMove(UINT, CPoint pt)
{
    const int row = RowAt(pt);
    if (row != m_hoverIndex) {
        m_hoverIndex = row;
        UpdateControl(1);
    }
    return 1;
}

int CComboBoxList::OnControlLButtonDown(UINT, CPoint)
{
    if (m_selectIndex != m_hoverIndex) {
        m_selectIndex = m_hoverIndex;
        UpdateControl(1);
    }
    return 1;
}

int CComboBoxList::OnControlLButtonUp(UINT, CPoint)
{
    if (m_selectIndex >= 0)
        SendMessage(MN_CLICKED, static_cast<WPARAM>(m_selectIndex), kListCommit);
    return 1;
}

int CComboBoxList::OnControlScroll(int, UINT down, CPoint)
{
    if (!m_vbar || m_virtualH <= m_rect.Height())
        return 1;
    const int range = std::max(m_vbar->GetScrollMaxRange(), 0);
    const int old = m_vbar->GetScrollCurrentPos();
    const int step = 2 * m_vbar->GetScrollStep();
    const int pos = std::min(std::max(down == 1 ? old + step : old - step, 0), range);
    if (pos != old) {
        m_vbar->SetScrollCurrentPos(pos);
        UpdateControl(1);
        m_vbar->UpdateControl(1);
    }
    return 1;
}

LRESULT CComboBoxList::OnMessage(UINT, UINT code, WPARAM, LPARAM)
{
    // The bar's moves redraw the rows; nothing of the bars goes further.
    if (code == MN_POSITION)
        UpdateControl(1);
    return 1;
}
