// Paint figures of the toolkit: a full repaint of a 1280 x 720 dialog with 200 mixed
// controls (cold caches and warm), the repaint after the hover state of one button
// changed, and the CPU time the idle periodic tick costs.
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/Bench.h"
#include "ui/core/ZuntUI.h"

namespace {

const int kW = 1280, kH = 720;
const wchar_t kFrames[] = L"..\\..\\fixtures\\frames4.png"; // drawn for the toolkit tests

// A push button face: four state slots rendered once, the current one copied.
class BenchButton : public MControlFont {
public:
    BenchButton(MObject* parent, UINT id, CRect rect, const wchar_t* title)
        : MControlFont(parent, id, rect, title, 1, 1, 1)
    {
        m_textColor = 0xFFFFFFFF;
    }
    void DrawControl(HDC& dc, CRect) override
    {
        if (!m_update)
            RenderFrameSlots(dc, 4, 10);
        BlitCache(dc, m_state * m_rect.Width(), 0);
    }
    int OnControlMouseMove(UINT, CPoint pt) override
    {
        const int inside = m_rect.PtInRect(pt) ? 1 : 0;
        if (inside != m_state) {
            m_state = inside;
            UpdateControl(0);
        }
        return inside;
    }
    int state() const { return m_state; }

private:
    int m_state = 0;
};

// A text label: its title drawn over the background.
class BenchLabel : public MControlFont {
public:
    BenchLabel(MObject* parent, UINT id, CRect rect, const wchar_t* title)
        : MControlFont(parent, id, rect, title, 1, 1, 1)
    {
    }
    void DrawControl(HDC& dc, CRect) override
    {
        const int w = m_rect.Width(), h = m_rect.Height();
        if (!m_update) {
            UpdateMemDC(dc, w, h);
            CopyBackground(dc);
            Gdiplus::Graphics g(m_memDC);
            DrawTitleText(g, m_title, CRect(0, 0, w, h), m_textColor);
        }
        BlitCache(dc);
    }
};

// A control that ticks but has nothing to animate.
class IdleTicker : public BenchLabel {
public:
    using BenchLabel::BenchLabel;
    int OnControlTimer() override { return 0; }
};

class BenchDialog : public MDialog {
public:
    void InitUI(CRect) override
    {
        // 200 controls: areas (opaque and translucent), buttons, labels, and panels with
        // buttons inside, in a grid over the client.
        UINT id = 100;
        for (int i = 0; i < 200; ++i) {
            const int col = i % 20, row = i / 20;
            const CRect cell(col * 64, row * 72, col * 64 + 60, row * 72 + 66);
            MObject* self = static_cast<MObject*>(this);
            switch (i % 5) {
            case 0: {
                auto* a = static_cast<CArea*>(CreateArea(L"CArea", id++, cell, L""));
                a->SetTransparent(0, 0, RGB(30, 40, 60));
                break;
            }
            case 1: {
                auto* a = static_cast<CArea*>(CreateControl(L"CArea", id++, cell, L""));
                a->SetTransparent(20, 80, RGB(200, 30, 40));
                break;
            }
            case 2: {
                auto* b = new BenchButton(self, id++, cell, L"Apply");
                AddControl(b);
                b->SetImage(kFrames, 4);
                buttons.push_back(b);
                break;
            }
            case 3: {
                auto* l = new IdleTicker(self, id++, cell, L"Label text");
                AddControl(l);
                l->SetRunTimer(1);
                tickers.push_back(l);
                break;
            }
            default: {
                auto* p = new MPanel(self, id++, cell, 1);
                AddControl(p);
                p->SetRect(cell);
                auto* inner = new BenchButton(p, id++, CRect(cell.left + 5, cell.top + 20, cell.right - 5, cell.bottom - 5), L"In");
                p->AddControl(inner);
                inner->SetImage(kFrames, 4);
                break;
            }
            }
        }
    }
    std::vector<BenchButton*> buttons;
    std::vector<IdleTicker*> tickers;
};

struct Gdiplus_ {
    Gdiplus_()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
        Manager::SetInstance(GetModuleHandleW(nullptr));
    }
    ~Gdiplus_() { Gdiplus::GdiplusShutdown(token); }
    ULONG_PTR token = 0;
};

// A client-sized memory target like the window's paint DC.
struct Target {
    Target()
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bmp = CreateCompatibleBitmap(screen, kW, kH);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bmp);
    }
    ~Target()
    {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bmp;
    HGDIOBJ old;
};

void MarkAllStale(PaintManager& pm)
{
    for (MControl* c : pm.GetAreas())
        c->SetUpdate(0, 0);
    for (MControl* c : pm.GetControls())
        c->SetUpdate(0, 0);
}

