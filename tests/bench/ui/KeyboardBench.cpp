// Figures of the keyboard control with the shipped 104-key model: one step of the
// light-mode preview (the tick and the face rebuilt), a repaint of the control from its
// cache, and a hover move from key to key (with and without the rebuild it asks for).
#include <windows.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "support/Bench.h"
#include "UiBench.h"
#include "support/LayoutKeys.h"
#include "support/TestPaths.h"
#include "ui/controls/ZuntControls.h"
#include "ui/core/ZuntUI.h"

namespace {

// The shipped pictures, named from the benchmark's own skin folder (beside the executable).
const wchar_t kProgramSkin[] = L"..\\..\\..\\Tastro\\skins\\theme1\\";

class Owner : public MObject {
public:
    LRESULT OnControlUpdate(CRect, int rebuild, MControl* control) override
    {
        if (rebuild && control)
            control->SetUpdate(0, 0);
        ++updates;
        return 0;
    }
    int updates = 0;
};

// A 32-bit DIB like the window's paint surface.
struct Surface {
    Surface(int w, int h)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        bmp = MRender::CreateARGB32Bitmap(dc, w, h, &bits);
        old = SelectObject(dc, bmp);
        MRender::FillPixels(bits, w, h, CRect(0, 0, w, h), 0xFF130D09);
    }
    ~Surface()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
    BYTE* bits = nullptr;
};

// The model's keys on a control as the main window places them.
struct Board {
    explicit Board(const wchar_t* model)
        : layout(testsupport::ReadLayoutKeys(testsupport::ProgramFolder() + L"\\layouts\\" + model + L".xml"))
    {
        rect = CRect(20, 20, 20 + layout.width, 20 + layout.height);
        kb = new KeyboardCtrl(&owner, 1, rect, 1);
        kb->SetKeyboardImage((std::wstring(kProgramSkin) + L"keyboard\\" + layout.image).c_str());
        kb->SetWidthAndHeight(layout.width, layout.height);
        for (const auto& k : layout.keys)
            kb->AddKeyItem(k.name.c_str(), k.desc.c_str(), k.code, CRect(k.x, k.y, k.x + k.w, k.y + k.h), L"");
    }
    ~Board() { delete kb; }
    void Draw(Surface& s) { kb->Draw(s.dc, CRect(0, 0, rect.right + 20, rect.bottom + 20)); }
    CPoint Centre(int i) const
    {
        const auto& k = layout.keys[static_cast<size_t>(i)];
        CRect r = kb->GetRealRect(CRect(k.x, k.y, k.x + k.w, k.y + k.h));
        r.OffsetRect(rect.left, rect.top);
        return r.CenterPoint();
    }

    testsupport::LayoutKeys layout;
    Owner owner;
    CRect rect;
    KeyboardCtrl* kb;
};

bool Ready(const Board& b)
{
    if (b.layout.keys.empty()) {
        bench::Note("the layouts file could not be read");
        return false;
    }
    return true;
}

} // namespace

TASTRO_BENCH(keyboard_light_step_k104)
{
    uibench::GdiplusSession gdiplus;
    Board b(L"k104");
    if (!Ready(b))
        return;
    bench::Report("keys", static_cast<double>(b.layout.keys.size()), "");
    const int frames = 32;
    std::vector<BYTE> data(b.layout.keys.size() * frames);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>((i * 37) & 0xFF);
    b.kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_LIGHT);
    b.kb->SetLightModeData(data.data(), static_cast<int>(data.size()));
    b.kb->SetLightSpeed(7);
    Surface s(b.rect.right + 20, b.rect.bottom + 20);
    b.Draw(s); // first drawing makes the caches (picture copy, outline masks)
    const int steps = 400;
    const double t0 = bench::Now();
    for (int i = 0; i < steps; ++i) {
        b.kb->OnTimer(); // frame step and rebuild request
        b.Draw(s);       // the face rebuilt and copied
    }
    const double t1 = bench::Now();
    bench::Report("light-mode step (tick + rebuild + copy)", (t1 - t0) / steps * 1e3, "ms (goal <= 0.5)");
}

TASTRO_BENCH(keyboard_repaint_k104)
{
    uibench::GdiplusSession gdiplus;
    Board b(L"k104");
    if (!Ready(b))
        return;
    Surface s(b.rect.right + 20, b.rect.bottom + 20);
    struct ModeCase {
        int mode;
        const char* name;
    };
    const ModeCase modes[] = {{KeyboardCtrl::KB_MODE_CUSTOM, "custom"},
                              {KeyboardCtrl::KB_MODE_USER_LIGHT, "user light"},
                              {KeyboardCtrl::KB_MODE_NONE, "none (captions, no window font: fill only)"}};
    for (const ModeCase& m : modes) {
        b.kb->SetKeyboardCtrlMode(m.mode);
        b.Draw(s);
        const int n = 300;
        double t0 = bench::Now();
        for (int i = 0; i < n; ++i)
            b.Draw(s);
        double t1 = bench::Now();
        bench::Report(std::string("repaint from the cache, ") + m.name, (t1 - t0) / n * 1e3, "ms (goal <= 2)");
        t0 = bench::Now();
        for (int i = 0; i < n; ++i) {
            b.kb->SetUpdate(0, 0);
            b.Draw(s);
        }
        t1 = bench::Now();
        bench::Report(std::string("face rebuilt, ") + m.name, (t1 - t0) / n * 1e3, "ms");
    }
}

TASTRO_BENCH(keyboard_hover_ten_keys_k104)
{
    uibench::GdiplusSession gdiplus;
    Board b(L"k104");
    if (!Ready(b))
        return;
    b.kb->SetKeyboardCtrlMode(KeyboardCtrl::KB_MODE_CUSTOM);
    Surface s(b.rect.right + 20, b.rect.bottom + 20);
    b.Draw(s);
    const int rounds = 100;
    double handled = 0, redrawn = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 10; ++k) {
            const CPoint pt = b.Centre(20 + k); // along a row of keys
            double t0 = bench::Now();
            b.kb->OnMouseMove(0, pt);
            double t1 = bench::Now();
            b.Draw(s); // the rebuild the hover change asked for
            double t2 = bench::Now();
            handled += t1 - t0;
            redrawn += t2 - t0;
        }
    }
    const int moves = rounds * 10;
    bench::Report("hover move to the next key (hit test, hover, repaint request)", handled / moves * 1e6,
                  "us (goal <= 200)");
    bench::Report("hover move with the face rebuilt and copied", redrawn / moves * 1e3, "ms");
    bench::Report("repaint requests", static_cast<double>(b.owner.updates), "");
}
