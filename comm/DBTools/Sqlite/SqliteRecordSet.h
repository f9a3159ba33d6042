#pragma once
// The rows of one SQLite query. Created by CSqliteConnect::ExecSQL; the statement is
// finalized by Exit.
#include "comm/DBTools/Sqlite/DBRecordSet.h"

#include <map>

struct sqlite3_stmt;
class CSqliteConnect;

class CSqliteRecordSet : public CDBRecordSet {
public:
    explicit CSqliteRecordSet(CSqliteConnect* connection);
    ~CSqliteRecordSet() override;
    CSqliteRecordSet(const CSqliteRecordSet&) = delete;
    CSqliteRecordSet& operator=(const CSqliteRecordSet&) = delete;

    bool IsEOF() override;
    bool MoveNext() override;
    bool GetFieldValue(const std::string& column, const void*& data, int& bytes) override;
    bool GetFieldValue(const std::string& column, std::string& value, bool trim) override;
    bool GetFieldValue(const std::string& column, int64_t& value) override;
    bool GetFieldValue(const std::string& column, int& value) override;
    bool GetFieldValue(const std::string& column, long& value) override;
    bool GetColumnNames(std::vector<std::string>& names) override;
    bool Init() override;
    bool Exit() override;
    bool StepFailed() const override { return stepFailed_; }

    int RowIndex() const { return rowIndex_; }

private:
    friend class CSqliteConnect;
    // Index of a column of the result, or -1.
    int ColumnIndex(const std::string& column) const;

    bool eof_ = false;
    sqlite3_stmt* stmt_ = nullptr;
    int rowIndex_ = -1;
    unsigned short columnCount_ = 0;
    std::map<std::string, int> columns_;
    CSqliteConnect* connection_ = nullptr;
    bool stepFailed_ = false;
};
