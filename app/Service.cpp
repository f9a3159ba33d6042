#include "app/Service.h"

#include "comm/LogFile.h"
#include "comm/UniqueHandle.h"

#include <windows.h>
#include <winsvc.h>

#include <algorithm>
#include <vector>

namespace {
const char kSource[] = "Service";
const char kFunction[] = "CService::ServiceInformation";
constexpr DWORD kQueryBuffer = 8192;

std::string Text(const char* s)
{
    return s ? std::string(s) : std::string();
}
} // namespace

bool CService::ServiceInformation(const std::string& serviceName, ServiceInformationRecord& info)
{
    CServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        WriteLog(LOG_INFO, kSource, __LINE__, kFunction, "[Service] OpenschManager Error: %d",
                 static_cast<int>(GetLastError()));
        return false;
    }
    CServiceHandle service(OpenServiceA(manager.Get(), serviceName.c_str(), SERVICE_ALL_ACCESS));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_NAME)
            WriteLog(LOG_INFO, kSource, __LINE__, kFunction, "[Service] %s no Found !", serviceName.c_str());
        else
            WriteLog(LOG_INFO, kSource, __LINE__, kFunction, "[Service] OpenService  Error: %d",
                     static_cast<int>(error));
        return false;
    }

    // DWORD elements keep the buffer aligned for the structures the queries write.
    std::vector<DWORD> buffer(kQueryBuffer / sizeof(DWORD));
    DWORD needed = 0;
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (QueryServiceConfigA(service.Get(), config, kQueryBuffer, &needed)) {
        info.serviceType = config->dwServiceType;
        info.startType = config->dwStartType;
        info.errorControl = config->dwErrorControl;
        info.tagId = config->dwTagId;
        info.imagePath = Text(config->lpBinaryPathName);
        info.loadOrderGroup = Text(config->lpLoadOrderGroup);
        info.dependencies = Text(config->lpDependencies); // the list's first name
        info.serviceStartName = Text(config->lpServiceStartName);
    } else {
        WriteLog(LOG_INFO, kSource, __LINE__, kFunction, "[Service] QueryServiceConfig Error: %d",
                 static_cast<int>(GetLastError()));
    }

    SERVICE_STATUS status = {};
    if (QueryServiceStatus(service.Get(), &status)) {
        info.currentState = status.dwCurrentState;
        info.controlsAccepted = status.dwControlsAccepted;
        info.win32ExitCode = status.dwWin32ExitCode;
        info.serviceSpecificExitCode = status.dwServiceSpecificExitCode;
        info.checkPoint = status.dwCheckPoint;
        info.waitHint = status.dwWaitHint;
    } else {
        WriteLog(LOG_INFO, kSource, __LINE__, kFunction, "[Service] QueryServiceStatus Error: %d",
                 static_cast<int>(GetLastError()));
    }

    std::fill(buffer.begin(), buffer.end(), 0);
    if (QueryServiceConfig2A(service.Get(), SERVICE_CONFIG_DESCRIPTION, reinterpret_cast<BYTE*>(buffer.data()),
                             kQueryBuffer, &needed)) {
        const auto* description = reinterpret_cast<SERVICE_DESCRIPTIONA*>(buffer.data());
        info.description = Text(description->lpDescription);
    } else {
        WriteLog(LOG_INFO, kSource, __LINE__, kFunction, "[Service] QueryServiceConfig2 Error: %d",
                 static_cast<int>(GetLastError()));
    }
    return true;
}
