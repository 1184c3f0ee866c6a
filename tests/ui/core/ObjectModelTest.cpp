// The control tree without a window: the class-name factory, repaint requests, the
// parent chain, lookups, layout values, fonts, and every input dispatcher of MControl.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>

#include "ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

struct Tree {
    RecordingOwner owner;
    ProbeControl* root;
    Tree() : root(new ProbeControl(&owner, 100, CRect(0, 0, 200, 100))) {}
    ~Tree() { delete root; }
    ProbeControl* Add(UINT id, CRect rect)
    {
        auto* c = new ProbeControl(root, id, rect);
        root->AddControl(c);
        return c;
    }
};

} // namespace

// ---------------------------------------------------------------- factory

TEST(ControlFactory, UnknownEmptyAndMisspelledNamesCreateNothing)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 100, 100), 1);
    PaintManager manager;
    for (const wchar_t* name : {L"", L"carea", L"CArea ", L"Area", L"FSControl", L"MPanel", L"CScrollVertical"}) {
        EXPECT_EQ(panel.CreateControl(name, 10, CRect(0, 0, 10, 10), L"", 1, 1), nullptr) << "panel: " << name;
        EXPECT_EQ(manager.CreateControl(&owner, name, 10, CRect(0, 0, 10, 10), L"", 1, 1), nullptr)
            << "window: " << name;
    }
    EXPECT_EQ(panel.CreateControl(nullptr, 10, CRect(), L"", 1, 1), nullptr);
    EXPECT_EQ(panel.GetControls().size(), 2u); // only the scroll bars
    EXPECT_TRUE(manager.GetControls().empty());
    EXPECT_TRUE(manager.GetAreas().empty());
}

TEST(ControlFactory, CreatesIntoTheAskedListInOrderWithEnabledForcedAndTheOwnersManager)
{
    RecordingOwner owner;
    PaintManager manager;
    auto* panel = new MPanel(&owner, 5, CRect(0, 0, 100, 100), 1);
    manager.AddControl(panel);
    ASSERT_EQ(panel->GetManager(), &manager);

    MControl* a = panel->CreateControl(L"CArea", 11, CRect(0, 0, 10, 10), L"ignored", 1, 0);
    MControl* b = panel->CreateArea(L"CArea", 12, CRect(0, 0, 10, 10), L"", 0, 0);
    MControl* c = panel->CreateControl(L"CArea", 13, CRect(0, 0, 10, 10), L"", 1, 1);
    ASSERT_TRUE(a && b && c);
    EXPECT_TRUE(a->IsClass(L"FSControl"));
    EXPECT_EQ(a->IsEnabled(), 1) << "an area is always created enabled";
    EXPECT_EQ(b->IsVisible(), 0);
    EXPECT_EQ(a->GetParantObject(), panel);
    EXPECT_EQ(a->GetManager(), &manager);
    ASSERT_EQ(panel->GetControls().size(), 4u);
    EXPECT_EQ(panel->GetControls()[2], a);
    EXPECT_EQ(panel->GetControls()[3], c);
    ASSERT_EQ(panel->GetAreas().size(), 1u);
    EXPECT_EQ(panel->GetAreas()[0], b);

    MControl* top = manager.CreateArea(&owner, L"CArea", 20, CRect(0, 0, 5, 5), L"", 1, 1);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->GetManager(), &manager);
    EXPECT_EQ(manager.GetAreas().back(), top);
}

// ---------------------------------------------------------------- repaint requests

