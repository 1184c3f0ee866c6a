// Labels, pictures, progress displays and an open context menu.
#include "Gallery.h"

#include "ui/controls/ZuntControls.h"

namespace {

const Gdiplus::Color kLight(0xFF, 0xE8, 0xE8, 0xE8);

template <class T>
T* Make(GalleryContext& g, const wchar_t* className, CRect rect, const wchar_t* title = L"", int enabled = 1)
{
    return static_cast<T*>(g.Create(className, rect, title, 1, enabled));
}

} // namespace

static GallerySection labels(L"MText, CTextArea", 430, 150, [](GalleryContext& g) {
    if (auto* t = Make<MText>(g, L"MText", CRect(0, 0, 210, 24), L"Plain label"))
        t->SetTextColor(kLight);
    if (auto* t = Make<MText>(g, L"MText", CRect(0, 30, 210, 54), L"Profile: Gaming mode")) {
        t->SetTextColor(kLight);
        t->SetMarkText(L"Gaming", Gdiplus::Color(0xFF, 0xED, 0x80, 0x1B), 0);
    }
    if (auto* t = Make<MText>(g, L"MText", CRect(0, 60, 210, 84), L"Back and shadow")) {
        t->EnableTextBack(1, Gdiplus::Color(0xFF, 0x00, 0x80, 0x00));
        t->EnableShadow(1);
        t->SetAlignment(1, 4);
    }
    if (auto* t = Make<MText>(g, L"MText", CRect(220, 0, 430, 24), L"Label with an icon")) {
        t->SetTextColor(kLight);
        t->SetImage(L"icon/icon_pc.png", 1);
    }
    if (auto* t = Make<MText>(g, L"MText", CRect(220, 30, 430, 84),
                              L"A multi-line label wraps its words and is centred vertically here")) {
        t->SetTextColor(kLight);
        t->EnableMultiLine(1);
        t->EnableVCenter(1);
    }
    auto* area = new CTextArea(g.dialog, g.NextId(), g.At(CRect(0, 95, 210, 145)), L"CTextArea, framed", 1, 1);
    g.Add(area);
    area->SetTextColor(Gdiplus::Color(0xFF, 0x20, 0x20, 0x20));
    area->SetTransparent(80, 80, RGB(0xF0, 0xF0, 0xE0));
    area->SetFrame(1, Gdiplus::Color(0xFF, 0xFF, 0x80, 0x00));
    auto* plain = new CTextArea(g.dialog, g.NextId(), g.At(CRect(220, 95, 430, 145)), L"CTextArea", 1, 1);
    g.Add(plain);
    plain->SetTransparent(80, 80, RGB(0x30, 0x50, 0x90));
});

static GallerySection pictures(L"MPicture (modes 0-3), CGifPicture, CPhotoFrame, CSliderPicture", 570, 160,
                               [](GalleryContext& g) {
    if (auto* p = Make<MPicture>(g, L"MPicture", CRect(0, 0, 130, 60))) {
        p->SetImage(L"logo/logo.png", 1);
        p->SetAlignment(1, 4); // mode 0, centred
    }
    if (auto* p = Make<MPicture>(g, L"MPicture", CRect(140, 0, 240, 60))) {
        p->SetImage(L"icon/icon_circle.png", 2);
        p->SetShowMode(SHOWMODE_TILE, 0);
    }
    if (auto* p = Make<MPicture>(g, L"MPicture", CRect(250, 0, 310, 60))) {
        p->SetImage(L"icon/icon_keyboard.png", 1);
        p->SetShowMode(SHOWMODE_STRETCH, 0);
    }
    if (auto* p = Make<MPicture>(g, L"MPicture", CRect(320, 0, 460, 60))) {
        p->SetImage(L"img_tip_bk.png", 1);
        p->SetShowMode(SHOWMODE_FRAME, 6);
    }
    if (auto* gif = Make<CGifPicture>(g, L"CGifPicture", CRect(470, 0, 570, 100))) {
        gif->SetImage(L"loading.gif", 1);
        gif->SetRunState(1, 0);
        gif->AddMTimer();
    }
    if (auto* photo = Make<CPhotoFrame>(g, L"CPhotoFrame", CRect(0, 75, 130, 160))) {
        photo->SetPhotoFrame(L"icon/icon_keyboard.png", 1);
        photo->SetShowMode(SHOWMODE_ALIGN, 0);
        photo->SetAlignment(1, 4);
        photo->SetImage(L"img_device_state.png", 2);
    }
    if (auto* photo = Make<CPhotoFrame>(g, L"CPhotoFrame", CRect(140, 75, 270, 160), L"", 0)) {
        photo->SetPhotoFrame(L"icon/icon_keyboard.png", 1);
        photo->SetShowMode(SHOWMODE_ALIGN, 0);
        photo->SetAlignment(1, 4);
        photo->SetImage(L"img_device_state.png", 2);
    }
    if (auto* slide = Make<CSliderPicture>(g, L"CSliderPicture", CRect(280, 75, 460, 160))) {
        slide->SetImage(L"bk_prompt.png", 1);
        slide->SetShowMode(SHOWMODE_STRETCH, 0);
        slide->SetRun(1, SLIDER_MODE_LEFT);
        for (int i = 0; i < 60; ++i)
            slide->OnTimer(); // 60 % revealed
        slide->SetRun(0, SLIDER_MODE_LEFT);
    }
}, [](GalleryContext& g) {
    g.dialog->SetMTimer(10); // the GIF animates
});

