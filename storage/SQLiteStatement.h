#pragma once
#include <string>

struct sqlite3_stmt;

// One prepared statement, filled by SQLiteDB::Prepare and finalized when the object
// goes away (or when it is prepared again). Every call on an empty statement reports
// SQLITE_MISUSE (21) or an empty value, so a failed Prepare needs no special path.
class SQLiteStatement {
public:
    SQLiteStatement();
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    // 1-based parameter index.
    int BindInt(int index, int value);
    // Binds a copy of the bytes (count -1 = up to the terminator), so the caller's
    // buffer may change or go away before the step.
    int BindText(int index, const char* utf8, int count);
    // Binds the UTF-8 form of a wide string.
    int BindText(int index, const std::wstring& text);

    // SQLITE_ROW (100), SQLITE_DONE (101) or an error code.
    int Step();

    // 0-based column index. A NULL column reads as 0 and as an empty (or null) text.
    int ColumnInt(int index) const;
    const char* ColumnText(int index) const;
    std::wstring ColumnWideText(int index) const;

    bool IsValid() const { return m_stmt != nullptr; }
    // Set at construction and whenever a step reports SQLITE_DONE.
    bool IsDone() const { return m_done; }

private:
    friend class SQLiteDB;
    // Finalizes the held statement; true when there was none or it was finalized cleanly.
    bool Finalize();

    sqlite3_stmt* m_stmt;
    bool m_done;
};
