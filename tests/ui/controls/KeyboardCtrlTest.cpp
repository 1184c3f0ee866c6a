// The keyboard control: clicks and their codes, the right-button frame selection, the
// light-mode preview, the picture's placement, the mode faces, the tip balloon, and the
// repairs (ClearItem, SetSelectItem, the preview's data bounds, ticks from other threads).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "ui/controls/ZuntControls.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const CRect kControlRect(10, 20, 310, 140); // 300 x 120 in the window
const DWORD kValues[3] = {0x04, 0x05, 0x06};
const CRect kKeyRects[3] = {CRect(10, 10, 50, 50), CRect(60, 10, 100, 50), CRect(110, 10, 150, 50)};

// A keyboard control with three 40 x 40 keys in a row, owned by a recording owner. The
// picture (when set) is the black fixture with the red mark at its top left.
class ThreeKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        kb = new KeyboardCtrl(&owner, 77, kControlRect, 1);
        for (int i = 0; i < 3; ++i)
            kb->AddKeyItem(kNames[i], kNames[i], kValues[i], kKeyRects[i], L"");
    }
    void TearDown() override { delete kb; }

    // The key's rect in window client coordinates.
    CRect Hit(int i) const
    {
        CRect r = kb->GetRealRect(kKeyRects[i]);
        r.OffsetRect(kControlRect.left, kControlRect.top);
        return r;
    }
    CPoint Centre(int i) const { return Hit(i).CenterPoint(); }
    void Click(CPoint pt)
    {
        kb->OnMouseMove(0, pt);
        kb->OnLButtonDown(MK_LBUTTON, pt);
        kb->OnLButtonUp(0, pt);
    }
    void UsePicture() { kb->SetKeyboardImage(SkinName(L"keyboard.png").c_str()); }
    void Paint(Canvas& canvas)
    {
        kb->SetUpdate(0, 0);
        kb->Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    // A pixel in the middle of the key's top edge: fully covered by the outline pen.
    CPoint TopEdge(int i) const { return CPoint((Hit(i).left + Hit(i).right) / 2, Hit(i).top); }
    int Ticks(int n)
    {
        int steps = 0;
        for (int t = 0; t < n; ++t)
            steps += kb->OnTimer();
        return steps;
    }
    const RecordingOwner::Note& LastNote() const { return owner.notes.back(); }

    static constexpr const wchar_t* kNames[3] = {L"A", L"B", L"C"};
    RecordingOwner owner;
    KeyboardCtrl* kb = nullptr;
};

constexpr const wchar_t* ThreeKeys::kNames[3];

// ---------------------------------------------------------------- clicks

using KeyboardClicks = ThreeKeys;

TEST_F(KeyboardClicks, ClickOnKeySelectsAndReportsIndexAndValue)
{
    Click(Centre(1));
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(LastNote().id, 77u);
    EXPECT_EQ(LastNote().code, 2u);
    EXPECT_EQ(LastNote().wparam, 1u);
    EXPECT_EQ(LastNote().lparam, 5);
    EXPECT_EQ(kb->GetCurrentKeyValue(), 5u);
    EXPECT_EQ(kb->GetSelectItem(), 1);

    // Custom mode marks the selected key with a white outline, and only that key.
    UsePicture();
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
    kb->OnMouseMove(0, CPoint(0, 0)); // leave: no hover mark
    Canvas canvas(400, 200, 0x336699);
    Paint(canvas);
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(1).x, TopEdge(1).y), 0xFFFFFF, 4));
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(0).x, TopEdge(0).y), 0x000000, 4));
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(2).x, TopEdge(2).y), 0x000000, 4));
}

TEST_F(KeyboardClicks, ClickOutsideEveryKeyReportsMinusOneAndZero)
{
    Click(Centre(2));
    ASSERT_EQ(kb->GetCurrentKeyValue(), 6u);
    const CPoint gap(kControlRect.left + 2, kControlRect.bottom - 2); // inside the control, on no key
    Click(gap);
    EXPECT_EQ(LastNote().code, 2u);
    EXPECT_EQ(LastNote().wparam, 0xFFFFFFFFu);
    EXPECT_EQ(LastNote().lparam, 0);
    EXPECT_EQ(kb->GetCurrentKeyValue(), 0u);
    EXPECT_EQ(kb->GetSelectItem(), -1);

    // Released outside the control: nothing is reported.
    const size_t count = owner.notes.size();
    kb->OnLButtonDown(MK_LBUTTON, Centre(0));
    kb->OnLButtonUp(0, CPoint(kControlRect.right + 5, kControlRect.top));
    EXPECT_EQ(owner.notes.size(), count);
}

