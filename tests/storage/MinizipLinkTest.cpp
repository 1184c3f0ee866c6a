// minizip from zlib's contrib folder over libz from mingw: write a small archive, read
// every entry back, and refuse a file that is not an archive.
#include <gtest/gtest.h>
#include <unzip.h>
#include <windows.h>
#include <zip.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace {

std::string Narrow(const std::wstring& w)
{
    return std::string(w.begin(), w.end()); // temp paths of the test prefix are ASCII
}

struct Entry {
    const char* name;
    std::string data;
};

} // namespace

TEST(MinizipLink, ArchiveRoundTrip)
{
    std::wstring folder = testsupport::MakeTempFolder(L"tastro-zip");
    ASSERT_FALSE(folder.empty());
    const std::string file = Narrow(folder + L"\\package.zip");
    const std::vector<Entry> entries = {
        {"Tastro.exe", std::string(5000, 'x') + "end"},
        {"language/1033.lan", std::string("\xFF\xFE" "1\0=\0", 6)},
        {"empty.txt", std::string()},
    };

    zipFile zf = zipOpen64(file.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zf, nullptr);
    for (const Entry& e : entries) {
        ASSERT_EQ(zipOpenNewFileInZip64(zf, e.name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                        Z_BEST_COMPRESSION, 0),
                  ZIP_OK);
        ASSERT_EQ(zipWriteInFileInZip(zf, e.data.data(), static_cast<unsigned>(e.data.size())), ZIP_OK);
        ASSERT_EQ(zipCloseFileInZip(zf), ZIP_OK);
    }
    ASSERT_EQ(zipClose(zf, nullptr), ZIP_OK);

    unzFile uf = unzOpen64(file.c_str());
    ASSERT_NE(uf, nullptr);
    unz_global_info64 gi;
    ASSERT_EQ(unzGetGlobalInfo64(uf, &gi), UNZ_OK);
    EXPECT_EQ(gi.number_entry, entries.size());
    size_t i = 0;
    for (int rc = unzGoToFirstFile(uf); rc == UNZ_OK; rc = unzGoToNextFile(uf), ++i) {
        ASSERT_LT(i, entries.size());
        char name[256];
        unz_file_info64 info;
        ASSERT_EQ(unzGetCurrentFileInfo64(uf, &info, name, sizeof(name), nullptr, 0, nullptr, 0), UNZ_OK);
        EXPECT_STREQ(name, entries[i].name);
        ASSERT_EQ(info.uncompressed_size, entries[i].data.size());
        ASSERT_EQ(unzOpenCurrentFile(uf), UNZ_OK);
        std::string got(entries[i].data.size() + 16, '\0');
        int n = unzReadCurrentFile(uf, got.data(), static_cast<unsigned>(got.size()));
        ASSERT_GE(n, 0);
        got.resize(n);
        EXPECT_EQ(got, entries[i].data);
        EXPECT_EQ(unzCloseCurrentFile(uf), UNZ_OK); // checks the CRC
    }
    EXPECT_EQ(i, entries.size());
    unzClose(uf);

    const std::string notZip = Narrow(folder + L"\\not.zip");
    std::ofstream(notZip, std::ios::binary) << "PK\x03\x04 this is not an archive";
    EXPECT_EQ(unzOpen64(notZip.c_str()), nullptr);

    EXPECT_TRUE(testsupport::RemoveTree(folder));
}
