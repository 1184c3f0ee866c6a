// The thin SQLite wrappers: behaviour without a connection, text binding, durability
// settings and scoped transactions (rollback at scope end, nesting).
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "storage/SQLiteAutoTransaction.h"
#include "storage/SQLiteDB.h"
#include "storage/SQLiteStatement.h"
#include "storage/SQLiteText.h"
#include "support/TestPaths.h"

namespace {

const int kCreateFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

class SQLiteWrapperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = testsupport::MakeTempFolder(L"tastro-sqlite-wrap");
        ASSERT_FALSE(m_folder.empty());
        ASSERT_TRUE(m_db.Open(Path(L"a.db").c_str(), kCreateFlags));
        ASSERT_EQ(m_db.Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT)"), SQLITE_OK);
    }
    void TearDown() override
    {
        m_db.Close();
        testsupport::RemoveTree(m_folder);
    }

    std::string Path(const std::wstring& name) const { return SQLiteUtf8(m_folder + L"\\" + name); }

    int Count(SQLiteDB& db)
    {
        SQLiteStatement st;
        db.Prepare(st, "SELECT count(*) FROM t");
        return st.Step() == SQLITE_ROW ? st.ColumnInt(0) : -1;
    }
    bool Insert(SQLiteDB& db, const char* v)
    {
        SQLiteStatement st;
        db.Prepare(st, "INSERT INTO t(v) VALUES(?)");
        st.BindText(1, v, -1);
        return st.Step() == SQLITE_DONE;
    }

    std::wstring m_folder;
    SQLiteDB m_db;
};

int ReadIntCallback(void* arg, int columns, char** values, char**)
{
    if (columns > 0 && values[0])
        *static_cast<int*>(arg) = std::atoi(values[0]);
    return 0;
}

} // namespace

TEST(SQLiteWrapper, WithoutConnectionEveryCallReportsMisuse)
{
    SQLiteDB db;
    SQLiteStatement st;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.Prepare(st, "SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.Exec("SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.LastInsertRowId(), -1);
    EXPECT_FALSE(db.InTransaction());

    EXPECT_FALSE(st.IsValid());
    EXPECT_TRUE(st.IsDone());
    EXPECT_EQ(st.BindInt(1, 5), SQLITE_MISUSE);
    EXPECT_EQ(st.BindText(1, "x", 1), SQLITE_MISUSE);
    EXPECT_EQ(st.Step(), SQLITE_MISUSE);
    EXPECT_EQ(st.ColumnInt(0), 0);
    EXPECT_EQ(st.ColumnText(0), nullptr);
    EXPECT_EQ(st.ColumnWideText(0), L"");

    SQLiteAutoTransaction transaction(&db);
    EXPECT_FALSE(transaction.IsActive());
    EXPECT_FALSE(transaction.Begin());
    EXPECT_FALSE(transaction.Commit());
    SQLiteAutoTransaction none(nullptr);
    EXPECT_FALSE(none.Begin());
}

TEST_F(SQLiteWrapperTest, OpenFailsCleanlyAndNoSqlIsMisuse)
{
    SQLiteDB db;
    EXPECT_FALSE(db.Open(Path(L"missing\\folder\\x.db").c_str(), kCreateFlags));
    EXPECT_FALSE(db.IsOpen());
    EXPECT_FALSE(db.Open(nullptr, kCreateFlags));
    // Without the create flag a missing file is not made.
    EXPECT_FALSE(db.Open(Path(L"absent.db").c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX));
    EXPECT_FALSE(db.IsOpen());

    SQLiteStatement st;
    EXPECT_EQ(m_db.Prepare(st, nullptr), SQLITE_MISUSE);
    EXPECT_EQ(m_db.Exec(nullptr), SQLITE_MISUSE);
    EXPECT_NE(m_db.Prepare(st, "SELECT nonsense FROM nowhere"), SQLITE_OK);
    EXPECT_FALSE(st.IsValid());
    EXPECT_EQ(st.Step(), SQLITE_MISUSE);
}

