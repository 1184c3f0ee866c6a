// Entry point of Tastro.exe: for now the skeleton of the main window, a skinned dialog
// with its frame lines and bands, closed with Esc or the close mark at the top right.
#include <windows.h>
#include <gdiplus.h>

#include "resources/resource.h"
#include "storage/Paths.h"
#include "ui/core/ZuntUI.h"

namespace {

const int kWidth = 1280, kHeight = 720;
const int kCloseSize = 24;

class SkeletonDialog : public MDialog {
public:
    void InitUI(CRect client) override
    {
        // The frame lines, the header band and the tab strip of the main window.
        for (UINT id : {31u, 33u, 32u, 34u})
            Area(id, CRect(), 50, 0x0000FF);
        Area(35, CRect(), 70, 0x737373);
        Area(48, CRect(), 70, 0x737373);
        // The close mark is a control, not an area: a press on it is the control's, so the
        // release comes back (a press on empty space drags the window instead).
        if (auto* close = static_cast<CArea*>(CreateControl(L"CArea", 60, CRect(), L"")))
            close->SetTransparent(0, 0, 0x3030E0);
        LoadBKImage(L"main_bkg.png"); // when the skin has one; the colours otherwise
        UISize(client);
    }

    void UISize(CRect c) override
    {
        Place(31, CRect(c.left, c.top, c.left + 1, c.bottom));
        Place(33, CRect(c.right - 1, c.top, c.right, c.bottom));
        Place(32, CRect(c.left, c.top, c.right, c.top + 1));
        Place(34, CRect(c.left, c.bottom - 1, c.right, c.bottom));
        Place(35, CRect(c.left + 1, c.top + 60, c.right - 1, c.top + 110));
        Place(48, CRect(c.left + 1, c.top + 110, c.left + 81, c.bottom - 1));
        Place(60, CloseRect(c));
    }

    int OnKeyDown(UINT key, UINT, UINT) override
    {
        if (key == VK_ESCAPE)
            DoClose();
        return 0;
    }

    int OnLButtonUp(UINT, CPoint pt) override
    {
        CRect client;
        GetClientRect(client);
        if (CloseRect(client).PtInRect(pt))
            DoClose();
        return 0;
    }

private:
    static CRect CloseRect(const CRect& c)
    {
        return CRect(c.right - 8 - kCloseSize, c.top + 8, c.right - 8, c.top + 8 + kCloseSize);
    }

    void Area(UINT id, CRect rect, int transparency, DWORD colour)
    {
        if (auto* area = static_cast<CArea*>(CreateArea(L"CArea", id, rect, L"")))
            area->SetTransparent(transparency, transparency, colour);
    }

    void Place(UINT id, CRect rect)
    {
        if (MControl* c = GetControl(id))
            c->SetRect(rect);
    }
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    Manager::SetInstance(instance);
    Manager::SetDeviceName(L"Tastro");
    SetSoftwareName(Manager::GetDeviceName());

    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr) != Gdiplus::Ok)
        return 1;

    int rc = 0;
    {
        SkeletonDialog dialog;
        if (dialog.Create(nullptr, Manager::GetDeviceName(), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                          CRect(0, 0, kWidth, kHeight))) {
            dialog.SetIcon(IDI_TASTRO);
            dialog.CenterWindow();
            dialog.ShowModal(show == SW_HIDE ? SW_SHOW : show);
        } else {
            rc = 1;
        }
    }
    Gdiplus::GdiplusShutdown(gdiplus);
    return rc;
}
