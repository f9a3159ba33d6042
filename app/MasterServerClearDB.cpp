#include "app/MasterServerClearDB.h"

#include "app/RowLoop.h"
#include "comm/DBTools/Sqlite/SqliteConnect.h"

namespace {
const char kGameDisksSql[] =
    "select b.ServerSymbol from tbl_korvexservercfg a,tbl_korvexserverdiskcfg b where a.MainServer=1 and "
    "b.Addr=a.Addr and b.ServerSymbolPurpose=1;";
const char kDownDisksSql[] = "select*from tbl_KorvexServerDownDiskCfg;";
const char kNetUserSql[] =
    "select a.Item,a.Section,a.value from tbl_BarServerConfig a where a.Section='NetUser' and a.item='Path';";
const char kPackagesSql[] = "Select LocalPath from tbl_Package where PkgVersion>0;";
const char kDiskPackagesSql[] =
    "select B.[LocalPath], C.[ServerSymbol] from tbl_KorvexServerDiskPkgCfg A, tbl_Package B, "
    "tbl_KorvexServerDiskCfg C  where A.[Pkgid] = B.[Pkgid] and C.[Diskid] = A.[Diskid] and A.[DiskId] in  "
    "(select D.[DiskId] from tbl_KorvexServerCfg C,tbl_KorvexServerDiskCfg D where C.[MainServer] = 1 and "
    "D.[Addr] = d.[Addr]);";
const char kDownPathsSql[] = "select DownPath from tbl_pkgdownstat;";
const char* const kProtectedFolders[] = {":\\PreDown", ":\\PersonUDisk"};
} // namespace

CMasterServerClearDB::CMasterServerClearDB(std::string dbPath) : CServerClearDB(std::move(dbPath)) {}

std::string CMasterServerClearDB::PkgDownDBPath(const std::string& barServerDBPath)
{
    const size_t at = barServerDBPath.rfind("barserver.db");
    return (at == std::string::npos ? barServerDBPath : barServerDBPath.substr(0, at)) + "pkgdown.db";
}

template <typename OnRow>
void CMasterServerClearDB::RootQuery(CDBConnect& db, const char* sql, OnRow&& onRow)
{
    if (!ForEachRow(db, sql, onRow)) {
        DebugTrace(LOG_ERROR, "GameRootDirInit ExecSQL Error");
        db.Close();
    }
}

bool CMasterServerClearDB::GameRootDirInit()
{
    CSqliteConnect db;
    if (!db.Open(DbPath(), false)) {
        DebugTrace(LOG_ERROR, "GameRootDirInit Open Error");
        return false;
    }
    RootQuery(db, kGameDisksSql, [this](CDBRecordSet& row) {
        const std::string symbol = ReadText(row, "ServerSymbol");
        if (!symbol.empty())
            SetDiskBits(symbol, GameDisk::kGameDiskBit);
    });
    RootQuery(db, kDownDisksSql, [this](CDBRecordSet& row) {
        const std::string symbol = ReadText(row, "ServerSymbol");
        if (!symbol.empty())
            SetDiskBits(symbol, GameDisk::kDownloadDiskBit);
    });
    RootQuery(db, kNetUserSql, [this](CDBRecordSet& row) { SetKnownDirAnyEncoding(ReadText(row, "Value")); });
    db.Close();
    return true;
}

bool CMasterServerClearDB::LoadGamePathInit()
{
    GameDiskList disks;
    GetDiskList(disks);
    for (const auto& disk : disks) {
        for (const char* folder : kProtectedFolders)
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
    const bool diskPackagesRead = ForEachRow(db, kDiskPackagesSql, [this](CDBRecordSet& row) {
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

bool CMasterServerClearDB::LoadPkgDownPath()
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
