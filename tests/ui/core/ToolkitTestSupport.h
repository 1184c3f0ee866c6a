#pragma once
// Helpers of the toolkit tests: GDI+ for the whole process, fixture names, a memory
// canvas whose pixels can be read, recording owners and controls, and a small dialog.
#include <windows.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/core/ZuntUI.h"

namespace toolkit_test {

// A fixture image named relative to the skin folder (the fixtures are drawn at build time
// into the "fixtures" folder beside the test executable).
std::wstring SkinName(const wchar_t* fixture);
// Full path of a fixture file.
std::wstring FixturePath(const wchar_t* fixture);

// Lets the window's thread run: dispatches queued messages for a while.
void Pump(int milliseconds = 0);
// Pumps until `done` returns true or the time runs out; returns done().
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 2000);

// A 32-bit bottom-up DIB (the toolkit's surface format) filled with a colour.
class Canvas {
public:
    Canvas(int w, int h, uint32_t rgb = 0x000000);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC& dc() { return dc_; }
    // 0x00RRGGBB at (x, y), y counted from the top.
    uint32_t Rgb(int x, int y) const;
    uint32_t Alpha(int x, int y) const;
    void Fill(uint32_t rgb);
    int width() const { return w_; }
    int height() const { return h_; }

private:
    int w_, h_;
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
    BYTE* bits_ = nullptr;
};

// Channel-wise comparison within a tolerance, with a readable failure message.
::testing::AssertionResult RgbNear(uint32_t actual, uint32_t expected, int tolerance = 2);

// An owner that records what its controls send.
class RecordingOwner : public MObject {
public:
    struct Note {
        UINT id, code;
        WPARAM wparam;
        LPARAM lparam;
    };
    struct Update {
        CRect rect;
        int rebuild;
        MControl* control;
    };
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override;
    const wchar_t* GetClassName() override { return className; }

    const wchar_t* className = L"MDialog";
    std::vector<Note> notes;
    std::vector<Update> updates;
};

// A control whose face is a solid colour, that records what reaches it and answers with
// configurable results. With `buttonModel` it follows the push-button rule: code 1 on a
// press inside, code 2 on a release inside after a press.
class ProbeControl : public MControlFont {
public:
    ProbeControl(MObject* parent, UINT id, CRect rect, uint32_t rgb = 0x808080);

    void DrawControl(HDC& dc, CRect clip) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlLButtonDblClk(UINT flags, CPoint pt) override;
    int OnControlRButtonDown(UINT flags, CPoint pt) override;
    int OnControlRButtonUp(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;
    int OnControlTimer() override;
    int SetControlFocus(int focus) override;

    void SetDblClkMode(int mode) { m_dblClkMode = mode; }
    void SetFocusedFlag(int focused) { m_focused = focused; }
    void SetDblClkNotify(int notify) { m_dblClkNotify = notify; }
    void SetKeyNotify(int notify) { m_keyNotify = notify; }
    int renders() const { return renders_; }

    uint32_t rgb;
    bool buttonModel = false;
    int handleMouse = 1;  // result of the mouse handlers
    int handleScroll = 1; // result of OnControlScroll
    int handleKeys = 0;   // result of OnControlKeyDown (besides the hot key)
    std::vector<std::string> calls; // "move x,y", "ldown x,y", "lup x,y", ...
    std::vector<CPoint> points;
    std::vector<UINT> scrollDirections;
    std::vector<UINT> keyModifiers;
    std::vector<int> focusChanges;
    int timerTicks = 0;
    std::function<void()> onTimer;

private:
    void Record(const char* what, CPoint pt);
    int state_ = 0;
    int renders_ = 0;
};

// A dialog whose controls are built by a callback and whose notifications are recorded.
class TestDialog : public MDialog {
public:
    void InitUI(CRect client) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
    LRESULT OnControlUpdate(CRect rect, int rebuild, MControl* control) override;

    // Creates a hidden popup window of the given client size at (x, y).
    HWND CreateHidden(int w = 320, int h = 240, int x = 100, int y = 100);

    std::function<void(TestDialog&, CRect)> build;
    std::function<bool(UINT, WPARAM, LPARAM)> intercept; // true: message swallowed
    std::vector<RecordingOwner::Note> notes;
    std::vector<DWORD> updateThreads; // thread of every repaint request that reached the dialog
    CRect initClient;
    int initCalls = 0;
};

// Sends a client-coordinate mouse message to a window.
void Mouse(HWND hwnd, UINT msg, int x, int y, WPARAM flags = 0);

// Real input through SendInput: moves the pointer to a screen point; presses or releases
// a button (MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, ...) where the pointer is.
void MoveMouse(int x, int y);
void Click(DWORD flags);
// Makes a window the foreground window and waits (up to 2 s) until it is.
void ActivateWindow(HWND hwnd);

} // namespace toolkit_test
