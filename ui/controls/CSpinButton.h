#pragma once
#include "MRichEdit.h"

// A numeric rich-edit box with up and down arrow buttons (children 30 and 31) that step
// the value with wrap-around and report code 28. Window thread only.
class ZUNTUI_API CSpinButton : public MRichEdit {
public:
    CSpinButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;

    // Stores the value and shows it ("%d").
    void SetCurValue(int value);
    int GetCurValue() const { return m_value; }
    void SetRange(int minimum, int maximum) { m_min = minimum; m_max = maximum; }
    int GetMinValue() const { return m_min; }
    int GetMaxValue() const { return m_max; }
    MControl* GetUpButton() const { return m_up; }
    MControl* GetDownButton() const { return m_down; }

    static const UINT kUpButtonId = 30;
    static const UINT kDownButtonId = 31;

protected:
    CRect GetTextArea() const override;

private:
    void LayoutButtons();
    void Step(int delta);

    int m_value = 0;
    int m_min = 0, m_max = 100;
    MControl* m_up = nullptr;   // owned through the controls list
    MControl* m_down = nullptr; // owned through the controls list
};
