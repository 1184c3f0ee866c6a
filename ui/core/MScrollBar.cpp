#include "MScrollBar.h"

MScrollBar::MScrollBar(MObject* parent, UINT id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
}
