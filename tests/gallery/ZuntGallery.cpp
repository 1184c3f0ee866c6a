// The gallery window: lays out the registered sections, builds them, shows the window and
// runs the "shown" steps; then it stays open until it is closed (Esc) or, when
// ZUNT_GALLERY_READY names a file, writes that file once everything has painted so that a
// script can take its screenshot.
#include "Gallery.h"

#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/core/MRender.h"

namespace {

struct Section {
    std::wstring title;
    int width, height;
    GalleryStep build, shown;
    GalleryContext context;
};

std::vector<Section>& Sections()
{
    static std::vector<Section> sections;
    return sections;
}

UINT g_nextId = 1000;

const int kMargin = 12, kCaption = 22, kGap = 16;

// A section caption: its title in the toolkit's font over the window background.
class Caption : public MControlFont {
public:
    Caption(MObject* parent, UINT id, CRect rect, const wchar_t* title) : MControlFont(parent, id, rect, title, 1, 1, 0)
    {
        SetTextColor(Gdiplus::Color(0xFF, 0xE8, 0xE8, 0xE8));
        SetFontWidth(14);
    }

protected:
    void DrawFace(HDC&, int cx, int cy) override
    {
        MBitsGraphics bits(m_cacheBits, cx, cy);
        if (!bits.ok())
            return;
        Gdiplus::SolidBrush rule(Gdiplus::Color(0xFF, 0x50, 0x50, 0x60));
        (*bits).FillRectangle(&rule, 0, cy - 1, cx, 1);
        DrawTitleText(*bits, GetTitle(), CRect(0, 0, cx, cy - 2), GetTextColorValue());
    }
};

class GalleryDialog : public MDialog {
public:
    void InitUI(CRect client) override
    {
        SetBackColor(0xFF202028, 0xFF505060);
        // Shelf layout: sections left to right, a new row when the next one does not fit.
        int x = client.left + kMargin, y = client.top + kMargin, rowH = 0;
        for (Section& s : Sections()) {
            if (x + s.width > client.right - kMargin && x > client.left + kMargin) {
                x = client.left + kMargin;
                y += rowH + kGap;
                rowH = 0;
            }
            AddControl(new Caption(this, g_nextId++, CRect(x, y, x + s.width, y + kCaption), s.title.c_str()));
            s.context.dialog = this;
            s.context.area = CRect(x, y + kCaption + 6, x + s.width, y + kCaption + 6 + s.height);
            x += s.width + kGap;
            rowH = (std::max)(rowH, kCaption + 6 + s.height);
        }
        for (Section& s : Sections())
            if (s.build)
                s.build(s.context);
    }

    int OnKeyDown(UINT key, UINT, UINT) override
    {
        if (key == VK_ESCAPE)
            DoClose();
        return 0;
    }
};

void Pump(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    }
}

} // namespace

MControl* GalleryContext::Create(const wchar_t* className, CRect rect, const wchar_t* title, int visible, int enabled)
{
    return dialog->CreateControl(className, NextId(), At(rect), title, visible, enabled);
}

CRect GalleryContext::At(CRect rect) const
{
    rect.OffsetRect(area.left, area.top);
    return rect;
}

UINT GalleryContext::NextId() { return g_nextId++; }

void GalleryContext::Add(MControl* control) { dialog->AddControl(control); }

GallerySection::GallerySection(const wchar_t* title, int width, int height, GalleryStep build, GalleryStep shown)
{
    Sections().push_back({title, width, height, std::move(build), std::move(shown), {}});
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::SetDeviceName(L"ZuntGallery");
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr) != Gdiplus::Ok)
        return 1;
    int rc = 0;
    {
        GalleryDialog dialog;
        // The whole screen but a small margin (scripts/gallery.sh gives it a tall one).
        const int width = GetSystemMetrics(SM_CXSCREEN) - 20, height = GetSystemMetrics(SM_CYSCREEN) - 20;
        if (dialog.Create(nullptr, L"ZuntGallery", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                          CRect(0, 0, width, height))) {
            dialog.CenterWindow();
            dialog.ShowWindow(SW_SHOW);
            UpdateWindow(dialog.GetSafeHwnd());
            Pump(300);
            for (Section& s : Sections())
                if (s.shown)
                    s.shown(s.context);
            Pump(700);
            wchar_t ready[MAX_PATH];
            if (GetEnvironmentVariableW(L"ZUNT_GALLERY_READY", ready, MAX_PATH) > 0) {
                if (FILE* f = _wfopen(ready, L"w"))
                    fclose(f);
            }
            dialog.ShowModal(SW_SHOW);
        } else {
            rc = 1;
        }
    }
    Gdiplus::GdiplusShutdown(gdiplus);
    return rc;
}