TEST_F(KeyboardClicks, RightClickSelectsTheKeyUnderTheMouseWithCodeFive)
{
    kb->OnMouseMove(0, Centre(2));
    kb->OnRButtonDown(MK_RBUTTON, Centre(2));
    kb->OnRButtonUp(0, Centre(2));
    EXPECT_EQ(LastNote().code, 5u);
    EXPECT_EQ(LastNote().wparam, 2u);
    EXPECT_EQ(LastNote().lparam, 6);
    EXPECT_EQ(kb->GetSelectItem(), 2);
}

TEST_F(KeyboardClicks, UserLightClicksToggleBetweenBlackAndTheCustomColour)
{
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_USER_LIGHT);
    kb->SetCustomColor(0x00FF8000);
    ASSERT_EQ(kb->GetKeyColor(4), 0x00E1FFu) << "amber by default";
    Click(Centre(0));
    EXPECT_EQ(kb->GetKeyColor(4), 0u);
    Click(Centre(0));
    EXPECT_EQ(kb->GetKeyColor(4), 0x00FF8000u);
    EXPECT_EQ(kb->GetKeyColor(0x99), 0u) << "no such key";

    // The face outlines each key in its colour, opaque.
    UsePicture();
    Canvas canvas(400, 200);
    Paint(canvas);
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(0).x, TopEdge(0).y), 0x0080FF, 4)) << "0x00BBGGRR shown as RGB";
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(1).x, TopEdge(1).y), 0xFFE100, 4));
}

TEST_F(KeyboardClicks, PerKeyOperationsTakeTheFirstKeyOfAValue)
{
    kb->AddKeyItem(L"A2", L"A2", kValues[0], CRect(160, 10, 200, 50), L"");
    kb->SetKeyColor(kValues[0], 0x123456);
    kb->SetKeyCheck(kValues[0], 1);
    kb->SetKeyDesc(kValues[0], L"Alpha");
    const std::vector<KEY_INFO*> keys = kb->GetKeyItems();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0]->color, 0x123456u);
    EXPECT_EQ(keys[0]->name, CString(L"Alpha"));
    EXPECT_EQ(keys[0]->text, CString(L"Alpha"));
    EXPECT_EQ(keys[3]->color, 0x00E1FFu);
    EXPECT_EQ(keys[3]->check, 0);
    EXPECT_EQ(keys[3]->index, 3);
    EXPECT_EQ(kb->GetCheckItemCount(), 1);

    kb->SetSelectItem(2);
    kb->SetAllSelectColor(0x0000FF);
    EXPECT_EQ(keys[0]->color, 0x0000FFu) << "checked";
    EXPECT_EQ(keys[2]->color, 0x0000FFu) << "selected";
    EXPECT_EQ(keys[1]->color, 0x00E1FFu);
    kb->ResetAllItemCheck();
    EXPECT_EQ(kb->GetCheckItemCount(), 0);
    EXPECT_EQ(kb->GetSelectItem(), -1);
    kb->SetLightModeColor(1, 0x0000FF);
    EXPECT_EQ(kb->GetKeyColor(kValues[1]), 0xFFFFFFu);
    kb->SetMusicBrightness(100);
    EXPECT_EQ(kb->GetKeyColor(kValues[1]), 0xFFFF00u) << "a new music brightness makes every key cyan";
}

// ---------------------------------------------------------------- frame selection

using KeyboardFrameSelect = ThreeKeys;

TEST_F(KeyboardFrameSelect, ShortDragShowsNoFrame)
{
    kb->EnableFrameSelect(1);
    const CPoint press(Hit(0).left + 5, Hit(0).top + 5);
    kb->OnRButtonDown(MK_RBUTTON, press);
    kb->OnMouseMove(MK_RBUTTON, CPoint(press.x + 15, press.y + 15));
    EXPECT_FALSE(kb->IsFrameShown());
    kb->OnRButtonUp(0, CPoint(press.x + 15, press.y + 15));
    EXPECT_EQ(LastNote().code, 5u) << "no frame: a plain right click";
}

