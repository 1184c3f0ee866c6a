#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <vector>

#include "UITypes.h"

// One image of an image list: the image split into `count` frames side by side.
struct _M_IAMGELIST {
    Gdiplus::Image* image = nullptr;
    int frameWidth = 0; // image width / count
    int height = 0;
    int id = 0;
    int count = 1;
    CString path;
};

// A small list of icon images loaded from full paths (not from the skin folder). The list
// owns its images.
class ZUNTUI_API MImageList {
public:
    MImageList();
    ~MImageList();
    MImageList(const MImageList&) = delete;
    MImageList& operator=(const MImageList&) = delete;

    // Appends an image; returns its index, or -1 when the file cannot be loaded.
    int AddImage(const wchar_t* path, int id, int count);
    // Inserts at `index` (-1 appends); -1 for a null path, an index outside -1..count-1 or
    // an unreadable file.
    int InsertImage(int index, const wchar_t* path, int id, int count);
    // The whole first frame of item `index` stretched into dest.
    void DrawItemIcon(Gdiplus::Graphics* g, CRect dest, int index);
    // Frame min(frame, count - 1) of item `index` stretched into dest; nothing for a
    // negative frame or a bad index.
    void DrawItemIcon(Gdiplus::Graphics* g, CRect dest, int index, int frame);
    void SetDrawImgSize(int w, int h);
    CSize GetIconSize() const { return CSize(m_drawW, m_drawH); }
    const _M_IAMGELIST* GetItemImageData(int index);
    const _M_IAMGELIST* GetImageDataByID(int id);
    CString GetImagePath(int index);
    CString GetImagePathByID(int id);
    int GetImageCount();
    void DelAllImages();

private:
    std::vector<_M_IAMGELIST> m_items;
    MLock m_lock;
    int m_drawW = 0, m_drawH = 0;
};
