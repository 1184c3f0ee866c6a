#pragma once
// Shared set-up of the profile database tests: a private data folder with its "db"
// subfolder, a database object of its own, and a second raw connection for looking at
// what really reached the file.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <string>
#include <vector>

#include "storage/ProfileDatabase.h"
#include "storage/SQLiteText.h"
#include "support/TestPaths.h"

namespace dbtest {

// Language texts the default rows are built from.
inline std::wstring Text(int id)
{
    switch (id) {
    case ProfileDatabase::kProfileNameText: return L"Perfil";
    case ProfileDatabase::kMusicLayerNameText: return L"M\x00fasica";
    default: return L"?";
    }
}

// Rows of one query on a fresh connection to the file, each row's columns joined by '|'.
inline std::vector<std::string> RawRows(const std::wstring& file, const char* sql)
{
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(SQLiteUtf8(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << SQLiteUtf8(file);
        return rows;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    } else {
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const unsigned char* text = sqlite3_column_text(st, i);
                row += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
            }
            rows.push_back(row);
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

inline int RawCount(const std::wstring& file, const char* table)
{
    auto rows = RawRows(file, ("SELECT count(*) FROM " + std::string(table)).c_str());
    return rows.empty() ? -1 : std::stoi(rows[0]);
}

// The tables of the schema.
inline const char* const kTables[] = {"t_configdata", "t_profile_data", "t_key_macro_data",
                                      "t_key_otherdata", "t_macro_data", "t_macrorecord",
                                      "t_light_data", "t_key_light_data", "t_musiclayer_data"};

// Every row of every table, each table headed by its name: equal snapshots mean an
// unchanged file.
inline std::vector<std::string> Snapshot(const std::wstring& file)
{
    std::vector<std::string> all;
    for (const char* table : kTables) {
        all.push_back(std::string("-- ") + table);
        for (const std::string& row : RawRows(file, (std::string("SELECT * FROM ") + table).c_str()))
            all.push_back(row);
    }
    return all;
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ProfileDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = testsupport::MakeTempFolder(L"tastro-db");
        ASSERT_FALSE(m_root.empty());
        m_data = m_root + L"\\";
        ASSERT_TRUE(CreateDirectoryW((m_data + L"db").c_str(), nullptr));
    }
    void TearDown() override
    {
        m_db.Close();
        EXPECT_TRUE(testsupport::RemoveTree(m_root));
    }

    // Opens (creating) the file of the model "Model".
    void OpenNew(const std::wstring& model = L"Model")
    {
        ASSERT_TRUE(m_db.Open(m_data, model));
        ASSERT_TRUE(m_db.IsOpened());
    }
    std::wstring File(const std::wstring& model = L"Model") const { return ProfileDatabase::FilePath(m_data, model); }

    // Makes every insert or delete matching `when` fail with a constraint error, the way
    // a full disk or a damaged page would fail one step of a longer change.
    void FailWhen(const char* table, const char* event, const char* when)
    {
        std::string sql = std::string("CREATE TRIGGER fail_") + table + "_" + event + " BEFORE " + event + " ON " +
                          table + " WHEN " + when + " BEGIN SELECT RAISE(ABORT, 'injected'); END";
        ASSERT_EQ(m_db.Exec(sql.c_str()), SQLITE_OK) << sql;
    }

    std::wstring m_root;
    std::wstring m_data; // ends with a backslash, as the program's data folder does
    ProfileDatabase m_db;
};

} // namespace dbtest