TEST_F(KeyboardFrameSelect, RightPressMeasuresTheDragFromItself)
{
    // A left click far away leaves its point behind; a 15-pixel right drag elsewhere must
    // still not show a frame.
    kb->EnableFrameSelect(1);
    Click(Centre(2));
    const CPoint press(Hit(0).left + 2, Hit(0).top + 2);
    kb->OnRButtonDown(MK_RBUTTON, press);
    kb->OnMouseMove(MK_RBUTTON, CPoint(press.x + 15, press.y + 15));
    EXPECT_FALSE(kb->IsFrameShown());
}

TEST_F(KeyboardFrameSelect, FrameChecksTheKeysItMeetsAndRightReleaseSendsTwentyFour)
{
    kb->EnableFrameSelect(1);
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
    UsePicture();
    kb->SetKeyCheck(kValues[2], 1);
    const CPoint press(Hit(0).left + 20, Hit(0).top + 5);
    const CPoint end(press.x + 40, press.y + 40); // reaches into key B, not C
    kb->OnRButtonDown(MK_RBUTTON, press);
    kb->OnMouseMove(MK_RBUTTON, end);
    ASSERT_TRUE(kb->IsFrameShown());
    const std::vector<KEY_INFO*> keys = kb->GetKeyItems();
    EXPECT_EQ(keys[0]->check, 1);
    EXPECT_EQ(keys[1]->check, 1);
    EXPECT_EQ(keys[2]->check, 0) << "the frame replaces the earlier selection";

    // The rubber band is drawn over the face (dotted: look along its left side).
    Canvas canvas(400, 200, 0x000000);
    Paint(canvas);
    int green = 0;
    for (int y = press.y; y < end.y; ++y)
        for (int x = press.x - 1; x <= press.x + 1; ++x)
            if (RgbNear(canvas.Rgb(x, y), 0x4CFF29, 40))
                ++green;
    EXPECT_GT(green, 5);

    owner.notes.clear();
    kb->OnRButtonUp(0, end);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].code, 24u);
    EXPECT_EQ(owner.notes[0].wparam, 0u);
    EXPECT_EQ(owner.notes[0].lparam, 0);
    EXPECT_FALSE(kb->IsFrameShown());
    EXPECT_EQ(kb->GetCheckItemCount(), 2) << "the checks stay";
}

TEST_F(KeyboardFrameSelect, ThinFrameClearsEveryCheck)
{
    kb->EnableFrameSelect(1);
    kb->ResetAllItemCheck(1);
    const CPoint press(Hit(0).left + 10, Hit(0).top + 2);
    kb->OnRButtonDown(MK_RBUTTON, press);
    kb->OnMouseMove(MK_RBUTTON, CPoint(press.x + 4, press.y + 40));
    ASSERT_TRUE(kb->IsFrameShown());
    EXPECT_EQ(kb->GetCheckItemCount(), 0);
}

TEST_F(KeyboardFrameSelect, DisabledFrameSelectLeavesChecksAlone)
{
    kb->SetKeyCheck(kValues[1], 1);
    const CPoint press(Hit(0).left + 2, Hit(0).top + 2);
    kb->OnLButtonDown(MK_LBUTTON, press);
    kb->OnMouseMove(MK_LBUTTON, CPoint(press.x + 100, press.y + 30));
    EXPECT_FALSE(kb->IsFrameShown());
    EXPECT_EQ(kb->GetCheckItemCount(), 1);
}

// ---------------------------------------------------------------- light-mode preview

using KeyboardPreview = ThreeKeys;

