#include "comm/DBTools/Sqlite/SqliteConnect.h"

#include "comm/DBTools/Sqlite/SqliteRecordSet.h"
#include "comm/FileRemove.h"
#include "comm/LogFile.h"

#include <windows.h>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <new>
#include <set>

namespace {
const char kSource[] = "comm/DBTools/Sqlite/SqliteConnect";

// System code page to UTF-8; empty when the path is not valid in the code page.
std::string AnsiToUtf8(const std::string& narrow)
{
    const std::wstring wide = AnsiToWide(narrow);
    if (wide.empty() || wide.size() > static_cast<size_t>(INT_MAX))
        return std::string();
    const int wideLen = static_cast<int>(wide.size());
    const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
    if (len <= 0)
        return std::string();
    std::string utf8(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, &utf8[0], len, nullptr, nullptr);
    return utf8;
}

bool IsRegularFile(const std::string& path)
{
    const std::wstring wide = AnsiToWide(path);
    if (wide.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
} // namespace

std::string CSqliteConnect::GetDBPath()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return path_;
}

bool CSqliteConnect::IsOpen()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    return m_pDB != nullptr;
}

bool CSqliteConnect::Open(const std::string& path, bool create)
{
    WriteLog(LOG_INFO, kSource, __LINE__, "CSqliteConnect::Open", "Sqlite Open [%s], Create=%d.",
             path.c_str(), create ? 1 : 0);
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (m_pDB)
        Close();
    if (!create && !IsRegularFile(path))
        return false;

    const std::string utf8 = AnsiToUtf8(path);
    if (utf8.empty()) {
        // Not a path of the system code page: the engine would open some other file.
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::Open", "sqlite3_open failed. Ret=%d.",
                 SQLITE_CANTOPEN);
        return false;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(utf8.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::Open", "sqlite3_open failed. Ret=%d.", rc);
        if (db)
            sqlite3_close(db); // the engine hands out a handle even on failure
        return false;
    }
    if (!db) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::Open", "sqlite3_open failed. m_pDB is NULL.");
        return false;
    }
    m_pDB = db;
    path_ = path;
    sqlite3_busy_timeout(m_pDB, 3000);
    int ignored = 0;
    ExecCmd("PRAGMA cache_size = 8000", ignored);
    ExecCmd("PRAGMA synchronous = OFF", ignored);
    ExecCmd("PRAGMA temp_store = MEMORY", ignored);
    return true;
}

bool CSqliteConnect::Close()
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!m_pDB)
        return true;
    // close_v2 never leaves the handle half-open: statements still alive keep the engine's
    // connection until they are finalized, while this object is closed at once.
    const int rc = sqlite3_close_v2(m_pDB);
    m_pDB = nullptr;
    if (rc != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::Close", "sqlite3_close failed. Ret=%d.", rc);
        return false;
    }
    return true;
}

bool CSqliteConnect::ExecCmd(const std::string& sql, int& error)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!m_pDB) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecCmd",
                 "CSqliteConnect::Exec Filed, m_pDB is NULL");
        return false;
    }
    WriteLog(LOG_TRACE, kSource, __LINE__, "CSqliteConnect::ExecCmd", "[SQL]: %s", sql.c_str());
    error = sqlite3_exec(m_pDB, sql.c_str(), nullptr, nullptr, nullptr);
    if (error != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecCmd",
                 "sqlite3_exec failed. Ret=%d. SQL=%s.", error, sql.c_str());
        return false;
    }
    return true;
}

bool CSqliteConnect::ExecCmd(const std::string& sql, int& error, int& changedRows)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    changedRows = 0;
    if (!ExecCmd(sql, error))
        return false;
    changedRows = sqlite3_changes(m_pDB);
    return true;
}

