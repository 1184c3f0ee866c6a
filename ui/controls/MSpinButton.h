#pragma once
#include "MPanel.h"

// A numeric box with up and down arrow buttons (children 30 and 31), typed digits and
// wrap-around: stepping past the maximum gives the minimum and below the minimum the
// maximum. Every step or typed digit reports code 28. Window thread only.
class ZUNTUI_API MSpinButton : public MPanel {
public:
    MSpinButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Stores the value (no range check, no notification) and redraws.
    void SetCurValue(int value);
    int GetCurValue() const { return m_value; }
    void SetRange(int minimum, int maximum) { m_min = minimum; m_max = maximum; }
    int GetMinValue() const { return m_min; }
    int GetMaxValue() const { return m_max; }
    // Most digits typed; at most 9, so that a typed value always fits an int.
    void SetLimitLength(int length);
    int GetLimitLength() const { return m_limit; }
    int GetState() const { return m_state; }
    // The arrow buttons; null while the build has no image buttons or before InitControl.
    MControl* GetUpButton() const { return m_up; }
    MControl* GetDownButton() const { return m_down; }

    // Value + 1, the minimum past the maximum; code 28.
    void StepUp();
    // Value - 1, the maximum below the minimum; code 28.
    void StepDown();

    static const UINT kUpButtonId = 30;
    static const UINT kDownButtonId = 31;
    static const int kMaxLimitLength = 9;

    // Creates the skinned arrow buttons (ids 30 and 31) of a spin box into `owner`, unless
    // they exist; they stay null while the build has no image buttons.
    static void CreateArrowButtons(MPanel& owner, MControl*& up, MControl*& down);

private:
    void LayoutButtons();
    void SetState(int state);
    // Stores a new value: redraws when it changed; always code 28.
    void Commit(int value);

    int m_state = 0; // button state 0 normal, 1 hover, 2 pressed, 3 disabled
    int m_value = 0;
    int m_min = 1, m_max = 100;
    int m_limit = 3;
    MControl* m_up = nullptr;   // owned through the controls list
    MControl* m_down = nullptr; // owned through the controls list
};
