#include "KeyFuncControl.h"

#include <algorithm>

#include "MRender.h"
#include "MWindowCall.h"
#include "PaintManager.h"

namespace {
const int kItemHeight = 28;
const int kStretchMax = 60; // wider items use the nine-grid
const int kCorner = 8;
const int kIconSize = 20;
const int kFirstMediaValue = 232; // values from here on are media functions with a tooltip

// A key of the grid: caption, HID keyboard usage, left and right edge.
struct Key {
    const wchar_t* caption;
    int value;
    int left, right;
};

// A row of keys of equal width starting at `left`, one every `pitch` pixels.
struct Run {
    const wchar_t* captions;
    const int* values;
    int count;
    int left, pitch, width;
};
} // namespace

KeyFuncControl::KeyFuncControl(MObject* parent, UINT id, CRect rect, int visible) : MPanel(parent, id, rect, visible)
{
    m_hAlign = 1;
    m_vAlign = 4;
}

KeyFuncControl::~KeyFuncControl()
{
    MAutoLock guard(m_itemLock);
    DeleteItemsLocked();
}

void KeyFuncControl::OnWindowThread(const std::function<void()>& call) { MWindowCall::Run(this, call); }

LRESULT KeyFuncControl::OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (MWindowCall::Dispatch(msg, wparam, lparam))
        return 1;
    return MPanel::OnWindowMessage(msg, wparam, lparam);
}

// ---------------------------------------------------------------- items

void KeyFuncControl::DeleteItemsLocked()
{
    for (KeyFuncItem* item : m_items)
        delete item;
    m_items.clear();
    m_hoverItem = m_selItem = m_markItem = m_tipItem = -1;
}

void KeyFuncControl::AddItem(const wchar_t* caption, int value, CRect rect, const wchar_t* icon)
{
    auto* item = new KeyFuncItem;
    item->caption = CString(caption);
    item->value = value;
    item->rect = rect;
    item->iconFile = CString(icon);
    m_items.push_back(item);
}

