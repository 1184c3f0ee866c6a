#include "CGifPicture.h"

#include "MRender.h"

namespace {
const int kTicksPerFrame = 5;
}

CGifPicture::CGifPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
}

int CGifPicture::Adopt(int loaded)
{
    m_running = false;
    SetRunTimer(0);
    m_frame = 0;
    m_frameCount = loaded && m_image ? static_cast<int>(MRender::GetFrameCount(m_image)) : 0;
    if (m_frameCount == 0) {
        // Not an image with frames: no picture.
        m_image = nullptr;
        m_frameW = m_frameH = 0;
        UpdateControl(1);
        return 0;
    }
    return 1;
}

// The count is passed to the window's image cache but splits nothing: the whole image is
// stretched.
int CGifPicture::SetImage(const wchar_t* file, int count) { return Adopt(MControlFont::SetImage(file, count)); }

int CGifPicture::SetImage(UINT resourceId, CString resourceType, int count)
{
    return Adopt(MControlFont::SetImage(resourceId, resourceType, count));
}

void CGifPicture::SetRunState(int run, int frame)
{
    if (!IsAnimate())
        return;
    m_frame = frame >= 0 && frame < m_frameCount ? frame : 0;
    m_running = run != 0;
    m_tick = 0;
    SetRunTimer(m_running ? 1 : 0);
    UpdateControl(1);
}

int CGifPicture::OnControlTimer()
{
    if (!m_running || !m_visible || m_frameCount < 2)
        return 0;
    if (++m_tick < kTicksPerFrame)
        return 0;
    m_tick = 0;
    m_frame = (m_frame + 1) % m_frameCount;
    UpdateControl(1);
    return 1;
}

int CGifPicture::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_hoverMode)
        return 0;
    const bool inside = m_rect.PtInRect(pt) != 0;
    if (inside == m_inside)
        return 0;
    m_inside = inside;
    SetRunState(inside ? 1 : 0, 0);
    return 1;
}

void CGifPicture::DrawFace(HDC&, int cx, int cy)
{
    if (!m_image)
        return;
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    MRender::SelectFrame(m_image, static_cast<UINT>(m_frame));
    const int w = static_cast<int>(m_image->GetWidth()), h = static_cast<int>(m_image->GetHeight());
    MRender::DrawImageFrameMID(*bits, m_image, CRect(0, 0, cx, cy), 0, 0, w, h, 0, 0, 0, 0);
}
