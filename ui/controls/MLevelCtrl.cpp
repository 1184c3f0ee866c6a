#include "MLevelCtrl.h"

#include <algorithm>

#include "MRender.h"

namespace {
const int kGap = 5;
}

MLevelCtrl::MLevelCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

void MLevelCtrl::SetLevelValue(int level)
{
    level = std::max(m_min, std::min(level, std::max(m_min, m_max)));
    if (level == m_level)
        return;
    m_level = level;
    UpdateControl(1);
}

void MLevelCtrl::SetRangeValue(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum;
}

void MLevelCtrl::Segments(int width, int& count, int& segmentW) const
{
    count = 0;
    segmentW = 0;
    const long long n = static_cast<long long>(m_max) - m_min + 1;
    if (n <= 0 || n > width)
        return;
    const long long s = (width - n * kGap) / n;
    if (s <= 0)
        return;
    count = static_cast<int>(n);
    segmentW = static_cast<int>(s);
}

int MLevelCtrl::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    int n, s;
    Segments(m_rect.Width(), n, s);
    const int x = pt.x - m_rect.left, y = pt.y - m_rect.top;
    if (n == 0 || y >= m_segmentH)
        return 1;
    const int k = x / (s + kGap);
    if (k >= n || x - k * (s + kGap) >= s)
        return 1; // between segments or past the last one
    const int level = m_min + k;
    if (level != m_level) {
        m_level = level;
        SendMessage(MN_CLICKED, static_cast<WPARAM>(level), 0);
        UpdateControl(1);
    }
    return 1;
}

void MLevelCtrl::DrawFace(HDC&, int cx, int cy)
{
    int n, s;
    Segments(cx, n, s);
    for (int k = 0; k < n; ++k) {
        const CRect seg(k * (s + kGap), 0, k * (s + kGap) + s, m_segmentH);
        MRender::FillPixels(m_cacheBits, cx, cy, seg, 0xFEA0A0A0);
        if (m_min + k <= m_level)
            MRender::FillPixels(m_cacheBits, cx, cy, CRect(seg.left + 1, seg.top + 1, seg.right - 1, seg.bottom - 1),
                                0xFEFFE100);
    }
    if (!m_showText)
        return;
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    CString text;
    text.Format(L"%s%d%s", m_title.c_str(), m_level, m_max == 100 ? L"%" : L"");
    const UINT h = m_hAlign, v = m_vAlign;
    m_hAlign = 1;
    m_vAlign = 4;
    DrawTitleText(*bits, text, CRect(0, m_segmentH, cx, cy), m_textColor);
    m_hAlign = h;
    m_vAlign = v;
}
