// TarnwellScan: runs the scan Tarnwell would run on this machine and prints what it found,
// one tab-separated line per fact, in the system code page. Deletes nothing; writes nothing
// but its log.
#include "app/AppSettings.h"
#include "app/DovanServerClearDB.h"
#include "app/MasterServerClearDB.h"
#include "app/SecondaryServerClearDB.h"
#include "app/ServerClearDBMgr.h"
#include "comm/LogFile.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string ExeDir()
{
    char path[MAX_PATH] = {};
    const DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return std::string();
    const std::string full(path, len);
    const size_t cut = full.rfind('\\');
    return cut == std::string::npos ? std::string() : full.substr(0, cut);
}

const char* ScannerClassName(CServerClearDB* scanner)
{
    if (dynamic_cast<CMasterServerClearDB*>(scanner))
        return "CMasterServerClearDB";
    if (dynamic_cast<CSecondaryServerClearDB*>(scanner))
        return "CSecondaryServerClearDB";
    if (dynamic_cast<CDovanServerClearDB*>(scanner))
        return "CDovanServerClearDB";
    return "";
}

void PrintReport(const ServerCatalogEntry& product, CServerClearDB& scanner)
{
    std::printf("server\t%s\t%s\t%s\t%s\n", product.caption, product.serviceName, ScannerClassName(&scanner),
                scanner.DbPath().c_str());
    GameDiskList disks;
    scanner.GetDiskList(disks);
    for (const auto& disk : disks) {
        // The main window labels a disk by the first character of its combo text.
        const char* word = scanner.IsDownloadDisk(disk.first[0]) ? "下载盘" : "游戏盘";
        std::printf("disk\t%s\t%d\t%s\n", disk.first.c_str(), static_cast<int>(disk.second), word);
    }
    CandidateList candidates;
    scanner.GetCandidates(candidates);
    for (const auto& entry : candidates) {
        const CleanupCandidate& candidate = entry.second;
        std::printf("candidate\t%s\t%d\t%s\n", candidate.isDirectory ? "目录" : "文件", candidate.ticked ? 1 : 0,
                    candidate.path.c_str());
    }
    std::fflush(stdout);
}

} // namespace

int main()
{
    const std::string exeDir = ExeDir();
    CLogFile& log = CLogFile::Instance();
    log.SetLogDir(exeDir + "\\log\\");
    log.SetFilePrefix("Tarnwell");
    log.SetOutputs(2); // the file only: standard output carries the report

    const ServerType serverType = CAppSettings::Instance().Load(exeDir + "\\Tarnwell.ini");
    const ServerCatalogEntry* product = FindServerCatalogEntry(serverType);
    if (!product) {
        std::fputs("程序参数运行异常，请重新下载！\n", stderr);
        return 2;
    }
    CServerClearDBMgr& manager = CServerClearDBMgr::Instance();
    const bool loaded = manager.ScanService(product->serviceName);
    PrintReport(*product, *manager.CurrentScanner());
    if (!loaded) {
        std::fputs("没找到服务或者数据库表加载失败\n", stderr);
        return 1;
    }
    return 0;
}
