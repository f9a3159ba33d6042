#pragma once
// Runs the scans: finds the product's databases from its service, decides whether this
// machine is the product's main server, and creates and runs the matching scanner.
#include "comm/ModuleLog.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CServerClearDB;

class CServerClearDBMgr : public CModuleLog {
public:
    CServerClearDBMgr();
    ~CServerClearDBMgr() override;
    CServerClearDBMgr(const CServerClearDBMgr&) = delete;
    CServerClearDBMgr& operator=(const CServerClearDBMgr&) = delete;

    static CServerClearDBMgr& Instance();

    // One scan for a product's service: chooses and creates the scanner, makes it the
    // current scanner and runs its load and walk. Returns the load's result. The
    // "InitServerName" command is this call followed by the main window's notices.
    bool ScanService(const std::string& serviceName);

    // Is this machine the product's main server? Also finds barServerDBPath.
    bool IsMainServer(const std::string& serviceName);

    // Installation probes. The path probes keep the previous path when they fail.
    bool GetServiceBinaryPath(const std::string& serviceName, std::string& binaryPath);
    bool GetBarServerDBPath(const std::string& serviceName, std::string& dbPath);
    bool GetBsAgentDBPath(const std::string& serviceName);
    // True unless a non-zero WinServer flag has ever been read by this object.
    bool IsOtherDiskless();

    // The scanner of the latest scan, or null; scanners stay alive as long as this object.
    CServerClearDB* CurrentScanner() const { return currentScanner.load(); }
    std::string BarServerDBPath();
    std::string BsAgentDBPath();

private:
    // [section] Path of a ServerManager.ini, "Default" when absent. False only for a value
    // too long to read whole.
    bool ReadInstallPath(const std::string& iniPath, const char* section, std::string& value);

    bool notOtherDiskless = true;
    std::string barServerDBPath;
    std::string bsAgentDBPath;
    std::atomic<CServerClearDB*> currentScanner{nullptr};
    std::mutex probeLock;

    // Every scanner created, so a pointer the UI read from currentScanner stays valid.
    std::vector<std::unique_ptr<CServerClearDB>> scanners_;
};