template <typename Sequence>
bool CSqliteConnect::BatchExec(const Sequence& statements)
{
    if (statements.empty())
        return true;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!m_pDB) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::BatchExecSQLList",
                 "CSqliteConnect::Exec Filed, m_pDB is NULL");
        return false;
    }
    int status = sqlite3_exec(m_pDB, "BEGIN TRANSACTION", nullptr, nullptr, nullptr);
    for (const std::string& sql : statements) {
        WriteLog(LOG_TRACE, kSource, __LINE__, "CSqliteConnect::BatchExecSQLList", "[SQL]: %s.", sql.c_str());
        status |= sqlite3_exec(m_pDB, sql.c_str(), nullptr, nullptr, nullptr);
        if (status != SQLITE_OK) {
            WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::BatchExecSQLList",
                     "sqlite3_exec failed, sql=%s. Ret=%d.", sql.c_str(), status);
            break;
        }
    }
    if (status != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::BatchExecSQLList", "exec sql failed. ROLLBACK");
        sqlite3_exec(m_pDB, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    if (sqlite3_exec(m_pDB, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::BatchExecSQLList", "COMMIT failed");
        return false;
    }
    return true;
}

bool CSqliteConnect::BatchExecSQLList(const std::deque<std::string>& statements)
{
    return BatchExec(statements);
}

bool CSqliteConnect::BatchExecSQLList(const std::vector<std::string>& statements)
{
    return BatchExec(statements);
}

bool CSqliteConnect::BatchExecSQLList(const std::list<std::string>& statements)
{
    return BatchExec(statements);
}

bool CSqliteConnect::ExecSQL(const std::string& sql, CDBRecordSet** recordSet, int& error)
{
    WriteLog(LOG_TRACE, kSource, __LINE__, "CSqliteConnect::ExecSQL", "[SQL]: %s", sql.c_str());
    CSqliteRecordSet* rs = new (std::nothrow) CSqliteRecordSet(this);
    if (!rs) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL",
                 "Alloc CSqliteRecordSet Failed, SQL=%s.", sql.c_str());
        return false;
    }
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!m_pDB) {
        // The engine reports a closed handle as misuse; say so instead of touching it.
        error = SQLITE_MISUSE;
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL",
                 "Error on sqlite3_prepare: %s, Ret=%d.", "m_pDB is NULL", error);
        delete rs;
        return false;
    }
    error = sqlite3_prepare(m_pDB, sql.c_str(), -1, &rs->stmt_, nullptr);
    if (error != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL",
                 "Error on sqlite3_prepare: %s, Ret=%d.", sqlite3_errmsg(m_pDB), error);
        delete rs;
        return false;
    }
    if (!rs->stmt_) {
        // Blank text or only a comment: nothing to step.
        error = SQLITE_MISUSE;
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL",
                 "Error on sqlite3_prepare: %s, Ret=%d.", "empty statement", error);
        delete rs;
        return false;
    }
    if (rs->Init()) {
        *recordSet = rs;
        return true;
    }
    WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL", "Error on sqlite3_prepare: %s, Ret=%d.",
             sqlite3_errmsg(m_pDB), sqlite3_errcode(m_pDB));
    CloseRS(rs);
    return false;
}

bool CSqliteConnect::ExecSQL(const std::string& sql, std::vector<std::string>& columnNames,
                             std::list<DBRow>& rows)
{
    CDBRecordSet* rs = nullptr;
    int error = 0;
    if (!ExecSQL(sql, &rs, error)) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL", "收集数据 ExecCmd return %d. SQL=%s",
                 error, sql.c_str());
        delete rs;
        return false;
    }
    rs->GetColumnNames(columnNames);
    while (!rs->IsEOF()) {
        DBRow row;
        for (const std::string& name : columnNames) {
            std::string value;
            rs->GetFieldValue(name, value, true);
            row.push_back(value);
        }
        rows.push_back(std::move(row));
        rs->MoveNext();
    }
    const bool stepFailed = rs->StepFailed();
    if (!CloseRS(rs)) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::ExecSQL", "收集数据 CloseRS Failed.");
        return false;
    }
    // A step error leaves the rows incomplete; finalize reports it too, so this is a guard
    // for an engine that would not.
    return !stepFailed;
}

bool CSqliteConnect::CloseRS(CDBRecordSet* recordSet)
{
    if (!recordSet)
        return false;
    const bool ok = recordSet->Exit();
    delete recordSet;
    return ok;
}

bool CSqliteConnect::GetTableNameList(std::list<std::string>& names)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!m_pDB) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetTableNameList",
                 "CSqliteConnect::GetTableNameList Failed, m_pDB is NULL");
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare(m_pDB, "select * from sqlite_master where type=\"table\"", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetTableNameList",
                 "CSqliteConnect::GetTableNameList sqlite3_prepare Failed, Ret is %d", rc);
        return false;
    }
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* name = sqlite3_column_text(stmt, 2);
        if (name && *name)
            names.push_back(reinterpret_cast<const char*>(name));
    }
    sqlite3_finalize(stmt);
    return true;
}

