#pragma once
// Scanner of a Korvex-type main server: the main server's game disks, the download disks,
// the network-user path, every installed package and every package download from the
// product's barserver database and the pkgdown database beside it.
#include "app/KorvexServerClearDB.h"

class CMasterServerClearDB : public CKorvexServerClearDB {
public:
    explicit CMasterServerClearDB(std::string dbPath);

protected:
    bool GameRootDirInit() override;
    bool LoadGamePathInit() override;
};