TEST(RepaintRequest, StateChangesRequestTheRightRectsOnlyWhenSomethingChanged)
{
    struct Case {
        const char* what;
        int startVisible;
        std::function<void(MControl&)> act;
        std::vector<RecordingOwner::Update> expected; // control filled in below
    };
    const CRect r(10, 20, 50, 40);
    const std::vector<Case> cases = {
        {"hide: one rebuild of the old rect", 1, [](MControl& c) { c.SetVisible(0); }, {{r, 1, nullptr}}},
        {"hide again: nothing", 0, [](MControl& c) { c.SetVisible(0); }, {}},
        {"show: one rebuild", 0, [](MControl& c) { c.SetVisible(1); }, {{r, 1, nullptr}}},
        {"hide without request", 1, [](MControl& c) { c.SetVisible(0, 0); }, {}},
        {"visible with another true value: nothing", 1, [](MControl& c) { c.SetVisible(5); }, {}},
        {"move: union of old and new", 1, [](MControl& c) { c.SetRect(CRect(40, 30, 70, 60)); },
         {{CRect(10, 20, 70, 60), 1, nullptr}}},
        {"move by size", 1, [](MControl& c) { c.SetRect(0, 0, 5, 5); }, {{CRect(0, 0, 50, 40), 1, nullptr}}},
        {"move while hidden: nothing", 0, [](MControl& c) { c.SetRect(CRect(0, 0, 5, 5)); }, {}},
        {"disable: rebuild", 1, [](MControl& c) { c.SetEnabled(0); }, {{r, 1, nullptr}}},
        {"enable when enabled: nothing", 1, [](MControl& c) { c.SetEnabled(1); }, {}},
        {"disable while hidden: nothing", 0, [](MControl& c) { c.SetEnabled(0); }, {}},
        {"update without rebuild", 1, [](MControl& c) { c.UpdateControl(0); }, {{r, 0, nullptr}}},
        {"update while hidden: nothing", 0, [](MControl& c) { c.UpdateControl(1); }, {}},
        {"forced update while hidden", 0, [](MControl& c) { c.UpdateControl(1, 1); }, {{r, 1, nullptr}}},
        {"update of a given rect", 1, [](MControl& c) { c.UpdateControl(CRect(1, 2, 3, 4), 0, 1); },
         {{CRect(1, 2, 3, 4), 1, nullptr}}},
        {"animation update never rebuilds", 1, [](MControl& c) { c.UpdateAControl(0); }, {{r, 0, nullptr}}},
    };
    for (const Case& k : cases) {
        RecordingOwner owner;
        ProbeControl c(&owner, 7, r);
        c.SetVisible(k.startVisible, 0);
        k.act(c);
        ASSERT_EQ(owner.updates.size(), k.expected.size()) << k.what;
        for (size_t i = 0; i < k.expected.size(); ++i) {
            EXPECT_EQ(owner.updates[i].rect, k.expected[i].rect) << k.what;
            EXPECT_EQ(owner.updates[i].rebuild, k.expected[i].rebuild) << k.what;
            EXPECT_EQ(owner.updates[i].control, &c) << k.what;
        }
    }
}

TEST(RepaintRequest, TitleAlignmentAndImageRebuildOnlyWhenVisibleAndChanged)
{
    RecordingOwner owner;
    ProbeControl c(&owner, 7, CRect(0, 0, 10, 10));
    c.SetTitle(L"a");
    c.SetAlignment(1);
    c.SetAlignment(1); // unchanged
    c.SetVAlignment(4); // unchanged default
    c.SetAlignment(2, 8);
    c.SetFont(L"Other", 20, Gdiplus::FontStyleBold); // stores only
    c.SetTextColor(Gdiplus::Color(0xFF102030));      // stores only
    EXPECT_EQ(owner.updates.size(), 3u);
    for (const auto& u : owner.updates)
        EXPECT_EQ(u.rebuild, 1);
    EXPECT_STREQ(c.GetTitle(), L"a");
    EXPECT_EQ(c.GetFontWidth(), 20);
    EXPECT_EQ(c.GetTextColorValue(), 0xFF102030u);
}

// ---------------------------------------------------------------- the parent chain

