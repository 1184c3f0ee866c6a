#pragma once
#include "AirBladderDefs.h"
#include "MButton.h"

// A button whose face is its skin frames drawn unscaled (no nine-grid, no title), with an
// optional icon in the middle. With a balloon mode its title is shown in the window's
// balloon while the button is hovered. Window thread only.
class ZUNTUI_API CImageButton : public MButton {
public:
    CImageButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    // 0 no balloon, 1 balloon to the right of the button, 2 to the left.
    void SetAlrBladderMode(AIRBLADDER_MODE mode) { m_balloonMode = mode; }
    AIRBLADDER_MODE GetAlrBladderMode() const { return m_balloonMode; }

protected:
    // Frames instead of the push button's nine-grid face.
    void DrawSlots(HDC& dc) override { MStateButton::DrawSlots(dc); }
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;
    void OnHoverStateChanged() override;

    AIRBLADDER_MODE m_balloonMode = AIRBLADDER_MODE_NONE;
};
