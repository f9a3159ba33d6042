#include "comm/DBTools/Sqlite/SqliteRecordSet.h"

#include "comm/LogFile.h"

#include <sqlite3.h>

namespace {
const char kSource[] = "comm/DBTools/Sqlite/SqliteRecordSet";
}

CSqliteRecordSet::CSqliteRecordSet(CSqliteConnect* connection) : connection_(connection) {}

CSqliteRecordSet::~CSqliteRecordSet()
{
    // Exit normally finalizes; a record set deleted without it must not leak the statement.
    if (stmt_)
        sqlite3_finalize(stmt_);
}

bool CSqliteRecordSet::IsEOF()
{
    return eof_;
}

bool CSqliteRecordSet::MoveNext()
{
    if (eof_ || !stmt_)
        return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        ++rowIndex_;
        return true;
    }
    if (rc != SQLITE_DONE) {
        // An engine error ends the rows too: a loop on IsEOF must not step a failed
        // statement forever. StepFailed tells the caller the result is incomplete.
        stepFailed_ = true;
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteRecordSet::MoveNext",
                 "CSqliteRecordSet::MoveNext sqlite3_step Failed, Ret=%d.", rc);
    }
    eof_ = true;
    return false;
}

int CSqliteRecordSet::ColumnIndex(const std::string& column) const
{
    const auto it = columns_.find(column);
    return it == columns_.end() ? -1 : it->second;
}

bool CSqliteRecordSet::GetFieldValue(const std::string& column, const void*& data, int& bytes)
{
    data = nullptr;
    bytes = 0;
    const int index = ColumnIndex(column);
    if (index < 0)
        return false;
    data = sqlite3_column_blob(stmt_, index);
    bytes = sqlite3_column_bytes(stmt_, index);
    return true;
}

bool CSqliteRecordSet::GetFieldValue(const std::string& column, std::string& value, bool trim)
{
    value.clear();
    const int index = ColumnIndex(column);
    if (index < 0)
        return false;
    const unsigned char* text = sqlite3_column_text(stmt_, index);
    if (!text)
        return true; // NULL reads as empty text
    const int bytes = sqlite3_column_bytes(stmt_, index);
    value.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(bytes));
    if (trim) {
        const size_t first = value.find_first_not_of(' ');
        if (first == std::string::npos) {
            value.clear();
        } else {
            value.erase(value.find_last_not_of(' ') + 1);
            value.erase(0, first);
        }
    }
    return true;
}

bool CSqliteRecordSet::GetFieldValue(const std::string& column, int64_t& value)
{
    value = 0;
    const int index = ColumnIndex(column);
    if (index < 0)
        return false;
    value = sqlite3_column_int64(stmt_, index);
    return true;
}

bool CSqliteRecordSet::GetFieldValue(const std::string& column, int& value)
{
    int64_t wide = 0;
    const bool ok = GetFieldValue(column, wide);
    value = static_cast<int>(static_cast<uint32_t>(wide));
    return ok;
}

bool CSqliteRecordSet::GetFieldValue(const std::string& column, long& value)
{
    int64_t wide = 0;
    const bool ok = GetFieldValue(column, wide);
    value = static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(wide)));
    return ok;
}

bool CSqliteRecordSet::GetColumnNames(std::vector<std::string>& names)
{
    names.clear();
    std::map<int, std::string> byIndex;
    for (const auto& entry : columns_)
        byIndex[entry.second] = entry.first;
    for (const auto& entry : byIndex)
        names.push_back(entry.second);
    return true;
}

bool CSqliteRecordSet::Init()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE)
        eof_ = true;
    else if (rc != SQLITE_ROW)
        return false;
    const int count = sqlite3_column_count(stmt_);
    columnCount_ = static_cast<unsigned short>(count);
    for (int i = 0; i < count; ++i) {
        const char* name = sqlite3_column_name(stmt_, i);
        if (name)
            columns_[name] = i;
    }
    return true;
}

bool CSqliteRecordSet::Exit()
{
    const int rc = sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    if (rc != SQLITE_OK) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CSqliteRecordSet::Exit",
                 "CSqliteRecordSet::Exit sqlite3_finalize Failed, Ret=%d.", rc);
        return false;
    }
    return true;
}
