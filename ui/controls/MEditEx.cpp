#include "MEditEx.h"

MEditEx::MEditEx(MObject* parent, UINT id, CRect rect, const wchar_t* tipText, int visible, int enabled)
    : MRichEdit(parent, id, rect, tipText, visible, enabled)
{
    m_style = 0x100080; // automatic horizontal scrolling with a horizontal bar
}