void KeyFuncControl::InitItemInfo()
{
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            DeleteItemsLocked();
            // Media functions: icons only.
            static const struct {
                const wchar_t* icon;
                int value;
            } media[] = {
                {L"icon//icon_pc.png", 249},       {L"icon//icon_cal.png", 242},
                {L"icon//icon_email.png", 240},    {L"icon//icon_playpause.png", 238},
                {L"icon//icon_pre.png", 237},      {L"icon//icon_next.png", 239},
                {L"icon//icon_vol_down.png", 233}, {L"icon//icon_vol_up.png", 234},
                {L"icon//icon_vol_mute.png", 235}, {L"icon//icon_home.png", 241},
                {L"icon//icon_web_search.png", 247},
            };
            int n = 0;
            for (const auto& m : media) {
                AddItem(L"", m.value, CRect(50 * n, 0, 50 * n + 43, kItemHeight), m.icon);
                ++n;
            }
            auto keys = [this](int top, std::initializer_list<Key> list, int bottom = 0) {
                for (const Key& k : list)
                    AddItem(k.caption, k.value, CRect(k.left, top, k.right, bottom ? bottom : top + kItemHeight));
            };
            auto run = [this](int top, const wchar_t* const* captions, const int* values, int count, int left) {
                for (int k = 0; k < count; ++k)
                    AddItem(captions[k], values[k], CRect(left + 39 * k, top, left + 39 * k + 36, top + kItemHeight));
            };
            keys(38, {{L"Esc", 41, 0, 36},        {L"F1", 58, 78, 114},     {L"F2", 59, 117, 153},
                      {L"F3", 60, 156, 192},      {L"F4", 61, 195, 231},    {L"F5", 62, 260, 296},
                      {L"F6", 63, 299, 335},      {L"F7", 64, 338, 374},    {L"F8", 65, 377, 413},
                      {L"F9", 66, 442, 478},      {L"F10", 67, 481, 517},   {L"F11", 68, 520, 556},
                      {L"F12", 69, 559, 595},     {L"Print", 70, 616, 652}, {L"Scroll Lock", 71, 655, 691},
                      {L"Pause", 72, 694, 730}});
            keys(76, {{L"~", 53, 0, 36}});
            static const wchar_t* const digits[] = {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"0"};
            static const int digitValues[] = {30, 31, 32, 33, 34, 35, 36, 37, 38, 39};
            run(76, digits, digitValues, 10, 39);
            keys(76, {{L"-", 45, 429, 465},      {L"=", 46, 468, 504},     {L"Back", 42, 507, 595},
                      {L"Ins", 73, 616, 652},    {L"Home", 74, 655, 691},  {L"PgUp", 75, 694, 730},
                      {L"NumLock", 83, 750, 786}, {L"/", 84, 789, 825},    {L"*", 85, 828, 864},
                      {L"-", 86, 867, 903}});
            keys(109, {{L"Tab", 43, 0, 75}});
            static const wchar_t* const top[] = {L"Q", L"W", L"E", L"R", L"T", L"Y", L"U", L"I", L"O", L"P"};
            static const int topValues[] = {20, 26, 8, 21, 23, 28, 24, 12, 18, 19};
            run(109, top, topValues, 10, 78);
            keys(109, {{L"[", 47, 468, 503},   {L"]", 48, 507, 542},   {L"\\", 49, 546, 595},
                       {L"Del", 76, 616, 652}, {L"End", 77, 655, 691}, {L"PgDn", 78, 694, 730},
                       {L"7", 95, 750, 786},   {L"8", 96, 789, 825},   {L"9", 97, 828, 864}});
            keys(109, {{L"+", 87, 867, 903}}, 170);
            keys(142, {{L"Caps", 57, 0, 85}});
            static const wchar_t* const home[] = {L"A", L"S", L"D", L"F", L"G", L"H", L"J", L"K", L"L"};
            static const int homeValues[] = {4, 22, 7, 9, 10, 11, 13, 14, 15};
            run(142, home, homeValues, 9, 88);
            keys(142, {{L";", 51, 439, 475}, {L"'", 52, 478, 514}, {L"Enter", 40, 517, 595},
                       {L"4", 92, 750, 786}, {L"5", 93, 789, 825}, {L"6", 94, 828, 864}});
            keys(175, {{L"Shift", 225, 0, 101}});
            static const wchar_t* const bottom[] = {L"Z", L"X", L"C", L"V", L"B", L"N", L"M"};
            static const int bottomValues[] = {29, 27, 6, 25, 5, 17, 16};
            run(175, bottom, bottomValues, 7, 104);
            keys(175, {{L",<", 54, 377, 413},    {L".>", 55, 416, 452}, {L"/?", 56, 455, 491},
                       {L"Shift", 229, 494, 595}, {L"Up", 82, 655, 691}, {L"1", 89, 750, 786},
                       {L"2", 90, 789, 825},      {L"3", 91, 828, 864}});
            keys(175, {{L"Enter", 88, 867, 903}}, 236);
            keys(208, {{L"Ctrl", 224, 0, 50},     {L"Win", 227, 53, 103},   {L"Alt", 226, 106, 156},
                       {L"Space", 44, 159, 383},  {L"Alt", 230, 386, 436},  {L"App", 101, 439, 489},
                       {L"Ctrl", 228, 492, 542},  {L"Left", 80, 616, 652},  {L"Down", 81, 655, 691},
                       {L"Right", 79, 694, 730},  {L"0", 98, 750, 786},     {L".", 99, 789, 864}});
        }
        UpdateControl(1);
    });
}

void KeyFuncControl::ClearItems()
{
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            DeleteItemsLocked();
        }
        UpdateControl(1);
    });
}

void KeyFuncControl::SetItemDesc(int value, CString caption)
{
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            auto it = std::find_if(m_items.begin(), m_items.end(),
                                   [value](const KeyFuncItem* item) { return item->value == value; });
            if (it == m_items.end())
                return;
            (*it)->caption = caption;
        }
        UpdateControl(1);
    });
}

void KeyFuncControl::SetItemCheckByItemData(int value, int extra1, int extra2)
{
    OnWindowThread([&] {
        {
            MAutoLock guard(m_itemLock);
            m_markItem = -1;
            m_selItem = -1;
            if (value != 0) {
                for (size_t i = 0; i < m_items.size(); ++i) {
                    const KeyFuncItem* item = m_items[i];
                    if (item->value == value && item->extra1 == extra1 && item->extra2 == extra2) {
                        m_markItem = static_cast<int>(i);
                        break;
                    }
                }
            }
        }
        UpdateControl(1);
    });
}

bool KeyFuncControl::GetCurItemData(int& ignored, int& value, int& extra1, int& extra2, CString& caption)
{
    MAutoLock guard(m_itemLock);
    if (m_selItem < 0 || m_selItem >= static_cast<int>(m_items.size()))
        return false;
    const KeyFuncItem* item = m_items[static_cast<size_t>(m_selItem)];
    ignored = 0;
    value = item->value;
    extra1 = item->extra1;
    extra2 = item->extra2;
    caption = item->caption;
    return true;
}

