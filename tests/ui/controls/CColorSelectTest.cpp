// The column of preset swatches: layout, the index, and code 27 before the swatch's own.
#include <gtest/gtest.h>

#include <memory>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

struct Column {
    Host host;
    CColorSelect* select = nullptr;
    Column()
    {
        auto* panel = new MPanel(&host.owner, 5, CRect(0, 0, 300, 300), 1);
        host.Attach(*panel);
        panel->InitControl(&host.pm);
        holder.reset(panel);
        select = static_cast<CColorSelect*>(panel->CreateControl(L"CColorSelect", 40, CRect(10, 20, 40, 200), L"", 1, 1));
    }
    std::vector<int> Checks() const
    {
        std::vector<int> out;
        for (int i = 0; i < CColorSelect::kSwatchCount; ++i)
            out.push_back(select->GetSwatch(i)->GetCheck());
        return out;
    }
    std::unique_ptr<MPanel> holder; // owns the column
};

} // namespace

TEST(ColorSelectLayout, SevenPresetSwatchesDownTheLeftEdge)
{
    Column c;
    ASSERT_NE(c.select, nullptr);
    const unsigned long colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (int i = 0; i < 7; ++i) {
        CColorButton* s = c.select->GetSwatch(i);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->GetControlID(), 631u + i);
        EXPECT_EQ(s->GetRect(), CRect(10, 25 + 25 * i, 30, 45 + 25 * i));
        EXPECT_EQ(s->GetColor(), colours[i]);
        EXPECT_STREQ(s->GetGroupName(), L"clr_palette_group");
        EXPECT_EQ(s->GetVisibleBorder(), i == 6);
    }
    c.select->SetRect(CRect(100, 0, 130, 180));
    EXPECT_EQ(c.select->GetSwatch(3)->GetRect(), CRect(100, 80, 120, 100));
    EXPECT_EQ(c.select->OnControlScroll(1, 1, CPoint(105, 10)), 1) << "the wheel is swallowed";
}

TEST(ColorSelectInput, PressReportsIndexAndColourThenTheSwatchsCode)
{
    Column c;
    c.select->OnLButtonDown(MK_LBUTTON, CPoint(15, 80)); // swatch 2
    c.select->OnLButtonUp(0, CPoint(15, 80));
    const auto& notes = c.host.owner.notes;
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0].id, 40u);
    EXPECT_EQ(notes[0].code, static_cast<UINT>(MN_COLOR_PICKED));
    EXPECT_EQ(notes[0].wparam, 2u);
    EXPECT_EQ(notes[0].lparam, static_cast<LPARAM>(0xFF0000));
    EXPECT_EQ(notes[1].id, 633u) << "the swatch's own codes follow, with its id";
    EXPECT_EQ(notes[1].code, 1u);
    EXPECT_EQ(notes[2].code, 2u);
    EXPECT_EQ(c.Checks(), (std::vector<int>{0, 0, 1, 0, 0, 0, 0}));
}

TEST(ColorSelectIndex, ChecksOneUnchecksAllAndLeavesDisabledSwatches)
{
    Column c;
    c.select->SetColorIndex(2);
    c.select->SetColorIndex(4);
    EXPECT_EQ(c.Checks(), (std::vector<int>{0, 0, 0, 0, 1, 0, 0}));
    c.select->SetColorIndex(7);
    c.select->SetColorIndex(-2);
    EXPECT_EQ(c.Checks(), (std::vector<int>{0, 0, 0, 0, 1, 0, 0})) << "out of range: nothing";
    c.select->GetSwatch(5)->SetEnabled(0);
    c.select->SetColorIndex(5);
    EXPECT_EQ(c.Checks(), (std::vector<int>{0, 0, 0, 0, 1, 0, 0})) << "a disabled swatch is not changed";
    c.select->SetColorIndex(-1);
    EXPECT_EQ(c.Checks(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(c.host.owner.notes.empty()) << "the index reports nothing";
    EXPECT_EQ(c.select->GetSelectColor(), 0u);

    c.select->SetEnabled(0);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(c.select->GetSwatch(i)->IsEnabled(), 0);
}
