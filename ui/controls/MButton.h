#pragma once
#include "MStateButton.h"

// The push button: a four-frame skin image drawn as a nine-grid (corner = frame size) with
// the title centred over it (grey when disabled, one pixel right and down when pressed).
// Sends code 1 on a press inside and code 2 on a release inside after a press; the hot key
// is consumed without a code. Window thread only.
class ZUNTUI_API MButton : public MStateButton {
public:
    MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled);
    ~MButton() override;

    // Loads the skin file as the button's icon, split into `count` frames side by side
    // (counts below 1 count as 1). Returns 1, or 0 (and no icon) when it cannot be loaded.
    int SetIconImage(const wchar_t* file, int count);
    Gdiplus::Image* GetIconImage() const { return m_iconImage; }
    // Width of one icon frame and the icon's height.
    CSize GetIconSize() const { return CSize(m_iconFrameW, m_iconH); }
    void SetFrameSize(int size);
    int GetFrameSize() const { return m_frameSize; }
    // Where the title is drawn, relative to the button; empty = the whole button.
    void SetTextRect(CRect rect);
    CRect GetTextRect() const { return m_textRect; }

protected:
    void DrawSlots(HDC& dc) override;

    int m_frameSize = 10;
    Gdiplus::Image* m_iconImage = nullptr; // owned: deleted with the button
    int m_iconFrameW = 0, m_iconH = 0;
    int m_iconCount = 4;
    CRect m_textRect;
};
