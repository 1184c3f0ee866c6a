#include "MProgress.h"

#include <algorithm>

#include "MRender.h"
#include "PaintManager.h"

MProgress::MProgress(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_textColor = 0xFF808080;
    m_hAlign = 1;
    m_imageCount = 2;
}

int MProgress::SetProgress(int progress)
{
    if (!m_enabled || progress < 0)
        return m_progress;
    progress = std::min(progress, std::max(m_maximum, 0));
    if (progress != m_progress) {
        m_progress = progress;
        UpdateControl(1);
    }
    return m_progress;
}

void MProgress::SetMaxProgress(int maximum)
{
    if (maximum == m_maximum)
        return;
    m_maximum = maximum;
    UpdateControl(1);
}

int MProgress::SetRun(int run, int progress)
{
    if (!m_enabled)
        return IsRun();
    bool changed = (run != 0) != m_running;
    m_running = run != 0;
    if (progress >= 0 && progress <= m_maximum && progress != m_progress) {
        m_progress = progress;
        changed = true;
    }
    SetRunTimer(m_running ? 1 : 0);
    if (changed)
        UpdateControl(1);
    return IsRun();
}

int MProgress::StoreImage(ImgResInfo* info, ImgResInfo*& slot)
{
    if (!info)
        return 0;
    slot = info;
    UpdateControl(1);
    return 1;
}

int MProgress::SetBackGroundImage(const wchar_t* file)
{
    return m_manager && file && *file ? StoreImage(m_manager->AddImgResInfo(file, 1), m_back) : 0;
}

int MProgress::SetBackGroundImage(UINT resourceId)
{
    return m_manager ? StoreImage(m_manager->AddImgResInfo(resourceId, L"PNG", 1, 1), m_back) : 0;
}

int MProgress::SetForeGroundImage(const wchar_t* file)
{
    return m_manager && file && *file ? StoreImage(m_manager->AddImgResInfo(file, 1), m_fore) : 0;
}

int MProgress::SetForeGroundImage(UINT resourceId)
{
    return m_manager ? StoreImage(m_manager->AddImgResInfo(resourceId, L"PNG", 1, 1), m_fore) : 0;
}

void MProgress::EnableShowText(int show)
{
    if ((show != 0) == m_showText)
        return;
    m_showText = show != 0;
    UpdateControl(1);
}

void MProgress::SetColors(Gdiplus::Color line, Gdiplus::Color fill)
{
    m_lineColor = line.GetValue();
    m_fillColor = fill.GetValue();
    UpdateControl(1);
}

int MProgress::FilledWidth(int total) const
{
    if (m_maximum <= 0 || m_progress <= 0)
        return 0;
    const long long filled = static_cast<long long>(total) * std::min(m_progress, m_maximum) / m_maximum;
    return static_cast<int>(filled);
}

int MProgress::OnControlTimer()
{
    if (!m_running || !m_visible)
        return 0;
    if (++m_tick < m_ticksPerStep)
        return 0;
    m_tick = 0;
    m_progress = m_progress + 1 >= m_maximum ? 0 : m_progress + 1;
    UpdateControl(1);
    return 1;
}

void MProgress::DrawFace(HDC&, int cx, int cy)
{
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    Gdiplus::Graphics& g = *bits;
    if (m_fore && m_fore->image) {
        if (m_back && m_back->image)
            MRender::DrawImageFrameMID(g, m_back->image, CRect(0, 0, cx, cy), 0, 0, m_back->frameWidth,
                                       m_back->frameHeight, m_margin, 0, m_margin, 0);
        const int filled = FilledWidth(cx);
        if (filled > 0 && filled >= m_margin)
            MRender::DrawImageFrameMID(g, m_fore->image, CRect(0, 0, filled, cy), 0, 0, m_fore->frameWidth,
                                       m_fore->frameHeight, m_margin, 0, m_margin, 0);
    } else if (m_image) {
        DrawImageState(g, CRect(0, 0, cx, m_barHeight), 0, 2);
        const int filled = FilledWidth(cx);
        if (filled > 0)
            DrawImageState(g, CRect(0, 0, filled, m_barHeight), 1, 2);
    } else {
        Gdiplus::Pen pen{Gdiplus::Color(m_lineColor), 1.0f};
        g.DrawLine(&pen, 1, cy - 2, cx, cy - 2);
        const int filled = FilledWidth(cx);
        if (filled > 0) {
            Gdiplus::SolidBrush brush{Gdiplus::Color(m_fillColor)};
            g.FillRectangle(&brush, 0, cy - 3, filled, 3);
        }
    }
    if (m_showText) {
        CString text;
        text.Format(L"%s%d%s", m_title.c_str(), m_progress, m_maximum == 100 ? L"%" : L"");
        const UINT h = m_hAlign, v = m_vAlign;
        m_hAlign = 1;
        m_vAlign = 4;
        DrawTitleText(g, text, CRect((cx - 60) / 2, 0, (cx - 60) / 2 + 60, 20), m_textColor);
        m_hAlign = h;
        m_vAlign = v;
    }
}
