#include "app/MasterServerClearDB.h"

#include "comm/DBTools/Sqlite/SqliteConnect.h"

namespace {
const char kGameDisksSql[] =
    "select b.ServerSymbol from tbl_korvexservercfg a,tbl_korvexserverdiskcfg b where a.MainServer=1 and "
    "b.Addr=a.Addr and b.ServerSymbolPurpose=1;";
const char kDownDisksSql[] = "select*from tbl_KorvexServerDownDiskCfg;";
const char kDiskPackagesSql[] =
    "select B.[LocalPath], C.[ServerSymbol] from tbl_KorvexServerDiskPkgCfg A, tbl_Package B, "
    "tbl_KorvexServerDiskCfg C  where A.[Pkgid] = B.[Pkgid] and C.[Diskid] = A.[Diskid] and A.[DiskId] in  "
    "(select D.[DiskId] from tbl_KorvexServerCfg C,tbl_KorvexServerDiskCfg D where C.[MainServer] = 1 and "
    "D.[Addr] = d.[Addr]);";
} // namespace

CMasterServerClearDB::CMasterServerClearDB(std::string dbPath) : CKorvexServerClearDB(std::move(dbPath)) {}

bool CMasterServerClearDB::GameRootDirInit()
{
    CSqliteConnect db;
    if (!db.Open(DbPath(), false)) {
        DebugTrace(LOG_ERROR, "GameRootDirInit Open Error");
        return false;
    }
    ReadDiskBits(db, kGameDisksSql, GameDisk::kGameDiskBit);
    ReadDiskBits(db, kDownDisksSql, GameDisk::kDownloadDiskBit);
    ReadNetUserPaths(db);
    db.Close();
    return true;
}

bool CMasterServerClearDB::LoadGamePathInit()
{
    return LoadKnownPaths({":\\PreDown", ":\\PersonUDisk"}, kDiskPackagesSql);
}
