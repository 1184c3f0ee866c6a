#include "MScrollList.h"

#include <algorithm>

#include "CListEditWnd.h"
#include "MRender.h"
#include "Manager.h"
#include "PaintManager.h"

namespace {
const int kWheelRows = 10;      // bar steps per wheel notch
} // namespace

MScrollList::MScrollList(MObject* parent, UINT id, CRect rect, int visible, int itemHeight, DWORD editBackColor)
    : MPanel(parent, id, rect, visible), m_itemHeight(itemHeight), m_hoverColor(Manager::GetSelectColor()),
      m_selectColor(Manager::GetSelectColor()), m_editBackColor(editBackColor)
{
    m_hAlign = 0;
    m_vAlign = 4;
    // No items yet: the bar stays hidden until the content outgrows the control.
    if (m_vbar) {
        m_vbar->SetRect(CRect(rect.right - m_barThickness, rect.top, rect.right, rect.bottom));
        m_vbar->SetVisible(0);
        m_vbar->SetScrollMaxRange(0);
    }
    if (m_hbar)
        m_hbar->SetVisible(0);
    m_firstVisible = m_lastVisible = 0;
}

MScrollList::~MScrollList() { delete m_edit; }

// ---------------------------------------------------------------- layout

bool MScrollList::BarShown() const { return m_vbar && m_vbar->IsVisible(); }

int MScrollList::RowWidth() const { return m_rect.Width() - (BarShown() ? m_barThickness : 0); }

int MScrollList::GetListOffset()
{
    MAutoLock guard(m_itemLock);
    return m_visibleTop;
}

void MScrollList::RelayoutLocked()
{
    const int content = ItemCount() * m_itemHeight;
    const int height = m_rect.Height();
    if (m_vbar) {
        m_vbar->SetVisible(content > height ? 1 : 0);
        m_vbar->SetScrollMaxRange(content);
        if (m_vbar->GetScrollCurrentPos() > content)
            m_vbar->SetScrollCurrentPos(content); // the list got shorter
    }
    const int range = m_vbar ? m_vbar->GetScrollMaxRange() : 0;
    const int position = m_vbar ? m_vbar->GetScrollCurrentPos() : 0;
    m_visibleTop = content > height && range > 0
                       ? static_cast<int>(static_cast<long long>(content - height) * position / range)
                       : 0;
    const int n = ItemCount();
    m_firstVisible = std::max(0, m_visibleTop / m_itemHeight);
    m_lastVisible = std::max(0, std::min(n - 1, (height + m_visibleTop) / m_itemHeight));
}

void MScrollList::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    MAutoLock guard(m_itemLock);
    RelayoutLocked();
}

void MScrollList::SetControlWndVisible(int visible)
{
    if (!visible)
        CancelEdit();
}

int MScrollList::ItemAtLocked(CPoint pt)
{
    if (ItemCount() <= 0 || m_firstVisible < 0)
        return -1;
    for (int i = m_firstVisible; i <= m_lastVisible && i < ItemCount(); ++i) {
        CRect row(0, m_itemHeight * (i - m_firstVisible), RowWidth(), m_itemHeight * (i - m_firstVisible + 1));
        row.OffsetRect(m_rect.left, m_rect.top);
        if (row.PtInRect(pt))
            return i;
    }
    return -1;
}

// ---------------------------------------------------------------- items

int MScrollList::GetItemCount()
{
    MAutoLock guard(m_itemLock);
    return ItemCount();
}

int MScrollList::DeleteItem(int index)
{
    int done = 0;
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            if (index < 0 || index >= ItemCount())
                return;
        }
        CancelEdit();
        {
            MAutoLock guard(m_itemLock);
            EraseItem(index);
            auto shift = [index](int& i) {
                if (i == index)
                    i = -1;
                else if (i > index)
                    --i;
            };
            shift(m_selItem);
            shift(m_hoverItem);
            RelayoutLocked();
        }
        done = 1;
        UpdateControl(1);
    });
    return done;
}

void MScrollList::DeleteAllItems()
{
    OnWindowThread([&] {
        CancelEdit();
        {
            MAutoLock guard(m_itemLock);
            EraseAllItems();
            m_selItem = m_hoverItem = -1;
            if (m_vbar)
                m_vbar->SetScrollCurrentPos(0);
            RelayoutLocked();
        }
        UpdateControl(1);
    });
}

