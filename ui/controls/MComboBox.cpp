#include "MComboBox.h"

#include <algorithm>

#include "CComboBoxWnd.h"
#include "MRender.h"
#include "PaintManager.h"

namespace {
const int kMaxRows = 5;
const int kRowHeight = 30;
const LPARAM kListCommit = 19;
const UINT kPopupGone = 22;
const DWORD kPopupStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN; // 0x96000000
const DWORD kPopupExStyle = WS_EX_TOOLWINDOW;                                       // 0x80

CRect DefaultTextRect(const CRect& rect) { return CRect(6, 6, rect.Width() - 30, rect.Height() - 6); }
} // namespace

MComboBox::MComboBox(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1), m_textRect(DefaultTextRect(rect))
{
    m_hAlign = 0;
    m_imageCount = 4;
    if (!enabled)
        m_state = 3;
}

MComboBox::~MComboBox()
{
    CloseDropWnd();
    MAutoLock guard(m_itemsLock);
    for (ComboItem* item : m_items)
        delete item;
    m_items.clear();
}

// ---------------------------------------------------------------- items

int MComboBox::AddItem(const wchar_t* text, long data, const wchar_t* icon, Gdiplus::Color colour)
{
    return InsertItem(-1, text, data, icon, colour);
}

int MComboBox::InsertItem(int index, const wchar_t* text, long data, const wchar_t* icon, Gdiplus::Color colour)
{
    MAutoLock guard(m_itemsLock);
    const int count = static_cast<int>(m_items.size());
    if (index != -1 && (index < 0 || index >= count))
        return -1;
    auto* item = new ComboItem;
    item->text = CString(text ? text : L"");
    item->icon = CString(icon ? icon : L"");
    item->colour = colour.GetValue();
    item->data = data;
    if (index == -1) {
        m_items.push_back(item);
    } else {
        m_items.insert(m_items.begin() + index, item);
        if (m_curSel >= index)
            ++m_curSel; // the selection stays on its item
    }
    return count;
}

int MComboBox::DeleteItem(int index)
{
    bool titleCleared = false;
    {
        MAutoLock guard(m_itemsLock);
        const int count = static_cast<int>(m_items.size());
        if (index < -1 || index >= count)
            return 0;
        if (index == -1)
            return 1;
        delete m_items[static_cast<size_t>(index)];
        m_items.erase(m_items.begin() + index);
        if (index == m_curSel) {
            m_curSel = -1;
            titleCleared = true;
        } else if (index < m_curSel) {
            --m_curSel;
        }
    }
    if (titleCleared)
        SetTitle(L"");
    return 1;
}

int MComboBox::DelAllItems()
{
    m_curSel = -1;
    m_title.clear();
    {
        MAutoLock guard(m_itemsLock);
        for (ComboItem* item : m_items)
            delete item;
        m_items.clear();
    }
    UpdateControl(1);
    return 1;
}

int MComboBox::SetCurSel(int index)
{
    CString title;
    {
        MAutoLock guard(m_itemsLock);
        if (index < -1 || index >= static_cast<int>(m_items.size()))
            return 0;
        m_curSel = index;
        if (index >= 0)
            title = m_items[static_cast<size_t>(index)]->text;
    }
    SetTitle(title);
    UpdateControl(1);
    return 1;
}

long MComboBox::GetCurData() { return GetItemData(m_curSel); }

long MComboBox::GetItemData(int index)
{
    MAutoLock guard(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return 0;
    return m_items[static_cast<size_t>(index)]->data;
}

int MComboBox::SetItemData(int index, long data)
{
    MAutoLock guard(m_itemsLock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return 0;
    m_items[static_cast<size_t>(index)]->data = data;
    return 1;
}

int MComboBox::SetItemText(int index, CString text)
{
    bool retitle = false;
    {
        MAutoLock guard(m_itemsLock);
        if (index < 0 || index >= static_cast<int>(m_items.size()))
            return 0;
        ComboItem* item = m_items[static_cast<size_t>(index)];
        if (item->text == text)
            return 1;
        item->text = text;
        retitle = index == m_curSel;
    }
    if (retitle)
        SetTitle(text);
    UpdateControl(1);
    return 1;
}

int MComboBox::GetItemCount()
{
    MAutoLock guard(m_itemsLock);
    return static_cast<int>(m_items.size());
}

int MComboBox::FindData(long data)
{
    MAutoLock guard(m_itemsLock);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->data == data)
            return static_cast<int>(i);
    return -1;
}

int MComboBox::SelectData(long data)
{
    const int index = FindData(data);
    return index >= 0 ? SetCurSel(index) : 0;
}

// ---------------------------------------------------------------- look

void MComboBox::SetBackImage(const wchar_t* file)
{
    m_backFile = CString(file ? file : L"");
    m_backResId = 0;
}

void MComboBox::SetBackImage(UINT resourceId, CString type)
{
    m_backResId = resourceId;
    m_backResType = type;
    m_backFile.clear();
}

void MComboBox::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_scrollV = vertical;
    m_scrollH = horizontal;
}

void MComboBox::SetShowModeMID(int left, int top, int right, int bottom)
{
    m_marginL = left;
    m_marginT = top;
    m_marginR = right;
    m_marginB = bottom;
    UpdateControl(1);
}

