#pragma once
#include "CCheckButton.h"

// A radio button: a check box that only checks itself (a click inside checks it and sends
// code 2) and unchecks the other radio buttons of its group: those with the same group
// name in the same list (see ForEachGroupMember). Window thread only.
class ZUNTUI_API CRadioButton : public CCheckButton {
public:
    CRadioButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassName() override;

    // As the check box, and the group rule runs when the check changed.
    int SetCheck(int check) override;
    // Check and state without the group rule and whether or not the button is enabled.
    void SetControlCheck(int check);
    // Unchecks every other radio button of the group. 0 without an owner, else 1.
    int ResetGroupCheck();
    void SetGroupName(const wchar_t* name) { m_group = CString(name); }
    const wchar_t* GetGroupName() const { return m_group.c_str(); }

protected:
    Gdiplus::RectF TitleBox(const Gdiplus::Font& font, int fw, int fh) override;
    bool CentresTitle() const override { return false; }
    void OnClick() override;
    void OnKeyCheck() override;

    CString m_group;
};
