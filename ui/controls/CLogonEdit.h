#pragma once
#include "MRichEdit.h"

// The single-line rich-edit box of sign-in forms: its tip text is drawn in a lighter grey.
// Constructed directly (no class name in the factories). Window thread only.
class ZUNTUI_API CLogonEdit : public MRichEdit {
public:
    CLogonEdit(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled);

    static const DWORD kTipColor = 0xFE898989;

protected:
    void DrawFace(HDC& dc, int w, int h) override;
};
