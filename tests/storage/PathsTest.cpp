// Program folder, data folder and folder creation.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "storage/Paths.h"
#include "storage/Settings.h"
#include "tests/storage/RegistryTestFixture.h"

namespace {

bool IsFolder(const std::wstring& path)
{
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

} // namespace

using PathsNames = OwnSoftwareName;

TEST_F(PathsNames, SoftwareNameNamesKeyAndDataFolder)
{
    wchar_t local[MAX_PATH];
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));

    EXPECT_EQ(GetSoftwareName(), m_name);
    EXPECT_EQ(GetDataFolder(), std::wstring(local) + L"\\" + m_name + L" Files\\");
    EXPECT_EQ(GetSettingsKeyPath(), L"SOFTWARE\\" + m_name);
    EXPECT_FALSE(IsFolder(GetDataFolder())); // named, not created

    // A name that is empty or would leave its folder is replaced by the program's own name.
    struct Case {
        const wchar_t* deviceName;
        const wchar_t* softwareName;
    };
    const Case cases[] = {
        {L"Teclado RGB \x00e9", L"Teclado RGB \x00e9"},
        {L"", L"Tastro"},
        {L"..\\..\\Windows", L"Tastro"},
        {L"a/b", L"Tastro"},
        {L"c:x", L"Tastro"},
        {L"..", L"Tastro"},
    };
    for (const Case& c : cases) {
        SetSoftwareName(c.deviceName);
        EXPECT_EQ(GetSoftwareName(), c.softwareName) << Narrow(c.deviceName);
        EXPECT_EQ(GetSettingsKeyPath(), std::wstring(L"SOFTWARE\\") + c.softwareName);
        EXPECT_EQ(GetDataFolder(), std::wstring(local) + L"\\" + c.softwareName + L" Files\\");
    }
    SetSoftwareName(nullptr);
    EXPECT_EQ(GetSoftwareName(), L"Tastro");
}

TEST(Paths, ProgramFolderIsTheExecutablesFolder)
{
    const std::wstring folder = GetProgramFolder();
    EXPECT_EQ(folder, testsupport::ExeFolder() + L"\\");
    EXPECT_TRUE(IsFolder(folder));
}

TEST(Paths, EnsureFolder)
{
    const std::wstring root = testsupport::MakeTempFolder(L"tastro-paths");
    ASSERT_FALSE(root.empty());
    const std::wstring file = root + L"\\plain.txt";
    FILE* f = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fclose(f);

    struct Case {
        const char* what;
        std::wstring path;
        bool result;
    };
    const Case cases[] = {
        {"three levels, two missing", root + L"\\one\\two\\three", true},
        {"already there", root + L"\\one\\two", true},
        {"trailing backslash", root + L"\\x\\y\\", true},
        {"forward slashes", root + L"/s1/s2", true},
        {"non-ASCII", root + L"\\\x914d\x7f6e\\\x00e9t\x00e9", true},
        {"a file in the way", file, false},
        {"below a file", file + L"\\sub", false},
        {"empty", L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(EnsureFolder(c.path.c_str()), c.result);
        if (c.result) {
            EXPECT_TRUE(IsFolder(c.path));
        }
    }
    EXPECT_TRUE(IsFolder(root + L"\\one"));
    EXPECT_FALSE(EnsureFolder(nullptr));
    EXPECT_TRUE(testsupport::RemoveTree(root));
}
