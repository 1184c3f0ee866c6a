#pragma once
#include "MDialog.h"

// A transient top-level window that hosts controls (the base of drop-downs). It is a
// borderless skinned window like a dialog, whose routing, paint manager, factory and look
// it shares, with three differences: window drag is off, its default colour key is
// 0xF1F1F1, and it closes itself as soon as it loses activation. Its creator owns the
// object; the window going away does not delete it. Window thread only.
class ZUNTUI_API MPopupWnd : public MDialog {
public:
    MPopupWnd();

    const wchar_t* GetClassName() override;
    // Deactivation posts a close: clicking anywhere else closes the pop-up.
    int OnNcActivate(int active) override;

    // Rounds the window's corners by `corner` pixels (0: square).
    void SetupRegion(int corner);

    // The object that receives the pop-up's notifications (not owned).
    void SetParent(MObject* parent) { m_parent = parent; }
    MObject* GetParent() const { return m_parent; }
    // The parent's OnMessage(0, code, ...) (its OnBaseMessage when it is not a control);
    // 0 without a parent.
    LRESULT SendMessageToParent(UINT code, WPARAM wparam, LPARAM lparam);
    // Posts a close to the window.
    void CloseWindow();

protected:
    MObject* m_parent = nullptr; // not owned
};
