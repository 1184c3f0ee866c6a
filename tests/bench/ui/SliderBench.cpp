// One drag step of a slider: the mouse move, the new value and its code 8, the rebuild
// request and the repaint of the slider's face from the program's skin.
#include <windows.h>
#include <gdiplus.h>

#include "support/Bench.h"
#include "ui/controls/MSlider.h"
#include "ui/core/ZuntUI.h"

namespace {

// The skin as the program ships it, reached from the tests' skin folder.
const wchar_t kTrack[] = L"..\\..\\..\\Tastro\\skins\\theme1\\img_slider_back.png";
const wchar_t kThumb[] = L"..\\..\\..\\Tastro\\skins\\theme1\\img_thumb.png";

// Does with repaint requests what a window does: a stale face is rebuilt at the next paint.
class DragOwner : public MObject {
public:
    LRESULT OnBaseMessage(UINT, UINT code, WPARAM wparam, LPARAM) override
    {
        if (code == MN_POSITION)
            last = wparam;
        return 0;
    }
    LRESULT OnControlUpdate(CRect, int rebuild, MControl* control) override
    {
        if (rebuild && control)
            control->SetUpdate(0, 0);
        return 0;
    }
    WPARAM last = 0;
};

} // namespace

TASTRO_BENCH(ui_slider_drag_step)
{
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        PaintManager pm;
        DragOwner owner;
        const CRect rect(0, 0, 248, 60);
        MSlider slider(&owner, 1, rect, 1, 1);
        slider.SetManager(&pm);
        slider.SetMaxProgress(100);
        if (!slider.SetImage(kTrack, 1) || !slider.SetThumbImage(kThumb))
            bench::Note("skin images not found: build the program data first");
        HDC screen = GetDC(nullptr);
        BYTE* bits = nullptr;
        HBITMAP bmp = MRender::CreateARGB32Bitmap(screen, rect.Width(), rect.Height(), &bits);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        ReleaseDC(nullptr, screen);

        slider.Draw(dc, rect);
        slider.OnLButtonDown(MK_LBUTTON, slider.GetThumbRect().CenterPoint());
        const int steps = 2000;
        double total = 0;
        for (int i = 0; i < steps; ++i) {
            // Back and forth over the track, two pixels a step: nearly every step changes the value.
            const int x = 20 + (i % 200 < 100 ? i % 100 : 99 - i % 100) * 2;
            const double t0 = bench::Now();
            slider.OnMouseMove(MK_LBUTTON, CPoint(x, 18));
            slider.Draw(dc, rect);
            GdiFlush();
            total += bench::Now() - t0;
        }
        slider.OnLButtonUp(0, CPoint(20, 18));
        bench::Consume(&owner.last);
        bench::Report("slider drag step: move, value, code 8 and face repaint (goal <= 1)", total / steps * 1000, "ms");

        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    Gdiplus::GdiplusShutdown(token);
}
