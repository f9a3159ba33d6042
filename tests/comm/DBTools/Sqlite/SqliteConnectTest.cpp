#include "comm/DBTools/Sqlite/SqliteConnect.h"
#include "comm/DBTools/Sqlite/SqliteRecordSet.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>

namespace {

// Runs statements on a fresh connection that creates the file.
void MakeDb(const std::string& path, const std::vector<std::string>& statements)
{
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(path, true));
    int err = 0;
    for (const auto& sql : statements)
        ASSERT_TRUE(db.ExecCmd(sql, err)) << sql;
    db.Close();
}

struct RecordSetCloser {
    CSqliteConnect* db;
    void operator()(CDBRecordSet* rs) const { db->CloseRS(rs); }
};
using RecordSetPtr = std::unique_ptr<CDBRecordSet, RecordSetCloser>;

RecordSetPtr Query(CSqliteConnect& db, const std::string& sql)
{
    CDBRecordSet* rs = nullptr;
    int err = 0;
    if (!db.ExecSQL(sql, &rs, err))
        rs = nullptr;
    return RecordSetPtr(rs, RecordSetCloser{&db});
}

class SqliteFixture : public testing::Test {
protected:
    TempDir dir;
    std::string dbPath = dir / "t.db";
};

} // namespace

TEST_F(SqliteFixture, OpenCreatesOnlyWhenAsked)
{
    CSqliteConnect db;
    EXPECT_FALSE(db.Open(dbPath, false));
    EXPECT_FALSE(PathExists(dbPath));
    EXPECT_FALSE(db.Open(dir.Path(), false)) << "a directory is not a database file";
    ASSERT_TRUE(db.Open(dbPath, true));
    EXPECT_TRUE(PathExists(dbPath));
    EXPECT_EQ(dbPath, db.GetDBPath());
    EXPECT_TRUE(db.Close());
    EXPECT_TRUE(db.Close()) << "closing a closed connection";
    EXPECT_TRUE(db.Open(dbPath, false));
    db.Close();
}