TEST_F(SQLiteWrapperTest, OpeningAnotherFileClosesTheFirst)
{
    ASSERT_TRUE(Insert(m_db, "first"));
    ASSERT_TRUE(m_db.Open(Path(L"b.db").c_str(), kCreateFlags));
    // The new connection sees the new (empty) file, not the table of the first one.
    SQLiteStatement st;
    EXPECT_NE(m_db.Prepare(st, "SELECT count(*) FROM t"), SQLITE_OK);
    ASSERT_TRUE(m_db.Open(Path(L"a.db").c_str(), kCreateFlags));
    EXPECT_EQ(Count(m_db), 1);
}

TEST_F(SQLiteWrapperTest, BoundTextMayChangeBeforeTheStep)
{
    char buffer[16];
    std::strcpy(buffer, "original");
    SQLiteStatement st;
    ASSERT_EQ(m_db.Prepare(st, "INSERT INTO t(v) VALUES(?)"), SQLITE_OK);
    ASSERT_EQ(st.BindText(1, buffer, -1), SQLITE_OK);
    std::strcpy(buffer, "scribble");
    ASSERT_EQ(st.Step(), SQLITE_DONE);
    EXPECT_TRUE(st.IsDone());
    EXPECT_EQ(m_db.LastInsertRowId(), 1);

    // A wide string bound from a temporary: its UTF-8 copy dies at once.
    ASSERT_EQ(m_db.Prepare(st, "INSERT INTO t(v) VALUES(?)"), SQLITE_OK);
    ASSERT_EQ(st.BindText(1, std::wstring(L"gr\x00fc\x00df \x4f60\x597d \xd83d\xde00")), SQLITE_OK);
    ASSERT_EQ(st.Step(), SQLITE_DONE);

    ASSERT_EQ(m_db.Prepare(st, "SELECT v FROM t ORDER BY id"), SQLITE_OK);
    ASSERT_EQ(st.Step(), SQLITE_ROW);
    EXPECT_FALSE(st.IsDone());
    EXPECT_STREQ(st.ColumnText(0), "original");
    ASSERT_EQ(st.Step(), SQLITE_ROW);
    EXPECT_STREQ(st.ColumnText(0), "gr\xC3\xBC\xC3\x9F \xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80");
    EXPECT_EQ(st.ColumnWideText(0), L"gr\x00fc\x00df \x4f60\x597d \xd83d\xde00");
    EXPECT_EQ(st.Step(), SQLITE_DONE);
}

TEST_F(SQLiteWrapperTest, NullColumnsReadAsZeroAndEmpty)
{
    ASSERT_EQ(m_db.Exec("INSERT INTO t(v) VALUES(NULL)"), SQLITE_OK);
    SQLiteStatement st;
    ASSERT_EQ(m_db.Prepare(st, "SELECT v, v FROM t"), SQLITE_OK);
    ASSERT_EQ(st.Step(), SQLITE_ROW);
    EXPECT_EQ(st.ColumnInt(0), 0);
    EXPECT_EQ(st.ColumnWideText(1), L"");
    // Out-of-range columns are SQLite's business: no crash, empty values.
    EXPECT_EQ(st.ColumnInt(7), 0);
    EXPECT_EQ(st.ColumnText(7), nullptr);
}

TEST_F(SQLiteWrapperTest, ConnectionKeepsDurableSynchronousSetting)
{
    int synchronous = -1;
    ASSERT_EQ(m_db.Exec("PRAGMA synchronous", ReadIntCallback, &synchronous), SQLITE_OK);
    EXPECT_EQ(synchronous, 2); // FULL: a commit waits until the data is on the disk
}