TEST(ParentChain, VisibilityOfAncestorsAndClassNames)
{
    RecordingOwner dialog; // answers "MDialog"
    MPanel outer(&dialog, 1, CRect(0, 0, 100, 100), 1);
    auto* inner = new MPanel(&outer, 2, CRect(0, 0, 50, 50), 1);
    outer.AddControl(inner);
    auto* leaf = new ProbeControl(inner, 3, CRect(0, 0, 10, 10));
    inner->AddControl(leaf);

    EXPECT_EQ(leaf->IsParentVisible(), 1);
    inner->SetVisible(0, 0);
    EXPECT_EQ(leaf->IsParentVisible(), 0) << "own flag is 1 but the panel is hidden";
    EXPECT_EQ(leaf->IsVisible(), 1);
    inner->SetVisible(1, 0);
    outer.SetVisible(0, 0);
    EXPECT_EQ(leaf->IsParentVisible(), 0);

    ProbeControl orphan(nullptr, 4, CRect());
    EXPECT_EQ(orphan.IsParentVisible(), 0);

    EXPECT_STREQ(leaf->GetClassName(), L"FSControl");
    EXPECT_EQ(leaf->IsClass(L"FSControl"), 1);
    EXPECT_EQ(leaf->IsClass(L"fscontrol"), 0);
    EXPECT_EQ(leaf->IsClass(nullptr), 0);
    MObject plain;
    EXPECT_EQ(plain.GetClassName(), nullptr);
    EXPECT_EQ(plain.IsClass(L""), 0);
}

TEST(ParentChain, GetControlSearchesDepthFirstControlsBeforeAreas)
{
    Tree t;
    auto* a = t.Add(1000, CRect());
    auto* a1 = new ProbeControl(a, 1001, CRect());
    a->AddControl(a1);
    auto* dup = new ProbeControl(a, 2000, CRect()); // same id as the area below: controls win
    a->AddControl(dup);
    auto* area = new ProbeControl(t.root, 2000, CRect());
    t.root->AddArea(area);
    auto* areaChild = new ProbeControl(area, 3000, CRect());
    area->AddControl(areaChild);

    EXPECT_EQ(t.root->GetControl(1000), a);
    EXPECT_EQ(t.root->GetControl(1001), a1);
    EXPECT_EQ(t.root->GetControl(2000), dup);
    EXPECT_EQ(t.root->GetControl(3000), areaChild);
    EXPECT_EQ(t.root->GetControl(4242), nullptr);
}

TEST(ParentChain, RemovingAChildForgetsItAndIgnoresStrangers)
{
    Tree t;
    PaintManager manager;
    t.root->SetManager(&manager);
    auto* a = t.Add(1, CRect(0, 0, 50, 50));
    t.root->OnMouseMove(0, CPoint(10, 10));
    ASSERT_EQ(t.root->GetHoverChild(), a);
    manager.SetFocusControl(a);

    ProbeControl stranger(&t.owner, 9, CRect());
    t.root->RemoveControl(&stranger); // not a child: left alone
    t.root->RemoveControl(a);
    EXPECT_EQ(t.root->GetHoverChild(), nullptr);
    EXPECT_EQ(manager.GetFocusControl(), nullptr);
    EXPECT_TRUE(t.root->GetControls().empty());
    // Dispatch after the removal reaches nobody that is gone.
    EXPECT_EQ(t.root->OnLButtonDown(0, CPoint(10, 10)), 1);
}

// ---------------------------------------------------------------- values

TEST(LayoutValue, PositionItem2ValueModes)
{
    struct Case {
        int mode, fromEnd;
        float value;
        int expected;
    } cases[] = {
        {0, 0, 15, 115}, {0, 1, 15, 285},  {1, 0, 10, 210}, {1, 1, 10, 190},
        {2, 0, 25, 150}, {2, 0, 150, 300}, {2, 1, 50, 200}, {7, 0, 5, 0},
    };
    for (const Case& c : cases) {
        FS_POSITION_ITEM item;
        item.mode = c.mode;
        item.fromEnd = c.fromEnd;
        item.value = c.value;
        EXPECT_EQ(MControl::PositionItem2Value(item, 100, 300), c.expected) << "mode " << c.mode << " value " << c.value;
    }
}

