// Labels: the mark text (found, not found, from the mark start), the filled back, the
// icon before the text, and the filled text box.
#include <gtest/gtest.h>

#include "ui/controls/CTextArea.h"
#include "ui/controls/MText.h"
#include "ui/core/ToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const uint32_t kBack = 0x000000;

// Pixels of the canvas whose colour is dominated by blue (the mark) or close to white
// (the text), inside a rect.
struct Ink {
    int blue = 0, white = 0;
    int firstBlueX = -1;
};

Ink CountInk(const Canvas& c, const CRect& r)
{
    Ink ink;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y) {
            const uint32_t p = c.Rgb(x, y);
            const int red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
            if (blue > 120 && red < 60 && green < 60) {
                ++ink.blue;
                if (ink.firstBlueX < 0)
                    ink.firstBlueX = x;
            }
            if (red > 160 && green > 160 && blue > 160)
                ++ink.white;
        }
    return ink;
}

struct Label {
    PaintManager pm;
    RecordingOwner owner;
    MText text;
    Label(const wchar_t* title) : text(&owner, 3, CRect(0, 0, 300, 30), title, 1)
    {
        text.SetManager(&pm);
        text.SetFont(L"", 20, Gdiplus::FontStyleBold);
    }
    Ink Paint()
    {
        Canvas canvas(300, 30, kBack);
        text.SetUpdate(0, 0);
        text.Draw(canvas.dc(), CRect(0, 0, 300, 30));
        return CountInk(canvas, CRect(0, 0, 300, 30));
    }
};

} // namespace

TEST(TextMark, MarkIsDrawnInTheMarkColourWhenFoundFromTheStart)
{
    struct Case {
        const char* what;
        int start;
        bool marked;
    } cases[] = {
        {"from the beginning", 0, true},
        {"from the mark itself", 4, true},
        {"after the mark", 5, false},
        {"beyond the title", 100, false},
        {"a negative start counts from the beginning", -7, true},
    };
    for (const Case& c : cases) {
        Label label(L"abc MARK def");
        label.text.SetMarkText(L"MARK", Gdiplus::Color(0xFF0000FF), c.start);
        const Ink ink = label.Paint();
        EXPECT_GT(ink.white, 20) << c.what << ": the rest in the text colour";
        if (c.marked) {
            EXPECT_GT(ink.blue, 20) << c.what;
        } else {
            EXPECT_EQ(ink.blue, 0) << c.what << ": plain text";
        }
    }
}

TEST(TextMark, MarkFollowsThePartBefore)
{
    Label plain(L"MARK");
    plain.text.SetMarkText(L"MARK", Gdiplus::Color(0xFF0000FF), 0);
    Label after(L"wide text MARK");
    after.text.SetMarkText(L"MARK", Gdiplus::Color(0xFF0000FF), 0);
    const Ink alone = plain.Paint(), behind = after.Paint();
    ASSERT_GE(alone.firstBlueX, 0);
    ASSERT_GE(behind.firstBlueX, 0);
    EXPECT_GT(behind.firstBlueX, alone.firstBlueX + 40) << "placed after the measured part before";
}

TEST(TextMark, ChangesRequestARebuildOnlyWhenSomethingDiffers)
{
    Label label(L"abc");
    label.owner.updates.clear();
    label.text.SetMarkText(L"b", Gdiplus::Color(0xFF0000FF), 0);
    label.text.SetMarkText(L"b", Gdiplus::Color(0xFF0000FF), 0);
    label.text.SetTitleMarkText(L"abc", L"b", 0);
    EXPECT_EQ(label.owner.updates.size(), 1u);
    label.text.SetTitleMarkText(L"xbz", L"b", 0);
    EXPECT_EQ(label.owner.updates.size(), 2u);
    EXPECT_STREQ(label.text.GetTitle(), L"xbz");
    label.text.SetMarkText(nullptr); // a null mark reads as none
    EXPECT_STREQ(label.text.GetMarkText(), L"");
}

TEST(TextLabel, BackIconWheelAndScrollNotifications)
{
    PaintManager pm;
    RecordingOwner owner;
    MText text(&owner, 3, CRect(0, 0, 100, 30), L"", 1);
    text.SetManager(&pm);
    EXPECT_EQ(text.IsEnabled(), 0) << "labels start disabled";
    text.EnableTextBack(1, Gdiplus::Color(0xFF00A050));
    text.EnableTextBack(1, Gdiplus::Color(0xFFFF0000)); // the colour is taken only when the flag changes
    ASSERT_EQ(text.SetImage(SkinName(L"frames4.png").c_str(), 4), 1);
    Canvas canvas(100, 30, kBack);
    text.Draw(canvas.dc(), CRect(0, 0, 100, 30));
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 15), 0xFF0000)) << "frame 0 of the icon at the left, centred vertically";
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 2), 0x00A050)) << "the back above the icon";
    EXPECT_TRUE(RgbNear(canvas.Rgb(80, 15), 0x00A050));

    EXPECT_EQ(text.OnControlScroll(1, 1, CPoint(5, 5)), 1) << "the wheel is consumed";
    owner.updates.clear();
    text.OnBaseMessage(1, MN_POSITION, 10, 0);
    text.OnBaseMessage(2, MN_POSITION, 10, 0);
    ASSERT_EQ(owner.updates.size(), 1u) << "only child 1 reporting its position";
    EXPECT_EQ(owner.updates[0].rebuild, 1);
}

TEST(TextArea, FilledFramedAndTitled)
{
    PaintManager pm;
    RecordingOwner owner;
    CTextArea area(&owner, 4, CRect(10, 10, 110, 50), L"", 1, 1);
    area.SetManager(&pm);
    area.SetTransparent(10, 20, RGB(0x10, 0x80, 0xF0));
    Canvas canvas(120, 60, 0x303030);
    area.Draw(canvas.dc(), CRect(0, 0, 120, 60));
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 10), 0x1080F0)) << "opaque fill in the 0x00BBGGRR colour";
    EXPECT_TRUE(RgbNear(canvas.Rgb(5, 5), 0x303030));

    area.SetFrame(1, Gdiplus::Color(0xFFFF0000));
    area.SetTitle(L"MMMM");
    area.SetTextColor(Gdiplus::Color(0xFFFFFFFF));
    area.SetUpdate(0, 0);
    area.Draw(canvas.dc(), CRect(0, 0, 120, 60));
    EXPECT_TRUE(RgbNear(canvas.Rgb(10, 10), 0xFF0000)) << "frame";
    EXPECT_TRUE(RgbNear(canvas.Rgb(12, 12), 0x1080F0)) << "fill inside the frame";
    const Ink ink = CountInk(canvas, CRect(40, 20, 80, 40));
    EXPECT_GT(ink.white, 10) << "the title, centred";
}
