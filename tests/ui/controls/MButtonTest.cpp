// The push button: its face per state, its input and codes, its icon, and the class-name
// factory for every button class.
#include <gtest/gtest.h>

#include <functional>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

TEST(MButtonFace, DisabledTitleIsGreyAndPressedTitleShifts)
{
    Host host;
    MButton button(&host.owner, 7, CRect(0, 0, 60, 30), L"HH", 1, 1);
    host.Attach(button);
    button.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
    auto inkFor = [&](const std::function<void()>& toState) {
        toState();
        Canvas canvas(60, 30, 0x000000);
        DrawOn(canvas, button);
        return InkIn(canvas, CRect(0, 0, 60, 30), 0x000000);
    };
    const Ink normal = inkFor([] {});
    const Ink pressed = inkFor([&] { button.OnLButtonDown(0, CPoint(30, 15)); });
    const Ink disabled = inkFor([&] { button.SetEnabled(0); });
    ASSERT_FALSE(normal.empty()) << "the title is drawn";
    EXPECT_EQ(normal.Strongest(), 0xFFFFFFu);
    EXPECT_TRUE(RgbNear(disabled.Strongest(), 0x808080, 8)) << "disabled: grey";
    CRect shifted = normal.box;
    shifted.OffsetRect(1, 1);
    EXPECT_EQ(pressed.box, shifted) << "pressed: one pixel right and down";
    EXPECT_NEAR(normal.box.CenterPoint().x, 30, 2) << "centred";
}

TEST(MButtonFace, StatesPickSlotsOfOneCachedFace)
{
    Host host;
    MButton button(&host.owner, 7, CRect(0, 0, 40, 20), L"", 1, 1);
    host.Attach(button);
    ASSERT_EQ(button.SetImage(Fixture(L"button4.png").c_str(), 4), 1);
    Canvas canvas(40, 20);
    DrawOn(canvas, button);
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 10), kFrameRgb[0]));
    host.owner.updates.clear();
    button.OnMouseMove(0, CPoint(5, 5));
    ASSERT_EQ(host.owner.updates.size(), 1u);
    EXPECT_EQ(host.owner.updates[0].rebuild, 0) << "a hover only picks another slot";
    EXPECT_EQ(button.GetUpdate(), 1) << "the cache stays valid";
    DrawOn(canvas, button);
    EXPECT_TRUE(RgbNear(canvas.Rgb(20, 10), kFrameRgb[1]));
}

TEST(MButtonInput, PressAndReleaseSendCodes)
{
    struct Step {
        enum Kind { Move, Down, Up } kind;
        CPoint pt;
    };
    struct Case {
        const char* what;
        int enabled;
        std::vector<Step> steps;
        std::vector<UINT> codes;
        int state;
    };
    const CPoint in(10, 10), out(80, 10);
    const std::vector<Case> cases = {
        {"hover", 1, {{Step::Move, in}}, {}, 1},
        {"hover and leave", 1, {{Step::Move, in}, {Step::Move, out}}, {}, 0},
        {"click", 1, {{Step::Move, in}, {Step::Down, in}, {Step::Up, in}}, {1, 2}, 1},
        {"release outside", 1, {{Step::Down, in}, {Step::Up, out}}, {1}, 0},
        {"press outside", 1, {{Step::Down, out}, {Step::Up, in}}, {}, 1},
        {"disabled", 0, {{Step::Move, in}, {Step::Down, in}, {Step::Up, in}}, {}, 3},
    };
    for (const Case& c : cases) {
        Host host;
        MButton button(&host.owner, 7, CRect(0, 0, 40, 20), L"Go", 1, c.enabled);
        host.Attach(button);
        for (const Step& s : c.steps) {
            if (s.kind == Step::Move)
                button.OnMouseMove(0, s.pt);
            else if (s.kind == Step::Down)
                button.OnLButtonDown(0, s.pt);
            else
                button.OnLButtonUp(0, s.pt);
        }
        EXPECT_EQ(host.Codes(), c.codes) << c.what;
        EXPECT_EQ(button.GetState(), c.state) << c.what;
        for (const auto& n : host.owner.notes)
            EXPECT_EQ(n.id, 7u) << c.what;
    }
}

