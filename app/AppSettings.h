#pragma once
// The settings file Tarnwell.ini beside the executable, and the catalogue of the cafe-server
// products a ServerType selects.
#include <mutex>
#include <string>

// 1 Korvex, 2 PellorVIP, 3 Quorra 7; every other value is invalid.
using ServerType = int;

struct ServerCatalogEntry {
    ServerType serverType;
    const char* caption;     // the main window's title text
    const char* serviceName; // the Windows service the product's installation is found by
};

// The catalogue entry of a ServerType, or null for an invalid one.
const ServerCatalogEntry* FindServerCatalogEntry(ServerType serverType);

// The ServerType a Type value of the settings file means: leading white space, an optional
// sign, then decimal digits up to the first non-digit; no digits gives 0.
ServerType ParseServerType(const char* text);

class CAppSettings {
public:
    static CAppSettings& Instance();

    // Reads [General] Type of the file; returns the ServerType, also kept in serverType.
    ServerType Load(const std::string& settingsPath);

    std::string path;
    ServerType serverType = 0;

private:
    CAppSettings() = default;
    CAppSettings(const CAppSettings&) = delete;
    CAppSettings& operator=(const CAppSettings&) = delete;
};
