#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "AirBladderDefs.h"
#include "MControl.h"
#include "MShadow.h"
#include "RKTimer.h"

class MWindow;
class MControlFont;
class MAirBladder;

// Deletes the paint manager's balloon (defined beside the balloon operations).
struct ZUNTUI_API AirBladderDeleter {
    void operator()(MAirBladder* balloon) const;
};

// How a dialog's background image covers the client area.
enum enumBackMode {
    BACKMODE_ORIGINAL = 0, // drawn at its natural size at the client origin
    BACKMODE_FRAME = 1,    // stretched over the client as a nine-grid with the corner size
};

// Level of a banner message (stored, not drawn).
enum MsgLevel {
    MSGLEVEL_INFO = 0,
    MSGLEVEL_WARNING = 1,
    MSGLEVEL_ERROR = 2,
};

// One cached skin image, shared by all controls of a window.
struct ImgResInfo {
    Gdiplus::Image* image = nullptr;
    int frameWidth = 0;  // image width / frame count
    int frameHeight = 0; // image height
    int count = 1;
    CString name;
    UINT resourceId = 0;
};

// Window timer ids the manager keeps for itself.
enum : UINT {
    PM_TIMER_BANNER_HOLD = 66,
    PM_TIMER_BANNER_FADE = 88,
    PM_TIMER_PROGRESS = 99,
    PM_TIMER_CARET = 6553,
};

// Every window of the toolkit owns one paint manager: it holds the window's top-level
// controls, turns window messages into control events, paints the client area through one
// off-screen ARGB bitmap, caches skin images and private fonts, drives control timers and
// shows the tooltip, the caret and the message banner.
class ZUNTUI_API PaintManager : public RKTimer, protected MChildLists {
public:
    PaintManager();
    ~PaintManager() override;

    using RKTimer::OnMTimer;
    void OnMTimer(UINT id) override;

    // ---- life cycle ----
    void Init(HWND window, MWindow* dialog);
    void DestroyData();
    // Returns non-zero when the message was handled.
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    // Returns 1 when the message was consumed (Tab navigation).
    int PreTranslateMessage(MSG* msg);
    int IsInit() const { return m_init; }
    HWND GetPaintWnd() const { return m_hwnd; }
    HDC GetPaintDC() const { return m_paintDC; }
    MWindow* GetDialog() const { return m_dialog; }

