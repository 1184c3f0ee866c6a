// The lists: the key function grid (a selected, a marked and a hovered item), a profile
// list with one item being renamed, and the macro event list with six events.
#include "Gallery.h"

#include "ui/controls/ZuntControls.h"

namespace {

DListBox* g_profiles = nullptr;
KeyFuncControl* g_grid = nullptr;

} // namespace

static GallerySection functions(L"KeyFuncControl", 904, 237, [](GalleryContext& g) {
    auto* grid = new KeyFuncControl(g.dialog, g.NextId(), g.At(CRect(0, 0, 904, 237)), 1);
    g.Add(grid);
    grid->SetImage(L"img_customkey.png", 4);
    grid->SetFontWidth(10);
    grid->InitItemInfo();
    grid->SetItemCheckByItemData(228, 0, 0); // right Ctrl marked (the key's current function)
    g_grid = grid;
}, [](GalleryContext& g) {
    if (!g_grid)
        return;
    // A click on "A" selects it; the pointer then rests on "S".
    HWND hwnd = g.dialog->GetSafeHwnd();
    const CRect area = g_grid->GetRect();
    const CPoint a(area.left + 106, area.top + 156), s(area.left + 145, area.top + 156);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(a.x, a.y));
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(a.x, a.y));
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(s.x, s.y));
});

static GallerySection lists(L"DListBox, MListBox", 500, 200, [](GalleryContext& g) {
    auto* profiles = new DListBox(g.dialog, g.NextId(), g.At(CRect(0, 0, 240, 200)), 1);
    g.Add(profiles);
    profiles->SetImage(L"icon//icon_circle.png", 2);
    profiles->SetEditImage(L"img_edit.png", 4);
    profiles->EnableShowEdit(1);
    for (const wchar_t* name : {L"Profile 1", L"Gaming", L"Office", L"Profile 4", L"Night", L"Travel", L"Spare"})
        profiles->AddString(name, 0);
    profiles->SetCurSel(1);
    g_profiles = profiles;

    auto* macros = dynamic_cast<MListBox*>(g.Create(L"MListBox", CRect(260, 0, 500, 200)));
    if (macros) {
        macros->SetImage(L"icon//icon_circle.png", 2);
        for (const wchar_t* name : {L"Macro 1", L"Reload", L"Combo A", L"Combo B"})
            macros->AddString(name, 0);
        macros->SetCurSel(2);
    }
}, [](GalleryContext&) {
    if (g_profiles)
        g_profiles->ShowEdit(); // "Gaming" being renamed
});

static GallerySection records(L"CRecordList", 440, 250, [](GalleryContext& g) {
    auto* list = new CRecordList(g.dialog, g.NextId(), g.At(CRect(0, 0, 440, 250)), 1);
    g.Add(list);
    const struct {
        const wchar_t* key;
        int type, delay;
    } events[] = {
        {L"Ctrl", 2, 10}, {L"C", 2, 35}, {L"C", 3, 80}, {L"Ctrl", 3, 12}, {L"Mouse Left", 2, 150}, {L"Mouse Left", 3, 60},
    };
    for (const auto& e : events)
        list->AddString(e.key, e.type, 0, e.delay);
    list->SetCurSel(2);
});
