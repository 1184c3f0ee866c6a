#pragma once
#include "MStateButton.h"

// A check box: eight skin frames (states 0-3 unchecked, 4-7 checked) drawn unscaled at the
// left, the title after them. A click inside toggles the check and sends code 2; the hot
// key, or Space while the box has the focus mark, toggles it and sends code 7 with the new
// check. Window thread only.
class ZUNTUI_API CCheckButton : public MStateButton {
public:
    CCheckButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void SetControlEnabled(int enabled) override;
    int SetControlFocus(int focus) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    int GetCheck() const { return m_check; }
    // Only while enabled: stores the check (state 4 when checked, else 0) with a repaint
    // request when it changed. Returns the check.
    virtual int SetCheck(int check);
    int GetFocusMark() const { return m_focusMark ? 1 : 0; }

protected:
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;
    int SlotCount() const override { return 8; }
    // Where the title goes in slot 0 (frame size fw x fh); other slots are shifted by the
    // slot's left edge.
    virtual Gdiplus::RectF TitleBox(const Gdiplus::Font& font, int fw, int fh);
    // True when the title is centred vertically in its box.
    virtual bool CentresTitle() const { return true; }
    // A click released inside after a press inside: toggles and sends code 2.
    virtual void OnClick();
    // The hot key or Space with the focus mark: toggles and sends code 7 with the check.
    virtual void OnKeyCheck();
    // The state for the mouse being inside or outside with the current check.
    int RestingState(bool inside) const;

    int m_check = 0;
    bool m_pressing = false;
    bool m_focusMark = false;
};
