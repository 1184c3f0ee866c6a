// Scroll bars, sliders, spin boxes and edit boxes.
#include "Gallery.h"

#include "ui/controls/ZuntControls.h"

static GallerySection values(L"Scroll bars, sliders, spin boxes", 420, 250, [](GalleryContext& g) {
    // Bars at rest, under the pointer (frame 1) and scrolled to the end.
    for (int i = 0; i < 3; ++i) {
        auto* bar = new CScrollVertical(g.dialog, g.NextId(), g.At(CRect(i * 20, 0, i * 20 + 7, 150)), 1);
        g.Add(bar);
        bar->SetImage(L"img_scroll_v.png", 4);
        bar->SetScrollInfo(1000, i == 2 ? 1000 : 0, 300, 10);
        if (i == 1)
            bar->OnControlMouseMove(0, bar->GetThumbRect().CenterPoint());
    }
    auto* hbar = new CScrollHorizontal(g.dialog, g.NextId(), g.At(CRect(0, 165, 150, 172)), 1);
    g.Add(hbar);
    hbar->SetImage(L"img_scroll_h.png", 4);
    hbar->SetScrollInfo(1000, 400, 300, 10);

    // Sliders: a value with its text, the minimum, dragging, disabled.
    const struct {
        int value;
        bool drag, enabled;
        const wchar_t* title;
    } sliders[] = {{6, false, true, L"Brightness "}, {0, false, true, L"Speed "}, {8, true, true, L""}, {3, false, false, L""}};
    for (int i = 0; i < 4; ++i) {
        auto* s = static_cast<MSlider*>(g.Create(L"MSlider", CRect(80, i * 52, 328, i * 52 + 50), L"", 1,
                                                 sliders[i].enabled ? 1 : 0));
        if (!s)
            continue;
        s->SetImage(L"img_slider_back.png", 1);
        s->SetThumbImage(L"img_thumb.png");
        s->SetTitle(sliders[i].title);
        s->SetTextColor(Gdiplus::Color(0xFF, 0xE0, 0xE0, 0xE0));
        s->SetProgress(sliders[i].value);
        if (sliders[i].drag)
            s->OnControlLButtonDown(MK_LBUTTON, s->GetThumbRect().CenterPoint());
    }

    // Spin boxes: normal, focused, disabled.
    for (int i = 0; i < 3; ++i) {
        auto* spin = static_cast<MSpinButton*>(g.Create(L"MSpinButton", CRect(340, i * 45, 420, i * 45 + 32), L"", 1,
                                                        i == 2 ? 0 : 1));
        if (!spin)
            continue;
        spin->SetImage(L"img_edit.png", 4);
        spin->SetTextColor(Gdiplus::Color(0xFF, 0xE0, 0xE0, 0xE0)); // the default is dark, for light skins
        spin->SetCurValue(i == 0 ? 5 : i == 1 ? 100 : 12);
        if (i == 1)
            spin->SetControlFocus(1);
    }
});

static GallerySection edits(L"Edit boxes", 420, 150, [](GalleryContext& g) {
    const struct {
        const wchar_t* tip;
        const wchar_t* text;
        int state; // 0 normal, 1 hover, 3 disabled
        bool password;
    } boxes[] = {
        {L"Type a name", L"", 0, false},
        {L"", L"Profile 1", 0, false},
        {L"", L"Hovered", 1, false},
        {L"", L"secret", 0, true},
        {L"Disabled", L"", 3, false},
    };
    for (int i = 0; i < 5; ++i) {
        const CRect r = i < 3 ? CRect(0, i * 45, 200, i * 45 + 32) : CRect(220, (i - 3) * 45, 420, (i - 3) * 45 + 32);
        auto* e = static_cast<MEdit*>(g.Create(L"MEdit", r, boxes[i].tip, 1, boxes[i].state == 3 ? 0 : 1));
        if (!e)
            continue;
        e->SetImage(L"img_edit.png", 4);
        e->EnablePassWord(boxes[i].password ? 1 : 0);
        e->SetPassWordChar(L'*');
        if (*boxes[i].text)
            e->SetTitle(boxes[i].text);
        if (boxes[i].state == 1)
            e->OnControlMouseMove(0, e->GetRect().CenterPoint());
    }
    auto* focused = static_cast<MEdit*>(g.Create(L"MEdit", CRect(220, 90, 420, 122), L"", 1, 1));
    if (focused) {
        focused->SetImage(L"img_edit.png", 4);
        focused->SetTitle(L"Editing here");
    }
}, [](GalleryContext& g) {
    // Once shown: the last box edits, its native window over the text.
    for (MControl* c : g.dialog->GetPaintManager().GetControls())
        if (auto* e = dynamic_cast<MEdit*>(c))
            if (wcscmp(e->GetTitle(), L"Editing here") == 0)
                g.dialog->GetPaintManager().SetFocusControl(e);
});
