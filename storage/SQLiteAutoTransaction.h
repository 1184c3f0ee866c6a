#pragma once

class SQLiteDB;

// A transaction that lives as long as its scope. The constructor begins it; Commit
// makes it permanent; a scope left without Commit (an early return, a failed step)
// rolls everything back.
//
// Transactions nest: one begun while the connection is already inside a transaction
// becomes a savepoint of the outer one, so an operation that uses a transaction may be
// called from another that holds one. Rolling back an inner one undoes only its own
// work; the outer one decides about the rest.
class SQLiteAutoTransaction {
public:
    explicit SQLiteAutoTransaction(SQLiteDB* db);
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // Begins again after a Commit or Rollback; false when there is no database, it is
    // already active or SQLite refused to begin.
    bool Begin();
    // Ends the transaction; false when it was not active or the commit failed, in which
    // case everything since Begin has been rolled back.
    bool Commit();
    // Undoes everything since Begin; false when it was not active.
    bool Rollback();
    // True between a successful Begin (or construction) and Commit or Rollback.
    bool IsActive() const { return m_active; }

private:
    SQLiteDB* m_db;
    bool m_active;
    bool m_nested;
};