bool CSqliteConnect::GetColInfoByTblName(const std::string& table, std::list<DBColumnInfo>& columns)
{
    std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!m_pDB) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetColInfoByTblName",
                 "GetColumnInfo Filed, m_pDB is NULL");
        return false;
    }
    const std::string sql = "select * from " + table;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare(m_pDB, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK || !stmt) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetColInfoByTblName",
                 "GetColInfoByTblName Filed, sqlite3_prepare Failed, TableName=%s.", table.c_str());
        return false;
    }
    const int count = sqlite3_column_count(stmt);
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(stmt, i);
        const char* declaredType = nullptr;
        int primaryKey = 0;
        if (!name || sqlite3_table_column_metadata(m_pDB, nullptr, table.c_str(), name, &declaredType, nullptr,
                                                   nullptr, &primaryKey, nullptr) != SQLITE_OK) {
            WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetColInfoByTblName",
                     "sqlite3_table_column_metadata Filed, TblName=%s, ColIndex=%d.", table.c_str(), i);
            sqlite3_finalize(stmt);
            return false;
        }
        DBColumnInfo info;
        info.name = name;
        info.isPrimaryKey = primaryKey != 0;
        std::string type = declaredType ? declaredType : "";
        std::transform(type.begin(), type.end(), type.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        if (type.compare(0, 7, "VARCHAR") == 0) {
            info.type = 3;
            const size_t open = type.find('(');
            if (open != std::string::npos)
                info.length = std::atoi(type.c_str() + open + 1);
        }
        columns.push_back(info);
    }
    sqlite3_finalize(stmt);
    return true;
}

bool CSqliteConnect::GetDBTableInfo(std::list<DBTableInfo>& tables)
{
    tables.clear();
    std::list<std::string> names;
    if (!GetTableNameList(names)) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetDBTableInfo", "获取表列表失败");
        return false;
    }
    for (const std::string& name : names) {
        DBTableInfo table;
        table.name = name;
        if (!GetColInfoByTblName(name, table.columns)) {
            tables.clear();
            return false;
        }
        tables.push_back(std::move(table));
    }
    return true;
}

bool CSqliteConnect::GetDBTableContext(const DBTableInfo& table, std::vector<std::string>& columnNames,
                                       std::list<DBRow>& rows)
{
    columnNames.clear();
    std::vector<std::string> keyColumns;
    std::string sql = "select ";
    bool first = true;
    for (const DBColumnInfo& column : table.columns) {
        columnNames.push_back(column.name);
        if (column.isPrimaryKey)
            keyColumns.push_back(column.name);
        if (!first)
            sql += ",";
        sql += "[" + column.name + "]";
        first = false;
    }
    sql += " from " + table.name;

    CDBRecordSet* rs = nullptr;
    int error = 0;
    if (!ExecSQL(sql, &rs, error)) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetDBTableContext",
                 "GetDBTableContext ExecCmd return %d. SQL=%s", error, sql.c_str());
        return false;
    }
    std::set<std::string> seenKeys;
    while (!rs->IsEOF()) {
        DBRow row;
        std::string key;
        bool stop = false;
        for (const std::string& name : columnNames) {
            std::string value;
            rs->GetFieldValue(name, value, true);
            if (std::find(keyColumns.begin(), keyColumns.end(), name) != keyColumns.end()) {
                if (value.empty()) {
                    WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetDBTableContext",
                             "GetDBTableContext Table[%s] Primary key [%s] val is empty", table.name.c_str(),
                             name.c_str());
                    stop = true;
                    break;
                }
                key += value;
            }
            row.push_back(value);
        }
        if (stop)
            break;
        if (!key.empty() && !seenKeys.insert(key).second) {
            WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetDBTableContext",
                     "GetDBTableContext table[%s] key[%s] exist", table.name.c_str(), key.c_str());
            break;
        }
        rows.push_back(std::move(row));
        rs->MoveNext();
    }
    if (!CloseRS(rs)) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteConnect::GetDBTableContext",
                 "GetDBTableContext CloseRS Failed.");
        return false;
    }
    return true;
}
