#include "storage/Settings.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "storage/Paths.h"

const wchar_t* const kRunKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// A REG_SZ (or REG_EXPAND_SZ) value as text; registry strings need not be terminated.
bool ReadText(HKEY key, const wchar_t* name, std::wstring& text)
{
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        return false;
    buffer[got / sizeof(wchar_t)] = L'\0';
    text = buffer.data();
    return true;
}

bool WriteText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}

int ReadNumber(HKEY key, const wchar_t* name)
{
    std::wstring text;
    return ReadText(key, name, text) ? _wtoi(text.c_str()) : 0;
}

// Opens the software's key; creates it when it is missing (then `created` is set).
LONG OpenSettings(Key& key, bool& created)
{
    created = false;
    const std::wstring path = GetSettingsKeyPath();
    LONG rc = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.out());
    if (rc == ERROR_FILE_NOT_FOUND) {
        Key made;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                            made.out(), nullptr) == ERROR_SUCCESS)
            created = true;
    }
    return rc;
}

} // namespace

std::wstring GetSettingsKeyPath() { return L"SOFTWARE\\" + GetSoftwareName(); }

int ReadLanguageId()
{
    Key key;
    bool created = false;
    LONG rc = OpenSettings(key, created);
    if (rc == ERROR_FILE_NOT_FOUND)
        return 0;
    if (rc != ERROR_SUCCESS)
        return 1033;
    return ReadNumber(key.get(), L"LCID");
}

void WriteLanguageId(int id) { WriteSettingText(L"LCID", std::to_wstring(id).c_str()); }

int ReadSettingInt(const wchar_t* name)
{
    Key key;
    bool created = false;
    if (OpenSettings(key, created) != ERROR_SUCCESS)
        return 0;
    return ReadNumber(key.get(), name);
}

void WriteSettingText(const wchar_t* name, const wchar_t* text)
{
    Key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath().c_str(), 0, KEY_SET_VALUE, key.out()) != ERROR_SUCCESS)
        return;
    WriteText(key.get(), name, text ? text : L"");
}

bool IsStartWithWindows()
{
    Key key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExW(key.get(), GetSoftwareName().c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetStartWithWindows(bool on)
{
    Key key;
    const std::wstring name = GetSoftwareName();
    if (on) {
        // The Run key exists on every Windows installation; a fresh profile may still lack it.
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.out(),
                            nullptr) != ERROR_SUCCESS)
            return;
        // Quoted, so that a program folder with blanks starts this program and nothing else.
        WriteText(key.get(), name.c_str(), L"\"" + GetProgramFolder() + L"Tastro.exe\"");
    } else {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, key.out()) != ERROR_SUCCESS)
            return;
        RegDeleteValueW(key.get(), name.c_str());
    }
}