TEST(ControlCursor, KnownKeywordsSelectASystemCursorOthersKeepIt)
{
    ProbeControl c(nullptr, 1, CRect());
    EXPECT_EQ(c.GetCursor(), nullptr);
    c.SetCursorEx(L"hand");
    EXPECT_EQ(c.GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    c.SetCursorEx(L"Hand");   // case-sensitive: unchanged
    c.SetCursorEx(L"pointer"); // unknown: unchanged
    c.SetCursorEx(nullptr);
    EXPECT_EQ(c.GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    c.SetCursorEx(L"sizens");
    EXPECT_EQ(c.GetCursor(), LoadCursorW(nullptr, IDC_SIZENS));
}

TEST(ControlFont, GdiFontCutsLongFaceNamesAndFollowsTheStyle)
{
    const CString saved(Manager::GetFontName());
    Manager::SetFontName(L"A Very Long Font Family Name That Exceeds Thirty-One");
    ProbeControl c(nullptr, 1, CRect());
    c.SetFont(L"ignored", 18, static_cast<Gdiplus::FontStyle>(Gdiplus::FontStyleBold | Gdiplus::FontStyleUnderline));
    HFONT font = c.GetGDIFont();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(c.GetGDIFont(), font) << "built once";
    LOGFONTW lf = {};
    ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(L"A Very Long Font Family Name Th"));
    EXPECT_EQ(wcslen(lf.lfFaceName), 31u);
    EXPECT_EQ(lf.lfHeight, -18);
    EXPECT_GE(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfItalic, 0);
    c.SetTitle(L"x"); // drops the cached font
    EXPECT_NE(c.GetGDIFont(), nullptr);
    Manager::SetFontName(saved);
}

TEST(ControlFont, ImageCountBelowOneCountsAsOne)
{
    ProbeControl c(nullptr, 1, CRect());
    EXPECT_EQ(c.GetImageCount(), 4);
    for (int bad : {0, -3}) {
        c.SetImageCount(bad);
        EXPECT_EQ(c.GetImageCount(), 1);
    }
    EXPECT_EQ(c.SetImage(L"frames4.png", 4), 0) << "no manager: nothing";
}

// ---------------------------------------------------------------- mouse dispatch

TEST(MouseDispatch, MovesPickTheLastAnsweringChildAndStickWhilePressed)
{
    Tree t;
    auto* below = t.Add(1, CRect(0, 0, 100, 100));
    auto* above = t.Add(2, CRect(50, 0, 150, 100));
    EXPECT_EQ(t.root->OnMouseMove(0, CPoint(60, 10)), 1);
    EXPECT_EQ(t.root->GetHoverChild(), above) << "both contain the point: the later one wins";
    EXPECT_EQ(below->calls.back(), "move 60,10") << "every child sees the move";

    // The hover child alone gets moves while it contains the point.
    below->calls.clear();
    t.root->OnMouseMove(0, CPoint(70, 20));
    EXPECT_TRUE(below->calls.empty());

    // Pressed: moves go to the hover child even outside it.
    t.root->OnLButtonDown(0, CPoint(70, 20));
    EXPECT_EQ(t.root->IsPressed(), 1);
    t.root->OnMouseMove(0, CPoint(10, 10));
    EXPECT_EQ(above->calls.back(), "move 10,10");
    EXPECT_EQ(t.root->GetHoverChild(), above);
    t.root->OnLButtonUp(0, CPoint(10, 10));
    EXPECT_EQ(above->calls.back(), "lup 10,10") << "the release goes to the pressed child";
    EXPECT_EQ(t.root->IsPressed(), 0);

    t.root->OnMouseMove(0, CPoint(10, 10));
    EXPECT_EQ(t.root->GetHoverChild(), below);
    t.root->OnMouseMove(0, CPoint(190, 90));
    EXPECT_EQ(t.root->GetHoverChild(), nullptr);
}

TEST(MouseDispatch, HiddenOrDeafControlsTakeNoInput)
{
    for (int hide : {0, 1}) {
        Tree t;
        auto* c = t.Add(1, CRect(0, 0, 100, 100));
        if (hide)
            t.root->SetVisible(0, 0);
        else
            t.root->SetRresponse(0);
        EXPECT_EQ(t.root->OnMouseMove(0, CPoint(5, 5)), 0);
        EXPECT_EQ(t.root->OnLButtonDown(0, CPoint(5, 5)), 0);
        EXPECT_EQ(t.root->OnScroll(1, 1, CPoint(5, 5)), 0);
        EXPECT_EQ(t.root->OnKeyDown('A', 1, 0), 0);
        EXPECT_TRUE(c->calls.empty());
    }
}

TEST(MouseDispatch, ButtonDownSkipsDisabledChildrenAndMovesFocus)
{
    Tree t;
    PaintManager manager;
    t.root->SetManager(&manager);
    auto* enabled = t.Add(1, CRect(0, 0, 100, 100));
    auto* disabled = t.Add(2, CRect(0, 0, 100, 100));
    disabled->SetEnabled(0);
    EXPECT_EQ(t.root->OnLButtonDown(0, CPoint(5, 5)), 1);
    EXPECT_EQ(enabled->calls.back(), "ldown 5,5");
    EXPECT_TRUE(disabled->calls.empty());
    EXPECT_EQ(manager.GetFocusControl(), enabled);
    EXPECT_EQ(enabled->focusChanges, std::vector<int>{1});

    // A press on the root itself (no child there) moves the focus to the root.
    t.root->OnLButtonUp(0, CPoint(5, 5));
    t.root->OnMouseMove(0, CPoint(150, 50));
    t.root->OnRButtonDown(0, CPoint(150, 50));
    EXPECT_EQ(manager.GetFocusControl(), t.root);
    EXPECT_EQ(enabled->focusChanges, (std::vector<int>{1, 0}));
    EXPECT_EQ(t.root->calls.back(), "rdown 150,50");
}

TEST(MouseDispatch, DoubleClickIsASecondPressUnlessTheControlWantsDoubleClicks)
{
    for (int mode : {0, 1}) {
        RecordingOwner owner;
        ProbeControl c(&owner, 3, CRect(0, 0, 50, 50));
        c.SetDblClkMode(mode);
        c.SetDblClkNotify(1);
        c.OnLButtonDblClk(MK_LBUTTON, CPoint(4, 6));
        if (mode == 0) {
            EXPECT_EQ(c.calls.back(), "ldown 4,6");
            EXPECT_TRUE(owner.notes.empty());
        } else {
            EXPECT_EQ(c.calls.back(), "ldbl 4,6");
            ASSERT_EQ(owner.notes.size(), 1u);
            EXPECT_EQ(owner.notes[0].code, 3u);
            EXPECT_EQ(owner.notes[0].wparam, static_cast<WPARAM>(MK_LBUTTON));
            EXPECT_EQ(owner.notes[0].lparam, MAKELPARAM(4, 6));
        }
    }
}

TEST(MouseDispatch, WheelGoesToTheHoverChildThenOwnScrollThenChildren)
{
    Tree t;
    auto* a = t.Add(1, CRect(0, 0, 50, 50));
    auto* b = t.Add(2, CRect(60, 0, 100, 50));
    t.root->handleScroll = 0;
    t.root->OnMouseMove(0, CPoint(70, 10));
    ASSERT_EQ(t.root->GetHoverChild(), b);
    EXPECT_EQ(t.root->OnScroll(1, 1, CPoint(70, 10)), 1);
    EXPECT_EQ(b->scrollDirections, std::vector<UINT>{1});
    EXPECT_TRUE(t.root->scrollDirections.empty());

    // Outside the hover child: own handler first (declines), then the child under the point.
    EXPECT_EQ(t.root->OnScroll(1, 0, CPoint(10, 10)), 1);
    EXPECT_EQ(t.root->scrollDirections, std::vector<UINT>{0});
    EXPECT_EQ(a->scrollDirections, std::vector<UINT>{0});

    t.root->SetEnabled(0);
    EXPECT_EQ(t.root->OnScroll(1, 0, CPoint(10, 10)), 0) << "a disabled control takes no wheel";
}

// ---------------------------------------------------------------- keys and ticks

TEST(KeyDispatch, FocusedChildHoverHotKeyAndNotification)
{
    Tree t;
    auto* a = t.Add(1, CRect(0, 0, 50, 50));
    auto* b = t.Add(2, CRect(60, 0, 100, 50));
    b->SetHotKey('S', 17);

    // The hot key matches only with its exact modifier value.
    EXPECT_EQ(t.root->OnKeyDown('S', 1, 16), 0);
    EXPECT_EQ(t.root->OnKeyDown('S', 1, 17), 1);
    EXPECT_EQ(a->calls.size(), 2u) << "children are asked in order until one handles it";

    // A focused child takes every key, even one it does not handle.
    a->calls.clear();
    b->calls.clear();
    a->SetFocusedFlag(1);
    EXPECT_EQ(t.root->OnKeyDown('S', 1, 17), 0);
    EXPECT_EQ(a->calls, std::vector<std::string>{"key 83"});
    EXPECT_TRUE(b->calls.empty());
    a->SetVisible(0, 0);
    EXPECT_EQ(t.root->OnKeyDown('S', 1, 17), 0) << "a hidden focused child ends the dispatch";
    EXPECT_TRUE(b->calls.empty());

    // With key notification, code 14 follows whether handled or not.
    a->SetFocusedFlag(0);
    a->SetVisible(1, 0);
    t.root->SetKeyNotify(1);
    t.root->OnKeyDown(VK_F2, 1, 18);
    ASSERT_EQ(t.owner.notes.size(), 1u);
    EXPECT_EQ(t.owner.notes[0].code, 14u);
    EXPECT_EQ(t.owner.notes[0].wparam, static_cast<WPARAM>(VK_F2));
    EXPECT_EQ(t.owner.notes[0].lparam, 18);
}

TEST(KeyDispatch, ModifierValueFromTheKeyState)
{
    struct Case {
        bool alt, shift, ctrl;
        UINT expected;
    } cases[] = {
        {false, false, false, 0}, {false, true, false, 16}, {true, false, false, 18}, {false, false, true, 17},
        {false, true, true, 17},  {true, false, true, 19},  {true, true, false, 18},
    };
    BYTE saved[256];
    GetKeyboardState(saved);
    for (const Case& c : cases) {
        BYTE keys[256] = {};
        keys[VK_MENU] = c.alt ? 0x80 : 0;
        keys[VK_SHIFT] = c.shift ? 0x80 : 0;
        keys[VK_CONTROL] = c.ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        EXPECT_EQ(PaintManager::GetKeyModifiers(), c.expected) << c.alt << c.shift << c.ctrl;
    }
    SetKeyboardState(saved);
}

TEST(TimerDispatch, OnlyVisibleRunTimerChildrenTick)
{
    Tree t;
    auto* running = t.Add(1, CRect());
    auto* idle = t.Add(2, CRect());
    auto* hidden = t.Add(3, CRect());
    running->SetRunTimer(1);
    hidden->SetRunTimer(1);
    hidden->SetVisible(0, 0);
    EXPECT_EQ(t.root->OnTimer(), 1);
    EXPECT_EQ(t.root->timerTicks, 1);
    EXPECT_EQ(running->timerTicks, 1);
    EXPECT_EQ(idle->timerTicks, 0);
    EXPECT_EQ(hidden->timerTicks, 0);
}

// ---------------------------------------------------------------- panels

TEST(Panel, ScrollBarsComeFirstAndFollowTheRect)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 10, 10), 1);
    ASSERT_EQ(panel.GetControls().size(), 2u);
    EXPECT_EQ(panel.GetControls()[0], static_cast<MControl*>(panel.GetScrollVertical()));
    EXPECT_EQ(panel.GetControls()[1], static_cast<MControl*>(panel.GetScrollHorizontal()));
    EXPECT_EQ(panel.GetScrollVertical()->GetControlID(), 1u);
    EXPECT_EQ(panel.GetScrollHorizontal()->GetControlID(), 2u);
    EXPECT_EQ(panel.GetDblClk(), 1);

    panel.SetRect(CRect(100, 50, 300, 250));
    EXPECT_EQ(panel.GetScrollVertical()->GetRect(), CRect(293, 50, 300, 250));
    EXPECT_EQ(panel.GetScrollHorizontal()->GetRect(), CRect(100, 243, 300, 250));
    EXPECT_EQ(panel.GetScrollVertical()->IsVisible(), 0) << "content fits: no bar";
    panel.SetVirtualHeight(600);
    EXPECT_EQ(panel.GetScrollVertical()->IsVisible(), 1);
    EXPECT_EQ(panel.GetScrollVertical()->GetScrollMaxRange(), 600);
    EXPECT_EQ(panel.GetScrollHorizontal()->IsVisible(), 0);
}