    // ---- controls ----
    MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* title, int visible, int enabled);
    MControl* CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                            int visible, int enabled);
    MControl* CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* title,
                         int visible, int enabled);
    // Attaches a control constructed elsewhere as a top-level control (kind 1) or area (0).
    void AddControl(MControl* control, UINT kind = 1);
    MControl* GetControl(UINT id);
    std::vector<MControl*>& GetControls() { return m_controls; }
    std::vector<MControl*>& GetAreas() { return m_areas; }
    // Guards GetControls(); recursive, never held while calling into an owner.
    MLock& GetControlsLock() { return m_controlsLock; }
    void RemoveControl(MControl* control);
    void ClearControls();
    void ClearAreaControls();
    void ClearAllControls();

    // ---- repaint ----
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control);
    void Invalidate();
    void InvalidateRect(CRect rect, int erase);
    // Paints the update rect of the client area into `target` (a DC of the client's size):
    // background, areas, controls, caret, banner. Used by WM_PAINT; returns 0 when there is
    // nothing to paint.
    int Render(HDC target, const CRect& update);

    // ---- focus and hover ----
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return m_focus; }
    MControl* GetHoverControl() const { return m_hover; }
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();

    // ---- timers ----
    UINT SetMTimer(UINT periodMs);
    UINT GetMTimerID() const { return m_periodicId; }
    void AddMTimer(MControl* control);
    void DeleteFSTimer(MControl* control);
    int IsMTimerControl(MControl* control);
    int SetTimer(MControl* control, UINT key, UINT elapseMs);
    int KillTimer(MControl* control, UINT key);
    int KillTimer(MControl* control);
    void ClearTimers();
    // Starts the periodic tick's system timer when a registered control has the run-timer
    // flag and stops it when none has; called on every change of either. Any thread.
    void RefreshPeriodicTick();
    // True while the periodic tick's system timer runs.
    bool IsPeriodicTickRunning();
    // The window timer id of a control's timer key, 0 when there is none.
    UINT GetTimerID(MControl* control, UINT key);

    // ---- tooltip, banner, caret ----
    void SetTooltip(const wchar_t* text, CRect rect);
    void ClearTooltip();
    int GetTooltipCtrlID() const { return m_tooltipOwner; }
    void SetTooltipCtrlID(int id) { m_tooltipOwner = id; }
    HWND GetTooltipWnd() const { return m_tooltipWnd; }
    void SetMessage(CString text, CRect rect, MsgLevel level);
    void SetProgress(int percent, CString text, CRect rect);
    int GetMessageAlpha() const { return m_bannerAlpha; }
    const CString& GetMessageText() const { return m_bannerText; }
    int GetDeferredCount();
    int GetShownProgress() const { return m_bannerShown; }
    int GetTargetProgress() const { return m_bannerTarget; }
    CRect GetMessageRect() const { return m_bannerRect; }
    // The balloon tip: created on first use (owned by the manager, its window owned by the
    // manager's window); the arguments go to MAirBladder::SetAirBladderMsg. Returns its result.
    int SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    // Shows (1) or hides (0) the balloon; 0 without one. With an owner id other than 0 it
    // hides only that control's balloon, and showing records the id as the owner.
    int ShowAirBladder(int show, int ownerId);
    MAirBladder* GetAirBladder() const { return m_airBladder.get(); }
    int GetAirBladderOwner() const { return m_airBladderOwner; }
    void CreateCaret(HBITMAP bitmap, int width, int height);
    void SetCaretPos(MControlFont* owner, int x, int y);
    void ShowCaret(int show);
    void DrawCaret(HDC dc, const CRect& clip);
    MControlFont* GetCurrentCaretObject() const { return m_caretOwner; }
    CRect GetCaretRect() const { return m_caretRect; }

    // ---- look ----
    void SetBackColor(DWORD background, DWORD border);
    DWORD GetBackColor() const { return m_backColor; }
    int LoadBKImage(CString file);
    int LoadBKImage(UINT resourceId, CString type);
    void SetBackMode(enumBackMode mode, int cornerSize);
    void SetLayeredWindow(int layered);
    int IsLayered() const { return m_layered; }
    void EnableWndDrag(int enable) { m_wndDrag = enable; }
    void SetCaptionRect(CRect rect) { m_captionRect = rect; }
    CRect GetCaptionRect() const { return m_captionRect; }
    void SetWindowMaxSize(int cx, int cy) { m_maxW = cx; m_maxH = cy; }
    void SetWindowMixSize(int cx, int cy) { m_minW = cx; m_minH = cy; }
    CSize GetWindowManSize() const { return CSize(m_maxW, m_maxH); }
    CSize GetWindowMinSize() const { return CSize(m_minW, m_minH); }
    void SetScrollResID(UINT vertical, UINT horizontal) { m_scrollV = vertical; m_scrollH = horizontal; }
    UINT GetScrollVID() const { return m_scrollV; }
    UINT GetScrollHID() const { return m_scrollH; }
    void SetDefaultEnabledColor(DWORD color) { m_defaultEnabledColor = color; }
    DWORD GetDefaultEnabledColor() const { return m_defaultEnabledColor; }
    int IsActive() const { return m_active; }
    MShadow& GetShadow() { return m_shadow; }
    int IsCaptured() const { return m_captured; }

    // ---- images and fonts ----
    ImgResInfo* AddImgResInfo(const wchar_t* name, int count);
    ImgResInfo* AddImgResInfo(UINT id, CString type, int count, int fromApplication);
    void ClearImgResInfo();
    Gdiplus::FontFamily* AddTempFont(const wchar_t* family, const wchar_t* file);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* family, UINT resourceId);
    int AddGDITempFont(UINT resourceId);
    // Resolves the Manager font name (the argument is not consulted): the private family of
    // that name, else the installed one. Null when neither exists.
    Gdiplus::FontFamily* FindTempFont(const wchar_t* name);
    void ClearTempFont();

    // ---- window operations (0 when the window is gone) ----
    LRESULT SendMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT PostMessage(UINT msg, WPARAM wparam, LPARAM lparam);
    HWND SetCapture();
    BOOL ReleaseCapture();
    BOOL GetClientRect(CRect& rect);
    BOOL GetWindowRect(CRect& rect);
    CSize GetClientSize();

    // Drops every reference the manager keeps to a control that is going away: hover,
    // focus, caret owner, periodic-timer registration, window timers and queued repaint
    // requests. Waits for a periodic tick that is running on the control.
    void ForgetControl(MControl* control);
    // True on a thread other than the window's (repaint requests are then queued).
    bool IsForeignThread() const;
    // Queues a repaint request made on another thread; replayed on the window's thread.
    void DeferUpdate(MControl* control, const CRect& rect, int rebuild);
    // Replays queued repaint requests (done before every paint).
    void FlushDeferredUpdates();

    // Modifier value of the current key state: 18 with Alt, else 16 with Shift, else 0;
    // OR 17 with Ctrl.
    static UINT GetKeyModifiers();