TEST_F(KeyboardPreview, FramesChangeEveryFiveTicksAtSpeedZeroAndEveryTickAtSpeedSeven)
{
    const BYTE data[6] = {10, 20, 30, 40, 50, 60};
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    kb->SetLightModeData(data, 6);
    ASSERT_EQ(kb->GetLightFrameCount(), 2);
    kb->SetLightSpeed(0);
    EXPECT_EQ(Ticks(4), 0);
    EXPECT_EQ(kb->GetLightFrameIndex(), 0);
    EXPECT_EQ(Ticks(1), 1);
    EXPECT_EQ(kb->GetLightFrameIndex(), 1);
    EXPECT_EQ(kb->GetLightBrightness(2), 60);
    EXPECT_EQ(Ticks(5), 1);
    EXPECT_EQ(kb->GetLightFrameIndex(), 0) << "back to the first frame after the last";

    kb->SetLightSpeed(7);
    const size_t updates = owner.updates.size();
    EXPECT_EQ(Ticks(3), 3);
    EXPECT_EQ(kb->GetLightFrameIndex(), 1);
    EXPECT_EQ(owner.updates.size(), updates + 3) << "each frame step asks for a rebuild";
    EXPECT_EQ(owner.updates.back().rebuild, 1);

    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
    EXPECT_EQ(Ticks(3), 0) << "outside light mode nothing moves";
    EXPECT_EQ(kb->GetControlFlag(), 1) << "ticking";
}

TEST_F(KeyboardPreview, OutlineAlphaIsTheDataByte)
{
    UsePicture();
    const BYTE data[3] = {0x40, 0x80, 0xFF};
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    kb->SetLightModeData(data, 3);
    Canvas canvas(400, 200);
    Paint(canvas);
    // Cyan at alpha a over the black picture reads (0, a, a).
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(0).x, TopEdge(0).y), 0x004040, 3));
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(1).x, TopEdge(1).y), 0x008080, 3));
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(2).x, TopEdge(2).y), 0x00FFFF, 3));
    // The key's inside and the picture around it stay as the picture is.
    EXPECT_TRUE(RgbNear(canvas.Rgb(Centre(2).x, Centre(2).y), 0x000000, 2));
    const CPoint origin = kb->GetImageOffset();
    EXPECT_TRUE(RgbNear(canvas.Rgb(kControlRect.left + origin.x + 2, kControlRect.top + origin.y + 2), 0xFF0000, 2));
}

TEST_F(KeyboardPreview, DataShorterThanTheKeysDrawsOpaqueCyanAndDoesNotAnimate)
{
    UsePicture();
    const BYTE data[2] = {0x10, 0x10};
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    kb->SetLightModeData(data, 2);
    EXPECT_EQ(kb->GetLightFrameCount(), 0);
    EXPECT_EQ(Ticks(10), 0);
    Canvas canvas(400, 200);
    Paint(canvas);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(i).x, TopEdge(i).y), 0x00FFFF, 3)) << "key " << i;
}

TEST_F(KeyboardPreview, KeysAddedAfterTheDataReadFullBrightnessPastItsEnd)
{
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    kb->SetLightModeData(data, 6);
    kb->SetLightSpeed(7);
    Ticks(1);
    ASSERT_EQ(kb->GetLightFrameIndex(), 1);
    kb->AddKeyItem(L"D", L"D", 0x07, CRect(160, 10, 200, 50), L"");
    // Frame 1 of four keys starts at byte 4: the fourth key would read byte 7 of 6.
    EXPECT_EQ(kb->GetLightBrightness(0), 5);
    EXPECT_EQ(kb->GetLightBrightness(1), 6);
    EXPECT_EQ(kb->GetLightBrightness(2), 255);
    EXPECT_EQ(kb->GetLightBrightness(3), 255);
    UsePicture();
    Canvas canvas(400, 200);
    Paint(canvas); // reads nothing past the data
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(2).x, TopEdge(2).y), 0x00FFFF, 3));
}

TEST_F(KeyboardPreview, TicksFromAnotherThreadRunOnTheWindowThread)
{
    const BYTE data[6] = {10, 20, 30, 40, 50, 60};
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    kb->SetLightModeData(data, 6);
    kb->SetLightSpeed(7);
    const size_t updates = owner.updates.size();
    std::thread timer([this] {
        for (int i = 0; i < 5; ++i)
            kb->OnTimer();
    });
    timer.join();
    EXPECT_EQ(kb->GetLightFrameIndex(), 0) << "nothing changes on the timer thread";
    EXPECT_EQ(kb->GetControlFlag(), 0);
    EXPECT_EQ(owner.updates.size(), updates);
    Pump(); // the window thread runs the queued tick: one, however many arrived meanwhile
    EXPECT_EQ(kb->GetControlFlag(), 1);
    EXPECT_EQ(kb->GetLightFrameIndex(), 1);
    ASSERT_EQ(owner.updates.size(), updates + 1);

    // Once ticking outside light mode, a timer-thread tick queues nothing at all.
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
    std::thread idle([this] { kb->OnTimer(); });
    idle.join();
    Pump();
    EXPECT_EQ(owner.updates.size(), updates + 2) << "only the mode change asked for a rebuild";
}

