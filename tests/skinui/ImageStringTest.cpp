// Image strings: bare names, items, several images in one string, and modifiers.
#include <gtest/gtest.h>

#include "skinui/ImageString.h"

using namespace SkinUI;

namespace {

bool Same(const RECT& a, LONG l, LONG t, LONG r, LONG b)
{
    return a.left == l && a.top == t && a.right == r && a.bottom == b;
}

} // namespace

TEST(ImageString, BareNameAndItems)
{
    auto bare = ParseImageString("tarnwell.png");
    ASSERT_EQ(bare.size(), 1u);
    EXPECT_EQ(bare[0].name, "tarnwell.png");
    EXPECT_FALSE(bare[0].hasDest);
    EXPECT_EQ(bare[0].fade, 255);

    auto d = ParseImageString("file='Default_ComboBox.png' source='0,0,143,26' corner='5,5,18,5' "
                              "mask='#FFFF00FF' fade='128' hole='true' xtiled='true' ytiled='false'");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].name, "Default_ComboBox.png");
    EXPECT_TRUE(Same(d[0].source, 0, 0, 143, 26));
    EXPECT_TRUE(Same(d[0].corner, 5, 5, 18, 5));
    EXPECT_EQ(d[0].mask, 0xFFFF00FFu);
    EXPECT_EQ(d[0].fade, 128);
    EXPECT_TRUE(d[0].hole);
    EXPECT_TRUE(d[0].xtiled);
    EXPECT_FALSE(d[0].ytiled);
    EXPECT_TRUE(d[0].resourceType.empty());

    // Whitespace around '=' is allowed; fade is clamped.
    auto w = ParseImageString("file = 'a.png' fade='999'");
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].name, "a.png");
    EXPECT_EQ(w[0].fade, 255);
    EXPECT_TRUE(ParseImageString("").empty());
    EXPECT_TRUE(ParseImageString("   ").empty());
}

TEST(ImageString, MalformedItemEndsTheParseKeepingWhatWasRead)
{
    // The unquoted source ends the parse; the file read before it stands, the source does not.
    auto d = ParseImageString("file='a.png' source=0,0,1,1 corner='1,1,1,1'");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].name, "a.png");
    EXPECT_TRUE(Same(d[0].source, 0, 0, 0, 0));
    EXPECT_TRUE(Same(d[0].corner, 0, 0, 0, 0));
    // A missing closing quote loses that item.
    auto open = ParseImageString("file='a.png' fade='10");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].fade, 255);
    // No space after a closing quote: the following item is not read.
    auto glued = ParseImageString("file='a.png'fade='10'");
    ASSERT_EQ(glued.size(), 1u);
    EXPECT_EQ(glued[0].fade, 255);
    // Empty values are ignored: no image at all here.
    EXPECT_TRUE(ParseImageString("file='' fade='10'").empty());
}

TEST(ImageString, SeveralImagesAndModifiers)
{
    auto two = ParseImageString("file='a.png' source='0,0,16,16' file='b.png' dest='1,2,3,4'");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].name, "a.png");
    EXPECT_FALSE(two[0].hasDest);
    EXPECT_EQ(two[1].name, "b.png");
    // Settings gathered so far carry over to the next image.
    EXPECT_TRUE(Same(two[1].source, 0, 0, 16, 16));
    EXPECT_TRUE(two[1].hasDest);

    // A resource image is complete once its type is known.
    auto res = ParseImageString("res='101' restype='PNG' file='c.png'");
    ASSERT_EQ(res.size(), 2u);
    EXPECT_EQ(res[0].name, "101");
    EXPECT_EQ(res[0].resourceType, "PNG");
    EXPECT_TRUE(res[0].fromResource);
    EXPECT_EQ(res[1].name, "c.png");
    EXPECT_TRUE(res[1].resourceType.empty());
    EXPECT_TRUE(ParseImageString("res='101'").empty());

    // The modifier is read after the string, so its dest wins.
    auto mod = ParseImageString("file='MsgBoxIcon.png' source='32,0,64,32' dest='0,1,32,33'",
                                "dest='5,6,7,8'");
    ASSERT_EQ(mod.size(), 1u);
    EXPECT_TRUE(Same(mod[0].dest, 5, 6, 7, 8));
    auto bareMod = ParseImageString("tarnwell.png", "dest='0,0,18,18'");
    ASSERT_EQ(bareMod.size(), 1u);
    EXPECT_EQ(bareMod[0].name, "tarnwell.png");
    EXPECT_TRUE(bareMod[0].hasDest);
}

TEST(ImageString, DestinationAndSourceRectangles)
{
    const RECT control = {100, 50, 125, 75}; // 25 x 25
    TImageDraw d;
    EXPECT_TRUE(Same(ImageDestRect(d, control), 100, 50, 125, 75));
    d.hasDest = true;
    d.dest = {10, 7, 26, 23};
    // Right is clipped to the control; bottom fits.
    EXPECT_TRUE(Same(ImageDestRect(d, control), 110, 57, 125, 73));

    EXPECT_TRUE(Same(ImageSourceRect(d, 64, 16), 0, 0, 64, 16));
    d.source = {32, 0, 80, 20};
    EXPECT_TRUE(Same(ImageSourceRect(d, 64, 16), 32, 0, 64, 16));
}
