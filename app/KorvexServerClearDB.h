#pragma once
// What the two scanners of a Korvex-type barserver database share: disk bits and the
// network-user path from the disk tables, and the known paths from the packages, the
// packages per server disk and the downloads of the pkgdown database beside it.
#include "app/ServerClearDB.h"

#include <initializer_list>

class CDBConnect;

class CKorvexServerClearDB : public CServerClearDB {
public:
    // The pkgdown database beside a barserver database path.
    static std::string PkgDownDBPath(const std::string& barServerDBPath);

protected:
    explicit CKorvexServerClearDB(std::string dbPath);

    // Queries of GameRootDirInit. A failed query closes the connection, so the later ones
    // fail too, each with its own Error line.
    void ReadDiskBits(CDBConnect& db, const char* sql, int32_t bit);
    void ReadNetUserPaths(CDBConnect& db);

    // LoadGamePathInit: the protected top-level folders of every disk, the installed
    // packages, the packages per server disk (diskPackagesSql), then the downloads.
    bool LoadKnownPaths(std::initializer_list<const char*> protectedFolders, const char* diskPackagesSql);
    bool LoadPkgDownPath();
};
