// Combo boxes (an open pop-up with its scroll bar, a disabled one) and tab strips (vertical
// with captions, horizontal) with a selected and a hovered tab.
#include "Gallery.h"

#include "ui/controls/ZuntControls.h"

namespace {

const Gdiplus::Color kLight(0xFF, 0xE8, 0xE8, 0xE8);
const wchar_t* const kLanguages[] = {L"English", L"Deutsch", L"Français", L"Español",
                                     L"Italiano", L"Português brasileiro", L"Polski"};

// Owned by the gallery window.
MComboBox* g_openCombo = nullptr;
MTabCtrl* g_vertical = nullptr;
MTabCtrl* g_horizontal = nullptr;

MComboBox* MakeCombo(GalleryContext& g, CRect rect, int enabled, int selection)
{
    auto* combo = static_cast<MComboBox*>(g.Create(L"MComboBox", rect, L"", 1, enabled));
    if (!combo)
        return nullptr;
    combo->SetImage(L"img_combobox.png", 4);
    combo->SetTextColor(kLight);
    long data = 1;
    for (const wchar_t* text : kLanguages)
        combo->AddItem(text, data++);
    combo->SetCurSel(selection);
    return combo;
}

// A page with one label, owned by the tab control.
MControl* MakePage(GalleryContext& g, MTabCtrl* tab, CRect rect, const wchar_t* text)
{
    MControl* page = tab->CreatePanel(L"MTabLayout", g.NextId(), g.At(rect));
    if (auto* panel = dynamic_cast<MPanel*>(page)) {
        if (auto* label = static_cast<MText*>(panel->CreateControl(L"MText", g.NextId(), g.At(rect), text, 1, 1)))
            label->SetTextColor(kLight);
    }
    return page;
}

} // namespace

static GallerySection combos(L"MComboBox: open, disabled", 230, 250, [](GalleryContext& g) {
    g_openCombo = MakeCombo(g, CRect(0, 0, 220, 38), 1, 0);
    MakeCombo(g, CRect(0, 212, 220, 250), 0, 5);
}, [](GalleryContext&) {
    if (g_openCombo)
        g_openCombo->ShowDropDown(); // seven rows: five shown and the scroll bar
});

static GallerySection tabs(L"MTabCtrl: vertical and horizontal, selected and hovered", 560, 245,
                           [](GalleryContext& g) {
    const wchar_t* const images[] = {L"icon/tab_home.png", L"icon/tab_customkey.png", L"icon/tab_light.png"};
    const wchar_t* const captions[] = {L"Home", L"Keys", L"Lighting"};
    if (auto* strip = static_cast<MTabCtrl*>(g.Create(L"MTabCtrl", CRect(0, 0, 270, 245)))) {
        strip->SetTabType(TAB_TYPE_VERTICAL);
        strip->SetTabCtrlWidth(80);
        strip->SetTabCtrlHeight(80);
        for (int i = 0; i < 3; ++i) {
            CString text = CString(L"Page: ") + captions[i];
            strip->InsertItem(static_cast<UINT>(i), captions[i], images[i],
                              MakePage(g, strip, CRect(95, 0, 270, 30), text.c_str()), 4, 0);
        }
        strip->SetSelectItem(1);
        g_vertical = strip;
    }
    if (auto* strip = static_cast<MTabCtrl*>(g.Create(L"MTabCtrl", CRect(290, 0, 560, 245)))) {
        strip->SetTabType(TAB_TYPE_HORIZONTAL);
        strip->SetTabCtrlHeight(70);
        strip->SetItemWidth(85, 0, 1);
        for (int i = 0; i < 3; ++i) {
            CString text = CString(L"Page: ") + captions[i];
            strip->InsertItem(static_cast<UINT>(i), captions[i], images[i],
                              MakePage(g, strip, CRect(290, 80, 560, 110), text.c_str()), 4, 0);
        }
        strip->SetSelectItem(0);
        g_horizontal = strip;
    }
}, [](GalleryContext&) {
    // Hover as if the pointer rested on the last tab of each strip.
    if (g_vertical)
        g_vertical->OnMouseMove(0, g_vertical->GetItemInfo(2)->rect.CenterPoint());
    if (g_horizontal)
        g_horizontal->OnMouseMove(0, g_horizontal->GetItemInfo(2)->rect.CenterPoint());
});
