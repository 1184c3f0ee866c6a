// Colour pickers: the wheel with its ring, the HSL palette, the composite picker with its
// edit and spin boxes, the preset column and swatches (one selected, one disabled).
#include "Gallery.h"

#include "ui/controls/ZuntControls.h"

static GallerySection wheel(L"CirclePalette, MPalette", 460, 170, [](GalleryContext& g) {
    if (auto* w = static_cast<CirclePalette*>(g.Create(L"CirclePalette", CRect(0, 0, 131, 131))))
        w->SetImage(L"img_circlepalette.png", 1);
    if (auto* p = static_cast<MPalette*>(g.Create(L"MPalette", CRect(150, 0, 450, 160)))) {
        p->SetThumbImage(L"img_palette_thumb.png");
        p->SetSelectColor(RGB(0x20, 0xA0, 0xF0));
    }
});

static GallerySection picker(L"CColorPalette, CColorSelect, CColorButton", 560, 200, [](GalleryContext& g) {
    if (auto* p = static_cast<CColorPalette*>(g.Create(L"CColorPalette", CRect(0, 0, 330, 195))))
        p->SetImage(L"img_edit.png", 4);
    g.Create(L"CColorSelect", CRect(345, 0, 370, 185));
    const unsigned long colours[] = {RGB(255, 0, 0), RGB(0, 200, 0), RGB(0, 0, 255), RGB(255, 200, 0)};
    for (int i = 0; i < 4; ++i) {
        auto* s = static_cast<CColorButton*>(g.Create(L"CColorButton", CRect(390 + 40 * (i % 2), 10 + 40 * (i / 2),
                                                                             420 + 40 * (i % 2), 40 + 40 * (i / 2)),
                                                      L"", 1, i != 3));
        if (!s)
            continue;
        s->SetGroupName(L"gallery_swatches");
        s->SetColor(colours[i]);
        if (i == 1)
            s->SetCheck(1);
    }
    if (auto* s = static_cast<CColorButton*>(g.Create(L"CColorButton", CRect(390, 100, 420, 130)))) {
        s->SetGroupName(L"gallery_swatches");
        s->SetImage(L"btn_colorful.png", 4);
    }
    if (auto* s = static_cast<CColorButton*>(g.Create(L"CColorButton", CRect(430, 100, 460, 130)))) {
        s->SetGroupName(L"gallery_swatches");
        s->SetColor(RGB(255, 255, 255));
        s->SetVisibleBorder(true);
    }
});
