#pragma once
// Base of the application classes that log under a module name.
#include "comm/LogFile.h"

class CModuleLog {
public:
    explicit CModuleLog(const char* moduleName);
    virtual ~CModuleLog() = default;

    // Writes "[module] message" at the given level.
    void DebugTrace(unsigned level, const char* format, ...) const
#ifdef __GNUC__
        __attribute__((format(gnu_printf, 3, 4)))
#endif
        ;

    const char* ModuleName() const { return moduleName_; }

private:
    char moduleName_[64] = {};
};
