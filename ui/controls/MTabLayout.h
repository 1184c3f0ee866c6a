#pragma once
#include "MPanel.h"

// A page of a tab control: a panel without a face of its own that takes the mouse only
// where one of its children lies, so that what is below it stays reachable. It takes no
// part in the periodic tick (the tab control animates the pages). Window thread only.
class ZUNTUI_API MTabLayout : public MPanel {
public:
    MTabLayout(MObject* parent, UINT id, CRect rect, int visible);

    int OnCheckMouseResponse(UINT flags, CPoint pt) override;
};
