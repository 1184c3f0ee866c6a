#include "storage/Language.h"

#include <windows.h>

#include <atomic>

#include "storage/Paths.h"
#include "storage/Settings.h"

namespace {

std::atomic<int> g_currentLanguage{kLanguageEnglish};

} // namespace

int GetCurrentLanguage() { return g_currentLanguage.load(); }

void SetCurrentLanguage(int id) { g_currentLanguage.store(id); }

int InitLanguage(int uiLanguage)
{
    const int stored = ReadLanguageId();
    if (stored != 0) {
        SetCurrentLanguage(stored);
        return stored;
    }
    SetCurrentLanguage(uiLanguage);
    WriteLanguageId(uiLanguage == kLanguageEnglish ? kLanguageEnglish : kLanguagePortugueseBrazil);
    return uiLanguage;
}

int InitLanguage() { return InitLanguage(GetUserDefaultUILanguage()); }

std::wstring GetLanguageFilePath(int id)
{
    return GetProgramFolder() + L"language\\" + std::to_wstring(id) + L".lan";
}

std::wstring LoadText(int id, const wchar_t* section)
{
    if (!section)
        return std::wstring(); // a null section would list the file's sections
    const std::wstring key = std::to_wstring(id);
    const std::wstring path = GetLanguageFilePath(GetCurrentLanguage());
    wchar_t buffer[260] = {};
    GetPrivateProfileStringW(section, key.c_str(), L"", buffer, 260, path.c_str());
    return buffer;
}
