#include "MenuWnd.h"

#include <cwchar>

#include "MRender.h"
#include "Manager.h"
#include "MenuItem.h"

namespace {
const UINT kNoId = static_cast<UINT>(-1);
}

MenuWnd::MenuWnd(MObject* parent) : m_fontName(Manager::GetFontName()), m_fontSize(Manager::GetFontWidth())
{
    m_parent = parent;
    m_colorKey = 0xFFFFFF;
}

MenuWnd::~MenuWnd() = default;

const wchar_t* MenuWnd::GetClassName() { return L"MenuWnd"; }

void MenuWnd::OnDestroyMessage(HWND hwnd)
{
    MPopupWnd::OnDestroyMessage(hwnd);
    delete this; // nothing touches the object after its window is gone
}

LRESULT MenuWnd::OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM)
{
    if (m_owner && IsWindow(m_owner))
        ::PostMessageW(m_owner, m_message, wparam, static_cast<LPARAM>(id));
    if (code == MN_CLICKED)
        CloseWindow();
    return 0;
}

// ---------------------------------------------------------------- creation

int MenuWnd::Create(HWND owner, CPoint pt, UINT message)
{
    m_owner = owner;
    m_message = message;
    SetMenuPoint();
    const CRect rect(pt.x, pt.y, pt.x + m_width, pt.y + m_height);
    return MWindow::Create(owner, L"Menu Window", 0x80B, WS_EX_TOOLWINDOW, rect) ? 1 : 0;
}

int MenuWnd::Create(HWND owner, CPoint pt, UINT message, UINT backgroundResId, int corner, int width,
                    enumBackMode mode)
{
    LoadBKImage(backgroundResId, L"PNG");
    m_width = width;
    SetBackMode(mode, corner);
    return Create(owner, pt, message);
}

int MenuWnd::Create(HWND owner, CPoint pt, UINT message, CString backgroundFile, int corner, int width,
                    enumBackMode mode)
{
    LoadBKImage(backgroundFile);
    m_width = width;
    SetBackMode(mode, corner);
    return Create(owner, pt, message);
}

// ---------------------------------------------------------------- items

MenuItem* MenuWnd::NewItem(const CString& text, UINT id)
{
    auto* item = static_cast<MenuItem*>(CreateControl(L"MenuItem", id, CRect(), text, 1, 1));
    if (item)
        item->SetFont(m_fontName, m_fontSize, static_cast<Gdiplus::FontStyle>(m_fontStyle));
    return item;
}

int MenuWnd::AddMenu(CString text, UINT id, int iconResId, int, int)
{
    Gdiplus::FontFamily* family = m_pm.FindTempFont(m_fontName);
    Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(),
                       static_cast<Gdiplus::REAL>(m_fontSize), m_fontStyle, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    const int needed = MRender::GetTextBounds(font, format, text).cx + m_leftMargin + 4;
    if (needed > m_width)
        m_width = needed;
    if (MenuItem* item = NewItem(text, id)) {
        if (iconResId > 0) {
            if (ImgResInfo* icon = m_pm.AddImgResInfo(static_cast<UINT>(iconResId), L"PNG", 4, 1))
                item->SetIcon(icon);
        }
    }
    SetMenuPoint();
    return -1;
}

int MenuWnd::AddMenu(CString text, UINT id, CString iconFile, int, int)
{
    const int result = AddMenu(text, id, 0, 0, 0);
    if (!iconFile.IsEmpty()) {
        if (auto* item = dynamic_cast<MenuItem*>(GetControl(id)))
            item->SetImage(iconFile, 4);
    }
    return result;
}

int MenuWnd::AddSeparator(UINT id, CString imageFile)
{
    if (MenuItem* item = NewItem(CString(), id)) {
        item->SetSeparator(1);
        if (!imageFile.IsEmpty())
            item->SetImage(imageFile, 1);
    }
    SetMenuPoint();
    return -1;
}

MenuWnd::PendingChange& MenuWnd::Pending(const CString& key)
{
    for (PendingChange& p : m_pending)
        if (p.key == key)
            return p;
    m_pending.push_back(PendingChange{key});
    return m_pending.back();
}

void MenuWnd::SetItemTitle(CString key, CString title) { Pending(key).title = title; }
void MenuWnd::SetItemVisible(CString key, int visible) { Pending(key).visible = visible ? 1 : 0; }
void MenuWnd::SetItemEnable(CString key, int enabled) { Pending(key).enabled = enabled ? 1 : 0; }
void MenuWnd::SetItemCheck(CString key, int check) { Pending(key).check = check ? 1 : 0; }

void MenuWnd::InitUI(CRect)
{
    for (const PendingChange& p : m_pending) {
        wchar_t* end = nullptr;
        const unsigned long id = wcstoul(p.key.c_str(), &end, 10);
        if (p.key.IsEmpty() || !end || *end)
            continue; // not an item id
        auto* item = dynamic_cast<MenuItem*>(GetControl(static_cast<UINT>(id)));
        if (!item)
            continue;
        if (!p.title.IsEmpty())
            item->SetTitle(p.title);
        if (p.visible == 0)
            item->SetVisible(0);
        if (p.enabled == 0)
            item->SetEnabled(0);
        // A check change has no effect: items are not checkable.
    }
    SetMenuPoint();
}

// ---------------------------------------------------------------- layout and look

void MenuWnd::SetMenuPoint()
{
    Gdiplus::Image* hover = m_hoverImage ? m_hoverImage->image : nullptr;
    Gdiplus::Image* check = m_checkImage ? m_checkImage->image : nullptr;
    int y = TopMargin();
    // A copy: laying out may request repaints. The menu's controls change only on the
    // window's thread (nothing of a menu runs on the periodic tick).
    const std::vector<MControl*> controls = m_pm.GetControls();
    for (MControl* c : controls) {
        if (auto* item = dynamic_cast<MenuItem*>(c)) {
            item->SetFrameWidth(m_itemFrameWidth);
            if (!item->IsVisible()) {
                item->SetRect(CRect());
            } else if (item->IsSeparator()) {
                item->SetRect(CRect(m_leftMargin + 1, y + 1, m_width - 1, y + 2));
                y += 4;
            } else {
                item->SetRect(CRect(2, y, m_width - 2, y + m_itemHeight));
                y += m_itemHeight;
                item->SetTextIndent(m_leftMargin);
                item->SetHoverImage(hover);
                if (!hover)
                    item->SetHoverColor(m_hoverColor);
                item->SetCheckImage(check);
            }
        } else if (c->GetControlID() == kNoId) {
            c->SetRect(CRect(m_leftMargin + 4, y + 1, m_width - 9, y + 2));
            y += 4;
        }
    }
    m_height = y + BottomMargin();
    if (m_hwnd) {
        SetWindowPos(nullptr, 0, 0, m_width, m_height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        InvalidateRect(nullptr, FALSE);
    }
}

void MenuWnd::SetMenuFont(const wchar_t* name, int size, int style)
{
    m_fontName = CString(name);
    m_fontSize = size;
    m_fontStyle = style;
}

void MenuWnd::SetMargins(int top, int bottom)
{
    m_topMargin = top;
    m_bottomMargin = bottom;
}

int MenuWnd::SetHoverImage(const wchar_t* file)
{
    m_hoverImage = file && *file ? m_pm.AddImgResInfo(file, 1) : nullptr;
    return m_hoverImage ? 1 : 0;
}

int MenuWnd::SetCheckImage(const wchar_t* file)
{
    m_checkImage = file && *file ? m_pm.AddImgResInfo(file, 1) : nullptr;
    return m_checkImage ? 1 : 0;
}
