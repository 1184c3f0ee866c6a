#include "DListBox.h"

#include "MRender.h"

DListBox::DListBox(MObject* parent, UINT id, CRect rect, int visible) : DListBox(parent, id, rect, visible, 32, 0x351806)
{
}

DListBox::DListBox(MObject* parent, UINT id, CRect rect, int visible, int itemHeight, DWORD editBackColor)
    : MScrollList(parent, id, rect, visible, itemHeight, editBackColor)
{
}

DListBox::~DListBox()
{
    MAutoLock guard(m_itemLock);
    EraseAllItems();
}

// ---------------------------------------------------------------- items


int DListBox::Insert(int index, const wchar_t* text, int image, long data)
{
    int result = -1;
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            if (index < -1 || index >= ItemCount())
                return;
        }
        CancelEdit();
        {
            MAutoLock guard(m_itemLock);
            auto* item = new DListItem;
            item->text = CString(text);
            item->image = image;
            item->data = data;
            if (index == -1) {
                m_items.push_back(item);
                result = ItemCount() - 1;
            } else {
                m_items.insert(m_items.begin() + index, item);
                result = index;
                if (m_selItem >= index)
                    ++m_selItem;
                if (m_hoverItem >= index)
                    ++m_hoverItem;
            }
            RelayoutLocked();
        }
        UpdateControl(1);
    });
    return result;
}

int DListBox::AddString(const wchar_t* text, int image) { return Insert(-1, text, image, 0); }

int DListBox::AddString(const wchar_t* text, long data, int image) { return Insert(-1, text, image, data); }

int DListBox::InsertString(int index, const wchar_t* text, int image, long data)
{
    return Insert(index, text, image, data);
}

CString DListBox::GetItemText(int index)
{
    MAutoLock guard(m_itemLock);
    if (index < 0 || index >= ItemCount())
        return CString();
    return m_items[static_cast<size_t>(index)]->text;
}

int DListBox::ChangeItem(int index, const std::function<void(DListItem&)>& change)
{
    int done = 0;
    OnWindowThread([&] {
        MAutoLock guard(m_itemLock);
        if (index < 0 || index >= ItemCount())
            return;
        change(*m_items[static_cast<size_t>(index)]);
        done = 1;
    });
    return done;
}

int DListBox::ModifyItemString(int index, const wchar_t* text)
{
    return ChangeItem(index, [text](DListItem& item) { item.text = CString(text); });
}

int DListBox::SetItemData(int index, long data)
{
    return ChangeItem(index, [data](DListItem& item) { item.data = data; });
}

long DListBox::GetItemData(int index)
{
    MAutoLock guard(m_itemLock);
    if (index < 0 || index >= ItemCount())
        return 0;
    return m_items[static_cast<size_t>(index)]->data;
}

int DListBox::FindString(const wchar_t* text)
{
    const CString wanted(text);
    MAutoLock guard(m_itemLock);
    for (int i = 0; i < ItemCount(); ++i)
        if (m_items[static_cast<size_t>(i)]->text == wanted)
            return i;
    return -1;
}

int DListBox::FindItemData(long data)
{
    MAutoLock guard(m_itemLock);
    for (int i = 0; i < ItemCount(); ++i)
        if (m_items[static_cast<size_t>(i)]->data == data)
            return i;
    return -1;
}

int DListBox::SetCurData(long data)
{
    const int index = FindItemData(data);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

long DListBox::GetCurData()
{
    MAutoLock guard(m_itemLock);
    if (m_selItem < 0 || m_selItem >= ItemCount())
        return 0;
    return m_items[static_cast<size_t>(m_selItem)]->data;
}

bool DListBox::CommitEditText(int index, const CString& text)
{
    DListItem* item = m_items[static_cast<size_t>(index)];
    if (item->text == text)
        return false;
    item->text = text;
    return true;
}

void DListBox::EditSpan(int& left, int& right)
{
    left = m_textIndent;
    right = RowWidth() - 10;
}

// ---------------------------------------------------------------- input

int DListBox::HitItem(CPoint pt)
{
    MAutoLock guard(m_itemLock);
    m_hoverItem = ItemAtLocked(pt);
    return m_hoverItem;
}

int DListBox::OnControlLButtonDown(UINT, CPoint pt)
{
    const int index = HitItem(pt);
    if (index != GetEditItem())
        HideEdit();
    if (index >= 0)
        SelectAndNotify(index, MN_PRESSED);
    return 1;
}

int DListBox::OnControlLButtonUp(UINT, CPoint pt)
{
    const int index = HitItem(pt);
    if (index >= 0)
        SendMessage(MN_CLICKED, static_cast<WPARAM>(static_cast<UINT>(index)), 0);
    return 1;
}

int DListBox::OnControlRButtonUp(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 0;
    SelectAndNotify(HitItem(pt), MN_RCLICK);
    return 1;
}

// ---------------------------------------------------------------- face

void DListBox::DrawItem(Gdiplus::Graphics& g, int index, const CRect& row)
{
    const DListItem* item = m_items[static_cast<size_t>(index)];
    const bool editing = index == m_editItem;
    if (editing) {
        if (m_editImage && m_editFrameW > 0)
            MRender::DrawImageFrame(g, m_editImage, CRect(47, row.top, row.right - 6, row.bottom), m_editFrameW, 0,
                                    m_editFrameW, m_editFrameH, 6);
    } else if (index == m_hoverItem || index == m_selItem) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(index == m_hoverItem ? m_hoverColor : m_selectColor)};
        g.FillRectangle(&brush, 1, row.top, row.Width() - 2, row.Height());
    }
    if (m_image && m_frameW > 0) {
        const int frame = index == m_selItem ? 1 : 0;
        const int x = (m_textIndent - m_frameW) / 2;
        const int y = row.top + (row.Height() - m_frameH) / 2;
        MRender::DrawImageFrame(g, m_image, CRect(x, y, x + m_frameW, y + m_frameH),
                                std::min(frame, m_imageCount - 1) * m_frameW, 0, m_frameW, m_frameH, 0);
    }
    if (!editing)
        DrawTitleText(g, item->text, CRect(m_textIndent, row.top, row.right, row.bottom), m_textColor);
}
