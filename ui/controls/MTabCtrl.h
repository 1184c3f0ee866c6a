#pragma once
#include <atomic>
#include <vector>

#include "MControlFont.h"

// Direction of a tab strip.
enum TAB_TYPE {
    TAB_TYPE_HORIZONTAL = 0,
    TAB_TYPE_VERTICAL = 1,
};

// One tab. The application reads and writes these fields directly (GetItemInfo).
struct ZUNTUI_API TabItemInfo {
    int visible = 1;                 // 0 hides the tab
    Gdiplus::Image* image = nullptr; // the tab's image strip, owned by the tab control
    int frameWidth = 0;              // image width / frame count
    int frameHeight = 0;             // image height
    int frameCount = 3;
    CRect rect;                      // window coordinates, set by the layout
    CString text;
    UINT id = 0;                     // the application's id of the tab
    CRect buttonRect;                // optional button inside the tab, relative to the control
    int buttonState = 0;             // 0 normal, 1 hover, 2 pressed
    int tooltip = 0;
    MControl* panel = nullptr;       // page shown while the tab is selected (a child, or null)
};

// A strip of tabs, vertical or horizontal, drawn from per-tab image strips; each tab may
// own a page (MTabLayout) that is shown only while the tab is selected. A change of the
// selection sends code 2 with the new index; with the animation on, the pages slide on
// the window's periodic tick (the control takes part in the tick only while sliding).
// Notifications of the pages pass unchanged to the parent. Window thread, except the
// slide step, which runs on the periodic tick.
class ZUNTUI_API MTabCtrl : public MControlFont {
public:
    MTabCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ~MTabCtrl() override;

    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override;
    void DrawControl(HDC& dc, CRect clip) override;
    int DrawSubControls(HDC& dc, CRect clip) override;
    int OnCheckMouseResponse(UINT flags, CPoint pt) override;
    void SetControlRect(CRect rect) override;
    int OnControlTimer() override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // A tab with the image (skin file, owned by the control) split into frameCount frames
    // (3 when frameCount <= 0), `width` wide (0: the frame width, else the tab width), then
    // InsertItem(-1, info). Returns its result.
    int InsertItem(UINT id, const wchar_t* text, const wchar_t* image, MControl* panel, int frameCount, int width);
    // Appends (index out of range) or inserts before `index`; the control takes the image.
    // Lays the tabs out again. Returns 1.
    int InsertItem(int index, TabItemInfo& info);
    // Removes the tab, deleting its page when it is a child of this control.
    void DeleteItem(int index);
    // Selects a tab (code 2 with the index); the current index or one outside the tabs
    // changes nothing. Returns the previous selection.
    int SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    TabItemInfo* GetItemInfo(int index);
    UINT GetItemID(int index);
    int SetItemText(int index, CString text);
    int SetItemVisible(int index, int visible);
    int GetItemVisible(int index);
    void SetItemWidth(int width, int minWidth, int refresh);
    void SetItemHeight(int height, int minHeight, int refresh);
    int GetItemWidth() const { return m_itemWidth; }
    int GetItemHeight() const { return m_itemHeight; }
    void SetTabCtrlWidth(int width);
    void SetTabCtrlHeight(int height);
    int GetCtrlWidth() const { return m_tabWidth; }
    int GetCtrlHeight() const { return m_tabHeight; }
    void SetLeftRightPading(int left, int right);
    void SetTopBottomPading(int top, int bottom);
    void SetTabType(TAB_TYPE type);
    TAB_TYPE GetTabType() const { return m_type; }
    void EnableAnimateChangeTab(int enable) { m_animate = enable != 0; }
    // Lays the tabs out and shows exactly the selected tab's page.
    void RefreshItems();
    // Only "MTabLayout": a visible page owned by this control; null for any other name.
    MControl* CreatePanel(const wchar_t* className, UINT id, CRect rect);
    void SetTabTooltip(int index, CString text);
    void ClearTabTooltip() {}

    int GetHoverItem() const { return m_hoverIndex; }
    bool IsSliding() const { return m_sliding.load(); }
    int GetSlideOffset() const { return m_slideOffset.load(); }

private:
    int StripTabWidth() const;  // width of vertical tabs
    int StripTabHeight() const; // height of tabs
    CRect StripRect() const;
    int TabAt(CPoint pt) const;
    void ShowSelectedPanel();
    void ApplySizeRule();
    void DrawPageInto(HDC dc, MControl* page, const CRect& area, CRect clip);
    void StopSlide();

    TAB_TYPE m_type = TAB_TYPE_HORIZONTAL;
    std::vector<TabItemInfo> m_items; // images owned
    int m_itemWidth = 0;
    int m_reqWidth = 0, m_minWidth = 0;
    int m_tabHeight = 0;
    int m_itemHeight = 0;
    int m_reqHeight = 0, m_minHeight = 0;
    int m_tabWidth = 0;
    int m_padLeft = 0, m_padRight = 0, m_padTop = 0, m_padBottom = 0;
    int m_hoverIndex = -1, m_selected = -1, m_previous = -1;
    int m_tooltipTab = -1;
    bool m_animate = false;
    int m_slideSteps = 10;
    std::atomic<bool> m_sliding{false};
    std::atomic<int> m_slideOffset{0}; // pixels moved so far, signed by direction
    DWORD m_lastStep = 0;
    int m_cacheSlotW = 0, m_cacheRowH = 0;
};
