#pragma once
// Helpers of the button tests: a paint manager with the fixture font standing in for a
// window, drawing one control onto a canvas and reading what was drawn.
#include <set>
#include <string>
#include <vector>

#include "ToolkitTestSupport.h"
#include "ZuntControls.h"

namespace button_test {

// Fixture colours (tests/ui/fixtures/make_fixtures.py).
const uint32_t kFrameRgb[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
const uint32_t kCheckRgb[8] = {0xC80000, 0x00C800, 0x0000C8, 0xC8C800, 0x00C8C8, 0xC800C8, 0x643200, 0x006432};
const uint32_t kSwitchOffRgb[4] = {0x282828, 0x505050, 0x787878, 0xA0A0A0};
const uint32_t kIconRgb = 0xFF00FF;

// An owner that records what its controls send and, like every real owner, marks a
// control's face stale when it asks for a rebuild.
class RebuildingOwner : public toolkit_test::RecordingOwner {
public:
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override
    {
        if (rebuild && control)
            control->SetUpdate(0, 0);
        return RecordingOwner::OnControlUpdate(rect, rebuild, control);
    }
};

// A paint manager without a window (controls get their images and the fixture font from
// it) and an owner that records notifications and repaint requests.
struct Host {
    Host() { pm.AddTempFont(L"Arial", toolkit_test::FixturePath(L"fixture.ttf").c_str()); }
    template <class T>
    T& Attach(T& control)
    {
        control.SetManager(&pm);
        return control;
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> codes;
        for (const auto& n : owner.notes)
            codes.push_back(n.code);
        return codes;
    }
    PaintManager pm;
    RebuildingOwner owner;
};

inline std::wstring Fixture(const wchar_t* name) { return toolkit_test::SkinName(name); }

// Draws `control` (which lies at the canvas origin) onto the canvas.
inline void DrawOn(toolkit_test::Canvas& canvas, MControl& control)
{
    control.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
}

// Pixels of `area` that differ from `background`: their bounding box and their colours.
struct Ink {
    CRect box{1000, 1000, -1, -1};
    std::set<uint32_t> colours;
    bool empty() const { return colours.empty(); }
    // The brightest colour seen (text edges are smoothed towards the background).
    uint32_t Strongest() const { return colours.empty() ? 0 : *colours.rbegin(); }
};

inline Ink InkIn(const toolkit_test::Canvas& canvas, const CRect& area, uint32_t background)
{
    Ink ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const uint32_t c = canvas.Rgb(x, y);
            if (c == background)
                continue;
            ink.colours.insert(c);
            ink.box.SetRect(std::min<int>(ink.box.left, x), std::min<int>(ink.box.top, y),
                            std::max<int>(ink.box.right, x + 1), std::max<int>(ink.box.bottom, y + 1));
        }
    return ink;
}

} // namespace button_test
