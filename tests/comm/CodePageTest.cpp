#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>

// Every narrow string of the program is GBK: a runner without code page 936 tests nothing
// real, so it fails here first.
TEST(CodePage, RunnerUsesCodePage936)
{
    EXPECT_EQ(936u, GetACP());
}

TEST(CodePage, LiteralsAreCompiledAsGbk)
{
    const char* text = "游戏盘";
    EXPECT_EQ(0, std::memcmp(text, "\xD3\xCE\xCF\xB7\xC5\xCC", 7));
}
