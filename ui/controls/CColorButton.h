#pragma once
#include "MStateButton.h"

// A colour swatch that behaves like a radio button within a named group: pressing it
// checks it and unchecks the other swatches of its group (visible, enabled "ColorButton"s
// with an equal group name in the same list; see ForEachGroupMember). Its face is the
// colour inset in the swatch, the whole skin image when one is set, or with the visible
// border a light frame around a dark one around the colour. The slot shown is the pressed
// one while checked. Codes: 1 on a press inside, 2 on the release inside after it.
// Colours are GDI colours (0x00BBGGRR). Window thread only.
class ZUNTUI_API CColorButton : public MStateButton {
public:
    CColorButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    const wchar_t* GetClassName() override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;

    unsigned long GetColor() const { return m_color; }
    void SetColor(unsigned long color);
    int GetCheck() const { return m_check; }
    // Only while enabled: checks or unchecks, with the group rule when the check changed.
    // Returns the check.
    int SetCheck(int check);
    // Check and state without the group rule, whether or not the swatch is enabled.
    void SetControlCheck(int check);
    // Unchecks the other swatches of the group. 0 without an owner, else 1.
    int ResetGroupCheck();
    void SetVisibleBorder(bool visible) { m_visibleBorder = visible; }
    bool GetVisibleBorder() const { return m_visibleBorder; }
    void SetGroupName(const wchar_t* name) { m_group = CString(name); }
    const wchar_t* GetGroupName() const { return m_group.c_str(); }

protected:
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;
    int ShownSlot() const override { return m_check ? BS_PRESSED : m_state; }

private:
    unsigned long m_color = 0xFFFFFF;
    int m_check = 0;
    bool m_visibleBorder = false;
    CString m_group;
};