int KeyFuncControl::GetItemCount()
{
    MAutoLock guard(m_itemLock);
    return static_cast<int>(m_items.size());
}

bool KeyFuncControl::GetItem(int index, KeyFuncItem& item)
{
    MAutoLock guard(m_itemLock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    item = *m_items[static_cast<size_t>(index)];
    return true;
}

int KeyFuncControl::GetHoverItem()
{
    MAutoLock guard(m_itemLock);
    return m_hoverItem;
}

int KeyFuncControl::GetSelectItem()
{
    MAutoLock guard(m_itemLock);
    return m_selItem;
}

int KeyFuncControl::GetMarkItem()
{
    MAutoLock guard(m_itemLock);
    return m_markItem;
}

// ---------------------------------------------------------------- input

CRect KeyFuncControl::WindowRectLocked(int index)
{
    CRect r = m_items[static_cast<size_t>(index)]->rect;
    r.OffsetRect(m_rect.left, m_rect.top - GetScrollOffsetY());
    return r;
}

int KeyFuncControl::ItemAtLocked(CPoint pt)
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (WindowRectLocked(static_cast<int>(i)).PtInRect(pt))
            return static_cast<int>(i);
    return -1;
}

int KeyFuncControl::OnControlMouseMove(UINT, CPoint pt)
{
    bool changed = false;
    CString tip;
    CRect tipRect;
    bool hideTip = false;
    {
        MAutoLock guard(m_itemLock);
        const int old = m_hoverItem;
        if (m_rect.PtInRect(pt)) {
            if (m_hoverItem >= 0 && m_hoverItem < static_cast<int>(m_items.size()) &&
                WindowRectLocked(m_hoverItem).PtInRect(pt)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                const KeyFuncItem* item = m_items[static_cast<size_t>(m_hoverItem)];
                if (item->value >= kFirstMediaValue && !item->caption.IsEmpty() && m_tipItem != m_hoverItem) {
                    m_tipItem = m_hoverItem;
                    tip = item->caption;
                    tipRect = WindowRectLocked(m_hoverItem);
                }
            } else {
                ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
                hideTip = m_tipItem >= 0;
                m_tipItem = -1;
                m_hoverItem = ItemAtLocked(pt);
            }
        } else {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            hideTip = m_tipItem >= 0 || (m_manager && m_manager->GetTooltipCtrlID() == static_cast<int>(m_id));
            m_tipItem = -1;
            m_hoverItem = -1;
        }
        changed = old != m_hoverItem;
    }
    if (hideTip)
        ClearTooltip();
    if (!tip.IsEmpty())
        SetTooltip(tip, tipRect);
    if (changed)
        UpdateControl(1);
    return 0;
}

int KeyFuncControl::OnControlLButtonDown(UINT, CPoint) { return 1; }

int KeyFuncControl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return 0;
    int index;
    {
        MAutoLock guard(m_itemLock);
        index = m_hoverItem = ItemAtLocked(pt);
        m_selItem = index;
    }
    UpdateControl(1);
    SendMessage(MN_CLICKED, static_cast<WPARAM>(static_cast<UINT>(index)), 0);
    return 1;
}

int KeyFuncControl::OnControlScroll(int, UINT, CPoint) { return 1; }

// ---------------------------------------------------------------- face

void KeyFuncControl::DrawFace(HDC&, int cx, int cy)
{
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    Gdiplus::Graphics& g = *bits;
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    const int style = m_fontStyle;
    m_fontStyle = 0; // captions are drawn in the regular style
    const int offset = GetScrollOffsetY();
    MAutoLock guard(m_itemLock);
    for (size_t i = 0; i < m_items.size(); ++i) {
        KeyFuncItem* item = m_items[i];
        CRect r = item->rect;
        r.OffsetRect(0, -offset);
        const int index = static_cast<int>(i);
        const int frame = index == m_markItem || index == m_selItem ? 2 : index == m_hoverItem ? 1 : 0;
        DrawImageState(g, r, frame, r.Width() <= kStretchMax ? 0 : kCorner);
        if (!item->iconFile.IsEmpty() && !item->icon && m_manager)
            if (ImgResInfo* info = m_manager->AddImgResInfo(item->iconFile, 1))
                item->icon = info->image;
        if (item->icon) {
            const int x = r.left + (r.Width() - kIconSize) / 2, y = r.top + (r.Height() - kIconSize) / 2;
            g.DrawImage(item->icon, Gdiplus::Rect(x, y, kIconSize, kIconSize));
        } else if (item->iconFile.IsEmpty()) {
            DrawTitleText(g, item->caption, r, m_textColor);
        }
    }
    m_fontStyle = style;
}
