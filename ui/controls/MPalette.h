#pragma once
#include "MControlFont.h"

// A hue-by-lightness field with a saturation bar beside it, computed in HSL. The field
// shows hue (x, 0 to 360 degrees) against lightness (y, 0.1 to 1.0) at full saturation;
// the bar shows the saturation range (top 0, bottom 1.0) of the current hue and lightness,
// with a marker image at the current saturation to its right.
//
// Both colour tables are computed once into a 400 x 360 table surface (field at
// columns 0..359 and rows 0..199, bar at columns 370..) and stretched onto the face.
// Colours are GDI colours (0x00BBGGRR). Codes: 27 on a press that changed the colour
// (wparam the colour), 27 with wparam 0 on each move while the bar is dragged.
//
// While the field width or the palette height is 0 or less the control takes no input
// and draws no marker (the input formulas divide by them). Window thread only.
class ZUNTUI_API MPalette : public MControlFont {
public:
    MPalette(MObject* parent, UINT id, CRect rect, int visible);
    ~MPalette() override;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& dc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;

    // The colour of the current hue, saturation and lightness.
    unsigned long GetSelectColor() const;
    // Converts the colour to hue, saturation and lightness and moves the markers there.
    // No notification.
    void SetSelectColor(unsigned long color);
    // The bar marker: `file` relative to the skin folder, four frames side by side (the
    // first is drawn). Returns 0.
    int SetThumbImage(const wchar_t* file);
    // Height of the field and the bar in pixels; the rects follow at the next rect change.
    void SetPalletHeight(int height);
    int GetPalletHeight() const { return m_palletHeight; }

    int GetHue() const { return m_hue; }
    int GetSaturation() const { return m_saturation; }
    int GetLightness() const { return m_lightness; }
    CRect GetFieldRect() const { return m_fieldRect; }
    CRect GetBarRect() const { return m_barRect; }
    CPoint GetFieldPoint() const { return m_fieldPoint; }

    // HSL (each 0..1; hue wraps) to a GDI colour, every channel truncated.
    static unsigned long HslToColor(double hue, double saturation, double lightness);

    static const int kTableWidth = 400;
    static const int kTableHeight = 360;
    static const int kBarColumn = 370; // first column of the bar table

protected:
    void DrawFace(HDC& dc, int cx, int cy) override;

private:
    // Field and bar usable: the input formulas divide by these.
    bool HasArea() const { return m_fieldRect.Width() > 0 && m_palletHeight > 0; }
    bool EnsureTables();
    void ComputeFieldTable();
    void ComputeBarTable();
    void PutTablePixel(int x, int y, unsigned long color);
    void PlaceFieldPoint();
    // Hue and lightness from a point in the field (as on a press).
    void TakeFieldPoint(CPoint pt);
    void TakeBarPoint(CPoint pt);
    void ReleaseTables();

    HDC m_tableDC = nullptr;       // owned, holds m_tableBmp
    HBITMAP m_tableBmp = nullptr;  // owned; 32-bit top-down DIB of kTableWidth x kTableHeight
    HGDIOBJ m_tableOld = nullptr;
    BITMAP m_tableHeader = {};
    BYTE* m_tableBits = nullptr;   // pixels of m_tableBmp (owned by the bitmap)
    bool m_fieldReady = false;
    bool m_barReady = false;       // the bar table shows the current hue and lightness
    Gdiplus::Image* m_thumb = nullptr; // owned
    int m_thumbW = 0, m_thumbH = 0;
    unsigned long m_color;
    int m_hue = 180;
    int m_saturation = 200;
    int m_lightness = 120;
    int m_palletHeight = 150;
    int m_barWidth = 16;
    CPoint m_fieldPoint;
    CRect m_fieldRect;
    CRect m_barRect;
    bool m_draggingBar = false;
    bool m_draggingField = false;
};
