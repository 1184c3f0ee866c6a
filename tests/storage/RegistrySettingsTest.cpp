// Registry settings under HKEY_CURRENT_USER\SOFTWARE\<name> and the start-with-Windows value,
// in the real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "storage/Paths.h"
#include "storage/Settings.h"
#include "tests/storage/RegistryTestFixture.h"

using RegistrySettings = OwnSoftwareName;

TEST_F(RegistrySettings, LanguageIdCreatesTheKeyOnFirstRead)
{
    ASSERT_FALSE(KeyExists());
    WriteLanguageId(1046); // no key yet: skipped, not created
    WriteSettingText(L"exit_mode", L"1");
    EXPECT_FALSE(KeyExists());

    EXPECT_EQ(ReadLanguageId(), 0); // first start: the key is created
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(ReadLanguageId(), 0); // still no value
    WriteLanguageId(1046);
    EXPECT_EQ(Stored(L"LCID"), L"1046");
    EXPECT_EQ(ReadLanguageId(), 1046);
}

TEST_F(RegistrySettings, SettingsAreDecimalText)
{
    EXPECT_EQ(ReadSettingInt(L"exit_mode"), 0); // creates the key
    EXPECT_TRUE(KeyExists());
    WriteSettingText(L"exit_mode", L"2");
    EXPECT_EQ(Stored(L"exit_mode"), L"2");
    EXPECT_EQ(ReadSettingInt(L"exit_mode"), 2);

    struct Case {
        const char* what;
        std::wstring stored;
        int read;
    };
    const Case cases[] = {
        {"number", L"1046", 1046}, {"not a number", L"abc", 0}, {"leading blanks and trailing text", L"  12x", 12},
        {"negative", L"-1", -1},   {"empty", L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreText(L"LCID", c.stored);
        EXPECT_EQ(ReadLanguageId(), c.read);
        EXPECT_EQ(ReadSettingInt(L"LCID"), c.read);
    }

    // A string stored without its terminating zero, and a value of another type.
    const wchar_t seven[] = {L'7', L'7'};
    StoreRaw(L"exit_mode", REG_SZ, seven, sizeof(wchar_t)); // just "7"
    EXPECT_EQ(ReadSettingInt(L"exit_mode"), 7);
    const DWORD number = 1;
    StoreRaw(L"exit_mode", REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(ReadSettingInt(L"exit_mode"), 0);
    EXPECT_EQ(ReadSettingInt(L"no such value"), 0);
}

TEST_F(RegistrySettings, StartWithWindowsWritesAQuotedRunValue)
{
    EXPECT_FALSE(IsStartWithWindows());
    SetStartWithWindows(false); // nothing to remove: harmless
    EXPECT_FALSE(IsStartWithWindows());

    SetStartWithWindows(true);
    EXPECT_TRUE(IsStartWithWindows());
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value);
    DWORD type = 0;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, m_name.c_str(), RRF_RT_ANY, &type, value, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::wstring(value), L"\"" + GetProgramFolder() + L"Tastro.exe\"");
    EXPECT_EQ(bytes, (wcslen(value) + 1) * sizeof(wchar_t));

    SetStartWithWindows(false);
    EXPECT_FALSE(IsStartWithWindows());
    bytes = sizeof(value);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, m_name.c_str(), RRF_RT_ANY, nullptr, value, &bytes),
              ERROR_FILE_NOT_FOUND);
}