static GallerySection progress(L"MProgress, MLevelCtrl", 330, 160, [](GalleryContext& g) {
    if (auto* bar = Make<MProgress>(g, L"MProgress", CRect(0, 0, 300, 26))) {
        bar->SetProgress(40);
        bar->EnableShowText(1);
    }
    if (auto* bar = Make<MProgress>(g, L"MProgress", CRect(0, 36, 300, 50))) {
        bar->SetImage(L"btn_apply.png", 4);
        bar->SetProgress(65);
    }
    if (auto* bar = Make<MProgress>(g, L"MProgress", CRect(0, 58, 300, 72))) {
        bar->SetImage(L"btn_apply.png", 4);
        bar->SetRun(1, 20); // marquee
    }
    if (auto* level = Make<MLevelCtrl>(g, L"MLevelCtrl", CRect(0, 85, 300, 115))) {
        level->SetTitle(L"Level ");
        level->SetLevelValue(9);
        level->SetTextColor(kLight);
    }
    if (auto* level = Make<MLevelCtrl>(g, L"MLevelCtrl", CRect(0, 125, 300, 155), L"", 0)) {
        level->SetRangeValue(1, 5);
        level->SetLevelValue(2);
        level->EnableShowText(0);
    }
});

static GallerySection menu(L"MenuWnd: hover, disabled item", 340, 190,
                           [](GalleryContext& g) {
    if (auto* t = Make<MText>(g, L"MText", CRect(0, 0, 340, 24), L"Right-click menu of a profile:"))
        t->SetTextColor(kLight);
}, [](GalleryContext& g) {
    // The menu deletes itself when its window goes (here: with the gallery).
    auto* m = new MenuWnd(g.dialog);
    m->GetPaintManager().SetBackColor(RGB(0x30, 0x2C, 0x2C), RGB(0x70, 0x60, 0x60));
    m->SetLeftMargin(14);
    m->AddMenu(L"Copy", 1);
    m->AddMenu(L"Paste", 2);
    m->AddSeparator(3);
    m->AddMenu(L"Rename the profile", 4);
    m->AddMenu(L"Delete", 5);
    m->SetItemEnable(L"5", 0);
    CPoint pt(g.area.left, g.area.top + 30);
    ClientToScreen(g.dialog->GetSafeHwnd(), &pt);
    if (!m->Create(g.dialog->GetSafeHwnd(), pt, WM_APP + 1)) {
        delete m;
        return;
    }
    // Shown without activation: an active menu would close when the gallery takes the
    // activation back.
    m->ShowWindow(SW_SHOWNOACTIVATE);
    const CRect paste = m->GetControl(2)->GetRect();
    m->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(paste.left + 20, paste.top + 10));
});
