#pragma once
#include "MStateButton.h"

// A button that is only its title, drawn in one of four colours by state over the
// background. Input as the push button (codes 1 and 2) without cursor changes. Window
// thread only.
class ZUNTUI_API CTextButton : public MStateButton {
public:
    CTextButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    // Stores the title colours of the normal, hover, pressed and disabled states (no repaint).
    void SetTextButtonColor(Gdiplus::Color normal, Gdiplus::Color hover, Gdiplus::Color pressed,
                            Gdiplus::Color disabled);
    Gdiplus::ARGB GetStateColor(int state) const { return m_colors[state & 3]; }

protected:
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;

    Gdiplus::ARGB m_colors[4] = {0xFECCCCCC, 0xFEFEDB00, 0xFEA0A0A0, 0xFE808080};
};
