#pragma once
#include "MRichEdit.h"

// A single-line rich-edit box with automatic horizontal scrolling. Window thread only.
class ZUNTUI_API MEditEx : public MRichEdit {
public:
    MEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled);
};
