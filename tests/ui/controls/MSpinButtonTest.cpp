// The spin box: stepping with wrap-around, typed digits within the limit length, what its
// arrow buttons' notifications do, and its face.
#include <gtest/gtest.h>

#include <climits>

#include "ui/controls/MSpinButton.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

int SpinCodes(const RecordingOwner& owner)
{
    int n = 0;
    for (const auto& note : owner.notes)
        n += note.code == MN_SPIN_CHANGED ? 1 : 0;
    return n;
}

} // namespace

TEST(SpinButton, StepsWrapAroundTheRange)
{
    struct Case {
        const char* what;
        int value;
        UINT key;
        int expected;
    } cases[] = {
        {"Up at the maximum", 100, VK_UP, 1},
        {"numpad + at the maximum", 100, VK_ADD, 1},
        {"Up inside", 41, VK_UP, 42},
        {"Down at the minimum", 1, VK_DOWN, 100},
        {"numpad - inside", 42, VK_SUBTRACT, 41},
    };
    for (const Case& c : cases) {
        RecordingOwner owner;
        MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
        spin.SetRange(1, 100);
        spin.SetCurValue(c.value);
        spin.SetControlFocus(1);
        EXPECT_EQ(spin.OnKeyDown(c.key, 1, 0), 1) << c.what;
        EXPECT_EQ(spin.GetCurValue(), c.expected) << c.what;
        ASSERT_EQ(owner.notes.size(), 1u) << c.what;
        EXPECT_EQ(owner.notes[0].id, 6u);
        EXPECT_EQ(owner.notes[0].code, static_cast<UINT>(MN_SPIN_CHANGED));
    }
}

TEST(SpinButton, TypedDigitsAppendUpToTheLimitLength)
{
    RecordingOwner owner;
    MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
    spin.SetRange(1, 1000);
    spin.SetControlFocus(1);
    std::vector<int> values;
    for (UINT key : {UINT('1'), UINT('2'), UINT(VK_NUMPAD3), UINT('4')}) {
        spin.OnKeyDown(key, 1, 0);
        values.push_back(spin.GetCurValue());
    }
    EXPECT_EQ(values, (std::vector<int>{1, 12, 123, 4})) << "a fourth digit starts again";
    EXPECT_EQ(SpinCodes(owner), 4);

    spin.OnKeyDown('9', 1, 0); // 49
    spin.OnKeyDown(VK_BACK, 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 4);
    spin.OnKeyDown(VK_BACK, 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 0);
    const int before = SpinCodes(owner);
    spin.OnKeyDown(VK_BACK, 1, 0);
    EXPECT_EQ(SpinCodes(owner), before) << "nothing left to remove";
    EXPECT_EQ(spin.OnKeyDown(VK_LEFT, 1, 0), 1) << "consumed";
    EXPECT_EQ(spin.OnKeyDown('A', 1, 0), 0);
}

TEST(SpinButton, TypedValuesOutsideTheRangeWrap)
{
    RecordingOwner owner;
    MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
    spin.SetControlFocus(1); // range 1..100, value 0
    spin.OnKeyDown('0', 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 100) << "0 lies below the minimum";
    spin.SetCurValue(50);
    spin.OnKeyDown('1', 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 1) << "501 lies above the maximum";
}

TEST(SpinButton, KeysNeedTheFocus)
{
    RecordingOwner owner;
    MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
    spin.SetCurValue(5);
    EXPECT_EQ(spin.OnKeyDown(VK_UP, 1, 0), 0);
    spin.OnKeyDown('7', 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 5);
    EXPECT_TRUE(owner.notes.empty());
}

// Ten digits overflow an int: the limit length stops at nine.
TEST(SpinButton, LimitLengthStopsAtNineDigits)
{
    RecordingOwner owner;
    MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
    spin.SetLimitLength(10);
    EXPECT_EQ(spin.GetLimitLength(), 9);
    spin.SetRange(0, INT_MAX);
    spin.SetCurValue(999999999);
    spin.SetControlFocus(1);
    spin.OnKeyDown('9', 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 9) << "a tenth digit starts again";
    spin.SetCurValue(99999999);
    spin.OnKeyDown('9', 1, 0);
    EXPECT_EQ(spin.GetCurValue(), 999999999) << "nine digits are fine";
}

TEST(SpinButton, ArrowButtonsStepAndTheirNotificationsStopThere)
{
    RecordingOwner owner;
    MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
    spin.SetCurValue(100);
    spin.OnBaseMessage(MSpinButton::kUpButtonId, MN_CLICKED, 0, 0);
    EXPECT_EQ(spin.GetCurValue(), 1);
    spin.OnBaseMessage(MSpinButton::kDownButtonId, MN_CLICKED, 0, 0);
    EXPECT_EQ(spin.GetCurValue(), 100);
    spin.OnBaseMessage(MSpinButton::kDownButtonId, MN_PRESSED, 0, 0);
    spin.OnBaseMessage(44, MN_CLICKED, 0, 0);
    ASSERT_EQ(owner.notes.size(), 2u) << "only the two steps reach the owner";
    for (const auto& n : owner.notes) {
        EXPECT_EQ(n.id, 6u);
        EXPECT_EQ(n.code, static_cast<UINT>(MN_SPIN_CHANGED));
    }
}

TEST(SpinButton, FaceShowsTheStateFrameAndTheFocusHighlight)
{
    PaintManager pm;
    RecordingOwner owner;
    MSpinButton spin(&owner, 6, CRect(0, 0, 80, 30), 1, 1);
    spin.SetManager(&pm);
    ASSERT_EQ(spin.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    spin.SetCurValue(7);
    Canvas canvas(80, 30, 0x000000);
    spin.Draw(canvas.dc(), CRect(0, 0, 80, 30));
    EXPECT_TRUE(RgbNear(canvas.Rgb(70, 15), 0xFF0000)) << "frame 0";
    spin.SetControlFocus(1);
    spin.SetUpdate(0, 0); // what the owner does with the rebuild request
    spin.Draw(canvas.dc(), CRect(0, 0, 80, 30));
    EXPECT_TRUE(RgbNear(canvas.Rgb(45, 15), 0x3399FF, 4)) << "focus highlight";
    spin.SetEnabled(0);
    spin.SetUpdate(0, 0);
    spin.Draw(canvas.dc(), CRect(0, 0, 80, 30));
    EXPECT_TRUE(RgbNear(canvas.Rgb(70, 3), 0xFFFF00)) << "disabled frame";
}