int MScrollList::SwapItem(int first, int second)
{
    int done = 0;
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            const int n = ItemCount();
            if (first < 0 || first >= n || second < 0 || second >= n)
                return;
        }
        if (m_editItem == first || m_editItem == second)
            CancelEdit();
        MAutoLock guard(m_itemLock);
        SwapItems(first, second);
        done = 1;
    });
    return done;
}

int MScrollList::SetCurSel(int index)
{
    int result = 0;
    OnWindowThread([&] {
        bool changed = false;
        {
            MAutoLock guard(m_itemLock);
            if (index < -1 || index >= ItemCount())
                return;
            result = 1;
            changed = index != m_selItem;
            m_selItem = index;
        }
        if (changed)
            UpdateControl(1);
    });
    return result;
}

int MScrollList::GetCurSel()
{
    MAutoLock guard(m_itemLock);
    return m_selItem;
}

void MScrollList::SetItemHeight(int height)
{
    if (height < 1)
        return; // the visible-range arithmetic divides by it
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            if (height == m_itemHeight)
                return;
            m_itemHeight = height;
            RelayoutLocked();
        }
        UpdateControl(1);
    });
}

int MScrollList::GetItemHeight()
{
    MAutoLock guard(m_itemLock);
    return m_itemHeight;
}

CRect MScrollList::GetItemRect(int index)
{
    MAutoLock guard(m_itemLock);
    if (index < 0 || index >= ItemCount())
        return CRect();
    return *ItemRectOf(index);
}

int MScrollList::GetHoverItem()
{
    MAutoLock guard(m_itemLock);
    return m_hoverItem;
}

int MScrollList::GetEditItem()
{
    MAutoLock guard(m_itemLock);
    return m_editItem;
}

int MScrollList::GetFirstVisible()
{
    MAutoLock guard(m_itemLock);
    return m_firstVisible;
}

int MScrollList::GetLastVisible()
{
    MAutoLock guard(m_itemLock);
    return m_lastVisible;
}

void MScrollList::SelectAndNotify(int index, UINT code)
{
    bool changed;
    {
        MAutoLock guard(m_itemLock);
        changed = index != m_selItem;
        m_selItem = index;
    }
    if (changed)
        UpdateControl(1);
    SendMessage(code, static_cast<WPARAM>(static_cast<UINT>(index)), 0);
}

// ---------------------------------------------------------------- look and editing

void MScrollList::SetImageList(MImageList* list)
{
    OnWindowThread([&] { m_imageList = list; });
}

int MScrollList::SetEditImage(const wchar_t* file, int)
{
    int result = 0;
    OnWindowThread([&] {
        if (!m_manager || !file || !*file)
            return;
        ImgResInfo* info = m_manager->AddImgResInfo(file, 4);
        if (!info)
            return;
        m_editImage = info->image;
        m_editFrameW = info->frameWidth;
        m_editFrameH = info->frameHeight;
        result = 1;
    });
    return result;
}

void MScrollList::EnableShowEdit(int enable)
{
    OnWindowThread([&] { m_showEdit = enable != 0; });
}

int MScrollList::IsShowEditEnabled() { return m_showEdit ? 1 : 0; }

HWND MScrollList::GetEditWindow() const { return m_edit ? m_edit->GetHWND() : nullptr; }

COLORREF MScrollList::GetEditTextColor() const
{
    const Gdiplus::Color c(m_textColor);
    return RGB(c.GetR(), c.GetG(), c.GetB());
}

void MScrollList::ShowEdit()
{
    OnWindowThread([&] {
        HWND window = m_manager ? m_manager->GetPaintWnd() : nullptr;
        if (!m_showEdit || !window)
            return;
        int index, rowTop;
        CString text;
        {
            MAutoLock guard(m_itemLock);
            if (m_selItem < 0 || m_selItem >= ItemCount())
                return;
            index = m_selItem;
            rowTop = m_rect.top + m_itemHeight * (index - std::max(m_firstVisible, 0));
            text = EditTextOf(index);
        }
        if (m_editItem >= 0 && m_editItem != index)
            HideEdit();
        int spanLeft = 0, spanRight = 0;
        EditSpan(spanLeft, spanRight);
        if (m_imageList)
            spanLeft += 50;
        // The box's height follows the font size; the sizes the program uses are tuned.
        int height, top;
        switch (m_fontSize) {
        case 8: height = 12; top = rowTop + (m_itemHeight - 12) / 2; break;
        case 14: height = 20; top = rowTop + (m_itemHeight - 20) / 2 - 1; break;
        case 16: height = 24; top = rowTop + (m_itemHeight - 24) / 2 - 1; break;
        default: height = m_fontSize + 6; top = rowTop + (m_itemHeight - m_fontSize - 6) / 2; break;
        }
        CRect box(m_rect.left + spanLeft, top, m_rect.left + spanRight, top + height);
        const bool popup = m_manager->IsLayered() != 0;
        if (popup) {
            POINT corner = {box.left, box.top};
            ::ClientToScreen(window, &corner);
            box.OffsetRect(corner.x - box.left, corner.y - box.top);
        }
        if (!m_edit)
            m_edit = new CListEditWnd(this);
        HWND edit = m_edit->Create(window, box, popup, GetGDIFont());
        if (!edit)
            return;
        {
            MAutoLock guard(m_itemLock);
            m_editItem = index;
        }
        ::SetWindowPos(edit, HWND_TOP, box.left, box.top, box.Width(), box.Height(), SWP_NOACTIVATE);
        m_edit->SetText(text);
        ::ShowWindow(edit, SW_SHOWNOACTIVATE);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        m_focused = 1;
        UpdateControl(1);
    });
}

