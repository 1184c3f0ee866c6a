#pragma once
#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"

// A transient top-level window that hosts controls (the base of drop-downs): it owns a
// paint manager (window drag off) and its controls through its MObject side, and closes
// itself as soon as it loses activation. Its creator owns the object; the window going
// away does not delete it. Window thread only.
class ZUNTUI_API MPopupWnd : public MWindow, public MObject {
public:
    MPopupWnd();
    ~MPopupWnd() override;

    // ---- MWindow ----
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // ---- MObject side ----
    const wchar_t* GetClassName() override;
    // Notifications of the window's controls go to OnMessage.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override;

    // ---- overridable ----
    // Called once the window and its manager exist; builds the controls. Nothing here.
    virtual void InitUI(CRect client);
    // Called when the client size changes; lays the controls out. Nothing here.
    virtual void UISize(CRect client);
    // Every notification of the window's controls. Nothing here.
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam);

    // ---- controls (the window factory, with this window as parent) ----
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible = 1,
                            int enabled = 1);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = L"",
                         int visible = 1, int enabled = 1);
    MControl* GetControl(UINT id);
    PaintManager& GetPaintManager() { return m_pm; }

    // ---- look (passed to the manager) ----
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resourceId, CString type);
    void SetBackMode(enumBackMode mode, int cornerSize);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(int layered);
    void SetWindowAlpha(int alpha) { m_alpha = alpha; }
    void SetTransparentKey(COLORREF key) { m_colorKey = key; }
    // Alpha other than 255: layered with that constant alpha; else a colour key other than
    // 0xFFFFFF: layered with that colour transparent.
    void SetupBackTranslucent();
    // Rounds the window's corners by `corner` pixels (0: square).
    void SetupRegion(int corner);

    // ---- owner ----
    // The object that receives the pop-up's notifications (not owned).
    void SetParent(MObject* parent) { m_parent = parent; }
    MObject* GetParent() const { return m_parent; }
    // The parent's OnMessage(0, code, ...) (its OnBaseMessage when it is not a control);
    // 0 without a parent.
    LRESULT SendMessageToParent(UINT code, WPARAM wparam, LPARAM lparam);
    // Posts a close to the window.
    void CloseWindow();

protected:
    PaintManager m_pm;
    COLORREF m_colorKey = 0xF1F1F1;
    int m_alpha = 255;
    MObject* m_parent = nullptr; // not owned
};
