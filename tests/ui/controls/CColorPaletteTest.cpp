// The composite colour picker: its parts and where they start, and every part setting the
// others - the hex edit, the spin boxes, the palette, the presets and the preview - with
// code 27 to the parent.
#include <gtest/gtest.h>

#include <memory>

#include "ButtonTestSupport.h"

using namespace toolkit_test;
using namespace button_test;

namespace {

// A picker at (0, 0, 320, 190) on a panel of a window-less paint manager.
struct Picker {
    Host host;
    std::unique_ptr<MPanel> holder; // owns the picker
    CColorPalette* picker = nullptr;
    Picker()
    {
        holder.reset(new MPanel(&host.owner, 5, CRect(0, 0, 400, 300), 1));
        host.Attach(*holder);
        holder->InitControl(&host.pm);
        picker = static_cast<CColorPalette*>(holder->CreateControl(L"CColorPalette", 600, CRect(0, 0, 320, 190), L"", 1, 1));
    }
    std::vector<int> Spins() const
    {
        return {picker->GetSpin(0)->GetCurValue(), picker->GetSpin(1)->GetCurValue(), picker->GetSpin(2)->GetCurValue()};
    }
    std::wstring Hex() const { return picker->GetHexEdit()->GetTitle(); }
    std::vector<RecordingOwner::Note>& Notes() { return host.owner.notes; }
    void Press(CPoint pt)
    {
        holder->OnLButtonDown(MK_LBUTTON, pt);
        holder->OnLButtonUp(0, pt);
    }
};

} // namespace

TEST(ColorPaletteParts, LaidOutInTheirPlacesAndStartingAtThePreviewsColour)
{
    Picker p;
    ASSERT_NE(p.picker, nullptr);
    for (int k = 0; k < CColorPalette::kPresetCount; ++k) {
        CColorButton* preset = p.picker->GetPreset(k);
        EXPECT_EQ(preset->GetControlID(), 631u + k);
        EXPECT_EQ(preset->GetRect(), CRect(25 * k, 5, 25 * k + 20, 25));
        EXPECT_STREQ(preset->GetGroupName(), L"clr_palette_group");
    }
    EXPECT_EQ(p.picker->GetPreset(1)->GetColor(), 0x23A2F9u);
    EXPECT_EQ(p.picker->GetPalette()->GetRect(), CRect(0, 27, 233, 186));
    EXPECT_EQ(p.picker->GetPalette()->GetPalletHeight(), 157);
    EXPECT_EQ(p.picker->GetPreview()->GetRect(), CRect(235, 5, 320, 57));
    EXPECT_EQ(p.picker->GetSpin(2)->GetRect(), CRect(260, 118, 320, 142));
    EXPECT_EQ(p.picker->GetHexEdit()->GetRect(), CRect(260, 146, 320, 170));
    EXPECT_STREQ(static_cast<MText*>(p.picker->GetControl(653))->GetTitle(), L"#");
    EXPECT_EQ(p.picker->GetSpin(0)->GetMaxValue(), 255);

    // Every part shows the preview's colour from the start.
    EXPECT_EQ(p.picker->GetPreview()->GetColor(), 0x00E1FFu);
    EXPECT_EQ(p.picker->GetPreview()->GetCheck(), 1);
    EXPECT_EQ(p.Hex(), L"FFE100");
    EXPECT_EQ(p.Spins(), (std::vector<int>{255, 225, 0}));
    EXPECT_TRUE(RgbNear(p.picker->GetSelectColor(), 0x00E1FF, 6)) << "the palette keeps whole degrees of hue";
    EXPECT_TRUE(p.Notes().empty());

    p.picker->SetRect(CRect(10, 0, 330, 200));
    EXPECT_EQ(p.picker->GetHexEdit()->GetRect(), CRect(270, 146, 330, 170));
    EXPECT_EQ(p.picker->GetPalette()->GetPalletHeight(), 167);
    EXPECT_EQ(p.picker->OnControlScroll(1, 1, CPoint(20, 20)), 1) << "the wheel is swallowed";
}

