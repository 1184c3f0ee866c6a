#include "storage/SQLiteAutoTransaction.h"

#include <sqlite3.h>

#include "storage/SQLiteDB.h"

namespace {

// One name serves every nesting level: RELEASE and ROLLBACK TO act on the most recent
// savepoint of that name.
const char kBeginNested[] = "SAVEPOINT tastro_nested";
const char kCommitNested[] = "RELEASE tastro_nested";
const char kRollbackNested[] = "ROLLBACK TO tastro_nested; RELEASE tastro_nested";

} // namespace

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* db) : m_db(db), m_active(false), m_nested(false)
{
    if (m_db && m_db->IsOpen())
        Begin();
}

SQLiteAutoTransaction::~SQLiteAutoTransaction()
{
    if (m_active)
        Rollback();
}

bool SQLiteAutoTransaction::Begin()
{
    if (!m_db || m_active)
        return false;
    m_nested = m_db->InTransaction();
    m_active = m_db->Exec(m_nested ? kBeginNested : "BEGIN") == SQLITE_OK;
    return m_active;
}

bool SQLiteAutoTransaction::Commit()
{
    if (!m_active)
        return false;
    if (m_db->Exec(m_nested ? kCommitNested : "END") == SQLITE_OK) {
        m_active = false;
        return true;
    }
    // The commit failed (the file is locked by another program, the disk is full...):
    // leave the connection as it was before Begin rather than with a half-open
    // transaction.
    Rollback();
    return false;
}

bool SQLiteAutoTransaction::Rollback()
{
    if (!m_active)
        return false;
    m_active = false;
    // SQLite may already have rolled the whole transaction back on its own (I/O errors,
    // a full disk); then there is nothing left to undo.
    if (!m_db->InTransaction())
        return true;
    return m_db->Exec(m_nested ? kRollbackNested : "ROLLBACK") == SQLITE_OK;
}
