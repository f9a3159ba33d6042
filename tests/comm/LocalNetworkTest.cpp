#include "comm/LocalNetwork.h"

#include <gtest/gtest.h>

TEST(LocalNetwork, AddressSetDropsUnusableAndDuplicates)
{
    AdapterInfo eth;
    eth.addresses = {{"192.168.1.10", "255.255.255.0"}, {"10.0.0.5", "255.0.0.0"}, {"0.0.0.0", "0.0.0.0"}};
    AdapterInfo wifi;
    wifi.addresses = {{"10.0.0.5", "255.0.0.0"}, {"127.0.0.1", "255.0.0.0"}};
    wifi.gateway = "10.0.0.1"; // gateways and masks contribute nothing
    std::set<std::string> set;
    localnet::CollectAddresses({eth, wifi}, set);
    EXPECT_EQ((std::set<std::string>{"10.0.0.5", "192.168.1.10"}), set);
}

TEST(LocalNetwork, TypesAndHardwareAddress)
{
    EXPECT_TRUE(localnet::CarriesAddresses(6));
    EXPECT_TRUE(localnet::CarriesAddresses(71));
    for (unsigned other : {1u, 23u, 24u, 131u})
        EXPECT_FALSE(localnet::CarriesAddresses(other)) << other;
    const unsigned char bytes[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0xFF, 0xFF};
    EXPECT_EQ("00-1A-2B-3C-4D-5E", localnet::FormatMac(bytes, 8));
    EXPECT_EQ("00-1A-2B-3C-4D-5E", localnet::FormatMac(bytes, 6));
    EXPECT_EQ("", localnet::FormatMac(bytes, 5));
}

TEST(LocalNetwork, SystemAddressesComeFromEthernetAdapters)
{
    std::list<AdapterInfo> adapters;
    GetAdapterList(adapters);
    ASSERT_FALSE(adapters.empty()) << "the test machine lists at least one adapter";
    std::set<std::string> fromList;
    for (const AdapterInfo& adapter : adapters) {
        for (const auto& address : adapter.addresses) {
            fromList.insert(address.first);
            EXPECT_FALSE(address.second.empty());
        }
    }
    std::set<std::string> set;
    GetLocalIPSet(set);
    EXPECT_EQ(0u, set.count("127.0.0.1"));
    EXPECT_EQ(0u, set.count("0.0.0.0"));
    for (const std::string& address : set)
        EXPECT_EQ(1u, fromList.count(address)) << address;
    // Every usable adapter address made it into the set.
    fromList.erase("127.0.0.1");
    fromList.erase("0.0.0.0");
    EXPECT_EQ(fromList, set);
}
