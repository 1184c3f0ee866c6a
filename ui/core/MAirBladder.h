#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "AirBladderDefs.h"
#include "MWindow.h"
#include "PaintManager.h"

// The balloon tip ("AirBladder Window"): a layered tool window that shows a short text,
// possibly several lines separated by line feeds, next to a screen point. One per paint
// manager, created on first use and owned by it; it is only moved, shown and hidden. It
// never takes the activation and ignores mouse and key input. Window thread only.
class ZUNTUI_API MAirBladder : public MWindow {
public:
    MAirBladder();
    ~MAirBladder() override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    // Loads the balloon's font (the toolkit's embedded font) and its skin images.
    int OnInitDialog() override;

    // Creates the window owned by `owner`, hidden.
    HWND CreateBalloon(HWND owner);

    // Stores the text, anchor, type and mode, fits and paints the window and, unless the
    // type is AIRBLADDER_TYPE_STAY, (re)starts the hide timer. An identical call changes
    // nothing (the timer keeps running). Returns 1.
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);

    // Skin images (file names relative to the skin folder, or resources of the toolkit's
    // module); 1 when loaded. The arrows are kept for skins that want them; they are not drawn.
    int LoadBKImage(const wchar_t* file);
    int LoadBKImage(UINT resourceId, CString type);
    int LoadArrowLImage(const wchar_t* file);
    int LoadArrowLImage(UINT resourceId, CString type);
    int LoadArrowRImage(const wchar_t* file);
    int LoadArrowRImage(UINT resourceId, CString type);
    int LoadArrowTImage(const wchar_t* file);
    int LoadArrowTImage(UINT resourceId, CString type);
    void SetBackMode(enumBackMode mode, int corner);
    // Posts a close to the window.
    void CloseWindow();

    const CString& GetText() const { return m_text; }
    POINT GetAnchor() const { return m_anchor; }
    AIRBLADDER_TYPE GetType() const { return m_type; }
    AIRBLADDER_MODE GetMode() const { return m_mode; }
    int GetLineCount() const { return m_lines; }
    // Tick count at which the running hide timer was started; 0 when none runs.
    DWORD GetHideTimerStart() const { return m_hideStart; }

private:
    enum : UINT { kHideTimer = 10 };
    struct Picture {
        Gdiplus::Image* image = nullptr; // owned
        int width = 0, height = 0;
    };
    static int Load(Picture& picture, Gdiplus::Image* image);
    void Fit();
    void Paint();
    void StopHideTimer();

    CString m_text;
    POINT m_anchor{0, 0};
    AIRBLADDER_TYPE m_type = AIRBLADDER_TYPE_TIP;
    AIRBLADDER_MODE m_mode = AIRBLADDER_MODE_BELOW;
    bool m_centred = false; // the text is centred both ways (single line, or above the anchor)
    Gdiplus::PrivateFontCollection* m_fonts = nullptr; // owned; holds m_family's font
    Gdiplus::FontFamily* m_family = nullptr;           // owned copy
    Picture m_background, m_arrowLeft, m_arrowRight, m_arrowTop;
    int m_backMode = 1;
    int m_corner = 18;
    int m_lines = 1;
    int m_lineHeight = 0;
    DWORD m_hideStart = 0;
};
