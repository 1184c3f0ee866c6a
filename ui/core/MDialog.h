#pragma once
#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"

// The private message that closes a dialog with a result code in wparam.
const UINT UM_CLOSEWINDOW = WM_USER + 66; // 1090

// The skinned borderless top-level window every screen derives from. It embeds a paint
// manager, owns controls through its MObject side (notifications of every control arrive
// in OnMessage) and builds its controls in InitUI.
class ZUNTUI_API MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    // ---- MWindow ----
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // ---- MObject side ----
    const wchar_t* GetClassName() override;
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override;

    // ---- overridable, in this order ----
    // Where a balloon for `control` points: its bottom edge at the left (0), the
    // horizontal centre (1) or the right (2) end, in screen coordinates; (0, 0) without one.
    virtual CPoint GetAirBladderPoint(MControl* control, UINT where);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect client);
    virtual void UISize(CRect client);
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam);
    // Default: posts WM_CLOSE with the same parameters; returns 1.
    virtual LRESULT OnUserCloseWindow(WPARAM wparam, LPARAM lparam);
    virtual int OnCreate(CREATESTRUCTW* cs);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual int OnMouseMove(UINT flags, CPoint pt);
    virtual int OnMouseLeave();
    virtual int OnMouseHover(UINT flags, CPoint pt);
    virtual int OnMouseWheel(UINT flags, short delta, CPoint pt);
    virtual int OnLButtonDown(UINT flags, CPoint pt);
    virtual int OnLButtonUp(UINT flags, CPoint pt);
    virtual int OnLButtonDblClk(UINT flags, CPoint pt);
    virtual int OnRButtonDown(UINT flags, CPoint pt);
    virtual int OnRButtonUp(UINT flags, CPoint pt);
    virtual int OnRButtonDblClk(UINT flags, CPoint pt);
    virtual int OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual LRESULT OnNcHitTest(CPoint pt);
    virtual int OnGetMinMaxInfo(MINMAXINFO* info);
    virtual int OnNcCalcSize(int calcValid, NCCALCSIZE_PARAMS* params);
    virtual int OnNcActivate(int active);
    virtual int OnWindowPosChanging(WINDOWPOS* pos);
    virtual int OnWindowPosChanged(WINDOWPOS* pos);
    virtual int OnPaint();
    virtual void OnTimer(UINT id);
    virtual int OnNcPaint();
    virtual int OnClose();
    virtual int OnDestroy();
    virtual int PostNcDestroy();

    // ---- controls ----
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible = 1,
                            int enabled = 1);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title = L"",
                         int visible = 1, int enabled = 1);
    // Attaches a directly constructed control (kind 1: controls, 0: areas).
    void AddControl(MControl* control, UINT kind = 1);
    MControl* GetControl(UINT id);
    std::vector<MControl*>& GetControls();
    void RemoveControl(MControl* control);
    void SetFocusControl(MControl* control);
    PaintManager& GetPaintManager() { return m_pm; }

    // ---- look ----
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resourceId, CString type);
    void SetBackMode(enumBackMode mode, int cornerSize);
    void SetBackColor(DWORD background, DWORD border);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(int layered);
    void EnableWndDrag(int enable);
    // Constant window alpha (255: none) and colour key (0xFFFFFF: none), applied by
    // SetupBackTranslucent.
    void SetWindowAlpha(int alpha) { m_alpha = alpha; }
    void SetTransparentKey(COLORREF key) { m_colorKey = key; }
    void SetupBackTranslucent();

    // ---- timers, banner, tooltip ----
    UINT SetMTimer(UINT periodMs);
    void KillMTimer(UINT id);
    void SetMessage(CString text, CRect rect, MsgLevel level);
    void SetProgress(int percent, CString text, CRect rect);
    void SetTooltip(CString text, CRect rect);
    void ClearTooltip();
    int GetTooltipCtrlID() const;
    // Shows `text` in the balloon below `anchor` (screen coordinates). Returns 0 (and shows
    // nothing) when either coordinate of the anchor is 0, else 1.
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type);

    // ---- drop shadow (off unless created with show 1) ----
    void CreateShadow(int show, bool reRegister = false);
    int SetSize(int size);
    int SetSharpness(int sharpness);
    int SetDarkness(int darkness);
    int SetPosition(int x, int y);
    int SetShadowColor(COLORREF color);
    int SetShadowImage(const wchar_t* file, CRect corners);
    int SetShadowImage(UINT resourceId, CRect corners);
    void SetShadowShow(int show);

    // ---- closing: posts UM_CLOSEWINDOW with the result code ----
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();

protected:
    PaintManager m_pm;
    CRect m_client;
    COLORREF m_colorKey = 0xFFFFFF;
    int m_alpha = 255;
};
