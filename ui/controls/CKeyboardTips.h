#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "IconButtonTips.h"
#include "MWindow.h"

// The key tip balloon: a 190 x 100 layered pop-up with per-pixel alpha that sits centred
// above an anchor point and shows up to three centred lines (the key's text, a title and a
// text). It never takes focus and lets the mouse through. Shown by the keyboard control
// over the key under the mouse, and by icon buttons over themselves (it is the tips window
// that CIconButton's maker makes).
//
// Window thread only (the thread that created it).
class ZUNTUI_API CKeyboardTips : public MWindow, public IconButtonTips {
public:
    CKeyboardTips();
    ~CKeyboardTips() override;

    // Creates the balloon window "KeyboardTip Window" (style 0x96000080 less WS_VISIBLE: it
    // is shown when it has something to show) owned by `owner`, with the skin image
    // "img_tip_bk.png" as background. Returns the live window when it already exists.
    HWND CreateTips(HWND owner);
    int OnInitDialog() override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

    // The background image, a file relative to the skin folder (nine-grid, corner 6).
    // Returns 1 when it was loaded.
    int SetBackImage(const wchar_t* file);
    // Nothing happens when the three lines and the anchor (screen coordinates) are all
    // unchanged. Otherwise they are stored; with an empty first line the balloon is hidden,
    // else it is placed at (x - 95, y - 100), 190 x 100, and repainted.
    void SetAirBladderMsg(const wchar_t* line1, const wchar_t* line2, const wchar_t* line3, int x, int y);
    // Shows the balloon without activating it (nothing without a first line).
    void ShowTips();
    void HideTips() override;
    // Icon buttons: creates the balloon owned by `owner` on first use, then shows the three
    // lines above `anchor` (screen coordinates).
    void ShowTips(HWND owner, POINT anchor, const CString& title, const CString& line2,
                  const CString& line3) override;

    const CString& GetLine(int index) const { return m_lines[index < 0 ? 0 : index > 2 ? 2 : index]; }
    POINT GetAnchor() const { return m_anchor; }
    // Number of times the balloon was painted (each repaint after a change).
    int GetPaintCount() const { return m_paints; }
    // Paints the balloon into a 32-bit bottom-up premultiplied DIB of w x h pixels.
    void PaintBalloon(BYTE* bits, int w, int h);

    static const int kWidth = 190;
    static const int kHeight = 100;

private:
    void Repaint();
    Gdiplus::FontFamily* Family();

    CString m_lines[3];
    POINT m_anchor = {0, 0};
    Gdiplus::Image* m_back = nullptr;                        // owned
    Gdiplus::PrivateFontCollection* m_fonts = nullptr;       // owned: the embedded font
    Gdiplus::FontFamily* m_family = nullptr;                 // owned copy of its first family
    int m_paints = 0;
};