TEST_F(SqliteFixture, ReopenClosesThePreviousFile)
{
    const std::string other = dir / "other.db";
    MakeDb(dbPath, {"create table t(a)"});
    MakeDb(other, {"create table u(b)"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    ASSERT_TRUE(db.Open(other, false));
    EXPECT_EQ(other, db.GetDBPath());
    // The first file is no longer held open: it can be deleted.
    EXPECT_TRUE(DeleteFileA(dbPath.c_str()));
    EXPECT_TRUE(Query(db, "select * from u") != nullptr);
    db.Close();
}

TEST_F(SqliteFixture, GbkPathOpensTheNamedFile)
{
    const std::string sub = dir / "游戏数据";
    MakeDirs(sub);
    const std::string path = sub + "\\库.db";
    MakeDb(path, {"create table t(a)"});
    // The file exists under its Unicode name, not under a mangled one.
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((std::wstring(dir.Path().begin(), dir.Path().end()) + L"\\\u6E38\u620F\u6570\u636E\\\u5E93.db").c_str()));
    CSqliteConnect db;
    EXPECT_TRUE(db.Open(path, false));
    db.Close();
}

TEST_F(SqliteFixture, TextReadsTrimNullAndNumbers)
{
    MakeDb(dbPath, {"create table t(id integer, Name text, Data blob)",
                    "insert into t values(1, '  abc  ', x'0102')",
                    "insert into t values(2, NULL, NULL)",
                    "insert into t values(3, '   ', 42)",
                    "insert into t values(4, 'D:\\游戏', 4294967297)"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    auto rs = Query(db, "select id, Name, Data from t order by id");
    ASSERT_TRUE(rs);
    struct Row {
        const char* trimmed;
        const char* raw;
        int dataBytes;
    };
    const Row expected[] = {{"abc", "  abc  ", 2}, {"", "", 0}, {"", "   ", 2}, {"D:\\游戏", "D:\\游戏", 10}};
    int n = 0;
    for (; !rs->IsEOF(); rs->MoveNext(), ++n) {
        ASSERT_LT(n, 4);
        std::string value = "junk";
        EXPECT_TRUE(rs->GetFieldValue("Name", value, true));
        EXPECT_EQ(expected[n].trimmed, value);
        EXPECT_TRUE(rs->GetFieldValue("Name", value, false));
        EXPECT_EQ(expected[n].raw, value);
        int64_t id = 0;
        EXPECT_TRUE(rs->GetFieldValue("id", id));
        EXPECT_EQ(n + 1, id);
        std::string idText;
        EXPECT_TRUE(rs->GetFieldValue("id", idText, true)) << "a number reads as its text";
        EXPECT_EQ(std::to_string(n + 1), idText);
        const void* data = nullptr;
        int bytes = -1;
        EXPECT_TRUE(rs->GetFieldValue("Data", data, bytes));
        EXPECT_EQ(expected[n].dataBytes, bytes);
        // Column names are exact and case-sensitive.
        EXPECT_FALSE(rs->GetFieldValue("name", value, true));
        EXPECT_EQ("", value);
        EXPECT_FALSE(rs->GetFieldValue("ID", id));
        EXPECT_EQ(0, id);
    }
    EXPECT_EQ(4, n);
    EXPECT_FALSE(rs->StepFailed());
    rs.reset();

    // The 32-bit reads keep the low 32 bits; the text is UTF-8 as stored (the literal above
    // was GBK, so the bytes are GBK here too: no conversion either way).
    rs = Query(db, "select Data from t where id=4");
    ASSERT_TRUE(rs);
    int low = 0;
    long lowLong = 0;
    EXPECT_TRUE(rs->GetFieldValue("Data", low));
    EXPECT_TRUE(rs->GetFieldValue("Data", lowLong));
    EXPECT_EQ(1, low);
    EXPECT_EQ(1, lowLong);
    rs.reset();
    db.Close();
}

TEST_F(SqliteFixture, EmptyResultAndColumnNames)
{
    MakeDb(dbPath, {"create table t(ServerSymbol text, Addr text, Value text)"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    auto rs = Query(db, "select a.Value, ServerSymbol, 1 as Addr, Addr from t a");
    ASSERT_TRUE(rs);
    EXPECT_TRUE(rs->IsEOF());
    std::vector<std::string> names;
    rs->GetColumnNames(names);
    // The later of two same-named columns wins; a.Value is named as declared.
    EXPECT_EQ((std::vector<std::string>{"Value", "ServerSymbol", "Addr"}), names);
    rs.reset();
    db.Close();
}

TEST_F(SqliteFixture, RowLoopEndsWhenSteppingFails)
{
    // abs() of the smallest 64-bit integer is a run-time error on the second row.
    MakeDb(dbPath, {"create table t(id integer, x integer)", "insert into t values(1, 5)",
                    "insert into t values(2, -9223372036854775808)", "insert into t values(3, 7)"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    CDBRecordSet* rs = nullptr;
    int err = 0;
    ASSERT_TRUE(db.ExecSQL("select abs(x) as v from t", &rs, err));
    int rows = 0;
    while (!rs->IsEOF() && rows < 10) {
        ++rows;
        rs->MoveNext();
    }
    EXPECT_EQ(1, rows);
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_TRUE(rs->StepFailed());
    EXPECT_FALSE(rs->MoveNext());
    db.CloseRS(rs); // reports the statement's error; the record set is gone either way

    std::vector<std::string> names;
    std::list<DBRow> all;
    EXPECT_FALSE(db.ExecSQL("select abs(x) as v from t", names, all))
        << "an incomplete result is not reported as success";
    db.Close();
}

TEST_F(SqliteFixture, FailuresAreFalseNotCrashes)
{
    CSqliteConnect closed;
    int err = -1;
    EXPECT_FALSE(closed.ExecCmd("select 1", err));
    EXPECT_EQ(-1, err) << "error code untouched on a closed connection";
    CDBRecordSet* rs = nullptr;
    EXPECT_FALSE(closed.ExecSQL("select 1", &rs, err));
    EXPECT_EQ(nullptr, rs);
    std::list<std::string> names;
    EXPECT_FALSE(closed.GetTableNameList(names));
    std::list<DBColumnInfo> cols;
    EXPECT_FALSE(closed.GetColInfoByTblName("t", cols));
    EXPECT_FALSE(closed.CloseRS(nullptr));

    MakeDb(dbPath, {"create table t(a)"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    EXPECT_FALSE(db.ExecSQL("select nope from missing_table", &rs, err));
    EXPECT_EQ(nullptr, rs);
    EXPECT_EQ(1, err); // SQLITE_ERROR
    EXPECT_FALSE(db.ExecSQL("   ", &rs, err));
    EXPECT_EQ(nullptr, rs);
    int changed = -1;
    EXPECT_FALSE(db.ExecCmd("insert into missing values(1)", err, changed));
    EXPECT_EQ(0, changed);
    db.Close();
}

TEST_F(SqliteFixture, NotADatabaseFailsOnFirstQuery)
{
    WriteTextFile(dbPath, std::string(4096, 'x'));
    const std::string before = ReadTextFile(dbPath);
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false)); // the engine reads the header lazily
    CDBRecordSet* rs = nullptr;
    int err = 0;
    EXPECT_FALSE(db.ExecSQL("select * from tbl_Package", &rs, err));
    EXPECT_EQ(nullptr, rs);
    EXPECT_EQ(26, err); // SQLITE_NOTADB
    db.Close();
    EXPECT_EQ(before, ReadTextFile(dbPath));
}

TEST_F(SqliteFixture, LockedDatabaseWaitsThenFails)
{
    MakeDb(dbPath, {"create table t(a)", "insert into t values(1)"});
    CSqliteConnect holder;
    ASSERT_TRUE(holder.Open(dbPath, false));
    int err = 0;
    ASSERT_TRUE(holder.ExecCmd("BEGIN EXCLUSIVE", err));
    ASSERT_TRUE(holder.ExecCmd("insert into t values(2)", err));

    CSqliteConnect reader;
    ASSERT_TRUE(reader.Open(dbPath, false));
    CDBRecordSet* rs = nullptr;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(reader.ExecSQL("select a from t", &rs, err));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(nullptr, rs);
    EXPECT_EQ(5, err); // SQLITE_BUSY, after the busy time-out
    EXPECT_GE(waited, std::chrono::milliseconds(2500));
    reader.Close();
    holder.ExecCmd("ROLLBACK", err);
    holder.Close();
}

TEST_F(SqliteFixture, BatchCommitsOrRollsBackAsOne)
{
    MakeDb(dbPath, {"create table t(a integer primary key)"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    EXPECT_TRUE(db.BatchExecSQLList(std::vector<std::string>{}));
    EXPECT_TRUE(db.BatchExecSQLList(std::deque<std::string>{"insert into t values(1)", "insert into t values(2)"}));
    EXPECT_FALSE(db.BatchExecSQLList(std::list<std::string>{"insert into t values(3)", "insert into t values(1)"}));
    std::vector<std::string> names;
    std::list<DBRow> rows;
    ASSERT_TRUE(db.ExecSQL("select a from t order by a", names, rows));
    EXPECT_EQ((std::list<DBRow>{{"1"}, {"2"}}), rows);
    int err = 0, changed = 0;
    EXPECT_TRUE(db.ExecCmd("delete from t", err, changed));
    EXPECT_EQ(2, changed);
    db.Close();
}

TEST_F(SqliteFixture, TableInfoAndContent)
{
    MakeDb(dbPath, {"create table pk2(a varchar(32), b integer, c text, primary key(a, b))",
                    "create table plain(x VarChar(8), y)",
                    "insert into pk2 values('1', 12, ' p ')",
                    "insert into pk2 values('2', 3, 'q')",
                    "insert into pk2 values('11', 2, 'dup')", // key 1|12 and 11|2 both read "112"
                    "insert into pk2 values('5', 5, 'after')"});
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(dbPath, false));
    std::list<DBTableInfo> tables;
    ASSERT_TRUE(db.GetDBTableInfo(tables));
    ASSERT_EQ(2u, tables.size());
    const DBTableInfo& pk2 = tables.front();
    EXPECT_EQ("pk2", pk2.name);
    ASSERT_EQ(3u, pk2.columns.size());
    auto col = pk2.columns.begin();
    EXPECT_EQ("a", col->name);
    EXPECT_EQ(3, col->type);
    EXPECT_EQ(32, col->length);
    EXPECT_TRUE(col->isPrimaryKey);
    ++col;
    EXPECT_EQ(1, col->type);
    EXPECT_TRUE(col->isPrimaryKey);
    ++col;
    EXPECT_FALSE(col->isPrimaryKey);
    EXPECT_EQ(8, tables.back().columns.front().length);

    std::vector<std::string> names;
    std::list<DBRow> rows;
    ASSERT_TRUE(db.GetDBTableContext(pk2, names, rows));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), names);
    // The rows are read in the table's order and stop before the repeated key.
    EXPECT_EQ((std::list<DBRow>{{"1", "12", "p"}, {"2", "3", "q"}}), rows);
    db.Close();
}
