#pragma once
// The machine's own network adapters and IPv4 addresses, for telling whether this machine
// is the address a product's database names as its main server.
#include <list>
#include <set>
#include <string>
#include <utility>

struct AdapterInfo {
    std::string name;        // system name, a GUID in braces on Windows
    std::string description;
    std::string mac;         // "00-1A-2B-3C-4D-5E"; empty for fewer than 6 address bytes
    std::list<std::pair<std::string, std::string>> addresses; // (IPv4, mask), Ethernet and wireless only
    std::string gateway;     // first default gateway
    unsigned speedMbps = 0;
};

// Appends the adapters the system lists; nothing on failure.
void GetAdapterList(std::list<AdapterInfo>& adapters);

// The machine's usable IPv4 addresses: every address of every listed adapter except
// "0.0.0.0" and "127.0.0.1".
void GetLocalIPSet(std::set<std::string>& addresses);

// Pieces of the above that need no system call.
namespace localnet {
// Interface types whose addresses count: Ethernet (6) and IEEE 802.11 wireless (71).
bool CarriesAddresses(unsigned interfaceType);
// "%02X-%02X-%02X-%02X-%02X-%02X" of the first six bytes; empty when length < 6.
std::string FormatMac(const unsigned char* bytes, unsigned length);
// Every address text of the adapters, without "0.0.0.0" and "127.0.0.1".
void CollectAddresses(const std::list<AdapterInfo>& adapters, std::set<std::string>& out);
} // namespace localnet
