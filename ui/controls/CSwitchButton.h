#pragma once
#include "MStateButton.h"

// An on/off switch: two four-frame skin images, the on image while checked and the off
// image otherwise, drawn unscaled at the left. A click inside toggles it and sends code 2
// with the new check. No title and no hot key. Window thread only.
class ZUNTUI_API CSwitchButton : public MStateButton {
public:
    CSwitchButton(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    ~CSwitchButton() override;

    int OnControlMouseMove(UINT flags, CPoint pt) override;
    int OnControlLButtonDown(UINT flags, CPoint pt) override;
    int OnControlLButtonUp(UINT flags, CPoint pt) override;
    int OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    // Loads both skin files, each split into `count` frames (counts below 1 count as 1).
    // A file that cannot be loaded leaves that image empty. Returns 1.
    int SetImage(const wchar_t* onFile, const wchar_t* offFile, int count);
    using MControlFont::SetImage;
    int GetCheck() const { return m_check; }
    // Stores the check (state 0) with a rebuild request when it changed. Returns the check.
    int SetCheck(int check);
    // Width of one frame of the on and off images.
    int GetOnFrameWidth() const { return m_on.frameW; }
    int GetOffFrameWidth() const { return m_off.frameW; }

protected:
    void DrawSlotFaces(Gdiplus::Graphics& g, int w, int h) override;

    struct SwitchImage {
        Gdiplus::Image* image = nullptr; // owned
        int frameW = 0, frameH = 0;
    };
    static void LoadSwitchImage(SwitchImage& target, const wchar_t* file, int count);

    int m_check = 0;
    bool m_pressing = false;
    SwitchImage m_on, m_off;
};
