#pragma once
// Abstract database connection: open a file, run statements, read rows.
#include <deque>
#include <list>
#include <string>
#include <vector>

class CDBRecordSet;

// One column of a table: type 3 for a declared VARCHAR(n) (length n), 1 for anything else.
struct DBColumnInfo {
    std::string name;
    int type = 1;
    bool isPrimaryKey = false;
    int length = 0;
};

struct DBTableInfo {
    std::string name;
    std::list<DBColumnInfo> columns;
};

using DBRow = std::vector<std::string>;

class CDBConnect {
public:
    virtual ~CDBConnect() = default;

    virtual std::string GetDBPath() = 0;
    virtual bool Open(const std::string& path, bool create) = 0;
    virtual bool Close() = 0;
    virtual bool ExecCmd(const std::string& sql, int& error, int& changedRows) = 0;
    virtual bool ExecCmd(const std::string& sql, int& error) = 0;
    virtual bool BatchExecSQLList(const std::deque<std::string>& statements) = 0;
    virtual bool BatchExecSQLList(const std::vector<std::string>& statements) = 0;
    virtual bool BatchExecSQLList(const std::list<std::string>& statements) = 0;
    virtual bool ExecSQL(const std::string& sql, std::vector<std::string>& columnNames,
                         std::list<DBRow>& rows) = 0;
    // recordSet must be null on entry; on success it holds a record set the caller releases
    // with CloseRS.
    virtual bool ExecSQL(const std::string& sql, CDBRecordSet** recordSet, int& error) = 0;
    virtual bool CloseRS(CDBRecordSet* recordSet) = 0;
    virtual bool GetDBTableInfo(std::list<DBTableInfo>& tables) = 0;
    virtual bool GetDBTableContext(const DBTableInfo& table, std::vector<std::string>& columnNames,
                                   std::list<DBRow>& rows) = 0;
};
