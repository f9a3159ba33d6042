#include "comm/LocalNetwork.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstdio>
#include <vector>

namespace localnet {

bool CarriesAddresses(unsigned interfaceType)
{
    return interfaceType == MIB_IF_TYPE_ETHERNET || interfaceType == IF_TYPE_IEEE80211;
}

std::string FormatMac(const unsigned char* bytes, unsigned length)
{
    if (!bytes || length < 6)
        return std::string();
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", bytes[0], bytes[1], bytes[2], bytes[3],
                  bytes[4], bytes[5]);
    return text;
}

void CollectAddresses(const std::list<AdapterInfo>& adapters, std::set<std::string>& out)
{
    for (const AdapterInfo& adapter : adapters) {
        for (const auto& address : adapter.addresses)
            out.insert(address.first);
    }
    out.erase("0.0.0.0");
    out.erase("127.0.0.1");
}

} // namespace localnet

void GetAdapterList(std::list<AdapterInfo>& adapters)
{
    ULONG size = 0;
    const DWORD probe = GetAdaptersInfo(nullptr, &size);
    if (probe != ERROR_BUFFER_OVERFLOW && probe != ERROR_INVALID_PARAMETER)
        return; // includes a machine without adapters
    // Some room beyond the reported size: the table may grow between the two calls.
    size += 512;
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(table, &size) != ERROR_SUCCESS)
        return;

    for (const IP_ADAPTER_INFO* adapter = table; adapter; adapter = adapter->Next) {
        AdapterInfo info;
        info.name = adapter->AdapterName;
        info.description = adapter->Description;
        info.gateway = adapter->GatewayList.IpAddress.String;
        MIB_IFROW row = {};
        row.dwIndex = adapter->Index;
        if (GetIfEntry(&row) == NO_ERROR)
            info.speedMbps = row.dwSpeed / 1000000;
        if (localnet::CarriesAddresses(adapter->Type)) {
            for (const IP_ADDR_STRING* ip = &adapter->IpAddressList; ip; ip = ip->Next)
                info.addresses.emplace_back(ip->IpAddress.String, ip->IpMask.String);
        }
        if (adapter->AddressLength > 5)
            info.mac = localnet::FormatMac(adapter->Address, adapter->AddressLength);
        adapters.push_back(std::move(info));
    }
}

void GetLocalIPSet(std::set<std::string>& addresses)
{
    std::list<AdapterInfo> adapters;
    GetAdapterList(adapters);
    localnet::CollectAddresses(adapters, addresses);
}
