#include "MPicture.h"

#include "MRender.h"

MPicture::MPicture(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
}

void MPicture::AdoptOwnedImage()
{
    m_image = m_picture.image();
    m_frameW = m_picture.frameWidth();
    m_frameH = m_picture.frameHeight();
    m_imageCount = m_picture.count();
}

int MPicture::SetImage(const wchar_t* file, int count)
{
    const int loaded = m_picture.LoadFile(file, count);
    m_imagePath = loaded ? CString(file) : CString();
    AdoptOwnedImage();
    UpdateControl(1);
    return loaded;
}

int MPicture::SetImage(UINT resourceId, CString resourceType, int count)
{
    const int loaded = m_picture.LoadResource(resourceId, resourceType, count);
    m_imagePath.clear();
    AdoptOwnedImage();
    UpdateControl(1);
    return loaded;
}

int MPicture::SetShowMode(enumShowMode mode, int corner)
{
    if (!m_show.Set(mode, corner))
        return 0;
    UpdateControl(1);
    return 1;
}

int MPicture::SetShowModeMID(int left, int top, int right, int bottom)
{
    if (!m_show.SetMargins(left, top, right, bottom))
        return 0;
    UpdateControl(1);
    return 1;
}

void MPicture::SetCustomRect(CRect rect)
{
    m_show.custom = rect;
    UpdateControl(1);
}

void MPicture::DrawFace(HDC&, int cx, int cy)
{
    if (!m_image)
        return;
    MBitsGraphics bits(m_cacheBits, cx, cy);
    if (!bits.ok())
        return;
    m_show.Draw(*bits, m_image, 0, m_frameW, m_frameH, CRect(0, 0, cx, cy), m_hAlign, m_vAlign);
}