void MComboBox::SetTextRect(CRect rect)
{
    m_textRect = rect;
    UpdateControl(1);
}

void MComboBox::SetControlRect(CRect rect)
{
    m_rect = rect;
    m_textRect = DefaultTextRect(rect);
}

void MComboBox::SetControlEnabled(int enabled)
{
    m_enabled = enabled;
    m_state = enabled ? 0 : 3;
}

// ---------------------------------------------------------------- face

void MComboBox::DrawControl(HDC& dc, CRect)
{
    const int w = m_rect.Width(), h = m_rect.Height();
    if (w <= 0 || h <= 0)
        return;
    if (!m_update) {
        if (!PrepareFaceSlots(dc, 4))
            return;
        MBitsGraphics bits(m_cacheBits, w * 4, h);
        if (bits.ok()) {
            Gdiplus::Graphics& g = *bits;
            const UINT h0 = m_hAlign, v0 = m_vAlign;
            m_hAlign = 0;
            m_vAlign = 4;
            for (int i = 0; i < 4; ++i) {
                const CRect slot(i * w, 0, (i + 1) * w, h);
                if (m_image && m_frameW > 0 && m_frameH > 0) {
                    const int frame = std::min(i, std::max(m_imageCount, 1) - 1);
                    MRender::DrawImageFrameMID(g, m_image, slot, frame * m_frameW, 0, m_frameW, m_frameH, 10, 10,
                                               36, 10);
                }
                const CRect text(slot.left + m_textRect.left, 0, slot.left + m_textRect.left + m_textRect.Width(), h);
                DrawTitleText(g, m_title, text, i == 3 ? 0xFF808080 : m_textColor);
            }
            m_hAlign = h0;
            m_vAlign = v0;
        }
    }
    BlitCache(dc, (m_open ? 2 : m_state) * w);
}

// ---------------------------------------------------------------- input

void MComboBox::SetState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl(0);
}

int MComboBox::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_state == 2)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    SetState(inside ? 1 : 0);
    return inside ? 1 : 0;
}

int MComboBox::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    m_open = false;
    SetState(2);
    return 1;
}

int MComboBox::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    if (!m_rect.PtInRect(pt)) {
        SetState(0);
        return 0;
    }
    SetState(1);
    ShowDropDown();
    return 1;
}

// ---------------------------------------------------------------- pop-up

void MComboBox::CloseDropWnd()
{
    CComboBoxWnd* wnd = m_dropWnd;
    m_dropWnd = nullptr;
    if (!wnd)
        return;
    wnd->SetParent(nullptr); // nothing more reaches this combo from it
    if (wnd->GetSafeHwnd())
        wnd->DestroyWindow();
    delete wnd;
}

void MComboBox::ShowDropDown()
{
    HWND owner = m_manager ? m_manager->GetPaintWnd() : nullptr;
    if (!owner || !IsWindow(owner))
        return;
    const int rows = std::min(GetItemCount(), kMaxRows);
    const int listH = rows * kRowHeight;

    CPoint topLeft(m_rect.left, m_rect.top), bottomRight(m_rect.right, m_rect.bottom);
    ::ClientToScreen(owner, &topLeft);
    ::ClientToScreen(owner, &bottomRight);
    const CRect combo(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    CRect rect(combo.left + 4, combo.bottom + 2, combo.right - 6, combo.bottom + 2 + listH + 12);
    RECT work = {};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && rect.bottom > work.bottom)
        rect = CRect(combo.left, combo.top - listH - 12, combo.right, combo.top);

    CloseDropWnd();
    auto* wnd = new CComboBoxWnd;
    wnd->SetParent(this);
    wnd->SetListScrollResID(m_scrollV, m_scrollH);
    if (!wnd->Create(owner, L"ComboWnd", kPopupStyle, kPopupExStyle, rect)) {
        delete wnd;
        return;
    }
    m_dropWnd = wnd;
    if (!m_backFile.empty())
        wnd->LoadBKImage(m_backFile);
    else if (m_backResId)
        wnd->LoadBKImage(m_backResId, m_backResType);
    wnd->SetBackMode(BACKMODE_FRAME, 6);
    if (CComboBoxList* list = wnd->GetList()) {
        {
            MAutoLock guard(m_itemsLock);
            for (ComboItem* item : m_items)
                list->AddItem(item->text, item->data, item->icon, Gdiplus::Color(item->colour));
        }
        list->SetTextColor(Gdiplus::Color(m_textColor));
        list->UpdateControl(1);
    }
    wnd->ShowWindow(SW_SHOW);
    m_open = true;
    UpdateControl(0);
}

LRESULT MComboBox::OnMessage(UINT, UINT code, WPARAM wparam, LPARAM lparam)
{
    if (code == MN_CLICKED && lparam == kListCommit) {
        const int index = static_cast<int>(wparam);
        SetCurSel(index);
        m_open = false;
        SendMessage(MN_CLICKED, static_cast<WPARAM>(index), 0);
        UpdateControl(1);
    } else if (code == kPopupGone) {
        m_open = false;
        UpdateControl(0);
    }
    return 0;
}
