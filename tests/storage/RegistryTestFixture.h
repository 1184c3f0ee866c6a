#pragma once
// A test fixture that gives each test its own software name, so that its registry key, Run
// value and data folder are its own, and removes all three afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "storage/Paths.h"
#include "storage/Settings.h"
#include "support/TestPaths.h"
#include "storage/Paths.h"

class OwnSoftwareName : public testing::Test {
protected:
    void SetUp() override
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        m_name = L"TastroTest " + std::wstring(info->name(), info->name() + strlen(info->name())) + L" " +
                 std::to_wstring(GetCurrentProcessId());
        SetSoftwareName(m_name.c_str());
        Cleanup();
    }
    void TearDown() override
    {
        Cleanup();
        SetSoftwareName(L"");
    }
    void Cleanup()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"SOFTWARE\\" + m_name).c_str());
        HKEY run;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
            RegDeleteValueW(run, m_name.c_str());
            RegCloseKey(run);
        }
        const std::wstring data = GetDataFolder();
        if (data.find(m_name) != std::wstring::npos)
            testsupport::RemoveTree(data.substr(0, data.size() - 1));
    }
    bool KeyExists() const
    {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, (L"SOFTWARE\\" + m_name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    // Stores a raw value in the software's key (created when missing).
    void StoreRaw(const wchar_t* value, DWORD type, const void* data, DWORD bytes)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (L"SOFTWARE\\" + m_name).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, value, 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void StoreText(const wchar_t* value, const std::wstring& text)
    {
        StoreRaw(value, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    // The stored text of a value of the software's key, or "<none>".
    std::wstring Stored(const wchar_t* value) const
    {
        wchar_t buffer[256] = {};
        DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
        DWORD type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, (L"SOFTWARE\\" + m_name).c_str(), value, RRF_RT_ANY, &type, buffer,
                         &bytes) != ERROR_SUCCESS)
            return L"<none>";
        return type == REG_SZ ? std::wstring(buffer) : L"<not text>";
    }

    std::wstring m_name;
};
