#pragma once
#include "MPanel.h"

class CColorButton;

// A column of seven preset swatches (ids 631 to 637, 20 x 20, 25 pixels apart, group
// "clr_palette_group"; the white one framed). A press on a swatch reports code 27 with the
// swatch's index (wparam) and colour (lparam) before the swatch's own code. The wheel is
// swallowed. Window thread only.
class ZUNTUI_API CColorSelect : public MPanel {
public:
    CColorSelect(MObject* parent, UINT id, CRect rect, int visible);

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;

    // 0 to 6 checks that swatch (with the group rule; a disabled swatch does not change);
    // -1 unchecks all seven; other values change nothing.
    void SetColorIndex(int index);
    // Always 0: the colour is reported with code 27.
    unsigned long GetSelectColor() const { return 0; }
    void SetSelectColor(unsigned long) {}
    // Swatch `index` (0 to 6), null before InitControl.
    CColorButton* GetSwatch(int index) const;

    static const UINT kFirstSwatchId = 631;
    static const int kSwatchCount = 7;

private:
    void LayoutSwatches();

    CColorButton* m_swatches[kSwatchCount] = {}; // owned through the controls list
};
