#pragma once
#include <windows.h>
#include <gdiplus.h>

#include "UITypes.h"

class PaintManager;

// An optional drop shadow: a layered, click-through window owned by a dialog and kept in
// step with it (moved, shown, hidden and destroyed with it, rebuilt after size changes,
// placed right below it). The shadow is either computed from the dialog's rectangle
// (darkness, sharpness, colour) or drawn from an image as a nine-grid.
class ZUNTUI_API MShadow {
public:
    MShadow();
    ~MShadow();
    MShadow(const MShadow&) = delete;
    MShadow& operator=(const MShadow&) = delete;

    // Registers the window class "ShadowWnd" once per process (again with reRegister).
    static bool Initialize(HINSTANCE instance, bool reRegister = false);
    // Creates the shadow of the manager's window; false when there is no window.
    bool Create(PaintManager* manager);
    void Destroy();

    // Setters refuse values out of range (result 0) and rebuild a visible shadow.
    int SetSize(int size);           // -35..35
    int SetSharpness(int sharpness); // 0..35
    int SetDarkness(int darkness);   // 0..255
    int SetPosition(int x, int y);   // -35..35 each
    int SetColor(COLORREF color);
    int SetImage(const wchar_t* file, CRect corners);
    int SetImage(UINT resourceId, CRect corners);
    void SetShow(int show);

    int GetSize() const { return m_size; }
    int GetSharpness() const { return m_sharpness; }
    int GetDarkness() const { return m_darkness; }
    CPoint GetPosition() const { return CPoint(m_offsetX, m_offsetY); }
    HWND GetShadowWnd() const { return m_hwnd; }
    // The shadow of a window, or null.
    static MShadow* FromParent(HWND parent);

    // Fills w x h premultiplied pixels (bottom-up) with a blurred rectangle: full darkness
    // in the middle, fading to nothing over `sharpness` pixels towards every edge (the
    // corners fade round).
    static void BlurredShadow(DWORD* pixels, int w, int h, int sharpness, int darkness, COLORREF color);

    // Rebuilds the shadow bitmap for the parent's current size and position.
    void Update();

private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT OnParentMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
    void Place();

    PaintManager* m_manager = nullptr;
    HWND m_hwnd = nullptr;
    HWND m_parent = nullptr;
    WNDPROC m_parentProc = nullptr;
    Gdiplus::Image* m_image = nullptr;
    int m_imageW = 0, m_imageH = 0;
    CRect m_corners;
    int m_state = 0;
    int m_darkness = 150;
    int m_sharpness = 5;
    int m_size = 0;
    int m_offsetX = 5, m_offsetY = 5;
    COLORREF m_color = 0;
    CSize m_lastParentSize;
    int m_updatePending = 0;
    int m_show = 1;
    int m_disabled = 0;
    int m_imageMode = 0;

    static bool s_registered;
};