TEST_F(SQLiteWrapperTest, TransactionCommitsOrRollsBackAtScopeEnd)
{
    {
        SQLiteAutoTransaction transaction(&m_db);
        ASSERT_TRUE(transaction.IsActive());
        EXPECT_TRUE(m_db.InTransaction());
        EXPECT_FALSE(transaction.Begin()); // already active
        ASSERT_TRUE(Insert(m_db, "kept"));
        EXPECT_TRUE(transaction.Commit());
        EXPECT_FALSE(transaction.IsActive());
        EXPECT_FALSE(transaction.Commit());
    }
    EXPECT_EQ(Count(m_db), 1);
    {
        SQLiteAutoTransaction transaction(&m_db);
        ASSERT_TRUE(Insert(m_db, "dropped"));
        ASSERT_TRUE(Insert(m_db, "dropped too"));
        // Leaving the scope without Commit.
    }
    EXPECT_FALSE(m_db.InTransaction());
    EXPECT_EQ(Count(m_db), 1);
    {
        SQLiteAutoTransaction transaction(&m_db);
        ASSERT_TRUE(Insert(m_db, "undone"));
        EXPECT_TRUE(transaction.Rollback());
        EXPECT_FALSE(transaction.Rollback());
        EXPECT_EQ(Count(m_db), 1);
        // Begin works again after a rollback.
        ASSERT_TRUE(transaction.Begin());
        ASSERT_TRUE(Insert(m_db, "second try"));
        EXPECT_TRUE(transaction.Commit());
    }
    EXPECT_EQ(Count(m_db), 2);

    // A second connection sees only committed work.
    SQLiteDB other;
    ASSERT_TRUE(other.Open(Path(L"a.db").c_str(), kCreateFlags));
    EXPECT_EQ(Count(other), 2);
}

TEST_F(SQLiteWrapperTest, NestedTransactionsUndoOnlyTheirOwnWork)
{
    struct Case {
        const char* what;
        bool commitInner;
        bool commitOuter;
        int rows; // rows after both scopes: outer inserts 1, inner inserts 2
    };
    const Case cases[] = {
        {"both commit", true, true, 3},
        {"inner rolls back, outer commits", false, true, 1},
        {"inner commits, outer rolls back", true, false, 0},
        {"both roll back", false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(m_db.Exec("DELETE FROM t"), SQLITE_OK);
        {
            SQLiteAutoTransaction outer(&m_db);
            ASSERT_TRUE(outer.IsActive());
            ASSERT_TRUE(Insert(m_db, "outer"));
            {
                SQLiteAutoTransaction inner(&m_db);
                ASSERT_TRUE(inner.IsActive());
                ASSERT_TRUE(Insert(m_db, "inner 1"));
                ASSERT_TRUE(Insert(m_db, "inner 2"));
                if (c.commitInner) {
                    EXPECT_TRUE(inner.Commit());
                }
            }
            EXPECT_TRUE(m_db.InTransaction()); // the inner scope never ends the outer one
            if (c.commitOuter) {
                EXPECT_TRUE(outer.Commit());
            }
        }
        EXPECT_FALSE(m_db.InTransaction());
        EXPECT_EQ(Count(m_db), c.rows);
    }
}

TEST_F(SQLiteWrapperTest, FailedCommitRollsBack)
{
    // A deferred foreign key makes the commit itself fail.
    ASSERT_EQ(m_db.Exec("PRAGMA foreign_keys = ON;"
                        "CREATE TABLE parent(id INTEGER PRIMARY KEY);"
                        "CREATE TABLE child(p INTEGER REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED);"),
              SQLITE_OK);
    {
        SQLiteAutoTransaction transaction(&m_db);
        ASSERT_TRUE(Insert(m_db, "with the bad child"));
        ASSERT_EQ(m_db.Exec("INSERT INTO child(p) VALUES(42)"), SQLITE_OK);
        EXPECT_FALSE(transaction.Commit());
        EXPECT_FALSE(transaction.IsActive());
    }
    EXPECT_FALSE(m_db.InTransaction());
    EXPECT_EQ(Count(m_db), 0);
}
