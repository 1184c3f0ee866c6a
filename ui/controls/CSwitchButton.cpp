#include "CSwitchButton.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

CSwitchButton::CSwitchButton(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MStateButton(parent, id, rect, L"", visible, enabled)
{
    m_tabStop = 1;
    m_changesCursor = false;
}

CSwitchButton::~CSwitchButton()
{
    delete m_on.image;
    delete m_off.image;
}

void CSwitchButton::LoadSwitchImage(SwitchImage& target, const wchar_t* file, int count)
{
    delete target.image;
    target = SwitchImage();
    if (!file || !*file)
        return;
    target.image = MRender::LoadImageFromFile(Manager::GetSkinFolder() + file);
    if (!target.image)
        return;
    target.frameW = static_cast<int>(target.image->GetWidth()) / count;
    target.frameH = static_cast<int>(target.image->GetHeight());
}

int CSwitchButton::SetImage(const wchar_t* onFile, const wchar_t* offFile, int count)
{
    count = std::max(count, 1); // a count below 1 would divide by nothing
    LoadSwitchImage(m_on, onFile, count);
    LoadSwitchImage(m_off, offFile, count);
    m_imageCount = count;
    UpdateControl(1);
    return 1;
}

int CSwitchButton::SetCheck(int check)
{
    if (check != m_check) {
        m_check = check;
        m_state = m_enabled ? BS_NORMAL : BS_DISABLED;
        UpdateControl(1);
    }
    return m_check;
}

void CSwitchButton::DrawSlotFaces(Gdiplus::Graphics& g, int w, int h)
{
    const SwitchImage& face = m_check ? m_on : m_off;
    if (!face.image)
        return;
    const int lastFrame = std::max(m_imageCount, 1) - 1;
    for (int i = 0; i < 4; ++i)
        DrawFrameUnscaled(g, face.image, std::min(i, lastFrame), face.frameW, face.frameH, i * w,
                          (h - face.frameH) / 2);
}

int CSwitchButton::OnControlMouseMove(UINT, CPoint pt)
{
    if (!m_enabled || m_pressing)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    SetState(inside ? BS_HOVER : BS_NORMAL);
    return inside ? 1 : 0;
}

int CSwitchButton::OnControlLButtonDown(UINT, CPoint pt)
{
    if (!m_enabled || !m_rect.PtInRect(pt))
        return 0;
    m_pressing = true;
    m_state = BS_HOVER;
    UpdateControl(1);
    return 1;
}

int CSwitchButton::OnControlLButtonUp(UINT, CPoint pt)
{
    if (!m_enabled)
        return 0;
    const bool inside = m_rect.PtInRect(pt);
    const bool clicked = inside && m_pressing;
    m_pressing = false;
    if (!inside) {
        SetState(BS_NORMAL);
        return 0;
    }
    if (clicked) {
        m_check = m_check ? 0 : 1;
        UpdateControl(1);
        SendMessage(MN_CLICKED, 0, m_check);
    }
    return 1;
}

int CSwitchButton::OnControlKeyDown(UINT, UINT, UINT) { return 0; }
