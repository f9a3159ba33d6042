#include <gtest/gtest.h>

#include "comm/MbString.h"

// "誠" is D5 5C in GBK: its trail byte is a backslash. "丄" is 81 41 and "乤" is 81 61: their
// trail bytes differ only as 'A' and 'a' do.
TEST(MbString, BackslashSearchSkipsTrailBytes)
{
    const struct { const char* text; size_t expected; } cases[] = {
        {"D:\\Games\\LOL", 8},
        {"D:\\誠", 2},
        {"D:\\誠\\", 5},
        {"誠", std::string::npos},
        {"D:Games", std::string::npos},
        {"", std::string::npos},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, mbs::FindLastBackslash(c.text)) << c.text;
    EXPECT_FALSE(mbs::HasBackslash("誠誠"));
}

TEST(MbString, CaseIsIgnoredForAsciiOnly)
{
    const struct { const char* a; const char* b; bool equal; } cases[] = {
        {"D:\\Games\\LOL", "d:\\games\\lol", true},
        {"D:\\游戏", "d:\\游戏", true},
        {"丄", "乤", false},
        {"D:\\丄A", "D:\\丄a", true},
        {"D:\\誠", "D:\\誠", true},
        {"D:\\Games", "D:\\Game", false},
        {"D:/Games", "D:\\Games", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.equal, mbs::EqualNoCase(c.a, c.b)) << c.a << " vs " << c.b;
        EXPECT_EQ(c.equal, mbs::FoldCase(c.a) == mbs::FoldCase(c.b)) << c.a << " vs " << c.b;
    }
}

TEST(MbString, RecognisesNonAsciiUtf8)
{
    const struct { const char* text; bool expected; } cases[] = {
        {"\xE6\xB8\xB8\xE6\x88\x8F", true},  // 游戏 in UTF-8
        {"D:\\Games", false},                // plain ASCII needs no second form
        {"\xD3\xCE\xCF\xB7", false},         // 游戏 in GBK
        {"\xE6\xB8", false},                 // cut short
        {"\xC0\x80", false},                 // overlong
        {"\xED\xA0\x80", false},             // surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, mbs::IsNonAsciiUtf8(c.text)) << c.text;
}