TEST_F(KeyboardPreview, HoverMarkIsRepaintedOnATickingControlThatDoesNotAnimate)
{
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
    kb->OnTimer();
    ASSERT_EQ(kb->GetControlFlag(), 1);
    owner.updates.clear();
    kb->OnMouseMove(0, Centre(0));
    ASSERT_EQ(kb->GetHoverItem(), 0);
    ASSERT_EQ(owner.updates.size(), 1u);
    EXPECT_EQ(owner.updates[0].rebuild, 1);
    kb->OnMouseMove(0, CPoint(Centre(0).x + 1, Centre(0).y + 1));
    EXPECT_EQ(owner.updates.size(), 1u) << "same key: no repaint";
}

// ---------------------------------------------------------------- placement and faces

using KeyboardGeometry = ThreeKeys;

TEST_F(KeyboardGeometry, PictureIsCentredAtTheTopOfTheControl)
{
    KeyboardCtrl wide(&owner, 5, CRect(0, 0, 800, 300), 1);
    EXPECT_EQ(wide.GetRealRect(CRect(0, 0, 10, 10)), CRect(6, 6, 16, 16)) << "default offset";
    wide.SetWidthAndHeight(600, 200);
    EXPECT_EQ(wide.GetRealRect(CRect(0, 0, 10, 10)), CRect(100, 0, 110, 10));
    wide.SetRect(CRect(0, 0, 701, 300));
    EXPECT_EQ(wide.GetImageOffset(), CPoint(50, 0)) << "(701 - 600) / 2";

    KeyboardCtrl unplaced(&owner, 6, CRect(), 1);
    unplaced.SetWidthAndHeight(600, 200);
    EXPECT_EQ(unplaced.GetImageOffset(), CPoint(6, 6)) << "no rect yet";
    unplaced.SetRect(CRect(0, 0, 800, 300));
    EXPECT_EQ(unplaced.GetImageOffset(), CPoint(100, 0));
}

TEST_F(KeyboardGeometry, NoneModeFillsEachKeyInsetByOneWithBlack)
{
    Canvas canvas(400, 200, 0xFFFFFF);
    Paint(canvas);
    for (int i = 0; i < 3; ++i) {
        const CRect r = Hit(i);
        EXPECT_TRUE(RgbNear(canvas.Rgb(r.left + 1, r.top + 1), 0x000000, 0)) << "key " << i;
        EXPECT_TRUE(RgbNear(canvas.Rgb(r.right - 2, r.bottom - 2), 0x000000, 0)) << "key " << i;
        EXPECT_TRUE(RgbNear(canvas.Rgb(r.left, r.top + 10), 0xFFFFFF, 0)) << "key " << i << " edge";
        EXPECT_TRUE(RgbNear(canvas.Rgb(r.right - 1, r.top + 10), 0xFFFFFF, 0)) << "key " << i << " edge";
    }
    EXPECT_TRUE(RgbNear(canvas.Rgb(Hit(0).right + 4, Hit(0).top + 10), 0xFFFFFF, 0)) << "between keys";
}

TEST_F(KeyboardGeometry, ImageModesWithoutPictureDrawOnlyTheBackground)
{
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_USER_LIGHT);
    Canvas canvas(400, 200, 0x123456);
    Paint(canvas);
    EXPECT_TRUE(RgbNear(canvas.Rgb(TopEdge(0).x, TopEdge(0).y), 0x123456, 0));
}

// ---------------------------------------------------------------- repairs

using KeyboardRepairs = ThreeKeys;

