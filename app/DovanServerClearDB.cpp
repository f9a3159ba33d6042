#include "app/DovanServerClearDB.h"

#include "comm/DBTools/Sqlite/SqliteConnect.h"

namespace {
const char kGameDisksSql[] = "select a.ServerSymbol from tbl_korvexserverdiskcfg a where a.ServerSymbolPurpose=1;";
const char kDownDisksSql[] = "select*from tbl_KorvexServerDownDiskCfg;";
// Not limited to the main server's disks, unlike the main-server scanner's query.
const char kDiskPackagesSql[] =
    "select B.[LocalPath], C.[ServerSymbol] from tbl_KorvexServerDiskPkgCfg A, tbl_Package B, "
    "tbl_KorvexServerDiskCfg C  where A.[Pkgid] = B.[Pkgid] and C.[Diskid] = A.[Diskid] and A.[DiskId];";
} // namespace

CDovanServerClearDB::CDovanServerClearDB(std::string dbPath) : CKorvexServerClearDB(std::move(dbPath)) {}

bool CDovanServerClearDB::GameRootDirInit()
{
    CSqliteConnect db;
    if (!db.Open(DbPath(), false)) {
        DebugTrace(LOG_ERROR, "GameRootDirInit Open Error");
        return false;
    }
    // Network-user path before the download disks, as the product's tables are read here.
    ReadDiskBits(db, kGameDisksSql, GameDisk::kGameDiskBit);
    ReadNetUserPaths(db);
    ReadDiskBits(db, kDownDisksSql, GameDisk::kDownloadDiskBit);
    db.Close();
    return true;
}

bool CDovanServerClearDB::LoadGamePathInit()
{
    return LoadKnownPaths({":\\PreDown", ":\\NBMSClient", ":\\BCData", ":\\PersonUDisk"}, kDiskPackagesSql);
}