void MScrollList::HideEdit()
{
    OnWindowThread([&] {
        int index;
        bool changed = false;
        {
            MAutoLock guard(m_itemLock);
            index = m_editItem;
            if (index < 0)
                return;
            m_editItem = -1; // first: hiding the window takes its focus and calls back here
            if (index < ItemCount() && m_edit)
                changed = CommitEditText(index, m_edit->GetText());
        }
        m_focused = 0;
        if (m_edit && m_edit->GetHWND())
            ::ShowWindow(m_edit->GetHWND(), SW_HIDE);
        if (changed)
            SendMessage(MN_EDIT_END, 0, static_cast<LPARAM>(index));
        UpdateControl(1);
    });
}

void MScrollList::CancelEdit()
{
    {
        MAutoLock guard(m_itemLock);
        if (m_editItem < 0)
            return;
        m_editItem = -1;
    }
    m_focused = 0;
    if (m_edit && m_edit->GetHWND())
        ::ShowWindow(m_edit->GetHWND(), SW_HIDE);
    UpdateControl(1);
}

void MScrollList::OnEditKillFocus() { HideEdit(); }

// ---------------------------------------------------------------- input

LRESULT MScrollList::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (MWindowCall::Dispatch(msg, wparam, lparam))
        return 1;
    return MPanel::OnWindowMessage(msg, wparam, lparam);
}

LRESULT MScrollList::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam)
{
    if ((id == 1 || id == 2) && code == MN_POSITION) {
        HideEdit();
        {
            MAutoLock guard(m_itemLock);
            RelayoutLocked();
        }
        UpdateControl(1);
    }
    return MPanel::OnMessage(id, code, wparam, lparam);
}

int MScrollList::OnControlMouseMove(UINT, CPoint pt)
{
    bool changed;
    {
        MAutoLock guard(m_itemLock);
        if (ItemCount() <= 0 || m_firstVisible < 0)
            return 0;
        const int hover = ItemAtLocked(pt);
        changed = hover != m_hoverItem;
        m_hoverItem = hover;
    }
    if (changed)
        UpdateControl(1);
    return 0;
}

int MScrollList::OnControlScroll(int, UINT down, CPoint)
{
    bool moved = false;
    {
        MAutoLock guard(m_itemLock);
        if (!m_vbar || ItemCount() * m_itemHeight <= m_rect.Height())
            return 1;
    }
    HideEdit();
    {
        MAutoLock guard(m_itemLock);
        const int range = std::max(m_vbar->GetScrollMaxRange(), 0);
        const int old = m_vbar->GetScrollCurrentPos();
        const int delta = kWheelRows * m_vbar->GetScrollStep();
        const int pos = std::min(std::max(down == 1 ? old + delta : old - delta, 0), range);
        if (pos != old) {
            m_vbar->SetScrollCurrentPos(pos);
            RelayoutLocked();
            moved = true;
        }
    }
    if (moved) {
        UpdateControl(1);
        m_vbar->UpdateControl(1);
    }
    return 1;
}

// ---------------------------------------------------------------- face

void MScrollList::DrawFace(HDC&, int cx, int cy)
{
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    Gdiplus::Graphics& g = *bits;
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    MAutoLock guard(m_itemLock);
    const int width = RowWidth();
    for (int i = m_firstVisible; i >= 0 && i <= m_lastVisible && i < ItemCount(); ++i) {
        const int row = i - m_firstVisible;
        const CRect rect(0, m_itemHeight * row, width, m_itemHeight * (row + 1));
        *ItemRectOf(i) = rect;
        DrawItem(g, i, rect);
    }
}
