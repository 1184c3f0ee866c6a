// Context menus on real windows: sizing to the items, hover and click with real mouse
// input (the posted command with the item's id, the menu gone and deleted), closing when
// another window is activated, hidden items; and the item faces.
#include <gtest/gtest.h>

#include "ui/controls/MenuItem.h"
#include "ui/controls/MenuWnd.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const UINT kMenuMessage = WM_APP + 40;

// A menu that tells when it is deleted.
class WatchedMenu : public MenuWnd {
public:
    WatchedMenu(bool* deleted) : MenuWnd(nullptr), deleted_(deleted) { *deleted_ = false; }
    ~WatchedMenu() override { *deleted_ = true; }

private:
    bool* deleted_;
};

// The owner of the menus: a visible window that records the menu's posted commands.
struct Owner {
    TestDialog dlg;
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    Owner()
    {
        dlg.intercept = [this](UINT msg, WPARAM w, LPARAM l) {
            if (msg != kMenuMessage)
                return false;
            commands.emplace_back(w, l);
            return true;
        };
        dlg.Create(nullptr, L"menu owner", WS_POPUP | WS_VISIBLE, 0, CRect(40, 40, 640, 540));
        ActivateWindow(dlg.GetSafeHwnd());
    }
};

// Width of a text in the menus' default font, measured as the menu measures.
int TextWidth(MenuWnd& menu, const wchar_t* text)
{
    Gdiplus::FontFamily* family = menu.GetPaintManager().FindTempFont(L"");
    Gdiplus::Font font(family ? family : Gdiplus::FontFamily::GenericSansSerif(),
                       static_cast<Gdiplus::REAL>(Manager::GetFontWidth()), 0, Gdiplus::UnitPixel);
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return MRender::GetTextBounds(font, format, CString(text)).cx;
}

const wchar_t kLong[] = L"A rather long menu entry that needs much more than three hundred pixels";

} // namespace

TEST(MenuLayout, WidthFitsTheWidestTextAndHeightTheRows)
{
    Owner owner;
    bool deleted = false;
    auto* menu = new WatchedMenu(&deleted);
    menu->AddMenu(L"a", 101);
    menu->AddMenu(kLong, 102);
    menu->AddMenu(L"c", 103);
    const int textW = TextWidth(*menu, kLong);
    ASSERT_GT(textW + 9, 300) << "the text must be wider than the default menu";
    ASSERT_EQ(menu->Create(owner.dlg.GetSafeHwnd(), CPoint(100, 120), kMenuMessage), 1);
    HWND hwnd = menu->GetSafeHwnd();
    CRect window;
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.Width(), textW + 9) << "text width + left margin 5 + 4";
    EXPECT_EQ(window.Height(), 6 + 3 * 35 + 6);
    EXPECT_EQ(window.TopLeft(), CPoint(100, 120));
    CRect client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.Size(), window.Size()) << "no caption or frame";
    EXPECT_EQ(menu->GetControl(102)->GetRect(), CRect(2, 41, textW + 9 - 2, 76));
    EXPECT_NE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    DestroyWindow(hwnd);
    EXPECT_TRUE(deleted) << "the menu deletes itself with its window";
}

TEST(MenuLayout, HiddenItemsTakeNoSpace)
{
    Owner owner;
    auto* menu = new MenuWnd(nullptr);
    menu->AddMenu(L"a", 101);
    menu->AddMenu(L"b", 102);
    menu->AddSeparator(104);
    menu->AddMenu(L"c", 103);
    menu->SetItemVisible(L"102", 0);
    menu->SetItemTitle(L"103", L"renamed");
    menu->SetItemEnable(L"103", 0);
    menu->SetItemVisible(L"not an id", 0);
    ASSERT_EQ(menu->Create(owner.dlg.GetSafeHwnd(), CPoint(100, 120), kMenuMessage), 1);
    HWND hwnd = menu->GetSafeHwnd();
    CRect window;
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.Height(), 6 + 35 + 4 + 35 + 6) << "two items and a separator";
    EXPECT_TRUE(menu->GetControl(102)->GetRect().IsRectNull());
    EXPECT_EQ(menu->GetControl(104)->GetRect(), CRect(6, 42, 299, 43));
    auto* c = static_cast<MenuItem*>(menu->GetControl(103));
    EXPECT_STREQ(c->GetTitle(), L"renamed");
    EXPECT_EQ(c->IsEnabled(), 0);
    EXPECT_EQ(c->GetState(), 3);
    DestroyWindow(hwnd);
}

