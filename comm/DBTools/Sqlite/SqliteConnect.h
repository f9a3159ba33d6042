#pragma once
// A connection to one SQLite database file. Paths are in the system code page; values come
// back as the engine stores them (UTF-8 text), without conversion.
#include "comm/DBTools/Sqlite/DBConnect.h"

#include <mutex>

struct sqlite3;

class CSqliteConnect : public CDBConnect {
public:
    CSqliteConnect() = default;
    // Does not close the engine handle: callers Close first.
    ~CSqliteConnect() override = default;
    CSqliteConnect(const CSqliteConnect&) = delete;
    CSqliteConnect& operator=(const CSqliteConnect&) = delete;

    std::string GetDBPath() override;
    bool Open(const std::string& path, bool create) override;
    bool Close() override;
    bool ExecCmd(const std::string& sql, int& error, int& changedRows) override;
    bool ExecCmd(const std::string& sql, int& error) override;
    bool BatchExecSQLList(const std::deque<std::string>& statements) override;
    bool BatchExecSQLList(const std::vector<std::string>& statements) override;
    bool BatchExecSQLList(const std::list<std::string>& statements) override;
    bool ExecSQL(const std::string& sql, std::vector<std::string>& columnNames,
                 std::list<DBRow>& rows) override;
    bool ExecSQL(const std::string& sql, CDBRecordSet** recordSet, int& error) override;
    bool CloseRS(CDBRecordSet* recordSet) override;
    bool GetDBTableInfo(std::list<DBTableInfo>& tables) override;
    bool GetDBTableContext(const DBTableInfo& table, std::vector<std::string>& columnNames,
                           std::list<DBRow>& rows) override;

    bool GetTableNameList(std::list<std::string>& names);
    bool GetColInfoByTblName(const std::string& table, std::list<DBColumnInfo>& columns);

    bool IsOpen();

private:
    template <typename Sequence>
    bool BatchExec(const Sequence& statements);

    std::recursive_mutex lock_;
    std::string path_;
    sqlite3* m_pDB = nullptr;
};
