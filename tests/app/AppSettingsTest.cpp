#include "app/AppSettings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

TEST(AppSettings, CatalogueHasThreeProducts)
{
    struct Case {
        ServerType type;
        const char* caption;
        const char* service;
    };
    const Case cases[] = {{1, "Korvex游戏清理工具", "Korvex服务"},
                          {2, "PellorVIP游戏清理工具", "PellorVIP服务"},
                          {3, "Quorra7游戏清理工具", "newCoreServer"}};
    for (const Case& c : cases) {
        const ServerCatalogEntry* entry = FindServerCatalogEntry(c.type);
        ASSERT_NE(nullptr, entry) << c.type;
        EXPECT_STREQ(c.caption, entry->caption);
        EXPECT_STREQ(c.service, entry->serviceName);
    }
    for (ServerType invalid : {0, -1, 4, 100})
        EXPECT_EQ(nullptr, FindServerCatalogEntry(invalid)) << invalid;
}

TEST(AppSettings, LoadReadsTypeValue)
{
    TempDir dir;
    const std::string ini = dir / "Tarnwell.ini";
    struct Case {
        const char* content;
        ServerType expected;
    };
    const Case cases[] = {
        {"[General]\r\nType=1\r\n", 1},
        {"[General]\r\nType=02\r\n", 2},
        {"[General]\r\nType= 3x\r\n", 3},
        {"[General]\r\nType=3abc\r\n", 3},
        {"[General]\r\nType=abc\r\n", 0},
        {"[General]\r\nType=-1\r\n", -1},
        {"[General]\r\nType=4\r\n", 4},
        {"[General]\r\nType=\r\n", 0},
        {"[General]\r\nOther=1\r\n", 0},
        {"[Other]\r\nType=1\r\n", 0},
        {"Type=1\r\n", 0},
        {"[General]\r\nType=4294967297\r\n", INT_MAX}, // no wrap-around to a valid type
    };
    for (const Case& c : cases) {
        WriteTextFile(ini, c.content);
        CAppSettings& settings = CAppSettings::Instance();
        EXPECT_EQ(c.expected, settings.Load(ini)) << c.content;
        EXPECT_EQ(c.expected, settings.serverType);
        EXPECT_EQ(ini, settings.path);
    }
    EXPECT_EQ(0, CAppSettings::Instance().Load(dir / "missing.ini"));
    EXPECT_EQ(&CAppSettings::Instance(), &CAppSettings::Instance());
}

TEST(AppSettings, LoadClearsReadOnlyAttribute)
{
    TempDir dir;
    const std::string ini = dir / "Tarnwell.ini";
    WriteTextFile(ini, "[General]\r\nType=2\r\n");
    ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(2, CAppSettings::Instance().Load(ini));
    EXPECT_EQ(0u, GetFileAttributesA(ini.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
}
