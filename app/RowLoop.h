#pragma once
// The scanners' way of reading a query: every row in order, the record set released before
// returning, and a failure whenever the rows could not all be read.
#include "comm/DBTools/Sqlite/DBConnect.h"
#include "comm/DBTools/Sqlite/DBRecordSet.h"

#include <string>

// Runs sql and calls onRow(recordSet) for each row. False when the query fails, yields no
// record set, or stepping fails part-way (the rows read until then have been handed out).
template <typename OnRow>
bool ForEachRow(CDBConnect& db, const std::string& sql, OnRow&& onRow)
{
    CDBRecordSet* rs = nullptr;
    int error = 0;
    if (!db.ExecSQL(sql, &rs, error) || !rs) {
        db.CloseRS(rs);
        return false;
    }
    while (!rs->IsEOF()) {
        onRow(*rs);
        rs->MoveNext();
    }
    const bool complete = !rs->StepFailed();
    db.CloseRS(rs);
    return complete;
}

// A column of the current row as text without surrounding spaces; empty if absent or NULL.
inline std::string ReadText(CDBRecordSet& row, const char* column)
{
    std::string value;
    row.GetFieldValue(column, value, true);
    return value;
}