TEST(Panel, ChildrenGetScrolledPointsExceptTheScrollBars)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 100, 100), 1);
    panel.SetVirtualHeight(300); // the content scrolls by (0 + 300 - 100) * pos / 300
    panel.GetScrollVertical()->SetScrollCurrentPos(150);
    ASSERT_EQ(panel.GetScrollOffsetY(), 100);

    // A child far down the content, and a fake bar: a child with id 1 takes raw points.
    auto* content = new ProbeControl(&panel, 10, CRect(0, 100, 90, 200));
    panel.AddControl(content);
    panel.OnMouseMove(0, CPoint(20, 30));
    EXPECT_EQ(content->calls.back(), "move 20,130");

    auto* fakeBar = new ProbeControl(&panel, 1, CRect(0, 0, 100, 100));
    panel.AddControl(fakeBar);
    panel.OnMouseMove(0, CPoint(95, 40)); // scrolled, this lies right of the content child
    ASSERT_FALSE(fakeBar->calls.empty());
    EXPECT_EQ(fakeBar->calls.back(), "move 95,40");
    EXPECT_EQ(content->calls.back(), "move 95,140");
    EXPECT_EQ(panel.GetHoverChild(), fakeBar);
}

TEST(Panel, WheelStepsTheVerticalBarWithinItsRange)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 100, 100), 1);
    MScrollBar* bar = panel.GetScrollVertical();
    EXPECT_EQ(panel.OnScroll(1, 1, CPoint(50, 50)), 1) << "consumed even when nothing scrolls";
    EXPECT_EQ(bar->GetScrollCurrentPos(), 0);
    panel.SetVirtualHeight(115);
    bar->SetScrollSize(0, 10);
    panel.OnScroll(1, 1, CPoint(50, 50));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 10);
    panel.OnScroll(1, 1, CPoint(50, 50));
    panel.OnScroll(1, 1, CPoint(50, 50));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 30);
    for (int i = 0; i < 20; ++i)
        panel.OnScroll(1, 1, CPoint(50, 50));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 115) << "clamped to the range";
    for (int i = 0; i < 20; ++i)
        panel.OnScroll(1, 0, CPoint(50, 50));
    EXPECT_EQ(bar->GetScrollCurrentPos(), 0);
}

