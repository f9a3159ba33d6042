// Attribute value syntaxes of the layouts.
#include <gtest/gtest.h>

#include "skinui/SkinAttr.h"

using namespace SkinUI;

namespace {

struct Quad {
    const char* text;
    RECT expected;
};

} // namespace

TEST(SkinAttr, QuadrupleReadsUpToFourNumbersEachOneCharacterAfterThePrevious)
{
    const Quad cases[] = {
        {"1,1,1,0", {1, 1, 1, 0}},
        {"1,1", {1, 1, 0, 0}},
        {"3", {3, 0, 0, 0}},
        {"10,0,00", {10, 0, 0, 0}},
        {"10,10,10,10", {10, 10, 10, 10}},
        {"11,6,36,31", {11, 6, 36, 31}},
        {"-2, -3,+4,5", {-2, -3, 4, 5}},
        {"1;2;3;4;5", {1, 2, 3, 4}},
        {"1,,3,4", {1, 0, 3, 4}}, // an empty number is 0 and the next starts one later
        {"", {0, 0, 0, 0}},
        {"x", {0, 0, 0, 0}},
        {"5,", {5, 0, 0, 0}},
    };
    for (const Quad& c : cases) {
        const RECT r = ParseQuadruple(c.text);
        EXPECT_EQ(r.left, c.expected.left) << c.text;
        EXPECT_EQ(r.top, c.expected.top) << c.text;
        EXPECT_EQ(r.right, c.expected.right) << c.text;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.text;
    }
    const RECT none = ParseQuadruple(nullptr);
    EXPECT_EQ(none.left + none.top + none.right + none.bottom, 0);
}

TEST(SkinAttr, DecimalsAndSizePairs)
{
    const struct {
        const char* text;
        int value;
        int used; // characters consumed
    } decimals[] = {
        {"70", 70, 2},     {"  -12x", -12, 5}, {"+7", 7, 2},       {"abc", 0, 0},
        {"", 0, 0},        {"-", 0, 0},        {"00", 0, 2},       {"12.5", 12, 2},
        {"99999999999", 2147483647, 11},       {"-99999999999", -2147483647 - 1, 12},
    };
    for (const auto& c : decimals) {
        const char* end = nullptr;
        EXPECT_EQ(ParseDecimal(c.text, &end), c.value) << c.text;
        EXPECT_EQ(end - c.text, c.used) << c.text;
    }

    SIZE s = ParseSizePair("900,700");
    EXPECT_EQ(s.cx, 900);
    EXPECT_EQ(s.cy, 700);
    s = ParseSizePair("300");
    EXPECT_EQ(s.cx, 300);
    EXPECT_EQ(s.cy, 0);
    s = ParseSizePair("0,27");
    EXPECT_EQ(s.cy, 27);
}

TEST(SkinAttr, ColoursAndBooleans)
{
    EXPECT_EQ(ParseColor("#FFFEFEFE"), 0xFFFEFEFEu);
    EXPECT_EQ(ParseColor("FF454a4d"), 0xFF454A4Du);
    EXPECT_EQ(ParseColor("  #FFB4B4B4"), 0xFFB4B4B4u);
    EXPECT_EQ(ParseColor("#00FF00"), 0x0000FF00u); // no alpha given: transparent
    EXPECT_EQ(ParseColor("#"), 0u);
    EXPECT_EQ(ParseColor("zz"), 0u);
    EXPECT_EQ(ParseColor("#1FFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ParseColor(nullptr), 0u);

    EXPECT_TRUE(ParseBool("true"));
    for (const char* no : {"True", "TRUE", "true ", "1", "", "yes", "tru"})
        EXPECT_FALSE(ParseBool(no)) << no;
    EXPECT_FALSE(ParseBool(nullptr));
}

TEST(SkinAttr, AttributeListsStopSilentlyAtTheFirstMalformedItem)
{
    using Items = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ParseAttributeList("width=\"160\" padding=\"0,4,0,4\""),
              (Items{{"width", "160"}, {"padding", "0,4,0,4"}}));
    EXPECT_EQ(ParseAttributeList("normalimage=\"file='a.png' source='0,0,74,26'\""),
              (Items{{"normalimage", "file='a.png' source='0,0,74,26'"}}));
    // Two spaces: the next item would start at a space, so its name is " b".
    EXPECT_EQ(ParseAttributeList("a=\"1\"  b=\"2\""), (Items{{"a", "1"}, {" b", "2"}}));
    // No space after the quote ends the list.
    EXPECT_EQ(ParseAttributeList("a=\"1\"b=\"2\""), (Items{{"a", "1"}}));
    EXPECT_EQ(ParseAttributeList("a=1 b=\"2\""), Items{});
    EXPECT_EQ(ParseAttributeList("a=\"unterminated"), Items{});
    EXPECT_EQ(ParseAttributeList("a=\"1\" "), (Items{{"a", "1"}}));
    EXPECT_EQ(ParseAttributeList(""), Items{});
    EXPECT_EQ(ParseAttributeList(nullptr), Items{});
}