private:
    struct TimerRecord {
        HWND hwnd;
        UINT key;
        UINT timerId;
        int killed;
        MControl* control;
    };
    struct DeferredUpdate {
        MControl* control;
        CRect rect;
        int rebuild;
    };

    bool OnPaint();
    void OnMouseMove(UINT flags, CPoint pt);
    void OnMouseLeave();
    void OnButtonDown(UINT flags, CPoint pt, bool left);
    void OnButtonUp(UINT flags, CPoint pt, bool left);
    void OnButtonDblClk(UINT flags, CPoint pt, bool left);
    int OnMouseWheel(WPARAM wparam, LPARAM lparam);
    void OnKeyDown(UINT key);
    void OnNcActivate(int active);
    void OnTimerMessage(UINT id);
    void OnBannerFadeStep();
    void OnProgressStep();
    void DrawBanner(Gdiplus::Graphics& g);
    bool EnsureSurface(HDC target, int w, int h);
    void ReleaseSurface();
    void EnsureTooltip();
    void TrackMouse();
    bool IsLive(MControl* control);
    bool PeriodicTickWanted();
    // Remembers the first family of a private font collection (now owned by the manager)
    // under `family`; deletes the collection and returns null when it was not loaded or
    // holds no family.
    Gdiplus::FontFamily* KeepFontFamily(const wchar_t* family, Gdiplus::PrivateFontCollection* collection,
                                        bool loaded);
    MControl* FindFocusable(bool forward);

    int m_init = 0;
    HWND m_hwnd = nullptr;
    DWORD m_threadId = 0;
    HDC m_paintDC = nullptr;
    DWORD m_backColor = 0x130D09;
    DWORD m_borderColor = 0x0000FF;
    CRect m_captionRect;
    int m_maxW = 0, m_maxH = 0, m_minW = 0, m_minH = 0;
    int m_layered = 0;
    Gdiplus::Image* m_bkImage = nullptr;
    int m_bkWidth = 0, m_bkHeight = 0;
    MShadow m_shadow;
    CString m_bannerText;
    MsgLevel m_bannerLevel = MSGLEVEL_INFO;
    int m_bannerAlpha = 0;
    int m_bannerShown = 0;
    int m_bannerTarget = 0;
    CString m_fontName;
    CRect m_bannerRect;
    UINT m_periodicId = 0;
    UINT m_lastTimerId = 4096;
    int m_active = 0;
    int m_tracking = 0;
    int m_leftPressed = 0, m_leftDblClk = 0, m_rightPressed = 0, m_rightDblClk = 0;
    int m_captured = 0;
    int m_wndDrag = 1;
    int m_inWindowDrag = 0; // the system's move loop is running for this window
    UINT m_scrollV = 0, m_scrollH = 0;
    DWORD m_defaultEnabledColor = 0x808080;
    MControl* m_hover = nullptr;
    MControl* m_focus = nullptr;
    int m_tooltipOwner = 0;
    HWND m_tooltipWnd = nullptr;
    std::vector<MControl*> m_timerControls;
    MLock m_timerControlsLock, m_imageLock, m_recordsLock, m_fontLock;
    int m_backMode = BACKMODE_ORIGINAL;
    int m_cornerSize = 4;
    CRect m_caretRect;
    int m_caretBlink = 0;
    int m_caretShown = 0;
    MControlFont* m_caretOwner = nullptr;
    std::map<CString, ImgResInfo*> m_imageFiles;
    std::map<UINT, ImgResInfo*> m_appImages;
    std::map<UINT, ImgResInfo*> m_libImages;
    std::vector<TimerRecord> m_records;
    std::map<CString, Gdiplus::FontFamily*> m_fonts;
    std::vector<HANDLE> m_gdiFonts;
    std::vector<Gdiplus::PrivateFontCollection*> m_fontCollections;
    MWindow* m_dialog = nullptr;
    // The off-screen surface of the client area, kept between paints of the same size.
    HBITMAP m_surfaceBmp = nullptr;
    HDC m_surfaceDC = nullptr;
    HGDIOBJ m_surfaceOld = nullptr;
    BYTE* m_surfaceBits = nullptr;
    int m_surfaceW = 0, m_surfaceH = 0;

    // Periodic tick bookkeeping: a tick holds m_tickLock only while it picks the next
    // control; m_ticking is the control whose OnTimer is running.
    std::atomic<int> m_tickStopped{0};
    std::atomic<int> m_inTick{0};
    MControl* volatile m_ticking = nullptr;
    // Whoever holds m_tickSwitch starts or stops the periodic system timer; m_tickRecheck
    // asks it to look again (see RefreshPeriodicTick).
    std::mutex m_tickSwitch;
    std::atomic<bool> m_tickRecheck{false};
    std::vector<DeferredUpdate> m_deferred;
    MLock m_deferredLock;
    std::unique_ptr<MAirBladder, AirBladderDeleter> m_airBladder; // owned, created on first use
    int m_airBladderOwner = 0; // id of the control whose balloon is shown
};
