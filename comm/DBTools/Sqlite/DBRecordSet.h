#pragma once
// Forward-only cursor over the rows of one query, with column access by name.
#include <cstdint>
#include <string>
#include <vector>

class CDBRecordSet {
public:
    virtual ~CDBRecordSet() = default;

    virtual bool IsEOF() = 0;
    // Steps to the next row. False at the end of the rows and on an engine error; either
    // way the cursor then reports IsEOF, so a loop on IsEOF alone always ends.
    virtual bool MoveNext() = 0;
    virtual bool GetFieldValue(const std::string& column, const void*& data, int& bytes) = 0;
    virtual bool GetFieldValue(const std::string& column, std::string& value, bool trim) = 0;
    virtual bool GetFieldValue(const std::string& column, int64_t& value) = 0;
    virtual bool GetFieldValue(const std::string& column, int& value) = 0;
    virtual bool GetFieldValue(const std::string& column, long& value) = 0;
    virtual bool GetColumnNames(std::vector<std::string>& names) = 0;
    virtual bool Init() = 0;
    virtual bool Exit() = 0;
    // True when the row loop ended on an engine error instead of the end of the rows: the
    // rows read so far are then not the whole result.
    virtual bool StepFailed() const = 0;
};
