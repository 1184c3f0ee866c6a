#pragma once
#include <cstdint>

struct sqlite3;
class SQLiteStatement;

// A thin owner of one SQLite connection.
class SQLiteDB {
public:
    using ExecCallback = int (*)(void* arg, int columns, char** values, char** names);

    SQLiteDB();
    // Interrupts whatever runs on the connection and closes it.
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Closes any open connection, then opens the UTF-8 path with the SQLite open flags.
    // A failed open leaves no connection. The connection keeps SQLite's default
    // synchronous setting, so a committed write has reached the disk.
    bool Open(const char* utf8Path, int flags);
    // True when nothing was open or the connection was closed.
    bool Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Prepares sql into the statement (finalizing what it held). Length -1 measures the
    // text. SQLITE_MISUSE (21) when there is no connection or no SQL.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    // Runs one or more statements. SQLITE_MISUSE when there is no connection or no SQL.
    int Exec(const char* sql, ExecCallback callback = nullptr, void* arg = nullptr);
    // Row id of the last insert on this connection; -1 when there is no connection.
    int64_t LastInsertRowId() const;
    // True while the connection is inside an explicit transaction.
    bool InTransaction() const;

private:
    sqlite3* m_db;
};