TEST(MButtonInput, EnablingResetsTheStateAndTheHotKeyIsConsumed)
{
    Host host;
    MButton button(&host.owner, 7, CRect(0, 0, 40, 20), L"Go", 1, 1);
    host.Attach(button);
    button.OnMouseMove(0, CPoint(5, 5));
    button.SetEnabled(0);
    EXPECT_EQ(button.GetState(), 3);
    button.SetEnabled(1);
    EXPECT_EQ(button.GetState(), 0);
    button.SetHotKey('G', 17);
    EXPECT_EQ(button.OnKeyDown('G', 1, 17), 1);
    EXPECT_EQ(button.OnKeyDown('G', 1, 0), 0) << "the modifiers must match";
    EXPECT_TRUE(host.owner.notes.empty());
}

TEST(MButtonIcon, CountsBelowOneCountAsOne)
{
    struct Case {
        int count;
        int frameWidth;
    } cases[] = {{2, 10}, {1, 20}, {0, 20}, {-3, 20}};
    for (const Case& c : cases) {
        Host host;
        MButton button(&host.owner, 7, CRect(0, 0, 40, 20), L"", 1, 1);
        host.Attach(button);
        ASSERT_EQ(button.SetIconImage(Fixture(L"icon2.png").c_str(), c.count), 1) << c.count;
        EXPECT_EQ(button.GetIconSize(), CSize(c.frameWidth, 10)) << c.count;
    }
    Host host;
    MButton button(&host.owner, 7, CRect(0, 0, 40, 20), L"", 1, 1);
    ASSERT_EQ(button.SetIconImage(Fixture(L"icon2.png").c_str(), 2), 1);
    EXPECT_EQ(button.SetIconImage(L"no-such-icon.png", 2), 0);
    EXPECT_EQ(button.GetIconImage(), nullptr) << "a failed load leaves no icon";
}

TEST(ButtonFactory, EveryButtonClassIsMadeByName)
{
    struct Case {
        const wchar_t* name;
        std::function<bool(MControl*)> isRightKind;
        const wchar_t* className;
    };
    const std::vector<Case> cases = {
        {L"MButton", [](MControl* c) { return dynamic_cast<MButton*>(c) != nullptr; }, L"FSControl"},
        {L"CImageButton", [](MControl* c) { return dynamic_cast<CImageButton*>(c) != nullptr; }, L"FSControl"},
        {L"CTextButton", [](MControl* c) { return dynamic_cast<CTextButton*>(c) != nullptr; }, L"FSControl"},
        {L"CCheckButton", [](MControl* c) { return dynamic_cast<CCheckButton*>(c) != nullptr; }, L"FSControl"},
        {L"CRadioButton", [](MControl* c) { return dynamic_cast<CRadioButton*>(c) != nullptr; }, L"RadioButton"},
        {L"CSwitchButton", [](MControl* c) { return dynamic_cast<CSwitchButton*>(c) != nullptr; }, L"FSControl"},
        {L"CIconButton", [](MControl* c) { return dynamic_cast<CIconButton*>(c) != nullptr; }, L"IconButton"},
        {L"CTimerButton", [](MControl* c) { return dynamic_cast<CTimerButton*>(c) != nullptr; }, L"FSControl"},
        {L"CHelpButton", [](MControl* c) { return dynamic_cast<CHelpButton*>(c) != nullptr; }, L"FSControl"},
    };
    Host host;
    UINT id = 10;
    for (const Case& c : cases) {
        MControl* made = host.pm.CreateControl(1, &host.owner, c.name, id++, CRect(0, 0, 40, 20), L"t", 1, 0);
        ASSERT_NE(made, nullptr) << c.name;
        EXPECT_TRUE(c.isRightKind(made)) << c.name;
        EXPECT_STREQ(made->GetClassName(), c.className) << c.name;
        EXPECT_EQ(made->IsEnabled(), 0) << c.name << ": the enabled flag is passed";
        EXPECT_EQ(made->GetManager(), &host.pm) << c.name;
    }
    auto* radio = dynamic_cast<CRadioButton*>(host.pm.GetControl(14));
    ASSERT_NE(radio, nullptr);
    EXPECT_STREQ(radio->GetTitle(), L"t");
    auto* sw = host.pm.CreateControl(1, &host.owner, L"CSwitchButton", 99, CRect(0, 0, 40, 20), L"x", 1, 1);
    ASSERT_NE(sw, nullptr);
    EXPECT_STREQ(static_cast<MControlFont*>(sw)->GetTitle(), L"") << "the switch takes no title";
}
