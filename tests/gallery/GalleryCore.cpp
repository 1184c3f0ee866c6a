// The core's own control: filled and blended areas.
#include "Gallery.h"

static GallerySection core(L"CArea", 300, 90, [](GalleryContext& g) {
    if (auto* a = static_cast<CArea*>(g.Create(L"CArea", CRect(0, 0, 90, 90))))
        a->SetTransparent(0, 0, 0x3030E0);
    if (auto* a = static_cast<CArea*>(g.Create(L"CArea", CRect(105, 0, 195, 90)))) {
        a->SetTransparent(0, 0, 0x303030);
        a->SetFrame(1, Gdiplus::Color(0xFF, 0xFF, 0xFF, 0xFF));
    }
    if (auto* a = static_cast<CArea*>(g.Create(L"CArea", CRect(210, 0, 300, 90))))
        a->SetTransparent(0, 90, 0xE0A030);
});