TEST(Panel, EnabledStateReachesEveryChildAndNotificationsPassUp)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 100, 100), 1);
    auto* child = new ProbeControl(&panel, 10, CRect(0, 0, 10, 10));
    panel.AddControl(child);
    panel.SetEnabled(0);
    EXPECT_EQ(child->IsEnabled(), 0);
    EXPECT_EQ(panel.GetScrollVertical()->IsEnabled(), 0);
    panel.SetEnabled(1);
    EXPECT_EQ(child->IsEnabled(), 1);

    child->SendMessage(MN_CLICKED, 3, 4);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].id, 10u) << "the sender's id travels unchanged";
    EXPECT_EQ(owner.notes[0].code, 2u);
    EXPECT_EQ(owner.notes[0].wparam, 3u);
    EXPECT_EQ(owner.notes[0].lparam, 4);
}

TEST(Panel, NotificationParametersKeepPointerWidth)
{
    RecordingOwner owner;
    MPanel panel(&owner, 5, CRect(0, 0, 100, 100), 1);
    auto* child = new ProbeControl(&panel, 10, CRect());
    panel.AddControl(child);
    const WPARAM wide = static_cast<WPARAM>(0x123456789ABCDEF0ull);
    const LPARAM pointer = reinterpret_cast<LPARAM>(child);
    child->SendMessage(MN_CLICKED, wide, pointer);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].wparam, wide);
    EXPECT_EQ(reinterpret_cast<ProbeControl*>(owner.notes[0].lparam), child);
}