TEST_F(KeyboardRepairs, ClearItemForgetsHoverSelectionFrameAndLightingData)
{
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    kb->SetLightModeData(data, 6);
    kb->EnableFrameSelect(1);
    Click(Centre(2));
    kb->OnMouseMove(0, Centre(2));
    kb->OnRButtonDown(MK_RBUTTON, Centre(2));
    kb->OnMouseMove(MK_RBUTTON, CPoint(Centre(2).x - 40, Centre(2).y - 30));
    ASSERT_TRUE(kb->IsFrameShown());
    ASSERT_EQ(kb->GetSelectItem(), 2);

    kb->ClearItem();
    EXPECT_EQ(kb->GetKeyCount(), 0);
    EXPECT_EQ(kb->GetHoverItem(), -1);
    EXPECT_EQ(kb->GetSelectItem(), -1);
    EXPECT_FALSE(kb->IsFrameShown());
    EXPECT_EQ(kb->GetLightFrameCount(), 0);

    // One new key: the old selected index 2 must not be read.
    kb->AddKeyItem(L"Z", L"Z", 0x1D, kKeyRects[0], L"");
    kb->OnMouseMove(0, CPoint(kControlRect.left + 1, kControlRect.bottom - 1));
    kb->OnLButtonUp(0, CPoint(kControlRect.left + 1, kControlRect.bottom - 1));
    EXPECT_EQ(LastNote().wparam, 0xFFFFFFFFu);
    EXPECT_EQ(LastNote().lparam, 0);
    EXPECT_EQ(kb->GetLightBrightness(0), 255) << "the old data is gone";
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    EXPECT_EQ(Ticks(10), 0);
}

TEST_F(KeyboardRepairs, SetSelectItemIgnoresIndexesOutsideTheKeys)
{
    struct Case {
        int index;
        int expected;
    };
    const Case cases[] = {{1, 1}, {3, 1}, {-2, 1}, {2, 2}, {-1, -1}, {100, -1}, {0, 0}};
    for (const Case& c : cases) {
        kb->SetSelectItem(c.index);
        EXPECT_EQ(kb->GetSelectItem(), c.expected) << "SetSelectItem(" << c.index << ")";
    }
}

// ---------------------------------------------------------------- in a window

class KeyboardWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg.build = [this](TestDialog& d, CRect) {
            kb = dynamic_cast<KeyboardCtrl*>(d.CreateControl(L"KeyboardCtrl", 40, CRect(20, 60, 320, 200), L"Keys", 1, 1));
            if (kb) {
                kb->SetTitle(L"Board");
                kb->AddKeyItem(L"Q", L"Key Q", 0x14, CRect(10, 10, 50, 50), L"");
                kb->AddKeyItem(L"W", L"Key W", 0x1A, CRect(60, 10, 100, 50), L"");
            }
        };
        hwnd = dlg.CreateHidden(400, 300, 200, 300);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_NE(kb, nullptr) << "the factory makes a KeyboardCtrl by name";
    }
    void TearDown() override { dlg.DestroyWindow(); }
    CPoint Centre(int i)
    {
        CRect r = kb->GetRealRect(kb->GetKeyItems()[i]->rect);
        r.OffsetRect(kb->GetRect().left, kb->GetRect().top);
        return r.CenterPoint();
    }

    TestDialog dlg;
    HWND hwnd = nullptr;
    KeyboardCtrl* kb = nullptr;
};

