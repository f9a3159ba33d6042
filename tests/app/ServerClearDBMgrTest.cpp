#include "app/DovanServerClearDB.h"
#include "app/MasterServerClearDB.h"
#include "app/SecondaryServerClearDB.h"
#include "app/ServerClearDBMgr.h"
#include "app/Service.h"
#include "comm/DBTools/Sqlite/SqliteConnect.h"
#include "comm/LocalNetwork.h"
#include "comm/UniqueHandle.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{301086A1-C605-49DA-B406-9E6FB8D52E17}";

// A Windows service registered for one test and deleted afterwards.
class TestService {
public:
    TestService(const std::string& name, const std::string& commandLine)
        : name_(name)
    {
        CServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        Remove(manager.Get(), name);
        CServiceHandle service(CreateServiceA(manager.Get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                                              SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                              SERVICE_ERROR_NORMAL, commandLine.c_str(), nullptr, nullptr,
                                              nullptr, nullptr, nullptr));
        EXPECT_TRUE(service) << "CreateService " << GetLastError();
        SERVICE_DESCRIPTIONA description = {const_cast<char*>("模拟服务")};
        EXPECT_TRUE(ChangeServiceConfig2A(service.Get(), SERVICE_CONFIG_DESCRIPTION, &description)) << GetLastError();
    }
    ~TestService()
    {
        CServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        Remove(manager.Get(), name_);
    }
    static void Remove(SC_HANDLE manager, const std::string& name)
    {
        CServiceHandle old(OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS));
        if (old)
            DeleteService(old.Get());
    }

private:
    std::string name_;
};

void SetWinServer(const DWORD* value)
{
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, key.Receive(), nullptr));
    if (value)
        RegSetValueExA(key.Get(), "WinServer", 0, REG_DWORD, reinterpret_cast<const BYTE*>(value), sizeof *value);
    else
        RegDeleteValueA(key.Get(), "WinServer");
}

std::string OneLocalAddress()
{
    std::set<std::string> addresses;
    GetLocalIPSet(addresses);
    return addresses.empty() ? std::string() : *addresses.begin();
}

void MakeBarServerDb(const std::string& path, const std::string& mainAddr)
{
    CSqliteConnect db;
    ASSERT_TRUE(db.Open(path, true));
    ASSERT_TRUE(db.BatchExecSQLList(std::vector<std::string>{
        "create table tbl_korvexservercfg(Addr text, MainServer integer)",
        "insert into tbl_korvexservercfg values('10.77.77.77', 1)",
        "insert into tbl_korvexservercfg values('" + mainAddr + "', 1)"}));
    db.Close();
}

} // namespace

TEST(Service, InformationOfARegisteredService)
{
    TestService service("TwProbe服务", "C:\\Prog\\Probe Server.exe -run");
    ServiceInformationRecord info;
    ASSERT_TRUE(CService::ServiceInformation("TwProbe服务", info));
    EXPECT_EQ("C:\\Prog\\Probe Server.exe -run", info.imagePath);
    EXPECT_EQ(static_cast<uint32_t>(SERVICE_WIN32_OWN_PROCESS), info.serviceType);
    EXPECT_EQ(static_cast<uint32_t>(SERVICE_DEMAND_START), info.startType);
    EXPECT_EQ("LocalSystem", info.serviceStartName);
    EXPECT_EQ("模拟服务", info.description);
    EXPECT_EQ(static_cast<uint32_t>(SERVICE_STOPPED), info.currentState);

    ServiceInformationRecord missing;
    EXPECT_FALSE(CService::ServiceInformation("TwNoSuchService", missing));
    EXPECT_EQ("", missing.imagePath);
}

