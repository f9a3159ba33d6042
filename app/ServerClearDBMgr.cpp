#include "app/ServerClearDBMgr.h"

#include "app/DovanServerClearDB.h"
#include "app/MasterServerClearDB.h"
#include "app/RowLoop.h"
#include "app/SecondaryServerClearDB.h"
#include "app/Service.h"
#include "comm/DBTools/Sqlite/SqliteConnect.h"
#include "comm/LocalNetwork.h"
#include "comm/UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace {
const char kSource[] = "ServerClearDBMgr";
const char kDisklessKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{301086A1-C605-49DA-B406-9E6FB8D52E17}";
const char kMainServerSql[] = "Select Addr from tbl_korvexservercfg where MainServer='1';";
const char kOtherDisklessService[] = "newCoreServer";
// The product's own profile reads take 200 bytes; longer values are read whole with a
// larger area, up to this size.
constexpr size_t kPathArea = 200;
constexpr size_t kMaxPathArea = 32768;

std::mutex g_instanceLock;
CServerClearDBMgr* g_instance = nullptr;

std::string IniBesideExecutable(std::string binaryPath)
{
    // Used as registered: a quoted path or one with arguments names no file here.
    binaryPath.erase(binaryPath.size() < 3 ? 0 : binaryPath.size() - 3);
    return binaryPath + "ini";
}
} // namespace

CServerClearDBMgr::CServerClearDBMgr() : CModuleLog("ServerClearDBMgr") {}

CServerClearDBMgr::~CServerClearDBMgr() = default;

CServerClearDBMgr& CServerClearDBMgr::Instance()
{
    std::lock_guard<std::mutex> guard(g_instanceLock);
    if (!g_instance)
        g_instance = new CServerClearDBMgr();
    return *g_instance;
}

std::string CServerClearDBMgr::BarServerDBPath()
{
    std::lock_guard<std::mutex> guard(probeLock);
    return barServerDBPath;
}

std::string CServerClearDBMgr::BsAgentDBPath()
{
    std::lock_guard<std::mutex> guard(probeLock);
    return bsAgentDBPath;
}

bool CServerClearDBMgr::ScanService(const std::string& serviceName)
{
    std::unique_ptr<CServerClearDB> scanner;
    if (serviceName == kOtherDisklessService && IsOtherDiskless()) {
        IsMainServer(serviceName); // only for finding barServerDBPath
        scanner = std::make_unique<CDovanServerClearDB>(BarServerDBPath());
    } else if (IsMainServer(serviceName)) {
        scanner = std::make_unique<CMasterServerClearDB>(BarServerDBPath());
    } else {
        GetBsAgentDBPath(serviceName);
        scanner = std::make_unique<CSecondaryServerClearDB>(BsAgentDBPath());
    }
    CServerClearDB* current = scanner.get();
    scanners_.push_back(std::move(scanner));
    currentScanner.store(current);
    return current->LoadAndScan();
}

bool CServerClearDBMgr::IsMainServer(const std::string& serviceName)
{
    std::string dbPath = BarServerDBPath();
    const bool found = GetBarServerDBPath(serviceName, dbPath);
    {
        std::lock_guard<std::mutex> guard(probeLock);
        barServerDBPath = dbPath;
    }
    if (!found)
        return false;

    CSqliteConnect db;
    if (!db.Open(dbPath, false)) {
        DebugTrace(LOG_ERROR, "LoadGamePathInit Open Error");
        return false;
    }
    CDBRecordSet* rs = nullptr;
    int error = 0;
    if (!db.ExecSQL(kMainServerSql, &rs, error) || !rs) {
        WriteLog(LOG_ERROR, kSource, __LINE__, "CServerClearDBMgr::IsMainServer", "LoadGamePathInit ExecSQL Error");
        db.CloseRS(rs);
        db.Close();
        return false;
    }
    bool isMain = false;
    {
        std::lock_guard<std::mutex> guard(probeLock);
        std::set<std::string> addresses;
        GetLocalIPSet(addresses);
        while (!rs->IsEOF()) {
            const std::string addr = ReadText(*rs, "Addr");
            if (!addr.empty() && addresses.count(addr) != 0) {
                isMain = true;
                break;
            }
            rs->MoveNext();
        }
    }
    if (rs->StepFailed())
        WriteLog(LOG_ERROR, kSource, __LINE__, "CServerClearDBMgr::IsMainServer", "LoadGamePathInit ExecSQL Error");
    db.CloseRS(rs);
    db.Close();
    return isMain;
}

bool CServerClearDBMgr::GetServiceBinaryPath(const std::string& serviceName, std::string& binaryPath)
{
    std::lock_guard<std::mutex> guard(probeLock);
    ServiceInformationRecord info;
    if (!CService::ServiceInformation(serviceName, info) && !CService::ServiceInformation("ServerManager", info)) {
        DebugTrace(LOG_ERROR, "获取服务信息失败");
        return false;
    }
    binaryPath = info.imagePath;
    DebugTrace(LOG_INFO, "Open Service Success!");
    return true;
}

bool CServerClearDBMgr::ReadInstallPath(const std::string& iniPath, const char* section, std::string& value)
{
    std::vector<char> area(kPathArea);
    for (;;) {
        std::fill(area.begin(), area.end(), '\0');
        const DWORD read = GetPrivateProfileStringA(section, "Path", "Default", area.data(),
                                                    static_cast<DWORD>(area.size()), iniPath.c_str());
        // A full area may hold a cut value: read again with more room rather than use it.
        if (read + 1 < area.size()) {
            value.assign(area.data(), read);
            return true;
        }
        if (area.size() >= kMaxPathArea) {
            DebugTrace(LOG_ERROR, "ServerManager.ini [%s]:Path too long", section);
            return false;
        }
        area.resize(area.size() * 2);
    }
}

bool CServerClearDBMgr::GetBarServerDBPath(const std::string& serviceName, std::string& dbPath)
{
    std::string binaryPath;
    if (!GetServiceBinaryPath(serviceName, binaryPath))
        return false;
    std::string value;
    {
        std::lock_guard<std::mutex> guard(probeLock);
        if (!ReadInstallPath(IniBesideExecutable(binaryPath), "BarServer", value) || value == "Default")
            return false;
        dbPath = value + "\\data\\barserver.db";
    }
    DebugTrace(LOG_INFO, "BarServerDBPath=%s!", dbPath.c_str());
    return true;
}

bool CServerClearDBMgr::GetBsAgentDBPath(const std::string& serviceName)
{
    std::string binaryPath;
    if (!GetServiceBinaryPath(serviceName, binaryPath))
        return false;
    std::lock_guard<std::mutex> guard(probeLock);
    std::string value;
    if (!ReadInstallPath(IniBesideExecutable(binaryPath), "BsAgent_0", value))
        return false;
    if (value == "Default") {
        DebugTrace(LOG_ERROR, "ServerManager.ini 读取失败,没有配置文件或[BarServer]:Path不存在!");
        return false;
    }
    bsAgentDBPath = value + "\\data\\bsagent.db";
    return true;
}

bool CServerClearDBMgr::IsOtherDiskless()
{
    std::lock_guard<std::mutex> guard(probeLock);
    DWORD flag = 0;
    CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDisklessKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegQueryValueExA(key.Get(), "WinServer", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
            ERROR_SUCCESS)
            flag = value;
    }
    WriteLog(LOG_INFO, kSource, __LINE__, "CServerClearDBMgr::IsOtherDiskless", "WinServer flag=%d",
             static_cast<int>(flag));
    if (flag != 0)
        notOtherDiskless = false;
    return notOtherDiskless;
}
