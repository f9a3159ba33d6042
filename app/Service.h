#pragma once
// Read-only queries of one Windows service through the service control manager.
#include <cstdint>
#include <string>

struct ServiceInformationRecord {
    std::string description;
    uint32_t serviceType = 0;
    uint32_t currentState = 0;
    uint32_t controlsAccepted = 0;
    uint32_t win32ExitCode = 0;
    uint32_t serviceSpecificExitCode = 0;
    uint32_t checkPoint = 0;
    uint32_t waitHint = 0;
    uint32_t startType = 0;
    uint32_t errorControl = 0;
    uint32_t tagId = 0;
    std::string imagePath;        // the registered command line of the service's executable
    std::string loadOrderGroup;
    std::string dependencies;     // first name of the dependency list only
    std::string serviceStartName; // account the service runs under
};

class CService {
public:
    // Fills the record from the service's configuration, status and description. False when
    // the manager or the service cannot be opened; a failed query after that leaves its
    // fields empty and still returns true.
    static bool ServiceInformation(const std::string& serviceName, ServiceInformationRecord& info);
};
