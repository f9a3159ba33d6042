#pragma once
// Scanner of a Korvex-type main server: the main server's game disks, the download disks,
// the network-user path, every installed package and every package download from the
// product's barserver database and the pkgdown database beside it.
#include "app/ServerClearDB.h"

class CDBConnect;

class CMasterServerClearDB : public CServerClearDB {
public:
    explicit CMasterServerClearDB(std::string dbPath);

    // The pkgdown database beside a barserver database path.
    static std::string PkgDownDBPath(const std::string& barServerDBPath);

protected:
    bool GameRootDirInit() override;
    bool LoadGamePathInit() override;
    bool LoadPkgDownPath();

private:
    // One query of GameRootDirInit; a failure closes the connection, so later ones fail too.
    template <typename OnRow>
    void RootQuery(CDBConnect& db, const char* sql, OnRow&& onRow);
};