TEST_F(KeyboardWindow, TipBalloonShowsOverTheHoveredKeyWithoutTakingFocus)
{
    kb->EnableKBTips(true);
    dlg.ShowWindow(SW_SHOWNOACTIVATE);
    const CPoint q = Centre(0);
    Mouse(hwnd, WM_MOUSEMOVE, q.x, q.y);
    CKeyboardTips* tips = kb->GetTipsWindow();
    ASSERT_NE(tips, nullptr);
    HWND tip = tips->GetSafeHwnd();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(GetWindow(tip, GW_OWNER), hwnd);
    wchar_t title[64] = {};
    GetWindowTextW(tip, title, 64);
    EXPECT_STREQ(title, L"KeyboardTip Window");
    EXPECT_TRUE(GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    // Without tip strings: the key's text, the control's title, the key's text.
    EXPECT_EQ(tips->GetLine(0), CString(L"Key Q"));
    EXPECT_EQ(tips->GetLine(1), CString(L"Board"));
    EXPECT_EQ(tips->GetLine(2), CString(L"Key Q"));
    // Centred above the key's top edge.
    CRect hit = kb->GetRealRect(kb->GetKeyItems()[0]->rect);
    hit.OffsetRect(kb->GetRect().left, kb->GetRect().top);
    POINT anchor = {(hit.left + hit.right) / 2, hit.top};
    ClientToScreen(hwnd, &anchor);
    RECT placed;
    GetWindowRect(tip, &placed);
    EXPECT_EQ(CRect(placed), CRect(anchor.x - 95, anchor.y - 100, anchor.x + 95, anchor.y));

    // With tip strings they replace the second and third lines.
    kb->SetTipKey(0x1A, L"Macro", L"Copy");
    const CPoint w = Centre(1);
    Mouse(hwnd, WM_MOUSEMOVE, w.x, w.y);
    EXPECT_EQ(tips->GetLine(0), CString(L"Key W"));
    EXPECT_EQ(tips->GetLine(1), CString(L"Macro"));
    EXPECT_EQ(tips->GetLine(2), CString(L"Copy"));
    const int paints = tips->GetPaintCount();
    Mouse(hwnd, WM_MOUSEMOVE, w.x + 1, w.y);
    EXPECT_EQ(tips->GetPaintCount(), paints) << "same key, same texts: no repaint";

    // Off the keys the balloon goes away; the window keeps no focus change from it.
    Mouse(hwnd, WM_MOUSEMOVE, 25, 195);
    EXPECT_FALSE(IsWindowVisible(tip));
    Mouse(hwnd, WM_MOUSEMOVE, w.x, w.y);
    EXPECT_TRUE(IsWindowVisible(tip));
    kb->EnableKBTips(false);
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(KeyboardWindow, ClicksThroughTheWindowReachTheDialog)
{
    const CPoint w = Centre(1);
    Mouse(hwnd, WM_MOUSEMOVE, w.x, w.y);
    Mouse(hwnd, WM_LBUTTONDOWN, w.x, w.y, MK_LBUTTON);
    Mouse(hwnd, WM_LBUTTONUP, w.x, w.y);
    ASSERT_FALSE(dlg.notes.empty());
    EXPECT_EQ(dlg.notes.back().id, 40u);
    EXPECT_EQ(dlg.notes.back().code, 2u);
    EXPECT_EQ(dlg.notes.back().wparam, 1u);
    EXPECT_EQ(dlg.notes.back().lparam, 0x1A);
    EXPECT_EQ(kb->GetTipsWindow(), nullptr) << "tips are off by default";
}

TEST_F(KeyboardWindow, ThePeriodicTimerAnimatesTheFrames)
{
    const BYTE data[4] = {10, 20, 30, 40};
    kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    kb->SetLightModeData(data, 4);
    kb->SetLightSpeed(7);
    kb->SetRunTimer(1);
    dlg.updateThreads.clear();
    // The window's 10 ms periodic tick (multimedia timer thread) drives the preview.
    const UINT timer = dlg.SetMTimer(10);
    ASSERT_NE(timer, 0u);
    int changes = 0, last = kb->GetLightFrameIndex();
    EXPECT_TRUE(PumpUntil([&] {
        if (kb->GetLightFrameIndex() != last) {
            last = kb->GetLightFrameIndex();
            ++changes;
        }
        return changes >= 3;
    }, 5000));
    dlg.KillMTimer(timer);
    Pump(50);
    EXPECT_FALSE(dlg.updateThreads.empty()) << "frame steps ask for repaints";

    // Hidden, the control does not animate.
    kb->SetVisible(0);
    const int frame = kb->GetLightFrameIndex();
    EXPECT_EQ(kb->OnTimer(), 0);
    EXPECT_EQ(kb->GetLightFrameIndex(), frame);
}

TEST(KeyboardFactory, PanelsMakeItByName)
{
    RecordingOwner owner;
    MPanel panel(&owner, 1, CRect(0, 0, 400, 300), 1);
    MControl* made = panel.CreateControl(L"KeyboardCtrl", 9, CRect(0, 0, 200, 100), L"", 1, 1);
    ASSERT_NE(dynamic_cast<KeyboardCtrl*>(made), nullptr);
}

} // namespace
