// The buttons in their main states, and the balloon beside a hovered image button.
#include "Gallery.h"

#include "ui/controls/ZuntControls.h"

namespace {

template <class T>
T* Make(GalleryContext& g, const wchar_t* className, CRect rect, const wchar_t* title = L"", int enabled = 1)
{
    return static_cast<T*>(g.Create(className, rect, title, 1, enabled));
}

CPoint Centre(MControl* c) { return c->GetRect().CenterPoint(); }

// Controls whose state the "shown" step sets (hover and press need the window).
MButton* g_hoverButton = nullptr;
MButton* g_pressedButton = nullptr;
CImageButton* g_balloonButton = nullptr;
CImageButton* g_pressedImage = nullptr;
CTextButton* g_hoverText = nullptr;
CCheckButton* g_hoverCheck = nullptr;
CIconButton* g_hoverIcon = nullptr;

} // namespace

static GallerySection buttons(
    L"Buttons and balloon", 480, 245,
    [](GalleryContext& g) {
        // Push buttons: normal, hover, pressed, disabled.
        const wchar_t* names[] = {L"Normal", L"Hover", L"Pressed", L"Disabled"};
        MButton* push[4];
        for (int i = 0; i < 4; ++i) {
            push[i] = Make<MButton>(g, L"MButton", CRect(i * 120, 0, i * 120 + 110, 38), names[i], i != 3);
            push[i]->SetImage(L"btn_apply.png", 4);
        }
        g_hoverButton = push[1];
        g_pressedButton = push[2];

        // Text buttons; image buttons: normal, pressed, disabled, another skin, and hover
        // with its balloon (last, so that the balloon covers nothing).
        Make<CTextButton>(g, L"CTextButton", CRect(0, 55, 80, 75), L"Text");
        g_hoverText = Make<CTextButton>(g, L"CTextButton", CRect(80, 55, 160, 75), L"Hover");
        Make<CTextButton>(g, L"CTextButton", CRect(160, 55, 250, 75), L"Disabled", 0);
        const wchar_t* images[] = {L"imgbtn_add.png", L"imgbtn_edit.png", L"imgbtn_del.png", L"main_sysbtn_close.png",
                                   L"imgbtn_add.png"};
        CImageButton* image[5];
        for (int i = 0; i < 5; ++i) {
            image[i] = Make<CImageButton>(g, L"CImageButton", CRect(270 + i * 40, 50, 300 + i * 40, 80),
                                          L"Add a profile", i != 2);
            image[i]->SetImage(images[i], 4);
        }
        g_pressedImage = image[1];
        g_balloonButton = image[4];
        g_balloonButton->SetAlrBladderMode(AIRBLADDER_MODE_RIGHT);

        // Check boxes: unchecked (hover), checked, checked and disabled; radio buttons.
        g_hoverCheck = Make<CCheckButton>(g, L"CCheckButton", CRect(0, 95, 150, 115), L"Check hover");
        g_hoverCheck->SetImage(L"btn_checkbox.png", 8);
        auto* checked = Make<CCheckButton>(g, L"CCheckButton", CRect(160, 95, 310, 115), L"Checked");
        checked->SetImage(L"btn_checkbox.png", 8);
        checked->SetCheck(1);
        auto* checkedOff = Make<CCheckButton>(g, L"CCheckButton", CRect(320, 95, 470, 115), L"Checked, disabled");
        checkedOff->SetImage(L"btn_checkbox.png", 8);
        checkedOff->SetCheck(1);
        checkedOff->SetEnabled(0);
        const wchar_t* radios[] = {L"Radio on", L"Radio off", L"Radio disabled"};
        for (int i = 0; i < 3; ++i) {
            auto* r = Make<CRadioButton>(g, L"CRadioButton", CRect(i * 160, 125, i * 160 + 150, 145), radios[i]);
            r->SetImage(L"btn_radiobox.png", 8);
            r->SetGroupName(L"gallery");
            if (i == 0)
                r->SetCheck(1);
            if (i == 2)
                r->SetEnabled(0);
        }

        // Switches (off, on: the skin has no switch art, the record arrows stand in), icon
        // buttons (normal, hover, down), the help mark.
        for (int i = 0; i < 2; ++i) {
            auto* sw = Make<CSwitchButton>(g, L"CSwitchButton", CRect(i * 30, 165, i * 30 + 20, 185));
            sw->SetImage(L"btn_record_up.png", L"btn_record_down.png", 4);
            sw->SetCheck(i);
        }
        const wchar_t* icons[] = {L"Icon", L"Hover", L"Down"};
        CIconButton* icon[3];
        for (int i = 0; i < 3; ++i) {
            icon[i] = Make<CIconButton>(g, L"CIconButton", CRect(70 + i * 110, 155, 170 + i * 110, 193), icons[i]);
            icon[i]->SetImage(L"btn_apply.png", 4);
            icon[i]->SetGroupName(L"gallery");
        }
        icon[2]->SetControlCheck(1);
        g_hoverIcon = icon[1];
        auto* help = Make<CHelpButton>(g, L"CHelpButton", CRect(410, 158, 442, 190), L"Help text");
        help->SetImage(L"icon/icon_config.png", 1);

        // Timer buttons: running and focused, idle.
        auto* running = Make<CTimerButton>(g, L"CTimerButton", CRect(0, 205, 150, 243), L"Resend");
        running->SetImage(L"btn_apply.png", 4);
        running->SetRun(1);
        running->SetControlFocus(1);
        auto* idle = Make<CTimerButton>(g, L"CTimerButton", CRect(160, 205, 310, 243), L"Timer");
        idle->SetImage(L"btn_apply.png", 4);
    },
    [](GalleryContext&) {
        g_hoverButton->OnMouseMove(0, Centre(g_hoverButton));
        g_pressedButton->OnLButtonDown(0, Centre(g_pressedButton));
        g_pressedImage->OnLButtonDown(0, Centre(g_pressedImage));
        g_hoverText->OnMouseMove(0, Centre(g_hoverText));
        g_hoverCheck->OnMouseMove(0, Centre(g_hoverCheck));
        g_hoverIcon->OnMouseMove(0, Centre(g_hoverIcon));
        // The balloon follows the hover and hides when the window loses the activation: show
        // it after every other section's step (an open combo pop-up takes the activation).
        SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
            KillTimer(nullptr, timer);
            g_balloonButton->OnMouseMove(0, Centre(g_balloonButton));
        });
    });
