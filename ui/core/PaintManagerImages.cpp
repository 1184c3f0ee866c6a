// The skin image cache and the private fonts of a window, shared by all its controls and
// read from both the window thread and the periodic tick.
#include "PaintManager.h"

#include <algorithm>

#include "MRender.h"
#include "Manager.h"

namespace {

// A cache entry for an image cut into `count` (at least 1) frames side by side; it owns
// the image. Null when the image could not be loaded.
ImgResInfo* NewImgResInfo(Gdiplus::Image* image, int count)
{
    if (!image)
        return nullptr;
    auto* info = new ImgResInfo;
    info->image = image;
    info->frameWidth = static_cast<int>(image->GetWidth()) / count;
    info->frameHeight = static_cast<int>(image->GetHeight());
    info->count = count;
    return info;
}

} // namespace

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* name, int count)
{
    if (!name || !*name)
        return nullptr;
    count = std::max(count, 1);
    MAutoLock guard(m_imageLock);
    auto it = m_imageFiles.find(CString(name));
    if (it != m_imageFiles.end())
        return it->second; // the first split stays in force
    ImgResInfo* info = NewImgResInfo(MRender::LoadImageFromFile(CString(Manager::GetSkinFolder() + name)), count);
    if (!info)
        return nullptr;
    info->name = CString(name);
    m_imageFiles[info->name] = info;
    return info;
}

ImgResInfo* PaintManager::AddImgResInfo(UINT id, CString type, int count, int fromApplication)
{
    count = std::max(count, 1);
    MAutoLock guard(m_imageLock);
    std::map<UINT, ImgResInfo*>& cache = fromApplication ? m_appImages : m_libImages;
    auto it = cache.find(id);
    if (it != cache.end())
        return it->second;
    HINSTANCE module = fromApplication ? Manager::GetInstance() : Manager::GetLibraryInstance();
    ImgResInfo* info = NewImgResInfo(MRender::LoadImageFromIDResource(id, type, module), count);
    if (!info)
        return nullptr;
    info->resourceId = id;
    cache[id] = info;
    return info;
}

void PaintManager::ClearImgResInfo()
{
    MAutoLock guard(m_imageLock);
    for (auto* cache : {&m_appImages, &m_libImages}) {
        for (auto& entry : *cache) {
            delete entry.second->image;
            delete entry.second;
        }
        cache->clear();
    }
    for (auto& entry : m_imageFiles) {
        delete entry.second->image;
        delete entry.second;
    }
    m_imageFiles.clear();
}

namespace {

// The first family of a collection, copied; null when it holds none.
Gdiplus::FontFamily* FirstFamily(Gdiplus::PrivateFontCollection& collection)
{
    if (collection.GetFamilyCount() < 1)
        return nullptr;
    Gdiplus::FontFamily family;
    INT found = 0;
    if (collection.GetFamilies(1, &family, &found) != Gdiplus::Ok || found < 1)
        return nullptr;
    Gdiplus::FontFamily* copy = family.Clone();
    if (copy && copy->GetLastStatus() != Gdiplus::Ok) {
        delete copy;
        copy = nullptr;
    }
    return copy;
}

} // namespace

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* family, const wchar_t* file)
{
    if (!family || !file || GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    auto* collection = new Gdiplus::PrivateFontCollection;
    return KeepFontFamily(family, collection, collection->AddFontFile(file) == Gdiplus::Ok);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* family, UINT resourceId)
{
    HINSTANCE module = Manager::GetLibraryInstance();
    HRSRC res = family ? FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"TTF") : nullptr;
    if (!res)
        return nullptr;
    const DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || !size)
        return nullptr;
    auto* collection = new Gdiplus::PrivateFontCollection;
    return KeepFontFamily(family, collection, collection->AddMemoryFont(data, static_cast<INT>(size)) == Gdiplus::Ok);
}

Gdiplus::FontFamily* PaintManager::KeepFontFamily(const wchar_t* family, Gdiplus::PrivateFontCollection* collection,
                                                  bool loaded)
{
    Gdiplus::FontFamily* copy = loaded ? FirstFamily(*collection) : nullptr;
    if (!copy) {
        delete collection;
        return nullptr;
    }
    MAutoLock guard(m_fontLock);
    auto it = m_fonts.find(CString(family));
    if (it != m_fonts.end())
        delete it->second;
    m_fonts[CString(family)] = copy;
    m_fontCollections.push_back(collection); // the family needs its collection
    return copy;
}

int PaintManager::AddGDITempFont(UINT resourceId)
{
    HINSTANCE module = Manager::GetLibraryInstance();
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"TTF");
    if (!res)
        return 0;
    const DWORD size = SizeofResource(module, res);
    HGLOBAL loaded = LoadResource(module, res);
    void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || !size)
        return 0;
    DWORD fonts = 0;
    HANDLE handle = AddFontMemResourceEx(data, size, nullptr, &fonts);
    if (!handle)
        return 0;
    MAutoLock guard(m_fontLock);
    m_gdiFonts.push_back(handle);
    return 1;
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t*)
{
    const CString want(Manager::GetFontName());
    MAutoLock guard(m_fontLock);
    auto it = m_fonts.find(want);
    if (it != m_fonts.end())
        return it->second;
    auto* family = new Gdiplus::FontFamily(want);
    if (family->GetLastStatus() != Gdiplus::Ok) {
        delete family;
        family = nullptr; // remembered too: every text would otherwise ask the system again
    }
    m_fonts[want] = family;
    return family;
}

void PaintManager::ClearTempFont()
{
    MAutoLock guard(m_fontLock);
    for (auto& entry : m_fonts)
        delete entry.second;
    m_fonts.clear();
    for (auto* collection : m_fontCollections)
        delete collection;
    m_fontCollections.clear();
    for (HANDLE h : m_gdiFonts)
        RemoveFontMemResourceEx(h);
    m_gdiFonts.clear();
}
