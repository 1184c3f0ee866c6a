#pragma once
#include <vector>

#include "MChildLists.h"
#include "MObject.h"

class PaintManager;

// A layout value: mode 0 distance from an edge, 1 from the centre, 2 percent of the span.
struct FS_POSITION_ITEM {
    int mode = 0;
    int fromEnd = 0;
    float value = 0.0f;
};

// Base of every control: position, state flags, two child lists (areas below the face,
// controls above it), input dispatch to children, the off-screen caches of the face, the
// tooltip text and the cursor. Rectangles are in client coordinates of the window.
//
// Controls never paint on request: they change state and ask their owner for a repaint
// (UpdateControl); the window's paint manager paints later from the caches.
class ZUNTUI_API MControl : public MObject, protected MChildLists {
public:
    MControl(MObject* parent, UINT id, CRect rect, int visible, int enabled, int response);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassName() override;

    // ---- overridable behaviour, in this order ----
    virtual void InitControl(PaintManager* manager);
    virtual int PtInRect(CPoint pt);
    // Paints the control's own face. The default is the cached-face path every control
    // shares: when the cache is not valid it is (re)made at the control's size, the window
    // surface below the control is copied into it and DrawFace paints over that; then the
    // cache is copied to the control's rect. Controls override DrawFace, not this, unless
    // they blit something other than one cached face.
    virtual void DrawControl(HDC& dc, CRect clip);
    virtual int DrawSubControls(HDC& dc, CRect clip);
    virtual int IsDraw(CPoint pt);
    virtual void SetUpdate(int update, DWORD backColor);
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect rect);
    virtual int OnMousePointChange(CPoint& pt);
    virtual int OnCheckMouseResponse(UINT flags, CPoint pt);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam);
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible);
    virtual void SetControlWndVisible(int visible);
    virtual void SetControlEnabled(int enabled);
    virtual int OnControlTimer();
    virtual HBITMAP GetControlDropBitmap();
    virtual int OnControlMouseMove(UINT flags, CPoint pt);
    virtual int OnControlSetCursor(UINT flags, CPoint pt);
    virtual int OnControlLButtonDown(UINT flags, CPoint pt);
    virtual int OnControlLButtonUp(UINT flags, CPoint pt);
    virtual int OnControlLButtonDblClk(UINT flags, CPoint pt);
    virtual int OnControlScroll(int bar, UINT down, CPoint pt);
    virtual int OnControlRButtonDown(UINT flags, CPoint pt);
    virtual int OnControlRButtonUp(UINT flags, CPoint pt);
    virtual int OnControlRButtonDblClk(UINT flags, CPoint pt);
    virtual int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers);
    virtual void OnPositionChange();
    // Invalidates this control's rect in the window (the whole client, erased, when the
    // window is layered). The argument is not used.
    virtual void InvalidateRect(const RECT* rect, int erase);

    // ---- accessors ----
    MObject* GetParantObject() const { return m_parent; }
    void SetParent(MObject* parent) { m_parent = parent; }
    PaintManager* GetManager() const { return m_manager; }
    void SetManager(PaintManager* manager) { m_manager = manager; }
    UINT GetControlID() const { return m_id; }
    CRect GetRect() const { return m_rect; }
    int IsVisible() const { return m_visible; }
    int IsEnabled() const { return m_enabled; }
    int IsDragDrop() const { return m_dragDrop; }
    void SetDragDrop(int dragDrop) { m_dragDrop = dragDrop; }
    int GetRresponse() const { return m_response; }
    void SetRresponse(int response) { m_response = response; }
    int IsTabStop() const { return m_tabStop; }
    void SetTabStop(int tabStop) { m_tabStop = tabStop; }
    int GetDblClk() const { return m_dblClkMode; }
    int IsPressed() const { return m_pressed; }
    int IsKeyDown() const { return m_keyDown; }
    int IsFocused() const { return m_focused; }
    void SetHotKey(UINT key, UINT modifiers) { m_hotKey = key; m_hotKeyModifiers = modifiers; }
    UINT GetHotKey() const { return m_hotKey; }
    UINT GetHotKeyModifiers() const { return m_hotKeyModifiers; }
    int GetUpdate() const { return m_update; }
    int IsRunTimer() const { return m_runTimer; }
    // Also starts or stops the window's periodic tick (it runs only while some registered
    // control has the flag): set the flag through this, not directly.
    void SetRunTimer(int run);
    int GetControlFlag() const { return m_controlFlag; }
    void SetControlFlag(int flag) { m_controlFlag = flag; }
    int IsUseImageECM() const { return m_imageECM; }
    void UseImageECM(int use) { m_imageECM = use; }
    std::vector<MControl*>& GetControls() { return m_controls; }
    std::vector<MControl*>& GetAreas() { return m_areas; }
    MLock& GetControlsLock() { return m_controlsLock; }
    MLock& GetAreasLock() { return m_areasLock; }
    MControl* GetHoverChild() const { return m_hover; }
    const CString& GetTooltip() const { return m_tooltip; }
    HCURSOR GetCursor() const { return m_cursor; }

    // ---- state changes with repaint requests ----
    void SetRect(CRect rect);
    void SetRect(int x, int y, int cx, int cy);
    void SetVisible(int visible);
    void SetVisible(int visible, int request);
    void SetEnabled(int enabled);
    void UpdateControl(int rebuild, int force = 0);
    void UpdateControl(CRect rect, int force, int rebuild);
    void UpdateAControl(int keepAnimation, int force = 0);
    int IsParentVisible();

    // Sends a notification to the owner (the owner's OnBaseMessage with this id).
    LRESULT SendMessage(UINT code, WPARAM wparam = 0, LPARAM lparam = 0);

    // ---- children ----
    MControl* GetControl(UINT id);
    void AddControl(MControl* child);
    void AddArea(MControl* child);
    void RemoveControl(MControl* child);
    void RemoveAllControl();

    // ---- timers, tooltip, cursor ----
    int AddMTimer();
    void SetTooltip(const wchar_t* text);
    void SetTooltip(CString text, CRect rect);
    void ClearTooltip();
    int SetCursorEx(const wchar_t* keyword);

    // ---- caches ----
    // (Re)create the face cache (or the animation cache) as a 32-bit surface of cx x cy
    // compatible with dc; sets the matching update flag. The surface is only replaced when
    // the size changes.
    void UpdateMemDC(HDC& dc, int cx, int cy);
    void UpdateAnimateDC(HDC& dc, int cx, int cy);
    HDC GetMemDC() const { return m_memDC; }
    HDC GetAnimateDC() const { return m_animDC; }

    // ---- dispatchers called by the owner ----
    void Draw(HDC& dc, CRect clip);
    int OnMouseMove(UINT flags, CPoint pt);
    int OnLButtonDown(UINT flags, CPoint pt);
    int OnLButtonUp(UINT flags, CPoint pt);
    int OnLButtonDblClk(UINT flags, CPoint pt);
    int OnRButtonDown(UINT flags, CPoint pt);
    int OnRButtonUp(UINT flags, CPoint pt);
    int OnRButtonDblClk(UINT flags, CPoint pt);
    int OnScroll(int bar, UINT down, CPoint pt);
    int OnKeyDown(UINT key, UINT repeat, UINT modifiers);
    int OnKeyUp(UINT key, UINT repeat, UINT modifiers);
    int OnTimer();

    // Lays out one coordinate between low and high (see FS_POSITION_ITEM).
    static int PositionItem2Value(const FS_POSITION_ITEM& item, int low, int high);

    // Clears every pointer this control keeps to `child` (hover child). Called before a
    // descendant goes away.
    void ForgetChild(MControl* child);
    // Makes this control and its descendants unreachable for the window (see
    // PaintManager::ForgetControl) and then deletes it. Every owner deletes through this.
    static void DeleteControl(MControl* control);

