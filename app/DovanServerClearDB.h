#pragma once
// Scanner of the newCoreServer product on a machine governed by another diskless server:
// every server disk of purpose 1 is a game disk whichever server it belongs to, and four
// top-level folders per disk are protected.
#include "app/KorvexServerClearDB.h"

class CDovanServerClearDB : public CKorvexServerClearDB {
public:
    explicit CDovanServerClearDB(std::string dbPath);

protected:
    bool GameRootDirInit() override;
    bool LoadGamePathInit() override;
};
