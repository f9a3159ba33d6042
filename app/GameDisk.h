#pragma once
// One entry of a scanner's disk list: the drive symbol as the product names it (normally one
// upper-case letter) and its purpose. For the Korvex scanners the purpose holds bits
// kGameDiskBit and kDownloadDiskBit; for the VDisk scanner it is the database row number.
#include <cstdint>
#include <map>
#include <string>

struct GameDisk {
    static constexpr int32_t kGameDiskBit = 1;     // 游戏盘
    static constexpr int32_t kDownloadDiskBit = 2; // 下载盘

    std::string symbol;
    int32_t purpose = 0;
};

// The disk list: symbol to purpose, in byte-wise order of the symbol.
using GameDiskList = std::map<std::string, int32_t>;