protected:
    // Sends a repaint request for `rect` to the owner; from a thread other than the
    // window's, the request is queued for the window's thread.
    void RequestUpdate(const CRect& rect, int rebuild);
    // Paints the face into the face cache `dc` (cx x cy pixels, 32-bit, bottom-up in
    // m_cacheBits), over the window surface that lies below the control. Called on the
    // window's thread, only while the cache is being rebuilt. The default paints nothing.
    virtual void DrawFace(HDC& dc, int cx, int cy);
    // Makes the face cache `slots` faces wide and copies the window surface below the control
    // into every slot (a face per state, the shown one blitted); false when the control is
    // empty or the cache cannot be made.
    bool PrepareFaceSlots(HDC& dc, int slots);
    // Copies the window surface below `m_rect` into the face cache.
    void CopyBackground(HDC& dc);
    // Copies the face cache (or a slot of it, starting at srcX) to the control's rect.
    void BlitCache(HDC& dc, int srcX = 0, int srcY = 0);
    // Point handed to a child: scroll bars (ids 1 and 2) get the untranslated point.
    static CPoint PointFor(const MControl* child, const CPoint& original, const CPoint& translated);

    MObject* m_parent;
    PaintManager* m_manager = nullptr;
    UINT m_id;
    CRect m_rect;
    int m_visible;
    int m_enabled;
    int m_dragDrop = 0;
    int m_response;
    int m_tabStop = 0;
    int m_dblClkMode = 0;
    int m_pressed = 0;
    int m_keyDown = 0;
    int m_focused = 0;
    UINT m_hotKey = 0;
    UINT m_hotKeyModifiers = 0;
    int m_update = 0;
    int m_animateUpdate = 0;
    int m_runTimer = 0;
    int m_controlFlag = 0;
    int m_imageECM = 0;
    MControl* m_hover = nullptr;
    int m_cacheW = 0, m_cacheH = 0;
    BYTE* m_cacheBits = nullptr; // pixels of the face cache (bottom-up, 32-bit)
    HBITMAP m_cacheBmp = nullptr;
    HDC m_memDC = nullptr;
    HGDIOBJ m_oldObj = nullptr;
    int m_animW = 0, m_animH = 0;
    BYTE* m_animBits = nullptr;
    HBITMAP m_animBmp = nullptr;
    HDC m_animDC = nullptr;
    HGDIOBJ m_animOldObj = nullptr;
    CString m_tooltip;
    HCURSOR m_cursor = nullptr;
    int m_dblClkNotify = 0;
    int m_keyNotify = 0;

private:
    void ForgetTree();
    int ButtonDown(UINT flags, CPoint pt, bool left);
    int ButtonUp(UINT flags, CPoint pt, bool left);
    int ButtonDblClk(UINT flags, CPoint pt, bool left);
    static void ReleaseSurface(HBITMAP& bmp, HDC& dc, HGDIOBJ& old);
    static void MakeSurface(HDC& target, int cx, int cy, HBITMAP& bmp, HDC& dc, HGDIOBJ& old, BYTE*& bits);
};