TEST(ColorPaletteHex, SixDigitsSetEverythingAnythingElseNothing)
{
    struct Case {
        const wchar_t* text;
        bool taken;
        unsigned long color;
        int tolerance; // the palette keeps whole degrees of hue
    } cases[] = {
        {L"FF8000", true, 0x0080FF, 1},
        {L"ff8000", true, 0x0080FF, 1},
        {L"0A141E", true, 0x1E140A, 3},
        {L"FF80", false, 0, 0},
        {L"FF800", false, 0, 0},
        {L"GG0000", false, 0, 0},
        {L"FF 800", false, 0, 0},
        {L"+F8000", false, 0, 0},
        {L"", false, 0, 0},
    };
    for (const Case& c : cases) {
        Picker p;
        p.picker->GetHexEdit()->OnEditChanged(c.text); // what the native edit reports as the user types
        if (!c.taken) {
            EXPECT_EQ(p.Spins(), (std::vector<int>{255, 225, 0})) << c.text;
            EXPECT_TRUE(RgbNear(p.picker->GetSelectColor(), 0x00E1FF, 6)) << c.text;
            EXPECT_EQ(p.picker->GetPreview()->GetColor(), 0x00E1FFu);
            EXPECT_TRUE(p.Notes().empty()) << c.text << ": nothing is passed on";
            continue;
        }
        EXPECT_EQ(p.Spins(), (std::vector<int>{GetRValue(c.color), GetGValue(c.color), GetBValue(c.color)})) << c.text;
        EXPECT_TRUE(RgbNear(p.picker->GetSelectColor(), c.color, c.tolerance)) << c.text;
        EXPECT_EQ(p.picker->GetPreview()->GetColor(), c.color);
        EXPECT_EQ(p.Hex(), c.text) << "the typed text stays";
        ASSERT_EQ(p.Notes().size(), 2u) << c.text;
        EXPECT_EQ(p.Notes()[0].id, 600u);
        EXPECT_EQ(p.Notes()[0].code, static_cast<UINT>(MN_COLOR_PICKED));
        EXPECT_EQ(p.Notes()[0].wparam, 0u);
        EXPECT_EQ(p.Notes()[0].lparam, static_cast<LPARAM>(c.color));
        EXPECT_EQ(p.Notes()[1].id, 657u) << "then the edit's own code";
        EXPECT_EQ(p.Notes()[1].code, static_cast<UINT>(MN_EDIT_CHANGED));
    }
}

