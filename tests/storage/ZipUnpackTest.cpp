// Unpacking update packages: stored names are made safe, nothing lands outside the
// target folder, damaged entries are reported and removed.
#include <gtest/gtest.h>
#include <windows.h>

#include "storage/ZipUnpack.h"
#include "support/TestPaths.h"
#include "support/TestZip.h"

using testsupport::ZipEntry;

namespace {

TEST(ZipEntryNames, ReducedToAPathBelowTheTarget)
{
    struct Case {
        const wchar_t* stored;
        const wchar_t* safe;
    };
    const Case cases[] = {
        {L"Keyboard-Software-1.0.2.exe", L"Keyboard-Software-1.0.2.exe"},
        {L"language/1033.lan", L"language\\1033.lan"},
        {L"../evil.exe", L"evil.exe"},
        {L"..\\x.dll", L"x.dll"},
        {L"a/../../y", L"a\\y"},
        {L"a\\..\\..\\y", L"a\\y"},
        {L"C:x", L"x"},
        {L"C:\\Windows\\evil.dll", L"Windows\\evil.dll"},
        {L"c:/evil.dll", L"evil.dll"},
        {L"/etc/passwd", L"etc\\passwd"},
        {L"\\\\server\\share\\f.exe", L"server\\share\\f.exe"},
        {L"\\\\?\\C:\\f.exe", L"?\\C\\f.exe"}, // '?' cannot be created: the write fails
        {L"file.txt:hidden", L"file.txt"},
        {L"dir:stream/file", L"dir\\file"},
        {L"./a/./b", L"a\\b"},
        {L"a/.../b", L"a\\b"},
        {L"a/ . /b", L"a\\b"},
        {L"name. ", L"name"},
        {L"..", L""},
        {L"../", L""},
        {L"C:", L""},
        {L"", L""},
        {L"CON", L""},
        {L"sub/nul.txt", L""},
        {L"com1", L""},
        {L"console.txt", L"console.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SafeEntryPath(c.stored), c.safe) << c.stored;
}

class ZipUnpack : public ::testing::Test {
protected:
    void SetUp() override
    {
        box_ = testsupport::MakeTempFolder(L"tastro-unzip");
        ASSERT_FALSE(box_.empty());
        target_ = box_ + L"\\target";
        ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
        archive_ = box_ + L"\\package.zip";
    }
    void TearDown() override { testsupport::RemoveTree(box_); }

    std::wstring box_;
    std::wstring target_;
    std::wstring archive_;
};

TEST_F(ZipUnpack, HostileNamesStayInsideTheTarget)
{
    const std::vector<ZipEntry> entries = {
        {"../evil.exe", "1"},          {"..\\x.dll", "2"},           {"a/../../y", "3"},
        {"C:x", "4"},                  {"/abs/z.txt", "5"},          {"C:\\abs2\\w.txt", "6"},
        {"\\\\host\\share\\v.txt", "7"}, {"ok/readme.txt", "8"},       {"stream.txt:ads", "9"},
    };
    ASSERT_TRUE(testsupport::WriteZip(archive_, entries));
    UnpackStats stats;
    ASSERT_TRUE(UnpackZip(archive_, target_, &stats));
    EXPECT_EQ(stats.entries, entries.size());
    EXPECT_EQ(stats.written, entries.size());
    EXPECT_TRUE(stats.Complete());

    // Only the archive and the target folder exist beside each other.
    EXPECT_EQ(testsupport::ListTree(box_),
              (std::vector<std::wstring>{L"package.zip", L"target", L"target\\a", L"target\\a\\y",
                                         L"target\\abs", L"target\\abs2", L"target\\abs2\\w.txt",
                                         L"target\\abs\\z.txt", L"target\\evil.exe", L"target\\host",
                                         L"target\\host\\share", L"target\\host\\share\\v.txt", L"target\\ok",
                                         L"target\\ok\\readme.txt", L"target\\stream.txt", L"target\\x",
                                         L"target\\x.dll"}));
    EXPECT_EQ(testsupport::ReadFileBytes(target_ + L"\\evil.exe"), "1");
    EXPECT_EQ(testsupport::ReadFileBytes(target_ + L"\\x"), "4");
    EXPECT_EQ(testsupport::ReadFileBytes(target_ + L"\\stream.txt"), "9");
}

TEST_F(ZipUnpack, RefusedNamesMakeTheUnpackIncomplete)
{
    ASSERT_TRUE(testsupport::WriteZip(archive_, {{"setup.exe", "program"}, {"..", "x"}, {"docs/CON", "y"},
                                                 {"folder/", ""}}));
    UnpackStats stats;
    ASSERT_TRUE(UnpackZip(archive_, target_, &stats));
    EXPECT_EQ(stats.entries, 4u);
    EXPECT_EQ(stats.written, 2u);
    EXPECT_EQ(stats.skipped, 2u);
    EXPECT_FALSE(stats.Complete());
    EXPECT_EQ(testsupport::ListTree(target_), (std::vector<std::wstring>{L"folder", L"setup.exe"}));
}

TEST_F(ZipUnpack, DamagedEntryIsReportedAndRemoved)
{
    const std::string payload(4000, 'A');
    ASSERT_TRUE(testsupport::WriteZip(archive_, {{"good.txt", "fine"}, {"setup.exe", payload}}, 0));
    std::string bytes = testsupport::ReadFileBytes(archive_);
    const size_t at = bytes.find(payload);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] = 'B'; // stored data no longer matches its CRC
    ASSERT_TRUE(testsupport::WriteFileBytes(archive_, bytes));

    UnpackStats stats;
    ASSERT_TRUE(UnpackZip(archive_, target_, &stats));
    EXPECT_EQ(stats.written, 1u);
    EXPECT_EQ(stats.failed, 1u);
    EXPECT_FALSE(stats.Complete());
    EXPECT_EQ(testsupport::ListTree(target_), (std::vector<std::wstring>{L"good.txt"}));
}

TEST_F(ZipUnpack, WhatIsNotAnArchiveIsNotOpened)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"html page", "<html><body>Not Found</body></html>"},
        {"empty", ""},
        {"local header only", std::string("PK\x03\x04", 4) + std::string(100, '\0')},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(testsupport::WriteFileBytes(archive_, c.bytes));
        UnpackStats stats;
        EXPECT_FALSE(UnpackZip(archive_, target_, &stats)) << c.what;
        EXPECT_FALSE(stats.Complete()) << c.what;
    }
    EXPECT_FALSE(UnpackZip(box_ + L"\\missing.zip", target_));
    EXPECT_TRUE(testsupport::ListTree(target_).empty());

    // An archive without entries unpacks nothing, whether or not it counts as opened.
    ASSERT_TRUE(testsupport::WriteZip(archive_, {}));
    UnpackStats stats;
    UnpackZip(archive_, target_, &stats);
    EXPECT_FALSE(stats.Complete());
}

TEST_F(ZipUnpack, ExistingFilesAreReplacedAndNamesKeepTheirCharacters)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(target_ + L"\\setup.exe", std::string(10000, 'o')));
    // "é" in UTF-8 with the name flag, and in the IBM PC code page without it.
    const std::string big(300000, 'n');
    ASSERT_TRUE(testsupport::WriteZip(archive_, {{"setup.exe", "new"}, {"caf\x82.txt", big}}));
    UnpackStats stats;
    ASSERT_TRUE(UnpackZip(archive_, target_, &stats));
    EXPECT_TRUE(stats.Complete());
    EXPECT_EQ(testsupport::ReadFileBytes(target_ + L"\\setup.exe"), "new");
    EXPECT_EQ(testsupport::ReadFileBytes(target_ + L"\\caf\u00e9.txt"), big);
}

} // namespace