TEST(ServerClearDBMgr, DatabasePathsFromServerManagerIni)
{
    TempDir dir;
    const std::string exe = dir / "ServerManager.exe";
    const std::string ini = dir / "ServerManager.ini";
    TestService service("TwProbe服务", exe);
    const std::string long199(199, 'p');
    const std::string long250 = "C:\\" + std::string(247, 'q');
    struct Case {
        std::string content;
        bool barFound;
        std::string barPath;
        bool agentFound;
        std::string agentPath;
    };
    const Case cases[] = {
        {"[BarServer]\r\nPath=D:\\Bar\r\n[BsAgent_0]\r\nPath=E:\\代理\r\n", true, "D:\\Bar\\data\\barserver.db", true,
         "E:\\代理\\data\\bsagent.db"},
        {"[BarServer]\r\nPath=Default\r\n", false, "", false, ""},
        {"[BarServer]\r\nPath=\r\n", true, "\\data\\barserver.db", false, ""},
        {"[barserver]\r\npath = D:\\Bar  \r\n", true, "D:\\Bar\\data\\barserver.db", false, ""},
        {"[BarServer]\r\nPath=" + long199 + "\r\n", true, long199 + "\\data\\barserver.db", false, ""},
        {"[BarServer]\r\nPath=" + long250 + "\r\n[BsAgent_0]\r\nPath=" + long250 + "\r\n", true,
         long250 + "\\data\\barserver.db", true, long250 + "\\data\\bsagent.db"},
        {"", false, "", false, ""},
    };
    for (const Case& c : cases) {
        WriteTextFile(ini, c.content);
        CServerClearDBMgr manager;
        std::string barPath = "previous";
        EXPECT_EQ(c.barFound, manager.GetBarServerDBPath("TwProbe服务", barPath)) << c.content;
        EXPECT_EQ(c.barFound ? c.barPath : "previous", barPath) << c.content;
        EXPECT_EQ(c.agentFound, manager.GetBsAgentDBPath("TwProbe服务")) << c.content;
        EXPECT_EQ(c.agentPath, manager.BsAgentDBPath()) << c.content;
    }

    // A failed probe keeps the path an earlier one found.
    CServerClearDBMgr manager;
    WriteTextFile(ini, "[BsAgent_0]\r\nPath=E:\\A\r\n");
    ASSERT_TRUE(manager.GetBsAgentDBPath("TwProbe服务"));
    DeleteFileA(ini.c_str());
    EXPECT_FALSE(manager.GetBsAgentDBPath("TwProbe服务"));
    EXPECT_EQ("E:\\A\\data\\bsagent.db", manager.BsAgentDBPath());
}

TEST(ServerClearDBMgr, FallsBackToServerManagerService)
{
    TempDir dir;
    TestService fallback("ServerManager", dir / "ServerManager.exe");
    WriteTextFile(dir / "ServerManager.ini", "[BarServer]\r\nPath=D:\\SM\r\n");
    CServerClearDBMgr manager;
    std::string binary;
    ASSERT_TRUE(manager.GetServiceBinaryPath("TwNoSuchService", binary));
    EXPECT_EQ(dir / "ServerManager.exe", binary);
    std::string barPath;
    EXPECT_TRUE(manager.GetBarServerDBPath("TwNoSuchService", barPath));
    EXPECT_EQ("D:\\SM\\data\\barserver.db", barPath);
}

TEST(ServerClearDBMgr, WinServerFlagSticksOnceSeen)
{
    SetWinServer(nullptr);
    CServerClearDBMgr manager;
    EXPECT_TRUE(manager.IsOtherDiskless());
    const DWORD zero = 0, one = 1;
    SetWinServer(&zero);
    EXPECT_TRUE(manager.IsOtherDiskless());
    SetWinServer(&one);
    EXPECT_FALSE(manager.IsOtherDiskless());
    SetWinServer(nullptr);
    EXPECT_FALSE(manager.IsOtherDiskless()) << "a flag once read stays for the process";
    EXPECT_TRUE(CServerClearDBMgr().IsOtherDiskless());
}

