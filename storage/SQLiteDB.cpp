#include "storage/SQLiteDB.h"

#include <sqlite3.h>

#include <cstring>

#include "storage/SQLiteStatement.h"

SQLiteDB::SQLiteDB() : m_db(nullptr) {}

SQLiteDB::~SQLiteDB()
{
    if (m_db)
        sqlite3_interrupt(m_db);
    Close();
}

bool SQLiteDB::Open(const char* utf8Path, int flags)
{
    if (m_db) {
        sqlite3_interrupt(m_db);
        Close();
    }
    if (!utf8Path)
        return false;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(utf8Path, &db, flags, nullptr) != SQLITE_OK) {
        if (db)
            sqlite3_close(db);
        return false;
    }
    m_db = db;
    return true;
}

bool SQLiteDB::Close()
{
    if (!m_db)
        return true;
    if (sqlite3_close(m_db) != SQLITE_OK) {
        // A statement prepared on another thread is still alive: hand the connection
        // over to SQLite, which closes it when that statement is finalized. Either way
        // this object no longer holds a connection, so it never reuses a stale one.
        sqlite3_close_v2(m_db);
    }
    m_db = nullptr;
    return true;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length)
{
    statement.Finalize();
    if (!m_db || !sql)
        return SQLITE_MISUSE;
    if (length < 0)
        length = static_cast<int>(std::strlen(sql)) + 1;
    return sqlite3_prepare_v2(m_db, sql, length, &statement.m_stmt, nullptr);
}

int SQLiteDB::Exec(const char* sql, ExecCallback callback, void* arg)
{
    if (!m_db || !sql)
        return SQLITE_MISUSE;
    return sqlite3_exec(m_db, sql, callback, arg, nullptr);
}

int64_t SQLiteDB::LastInsertRowId() const
{
    if (!m_db)
        return -1;
    return sqlite3_last_insert_rowid(m_db);
}

bool SQLiteDB::InTransaction() const { return m_db && sqlite3_get_autocommit(m_db) == 0; }
