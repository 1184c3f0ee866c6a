#include "CRecordList.h"

#include <algorithm>
#include <cwchar>

namespace {
// Columns, relative to the control's left edge.
const int kNameX = 0, kNameW = 160;
const int kTypeX = 180, kTypeW = 100;
const int kDelayX = 300, kDelayW = 120;
const int kEmptyDelay = 10; // an emptied delay edit stands for this

int ClampDelay(long delay) { return static_cast<int>(std::min<long>(std::max<long>(delay, 0), CRecordList::kMaxDelay)); }
} // namespace

CRecordList::CRecordList(MObject* parent, UINT id, CRect rect, int visible)
    : MScrollList(parent, id, rect, visible, 41, 0x351806)
{
    m_showEdit = true; // the delay column is always editable
}

CRecordList::~CRecordList()
{
    MAutoLock guard(m_itemLock);
    EraseAllItems();
}


int CRecordList::AddString(CString text, int type, int value, int delay)
{
    int index = -1;
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            auto* item = new RecordItem;
            item->text = text;
            item->type = type;
            item->value = value;
            item->delay = delay;
            m_items.push_back(item);
            index = ItemCount() - 1;
            RelayoutLocked();
        }
        UpdateControl(1);
    });
    return index;
}

bool CRecordList::UpdateDelayTime(int delay)
{
    bool done = false;
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            if (m_items.empty())
                return;
            m_items.back()->delay = ClampDelay(delay);
            done = true;
        }
        UpdateControl(1);
    });
    return done;
}

std::vector<RecordItem*> CRecordList::GetRecordItems()
{
    MAutoLock guard(m_itemLock);
    return m_items;
}

CString CRecordList::EditTextOf(int index)
{
    CString text;
    text.Format(L"%d", m_items[static_cast<size_t>(index)]->delay);
    return text;
}

bool CRecordList::CommitEditText(int index, const CString& text)
{
    const int delay = text.IsEmpty() ? kEmptyDelay : ClampDelay(wcstol(text.c_str(), nullptr, 10));
    RecordItem* item = m_items[static_cast<size_t>(index)];
    if (item->delay == delay)
        return false;
    item->delay = delay;
    return true;
}

void CRecordList::EditSpan(int& left, int& right)
{
    left = kDelayX;
    right = kDelayX + kDelayW;
}

int CRecordList::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 0;
    int index;
    {
        MAutoLock guard(m_itemLock);
        index = m_hoverItem = ItemAtLocked(pt);
    }
    const int x = pt.x - m_rect.left;
    const bool onDelay = index >= 0 && x >= kDelayX && x < kDelayX + kDelayW;
    if (!onDelay || index != GetEditItem())
        HideEdit();
    SelectAndNotify(index, MN_PRESSED);
    if (onDelay && GetEditItem() != index)
        ShowEdit();
    return 1;
}

int CRecordList::OnControlRButtonUp(UINT, CPoint pt)
{
    int index;
    {
        MAutoLock guard(m_itemLock);
        index = m_hoverItem = ItemAtLocked(pt);
    }
    if (index < 0)
        return 0;
    SelectAndNotify(index, MN_RCLICK);
    return 1;
}

void CRecordList::DrawItem(Gdiplus::Graphics& g, int index, const CRect& row)
{
    const RecordItem* item = m_items[static_cast<size_t>(index)];
    const Gdiplus::ARGB text = m_textColor;
    DrawTitleText(g, item->text, CRect(kNameX, row.top, kNameX + kNameW, row.bottom), text);
    const wchar_t* type = item->type == 2 ? L"Key Down" : item->type == 3 ? L"Key Up" : L"";
    DrawTitleText(g, type, CRect(kTypeX, row.top, kTypeX + kTypeW, row.bottom), text);
    if (index != m_editItem) {
        CString delay;
        delay.Format(L"%d", item->delay);
        DrawTitleText(g, delay, CRect(kDelayX, row.top, kDelayX + kDelayW, row.bottom), text);
    }
    if (index == m_selItem || index == m_hoverItem) {
        Gdiplus::Pen pen{Gdiplus::Color(index == m_hoverItem ? m_hoverColor : m_selectColor), 1.0f};
        g.DrawRectangle(&pen, 0, row.top, row.Width() - 2, row.Height() - 1);
    }
}