TEST(ServerClearDBMgr, MainServerIsAnExactLocalAddress)
{
    const std::string own = OneLocalAddress();
    ASSERT_FALSE(own.empty()) << "the test machine has an IPv4 address";
    // The same address with a leading zero in its last part is not the same text.
    const size_t dot = own.rfind('.');
    const std::string padded = own.substr(0, dot + 1) + "0" + own.substr(dot + 1);

    TempDir dir;
    TestService service("TwProbe服务", dir / "ServerManager.exe");
    WriteTextFile(dir / "ServerManager.ini", "[BarServer]\r\nPath=" + dir.Path() + "\r\n");
    MakeDirs(dir / "data");
    const std::string db = dir / "data\\barserver.db";
    struct Case {
        std::string addr;
        bool isMain;
    };
    for (const Case& c : {Case{own, true}, Case{" " + own + " ", true}, Case{padded, false}, Case{"127.0.0.1", false}}) {
        DeleteFileA(db.c_str());
        MakeBarServerDb(db, c.addr);
        CServerClearDBMgr manager;
        EXPECT_EQ(c.isMain, manager.IsMainServer("TwProbe服务")) << c.addr;
        EXPECT_EQ(db, manager.BarServerDBPath());
    }
    // A database without the server table is no main server.
    DeleteFileA(db.c_str());
    WriteTextFile(db, "");
    CServerClearDBMgr manager;
    EXPECT_FALSE(manager.IsMainServer("TwProbe服务"));
}

TEST(ServerClearDBMgr, ScannerChoice)
{
    TempDir dir;
    WriteTextFile(dir / "ServerManager.ini",
                  "[BarServer]\r\nPath=" + dir.Path() + "\r\n[BsAgent_0]\r\nPath=" + dir.Path() + "\\agent\r\n");
    MakeDirs(dir / "data");
    const std::string barDb = dir / "data\\barserver.db";
    const std::string agentDb = dir / "agent\\data\\bsagent.db";
    TestService service("newCoreServer", dir / "ServerManager.exe");

    struct Case {
        const char* serviceName;
        bool winServer;
        bool ownAddress;
        const char* scanner;
    };
    const Case cases[] = {
        {"newCoreServer", false, false, "Dovan"},
        {"newCoreServer", false, true, "Dovan"},
        {"NewCoreServer", false, false, "Secondary"}, // the same service, but not the exact name
        {"NewCoreServer", false, true, "Master"},
        {"newCoreServer", true, true, "Master"},
        {"newCoreServer", true, false, "Secondary"},
    };
    for (const Case& c : cases) {
        const DWORD one = 1;
        SetWinServer(c.winServer ? &one : nullptr);
        DeleteFileA(barDb.c_str());
        MakeBarServerDb(barDb, c.ownAddress ? OneLocalAddress() : "10.66.66.66");
        CServerClearDBMgr manager;
        EXPECT_EQ(nullptr, manager.CurrentScanner());
        manager.ScanService(c.serviceName); // the databases are incomplete: only the choice counts
        CServerClearDB* scanner = manager.CurrentScanner();
        ASSERT_NE(nullptr, scanner);
        const std::string what = std::string(c.serviceName) + (c.winServer ? " winserver" : "") +
                                 (c.ownAddress ? " own address" : "");
        if (std::string(c.scanner) == "Dovan") {
            EXPECT_NE(nullptr, dynamic_cast<CDovanServerClearDB*>(scanner)) << what;
            EXPECT_EQ(barDb, scanner->DbPath());
        } else if (std::string(c.scanner) == "Master") {
            EXPECT_NE(nullptr, dynamic_cast<CMasterServerClearDB*>(scanner)) << what;
            EXPECT_EQ(barDb, scanner->DbPath());
        } else {
            EXPECT_NE(nullptr, dynamic_cast<CSecondaryServerClearDB*>(scanner)) << what;
            EXPECT_EQ(agentDb, scanner->DbPath());
        }
        // Each scan makes a new scanner current; the earlier one stays alive.
        CServerClearDB* first = scanner;
        manager.ScanService(c.serviceName);
        EXPECT_NE(first, manager.CurrentScanner());
        EXPECT_EQ(first->DbPath(), manager.CurrentScanner()->DbPath());
    }
    SetWinServer(nullptr);
}