TEST(ColorPaletteSync, SpinPresetPaletteAndPreviewEachSetTheOthers)
{
    Picker p;
    p.picker->GetSpin(1)->StepUp(); // green 225 -> 226, code 28
    EXPECT_EQ(p.Hex(), L"FFE200");
    EXPECT_EQ(p.picker->GetPreview()->GetColor(), static_cast<unsigned long>(RGB(255, 226, 0)));
    ASSERT_EQ(p.Notes().size(), 2u);
    EXPECT_EQ(p.Notes()[0].lparam, static_cast<LPARAM>(RGB(255, 226, 0)));
    EXPECT_EQ(p.Notes()[1].id, 655u);
    EXPECT_EQ(p.Notes()[1].code, static_cast<UINT>(MN_SPIN_CHANGED));

    p.Notes().clear();
    p.Press(CPoint(30, 15)); // preset 1
    EXPECT_EQ(p.Spins(), (std::vector<int>{0xF9, 0xA2, 0x23}));
    EXPECT_EQ(p.Hex(), L"F9A223");
    EXPECT_EQ(p.picker->GetPreview()->GetColor(), 0x23A2F9u);
    EXPECT_EQ(p.picker->GetPreview()->GetCheck(), 1) << "the preview is in its own group";
    ASSERT_EQ(p.Notes().size(), 3u);
    EXPECT_EQ(p.Notes()[0].code, static_cast<UINT>(MN_COLOR_PICKED));
    EXPECT_EQ(p.Notes()[0].lparam, static_cast<LPARAM>(0x23A2F9));
    EXPECT_EQ(p.Notes()[1].id, 632u);
    EXPECT_EQ(p.Notes()[1].code, 1u);
    EXPECT_EQ(p.Notes()[2].code, 2u);

    p.Notes().clear();
    p.Press(CPoint(0, 27 + 100)); // the palette's field: hue 0
    ASSERT_FALSE(p.Notes().empty());
    EXPECT_EQ(p.Notes()[0].id, 600u) << "the palette's own code 27 stays inside";
    EXPECT_EQ(p.Notes()[0].code, static_cast<UINT>(MN_COLOR_PICKED));
    const unsigned long picked = p.picker->GetSelectColor();
    EXPECT_EQ(p.Notes()[0].lparam, static_cast<LPARAM>(picked));
    EXPECT_EQ(p.Spins(), (std::vector<int>{GetRValue(picked), GetGValue(picked), GetBValue(picked)}));
    EXPECT_EQ(p.Hex(), std::wstring(CColorPalette::HexText(picked)));
    for (const auto& n : p.Notes())
        EXPECT_FALSE(n.id == 620u && n.code == MN_COLOR_PICKED);

    EXPECT_EQ(p.picker->GetPreview()->GetColor(), picked);

    // An unchecked preview keeps its colour; the colour is still reported.
    p.picker->GetPreview()->SetControlCheck(0);
    p.Notes().clear();
    p.picker->GetHexEdit()->OnEditChanged(L"102030");
    EXPECT_EQ(p.picker->GetPreview()->GetColor(), picked);
    ASSERT_FALSE(p.Notes().empty());
    EXPECT_EQ(p.Notes()[0].lparam, static_cast<LPARAM>(0x302010));

    // Pressing the preview brings its colour back to every part.
    p.Notes().clear();
    p.Press(CPoint(280, 30));
    EXPECT_EQ(p.Hex(), std::wstring(CColorPalette::HexText(picked)));
    EXPECT_EQ(p.Spins(), (std::vector<int>{GetRValue(picked), GetGValue(picked), GetBValue(picked)}));
    EXPECT_EQ(p.picker->GetPreview()->GetCheck(), 1);
    ASSERT_FALSE(p.Notes().empty());
    EXPECT_EQ(p.Notes()[0].lparam, static_cast<LPARAM>(picked));
}

TEST(ColorPaletteSync, SetSelectColorShowsEverywhereWithoutReporting)
{
    Picker p;
    p.picker->SetSelectColor(0x0000FF);
    EXPECT_EQ(p.picker->GetSelectColor(), 0x0000FFu);
    EXPECT_EQ(p.Hex(), L"FF0000");
    EXPECT_EQ(p.Spins(), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(p.picker->GetPreview()->GetColor(), 0x0000FFu);
    EXPECT_TRUE(p.Notes().empty());

    CColorPalette bare(nullptr, 1, CRect(0, 0, 320, 190), 1);
    EXPECT_EQ(bare.GetSelectColor(), 0u) << "no palette before InitControl";
    bare.SetSelectColor(0x123456);
    EXPECT_EQ(bare.SetImage(L"img_edit.png", 4), 1);

    p.picker->SetEnabled(0);
    EXPECT_EQ(p.picker->GetPalette()->IsEnabled(), 0);
    EXPECT_EQ(p.picker->GetHexEdit()->IsEnabled(), 0);
    EXPECT_EQ(p.picker->GetPreset(7)->IsEnabled(), 0);
    p.picker->SetEnabled(1);
    Canvas canvas(400, 300, 0x000000);
    p.holder->Draw(canvas.dc(), CRect(0, 0, 400, 300));
    ASSERT_EQ(p.picker->GetPalette()->GetUpdate(), 1);
    p.picker->UpdateControlEx(0);
    EXPECT_EQ(p.picker->GetPalette()->GetUpdate(), 1) << "a repaint of the cached faces";
    p.picker->UpdateControlEx(1);
    EXPECT_EQ(p.picker->GetPalette()->GetUpdate(), 0) << "every part rebuilt";
    EXPECT_EQ(p.picker->GetHexEdit()->GetUpdate(), 0);
    EXPECT_EQ(p.picker->GetPreset(0)->GetUpdate(), 0);
}
