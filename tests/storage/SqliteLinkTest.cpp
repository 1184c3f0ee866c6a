// The SQLite amalgamation built from Debian's sources: a file database round trip with
// the connection flags the profile database uses, including non-ASCII text.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <string>

#include "support/TestPaths.h"

namespace {

std::string Utf8(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

} // namespace

TEST(SqliteLink, FileRoundTripWithFullMutexConnection)
{
    EXPECT_STREQ(sqlite3_libversion(), "3.40.1");
    EXPECT_NE(sqlite3_threadsafe(), 0);

    std::wstring folder = testsupport::MakeTempFolder(L"tastro-sqlite");
    ASSERT_FALSE(folder.empty());
    std::string file = Utf8(folder + L"\\Profil \x00e9t\x00e9 \x952e\x76d8.db");
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, flags, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT);", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO t(name) VALUES(?);", -1, &st, nullptr), SQLITE_OK);
    const std::string name = "\xE9\x85\x8D\xE7\xBD\xAE 1"; // CJK text in UTF-8
    ASSERT_EQ(sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_DONE);
    sqlite3_finalize(st);
    EXPECT_EQ(sqlite3_last_insert_rowid(db), 1);
    ASSERT_EQ(sqlite3_close(db), SQLITE_OK);

    db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, flags, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT id, name FROM t;", -1, &st, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))), name);
    EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
    sqlite3_finalize(st);
    sqlite3_close(db);
    EXPECT_TRUE(testsupport::RemoveTree(folder));
}
