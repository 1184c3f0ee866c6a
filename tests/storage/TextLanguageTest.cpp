// The language of a run and the texts of the language files.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "storage/Language.h"
#include "storage/Paths.h"
#include "tests/storage/RegistryTestFixture.h"

using TextLanguage = OwnSoftwareName;

TEST_F(TextLanguage, LanguageAtStartUp)
{
    struct Case {
        const char* what;
        int uiLanguage;
        const wchar_t* storedBefore; // null: first start
        int current;
        const wchar_t* storedAfter;
    };
    const Case cases[] = {
        {"first start, Chinese UI", 2052, nullptr, 2052, L"1046"},
        {"first start, English UI", 1033, nullptr, 1033, L"1033"},
        {"first start, Portuguese UI", 1046, nullptr, 1046, L"1046"},
        {"stored text is not a number", 2052, L"abc", 2052, L"1046"},
        {"stored language wins", 1033, L"2052", 2052, L"2052"},
        {"stored English on a Chinese UI", 2052, L"1033", 1033, L"1033"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Cleanup();
        if (c.storedBefore)
            StoreText(L"LCID", c.storedBefore);
        SetCurrentLanguage(0);
        EXPECT_EQ(InitLanguage(c.uiLanguage), c.current);
        EXPECT_EQ(GetCurrentLanguage(), c.current);
        EXPECT_EQ(Stored(L"LCID"), c.storedAfter);
    }

    // The next start after a first start on a Chinese UI uses the stored 1046.
    Cleanup();
    EXPECT_EQ(InitLanguage(2052), 2052);
    EXPECT_EQ(InitLanguage(2052), 1046);

    // Without an argument the user's UI language decides a first start.
    Cleanup();
    EXPECT_EQ(InitLanguage(), int(GetUserDefaultUILanguage()));
}

namespace {

void WriteUtf16File(const std::wstring& path, const std::wstring& text)
{
    FILE* f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    const wchar_t bom = 0xFEFF;
    fwrite(&bom, sizeof bom, 1, f);
    fwrite(text.data(), sizeof(wchar_t), text.size(), f);
    fclose(f);
}

} // namespace

TEST_F(TextLanguage, LoadTextReadsTheCurrentLanguagesFile)
{
    // A language id of this process alone, so parallel tests do not share the file.
    const int language = 40000 + static_cast<int>(GetCurrentProcessId() % 20000);
    const std::wstring folder = GetProgramFolder() + L"language";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = GetLanguageFilePath(language);
    EXPECT_EQ(path, folder + L"\\" + std::to_wstring(language) + L".lan");
    const std::wstring longText(300, L'x');
    WriteUtf16File(path, L"[KB.DIALOG]\r\n65=Perfil\r\n66=\x914d\x7f6e \x00e9\x00e7\r\n67=" + longText +
                             L"\r\n[OTHER]\r\n68=elsewhere\r\n");
    SetCurrentLanguage(language);

    struct Case {
        int id;
        const wchar_t* section;
        std::wstring text;
    };
    const Case cases[] = {
        {65, L"KB.DIALOG", L"Perfil"},
        {66, L"KB.DIALOG", L"\x914d\x7f6e \x00e9\x00e7"},
        {67, L"KB.DIALOG", longText.substr(0, 259)}, // cut at 259 characters
        {68, L"KB.DIALOG", L""},
        {68, L"OTHER", L"elsewhere"},
        {99, L"KB.DIALOG", L""},
        {65, L"NO.SECTION", L""},
        {65, nullptr, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadText(c.id, c.section), c.text) << c.id;

    // Read on every call: a changed file gives the new text.
    WriteUtf16File(path, L"[KB.DIALOG]\r\n65=Perfil novo\r\n");
    EXPECT_EQ(LoadText(65, L"KB.DIALOG"), L"Perfil novo");

    // Another language without a file: empty texts.
    SetCurrentLanguage(language + 1);
    EXPECT_EQ(LoadText(65, L"KB.DIALOG"), L"");

    DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str()); // only when no other test left a file there
}