size_t CountControls(const std::vector<MControl*>& list)
{
    size_t n = list.size();
    for (MControl* c : list)
        n += CountControls(c->GetControls()) + CountControls(c->GetAreas());
    return n;
}

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& f) {
        return ((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

} // namespace

TASTRO_BENCH(ui_full_repaint_1280x720_200_controls)
{
    Gdiplus_ gdiplus;
    BenchDialog dlg;
    if (!dlg.Create(nullptr, L"bench", WS_POPUP, 0, CRect(0, 0, kW, kH))) {
        bench::Note("could not create the dialog");
        return;
    }
    PaintManager& pm = dlg.GetPaintManager();
    const size_t top = pm.GetAreas().size() + pm.GetControls().size();
    bench::Report("top-level controls", static_cast<double>(top), "");
    bench::Report("controls including nested ones",
                  static_cast<double>(CountControls(pm.GetAreas()) + CountControls(pm.GetControls())), "");
    Target target;
    const CRect client(0, 0, kW, kH);
    pm.Render(target.dc, client); // first paint: images decoded, caches allocated

    const int rounds = 30;
    double cold = 0, warm = 0;
    for (int i = 0; i < rounds; ++i) {
        MarkAllStale(pm);
        double t0 = bench::Now();
        pm.Render(target.dc, client);
        cold += bench::Now() - t0;
        t0 = bench::Now();
        pm.Render(target.dc, client);
        warm += bench::Now() - t0;
    }
    bench::Report("full repaint, every face rebuilt (goal <= 8)", cold / rounds * 1000, "ms");
    bench::Report("full repaint from the control caches", warm / rounds * 1000, "ms");
    dlg.DestroyWindow();
}

TASTRO_BENCH(ui_hover_change_repaint)
{
    Gdiplus_ gdiplus;
    BenchDialog dlg;
    if (!dlg.Create(nullptr, L"bench", WS_POPUP, 0, CRect(0, 0, kW, kH))) {
        bench::Note("could not create the dialog");
        return;
    }
    PaintManager& pm = dlg.GetPaintManager();
    Target target;
    pm.Render(target.dc, CRect(0, 0, kW, kH));
    BenchButton* button = dlg.buttons[dlg.buttons.size() / 2];
    const CRect r = button->GetRect();
    HWND hwnd = dlg.GetSafeHwnd();
    const int rounds = 200;
    double total = 0;
    for (int i = 0; i < rounds; ++i) {
        // Alternately onto the button and off it: one state change per round.
        const CPoint pt = i % 2 == 0 ? r.CenterPoint() : CPoint(r.left - 2, r.top - 3);
        const double t0 = bench::Now();
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        RECT dirty = r;
        pm.Render(target.dc, CRect(dirty));
        total += bench::Now() - t0;
    }
    bench::Report("hover change: message, state and repaint of the button (goal <= 1)", total / rounds * 1000, "ms");
    dlg.DestroyWindow();
}

TASTRO_BENCH(ui_idle_periodic_tick)
{
    Gdiplus_ gdiplus;
    BenchDialog dlg;
    if (!dlg.Create(nullptr, L"bench", WS_POPUP, 0, CRect(0, 0, kW, kH))) {
        bench::Note("could not create the dialog");
        return;
    }
    // Process CPU time is read in coarse steps: measure over seconds.
    enum class Tickers { Unregistered, RegisteredFlagOff, RegisteredFlagOn };
    auto cpuPerSecond = [&dlg](Tickers mode) {
        for (IdleTicker* t : dlg.tickers) {
            t->SetRunTimer(mode == Tickers::RegisteredFlagOn ? 1 : 0);
            if (mode == Tickers::Unregistered)
                dlg.GetPaintManager().DeleteFSTimer(t);
            else
                t->AddMTimer();
        }
        const double cpu0 = CpuSeconds(), t0 = bench::Now();
        const UINT id = dlg.SetMTimer(10);
        Sleep(5000);
        dlg.KillMTimer(id);
        return (CpuSeconds() - cpu0) / (bench::Now() - t0) * 1000;
    };
    bench::Report("10 ms tick with nothing registered (the timer alone)", cpuPerSecond(Tickers::Unregistered),
                  "ms CPU/s");
    bench::Report("10 ms tick with 40 registered controls, run-timer flag off (goal: 0, no timer)",
                  cpuPerSecond(Tickers::RegisteredFlagOff), "ms CPU/s");
    bench::Report("10 ms tick with 40 idle controls registered (goal: near zero)",
                  cpuPerSecond(Tickers::RegisteredFlagOn), "ms CPU/s");
    dlg.DestroyWindow();
}
