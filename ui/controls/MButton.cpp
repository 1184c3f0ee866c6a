#include "MButton.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

MButton::MButton(MObject* parent, UINT id, CRect rect, const wchar_t* title, int visible, int enabled)
    : MStateButton(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
}

MButton::~MButton() { delete m_iconImage; }

void MButton::DrawSlots(HDC& dc) { RenderFrameSlots(dc, 4, m_frameSize, m_textRect); }

void MButton::SetFrameSize(int size)
{
    if (size == m_frameSize)
        return;
    m_frameSize = size;
    UpdateControl(1);
}

void MButton::SetTextRect(CRect rect)
{
    m_textRect = rect;
    UpdateControl(1);
}

int MButton::SetIconImage(const wchar_t* file, int count)
{
    delete m_iconImage;
    m_iconImage = nullptr;
    m_iconFrameW = m_iconH = 0;
    m_iconCount = std::max(count, 1); // a count below 1 would divide by nothing
    if (file && *file) {
        Gdiplus::Image* image = MRender::LoadImageFromFile(Manager::GetSkinFolder() + file);
        if (image) {
            m_iconImage = image;
            m_iconFrameW = static_cast<int>(image->GetWidth()) / m_iconCount;
            m_iconH = static_cast<int>(image->GetHeight());
        }
    }
    UpdateControl(1);
    return m_iconImage ? 1 : 0;
}
