#pragma once
#include <memory>

#include "MControlFont.h"

// Button states; the state is also the index of the face slot (and skin frame) shown.
// The check-capable buttons add the checked variants 4 to 7.
enum MButtonState : int {
    BS_NORMAL = 0,
    BS_HOVER = 1,
    BS_PRESSED = 2,
    BS_DISABLED = 3,
    BS_CHECKED = 4,
    BS_CHECKED_HOVER = 5,
    BS_CHECKED_PRESSED = 6,
    BS_CHECKED_DISABLED = 7,
};

// What the buttons share: a state, a face cache holding one slot per state side by side
// (rendered once, then a state change only picks another slot) and the push-button input:
// hover inside, code 1 on a press inside, code 2 on a release inside after a press.
// Classes with other input override the handlers. Window thread only.
class ZUNTUI_API MStateButton : public MControlFont {
public:
    MStateButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);

    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlEnabled(int enabled) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;

    int GetState() const { return m_state; }

protected:
    // Renders every slot into the face cache (m_cacheBits, SlotCount() slots of the
    // control's size side by side, over the window surface below the control). Called on
    // the window's thread while the cache is rebuilt. The default prepares the slots and
    // hands their pixels to DrawSlotFaces.
    virtual void DrawSlots(HDC& dc);
    // Paints the faces over the prepared slots: slot i spans x = i * w .. (i + 1) * w.
    virtual void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h);
    virtual int SlotCount() const { return 4; }
    // The slot shown for the current state.
    virtual int ShownSlot() const { return m_state; }
    // Called after a mouse move changed the state.
    virtual void OnHoverStateChanged() {}

    // Stores the state; a repaint request without rebuild when it changed. True when changed.
    bool SetState(int state);
    // The hand cursor inside, the arrow outside (unless this class keeps the cursor).
    void ShowCursorFor(bool inside) const;
    // Draws frame `frame` of `image` unscaled (frameW x frameH from x = frame x frameW) at
    // (x, y) of the cache.
    // The control's font (the Manager family, the control's size plus `extraPixels`, its style).
    std::unique_ptr<Gdiplus::Font> MakeTitleFont(int extraPixels = 0);
    // Size of `text` in `font` (left-aligned, no wrapping).
    static CSize MeasureText(const Gdiplus::Font& font, const wchar_t* text);
    // Draws `text` left/top aligned, without wrapping, into `box` with the control's
    // rendering hint.
    void DrawPlainText(Gdiplus::Graphics& g, const Gdiplus::Font& font, const wchar_t* text, const Gdiplus::RectF& box,
                       Gdiplus::ARGB color, bool centreVertically = false);
    static void DrawFrameUnscaled(Gdiplus::Graphics& g, Gdiplus::Image* image, int frame, int frameW, int frameH,
                                  int x, int y);

    int m_state = BS_NORMAL;
    bool m_changesCursor = true;
};
