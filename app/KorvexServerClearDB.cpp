#include "app/KorvexServerClearDB.h"

#include "app/RowLoop.h"
#include "comm/DBTools/Sqlite/SqliteConnect.h"

namespace {
const char kNetUserSql[] =
    "select a.Item,a.Section,a.value from tbl_BarServerConfig a where a.Section='NetUser' and a.item='Path';";
const char kPackagesSql[] = "Select LocalPath from tbl_Package where PkgVersion>0;";
const char kDownPathsSql[] = "select DownPath from tbl_pkgdownstat;";
} // namespace

CKorvexServerClearDB::CKorvexServerClearDB(std::string dbPath) : CServerClearDB(std::move(dbPath)) {}

std::string CKorvexServerClearDB::PkgDownDBPath(const std::string& barServerDBPath)
{
    const size_t at = barServerDBPath.rfind("barserver.db");
    return (at == std::string::npos ? barServerDBPath : barServerDBPath.substr(0, at)) + "pkgdown.db";
}

void CKorvexServerClearDB::ReadDiskBits(CDBConnect& db, const char* sql, int32_t bit)
{
    const bool read = ForEachRow(db, sql, [this, bit](CDBRecordSet& row) {
        const std::string symbol = ReadText(row, "ServerSymbol");
        if (!symbol.empty())
            SetDiskBits(symbol, bit);
    });
    if (!read) {
        DebugTrace(LOG_ERROR, "GameRootDirInit ExecSQL Error");
        db.Close();
    }
}

void CKorvexServerClearDB::ReadNetUserPaths(CDBConnect& db)
{
    const bool read = ForEachRow(db, kNetUserSql, [this](CDBRecordSet& row) {
        SetKnownDirAnyEncoding(ReadText(row, "Value"));
    });
    if (!read) {
        DebugTrace(LOG_ERROR, "GameRootDirInit ExecSQL Error");
        db.Close();
    }
}

bool CKorvexServerClearDB::LoadKnownPaths(std::initializer_list<const char*> protectedFolders,
                                          const char* diskPackagesSql)
{
    GameDiskList disks;
    GetDiskList(disks);
    for (const auto& disk : disks) {
        for (const char* folder : protectedFolders)
            SetKnownMarker(disk.first + folder, kKnownDir);
    }

    CSqliteConnect db;
    if (!db.Open(DbPath(), false)) {
        DebugTrace(LOG_ERROR, "LoadGamePathInit Open Error");
        return false;
    }
    const bool packagesRead = ForEachRow(db, kPackagesSql, [this](CDBRecordSet& row) {
        const std::string localPath = ReadText(row, "LocalPath");
        if (!localPath.empty())
            AddKnownPathAnyEncoding(localPath);
    });
    if (!packagesRead) {
        DebugTrace(LOG_ERROR, "LoadGamePathInit ExecSQL Error");
        db.Close();
        return false;
    }
    const bool diskPackagesRead = ForEachRow(db, diskPackagesSql, [this](CDBRecordSet& row) {
        const std::string localPath = ReadText(row, "LocalPath");
        const std::string symbol = ReadText(row, "ServerSymbol");
        // The package's own drive letter is replaced by the server disk's.
        if (symbol.size() == 1 && !localPath.empty())
            AddKnownPathAnyEncoding(symbol + localPath.substr(1));
    });
    if (!diskPackagesRead) {
        DebugTrace(LOG_ERROR, "LoadGamePathInit ExecSQL tbl_KorvexServerDiskPkgCfg Error");
        db.Close();
        return false;
    }
    db.Close();
    return LoadPkgDownPath();
}

bool CKorvexServerClearDB::LoadPkgDownPath()
{
    CSqliteConnect db;
    if (!db.Open(PkgDownDBPath(DbPath()), false)) {
        DebugTrace(LOG_ERROR, "LoadPkgDownPath Open Error");
        return false;
    }
    const bool read = ForEachRow(db, kDownPathsSql, [this](CDBRecordSet& row) {
        const std::string downPath = ReadText(row, "DownPath");
        if (!downPath.empty())
            AddKnownPathAnyEncoding(downPath);
    });
    if (!read) {
        DebugTrace(LOG_ERROR, "LoadPkgDownPath ExecSQL Error");
        db.Close();
        return false;
    }
    db.Close();
    return true;
}
