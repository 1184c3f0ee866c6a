#pragma once
#include "MControlFont.h"
#include "MScrollBar.h"

// A container control: it has no face of its own, owns two scroll bars (ids 1 and 2, the
// first children of its controls list) and creates its children by class name. Content
// taller or wider than the panel scrolls: mouse points handed to children are shifted by
// the scroll offset (except for the scroll bars themselves).
class ZUNTUI_API MPanel : public MControlFont {
public:
    MPanel(MObject* parent, UINT id, CRect rect, int visible);

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int DrawSubControls(HDC& dc, CRect clip) override;
    int OnMousePointChange(CPoint& pt) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;

    // ---- the factory, in this order ----
    virtual MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* title, int visible,
                                 int enabled);
    // Creates a control of a known class name into the areas list (kind 0) or the controls
    // list (kind 1) of this panel; null for an empty or unknown name.
    virtual MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                    const wchar_t* title, int visible, int enabled);
    virtual MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                                    int visible, int enabled);
    virtual int OnControlKeyUp(UINT key, UINT repeat, UINT modifiers);

    void SetVirtualHeight(int height);
    void SetVirtualWidth(int width);
    int GetVirtualHeight() const { return m_virtualH; }
    int GetVirtualWidth() const { return m_virtualW; }
    // The built-in bars (a CScrollVertical and a CScrollHorizontal made by the class-name
    // table); null only in a build without the scroll-bar controls.
    MScrollBar* GetScrollVertical() const { return m_vbar; }
    MScrollBar* GetScrollHorizontal() const { return m_hbar; }
    void SetEnableScroll(int enable) { m_enableScroll = enable; }
    int GetEnableScroll() const { return m_enableScroll; }
    int IsInit() const { return m_init; }
    // True when the content fits the panel in both directions.
    bool ContentFits() const;
    // Current scroll offsets in pixels (0 while scrolling is off or the content fits).
    int GetScrollOffsetY() const;
    int GetScrollOffsetX() const;

protected:
    // Shows each bar exactly when the content overflows in its direction and hands it the
    // content size as its range.
    void UpdateScrollBars();

    int m_init = 0;
    int m_virtualH = 0, m_virtualW = 0;
    MScrollBar* m_vbar; // owned through the controls list
    MScrollBar* m_hbar; // owned through the controls list
    int m_barThickness = 7;
    int m_scrollX = 0, m_scrollY = 0;
    int m_enableScroll = 1;
};