TEST(MenuInput, ClickOnAnItemPostsItsIdAndTheMenuGoes)
{
    Owner owner;
    bool deleted = false;
    auto* menu = new WatchedMenu(&deleted);
    menu->AddMenu(L"first", 101);
    menu->AddMenu(L"second", 102);
    menu->AddMenu(L"third", 103);
    ASSERT_EQ(menu->Create(owner.dlg.GetSafeHwnd(), CPoint(200, 150), kMenuMessage), 1);
    HWND hwnd = menu->GetSafeHwnd();
    menu->ShowWindow(SW_SHOW);
    ActivateWindow(hwnd);
    ASSERT_EQ(GetForegroundWindow(), hwnd);

    auto* second = static_cast<MenuItem*>(menu->GetControl(102));
    MoveMouse(200 + 100, 150 + 6 + 35 + 17);
    ASSERT_TRUE(PumpUntil([&] { return second->GetState() == 1; })) << "hover";
    EXPECT_EQ(static_cast<MenuItem*>(menu->GetControl(101))->GetState(), 0);
    Click(MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(PumpUntil([&] { return second->GetState() == 2; })) << "pressed";
    Click(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); })) << "the menu closes after the click";
    Pump(50);
    EXPECT_TRUE(deleted);
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0].first, 0u);
    EXPECT_EQ(owner.commands[0].second, 102);
    MoveMouse(5, 5);
}

TEST(MenuInput, ActivatingAnotherWindowClosesTheMenuWithoutACommand)
{
    Owner owner;
    bool deleted = false;
    auto* menu = new WatchedMenu(&deleted);
    menu->AddMenu(L"first", 101);
    ASSERT_EQ(menu->Create(owner.dlg.GetSafeHwnd(), CPoint(200, 150), kMenuMessage), 1);
    HWND hwnd = menu->GetSafeHwnd();
    menu->ShowWindow(SW_SHOW);
    ActivateWindow(hwnd);
    ASSERT_EQ(GetForegroundWindow(), hwnd);

    TestDialog other;
    other.Create(nullptr, L"another window", WS_POPUP | WS_VISIBLE, 0, CRect(700, 100, 800, 200));
    ActivateWindow(other.GetSafeHwnd());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
    Pump(50);
    EXPECT_TRUE(deleted);
    EXPECT_TRUE(owner.commands.empty());
}

// ---------------------------------------------------------------- MenuItem

namespace {

struct Item {
    PaintManager pm;
    RecordingOwner owner;
    MenuItem item;
    Item() : item(&owner, 21, CRect(0, 0, 200, 35), L"", 1, 1)
    {
        item.SetManager(&pm);
        item.SetTextIndent(30);
    }
    uint32_t At(int x, int y)
    {
        Canvas canvas(200, 35, 0x000000);
        item.SetUpdate(0, 0);
        item.Draw(canvas.dc(), CRect(0, 0, 200, 35));
        return canvas.Rgb(x, y);
    }
};

} // namespace

// Icon frames by slot: slot j shows frame j, and frame 0 once j reaches the frame count
// (a frame past the strip would read outside the image).
TEST(MenuItemFace, IconFrameBySlotAndFrameZeroPastTheStrip)
{
    Item t;
    ASSERT_EQ(t.item.SetImage(SkinName(L"frames3.png").c_str(), 3), 1);
    EXPECT_TRUE(RgbNear(t.At(15, 17), 0xFF0000, 8)) << "normal: frame 0, centred in the indent";
    t.item.SetControlCheck(1);
    EXPECT_EQ(t.item.GetState(), 2);
    EXPECT_TRUE(RgbNear(t.At(15, 17), 0x0000FF, 8)) << "checked: frame 2";
    t.item.SetEnabled(0);
    EXPECT_EQ(t.item.GetState(), 3);
    EXPECT_TRUE(RgbNear(t.At(15, 17), 0xFF0000, 8)) << "disabled: slot 3 of a 3-frame strip shows frame 0";
}

TEST(MenuItemInput, HoverPressAndClick)
{
    Item t;
    EXPECT_TRUE(RgbNear(t.At(150, 17), 0x000000));
    t.item.OnMouseMove(0, CPoint(100, 10));
    EXPECT_EQ(t.item.GetState(), 1);
    EXPECT_TRUE(RgbNear(t.At(150, 17), 0xC95100)) << "hover highlight";
    t.item.OnLButtonDown(MK_LBUTTON, CPoint(100, 10));
    EXPECT_EQ(t.item.GetState(), 2);
    t.item.OnLButtonUp(0, CPoint(100, 10));
    EXPECT_EQ(t.item.GetState(), 1);
    ASSERT_EQ(t.owner.notes.size(), 1u);
    EXPECT_EQ(t.owner.notes[0].code, 2u);
    t.item.OnLButtonDown(MK_LBUTTON, CPoint(100, 10));
    t.item.OnLButtonUp(0, CPoint(300, 10));
    EXPECT_EQ(t.item.GetState(), 0);
    EXPECT_EQ(t.owner.notes.size(), 1u) << "no click when released outside";
    EXPECT_EQ(t.item.SetCheck(1), 0);
    EXPECT_EQ(t.item.GetCheck(), 0) << "items are not checkable";
}
