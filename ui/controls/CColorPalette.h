#pragma once
#include "MPanel.h"

class CColorButton;
class MEdit;
class MPalette;
class MSpinButton;
class MText;

// A composite colour picker: eight preset swatches along the top, an HSL palette, a preview
// swatch, red, green and blue spin boxes and a hexadecimal edit box ("RRGGBB"), all kept in
// step: a colour set from any part is shown by the others and reported to the parent with
// code 27 (lparam the colour). Colours are GDI colours (0x00BBGGRR). The wheel is
// swallowed. Window thread only.
class ZUNTUI_API CColorPalette : public MPanel {
public:
    CColorPalette(MObject* parent, UINT id, CRect rect, int visible);

    void InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wparam, LPARAM lparam) override;
    int OnControlScroll(int bar, UINT down, CPoint pt) override;
    // To the four labels, the spin boxes and the edit box.
    void SetTextColor(Gdiplus::Color color) override;
    // To the three spin boxes and the edit box; returns 1.
    int SetImage(const wchar_t* file, int count) override;
    using MPanel::SetImage;

    // The palette's colour; 0 before InitControl.
    unsigned long GetSelectColor() const;
    // Shows the colour in every part (no notification).
    void SetSelectColor(unsigned long color);
    // The palette's bar marker.
    void SetThumbImage(const wchar_t* file);
    // A repaint request for the panel and every child with that rebuild flag.
    void UpdateControlEx(int rebuild);

    // The parts, null before InitControl (owned through the controls list).
    MPalette* GetPalette() const { return m_palette; }
    CColorButton* GetPreview() const { return m_preview; }
    CColorButton* GetPreset(int index) const;
    MSpinButton* GetSpin(int channel) const; // 0 red, 1 green, 2 blue
    MEdit* GetHexEdit() const { return m_hex; }

    // The colour as "RRGGBB" in upper case.
    static CString HexText(unsigned long color);
    // "RRGGBB" (exactly six hexadecimal digits) to a colour; false for anything else.
    static bool ParseHexText(const wchar_t* text, unsigned long& color);

    static const UINT kPaletteId = 620;
    static const UINT kPreviewId = 622;
    static const UINT kFirstPresetId = 631;
    static const int kPresetCount = 8;
    static const UINT kFirstLabelId = 650;
    static const UINT kFirstSpinId = 654;
    static const UINT kHexEditId = 657;
    static const unsigned long kStartColor = 0x00E1FF;

private:
    void Layout();
    // Shows `color` in the spin boxes (each only when different), the palette and the
    // edit box, as asked.
    void ShowInSpins(unsigned long color);
    void ShowInHexEdit(unsigned long color);
    // The preview takes the colour when it is checked; then code 27 to the parent.
    void Select(unsigned long color);

    MPalette* m_palette = nullptr;   // owned through the controls list, like every part
    CColorButton* m_preview = nullptr;
    CColorButton* m_presets[kPresetCount] = {};
    MText* m_labels[4] = {};
    MSpinButton* m_spins[3] = {};
    MEdit* m_hex = nullptr;
};
