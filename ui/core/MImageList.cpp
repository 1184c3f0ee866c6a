#include "MImageList.h"

#include <algorithm>

#include "MRender.h"

MImageList::MImageList() = default;

MImageList::~MImageList() { DelAllImages(); }

int MImageList::AddImage(const wchar_t* path, int id, int count) { return InsertImage(-1, path, id, count); }

int MImageList::InsertImage(int index, const wchar_t* path, int id, int count)
{
    if (!path)
        return -1;
    {
        MAutoLock guard(m_lock);
        if (index < -1 || index >= static_cast<int>(m_items.size()))
            return -1;
    }
    Gdiplus::Image* image = MRender::LoadImageFromFile(CString(path));
    if (!image)
        return -1;
    _M_IAMGELIST item;
    item.image = image;
    item.count = std::max(count, 1);
    item.frameWidth = static_cast<int>(image->GetWidth()) / item.count;
    item.height = static_cast<int>(image->GetHeight());
    item.id = id;
    item.path = CString(path);
    MAutoLock guard(m_lock);
    if (index < 0 || index > static_cast<int>(m_items.size())) {
        m_items.push_back(item);
        return static_cast<int>(m_items.size()) - 1;
    }
    m_items.insert(m_items.begin() + index, item);
    return index;
}

void MImageList::DrawItemIcon(Gdiplus::Graphics* g, CRect dest, int index) { DrawItemIcon(g, dest, index, 0); }

void MImageList::DrawItemIcon(Gdiplus::Graphics* g, CRect dest, int index, int frame)
{
    if (!g || frame < 0)
        return;
    MAutoLock guard(m_lock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return;
    const _M_IAMGELIST& item = m_items[static_cast<size_t>(index)];
    if (!item.image || item.frameWidth <= 0 || item.height <= 0)
        return;
    frame = std::min(frame, item.count - 1);
    g->DrawImage(item.image, Gdiplus::Rect(dest.left, dest.top, dest.Width(), dest.Height()),
                 frame * item.frameWidth, 0, item.frameWidth, item.height, Gdiplus::UnitPixel);
}

void MImageList::SetDrawImgSize(int w, int h)
{
    m_drawW = w;
    m_drawH = h;
}

const _M_IAMGELIST* MImageList::GetItemImageData(int index)
{
    MAutoLock guard(m_lock);
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return &m_items[static_cast<size_t>(index)];
}

const _M_IAMGELIST* MImageList::GetImageDataByID(int id)
{
    MAutoLock guard(m_lock);
    for (const _M_IAMGELIST& item : m_items)
        if (item.id == id)
            return &item;
    return nullptr;
}

CString MImageList::GetImagePath(int index)
{
    const _M_IAMGELIST* item = GetItemImageData(index);
    return item ? item->path : CString();
}

CString MImageList::GetImagePathByID(int id)
{
    const _M_IAMGELIST* item = GetImageDataByID(id);
    return item ? item->path : CString();
}

int MImageList::GetImageCount()
{
    MAutoLock guard(m_lock);
    return static_cast<int>(m_items.size());
}

void MImageList::DelAllImages()
{
    MAutoLock guard(m_lock);
    for (_M_IAMGELIST& item : m_items)
        delete item.image;
    m_items.clear();
}
