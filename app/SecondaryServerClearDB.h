#pragma once
// Scanner of a secondary (VDisk) server: the disks this server serves and the package paths
// on them, from the product's bsagent database. Every disk counts as a game disk.
#include "app/ServerClearDB.h"

class CSecondaryServerClearDB : public CServerClearDB {
public:
    explicit CSecondaryServerClearDB(std::string dbPath);

    bool IsDownloadDisk(char letter) override;

protected:
    bool GameRootDirInit() override;
    bool LoadGamePathInit() override;
    // Every disk entry is walked, whatever the length of its symbol.
    bool ChecksDisk() const override { return false; }
};
