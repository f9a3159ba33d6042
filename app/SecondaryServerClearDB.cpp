#include "app/SecondaryServerClearDB.h"

#include "app/RowLoop.h"
#include "comm/DBTools/Sqlite/SqliteConnect.h"

namespace {
const char kDisksSql[] = "select ServerDisk from tbl_VDiskCfg;";
const char kPackagesSql[] = "Select PkgPath from tbl_VDiskPkgCfg;";
} // namespace

CSecondaryServerClearDB::CSecondaryServerClearDB(std::string dbPath) : CServerClearDB(std::move(dbPath)) {}

bool CSecondaryServerClearDB::IsDownloadDisk(char /*letter*/)
{
    return false;
}

bool CSecondaryServerClearDB::GameRootDirInit()
{
    CSqliteConnect db;
    if (!db.Open(DbPath(), false)) {
        DebugTrace(LOG_ERROR, "GameRootDirInit Open Error");
        return false;
    }
    // The purpose is the number of the row that named the disk, counting empty rows too.
    int32_t rowNumber = 0;
    const bool read = ForEachRow(db, kDisksSql, [this, &rowNumber](CDBRecordSet& row) {
        const std::string symbol = ReadText(row, "ServerDisk");
        if (!symbol.empty())
            SetDiskPurpose(symbol, rowNumber);
        ++rowNumber;
    });
    if (!read)
        DebugTrace(LOG_ERROR, "GameRootDirInit ExecSQL Error");
    db.Close();
    return true;
}

bool CSecondaryServerClearDB::LoadGamePathInit()
{
    CSqliteConnect db;
    if (!db.Open(DbPath(), false)) {
        DebugTrace(LOG_ERROR, "LoadGamePathInit Open Error");
        return false;
    }
    const bool read = ForEachRow(db, kPackagesSql, [this](CDBRecordSet& row) {
        const std::string pkgPath = ReadText(row, "PkgPath");
        if (!pkgPath.empty())
            AddKnownPathAnyEncoding(pkgPath);
    });
    db.Close();
    if (!read) {
        // Without the package list nothing on the disks is known to be in use: a walk now
        // would offer every game directory, so the load fails instead.
        DebugTrace(LOG_ERROR, "LoadGamePathInit ExecSQL Error");
        return false;
    }
    return true;
}
