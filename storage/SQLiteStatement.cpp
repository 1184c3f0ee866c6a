#include "storage/SQLiteStatement.h"

#include <sqlite3.h>

#include "storage/SQLiteText.h"

SQLiteStatement::SQLiteStatement() : m_stmt(nullptr), m_done(true) {}

SQLiteStatement::~SQLiteStatement() { Finalize(); }

bool SQLiteStatement::Finalize()
{
    if (!m_stmt)
        return true;
    // sqlite3_finalize always frees the statement; its result only repeats the last
    // step's error, so the handle is forgotten either way.
    int rc = sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_done = true;
    return rc == SQLITE_OK;
}

int SQLiteStatement::BindInt(int index, int value)
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    return sqlite3_bind_int(m_stmt, index, value);
}

int SQLiteStatement::BindText(int index, const char* utf8, int count)
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    if (!utf8)
        return sqlite3_bind_text(m_stmt, index, "", 0, SQLITE_STATIC);
    return sqlite3_bind_text(m_stmt, index, utf8, count, SQLITE_TRANSIENT);
}

int SQLiteStatement::BindText(int index, const std::wstring& text)
{
    std::string utf8 = SQLiteUtf8(text);
    return BindText(index, utf8.c_str(), static_cast<int>(utf8.size()));
}

int SQLiteStatement::Step()
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_DONE)
        m_done = true;
    else if (rc == SQLITE_ROW)
        m_done = false;
    return rc;
}

int SQLiteStatement::ColumnInt(int index) const
{
    if (!m_stmt)
        return 0;
    return sqlite3_column_int(m_stmt, index);
}

const char* SQLiteStatement::ColumnText(int index) const
{
    if (!m_stmt)
        return nullptr;
    return reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
}

std::wstring SQLiteStatement::ColumnWideText(int index) const
{
    const char* text = ColumnText(index);
    if (!text)
        return std::wstring();
    return SQLiteWide(text, sqlite3_column_bytes(m_stmt, index));
}
