#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "skinui/DibCanvas.h"
#include "skinui/PaintHostUI.h"
#include "skinui/SkinPainter.h"
#include "skinui/SkinResources.h"
#include "support/TempDir.h"

using SkinUI::CSkinPainter;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kTopEdge = 0x00C000;
constexpr DWORD kBottomEdge = 0x008000;
constexpr DWORD kLeftEdge = 0x0000C0;
constexpr DWORD kRightEdge = 0x000080;
constexpr DWORD kCentre = 0x808080;

// 9 by 9 with corners of 4: every corner pixel is unique, edges and centre are flat.
DWORD NineGridPixel(int x, int y)
{
    const bool midX = x == 4;
    const bool midY = y == 4;
    if (midX && midY)
        return 0xFF000000 | kCentre;
    if (midX)
        return 0xFF000000 | (y < 4 ? kTopEdge : kBottomEdge);
    if (midY)
        return 0xFF000000 | (x < 4 ? kLeftEdge : kRightEdge);
    return 0xFF000000 | RGB(200, 10 + y * 25, 10 + x * 25); // BGR order in memory: unique
}

const RECT kNoCorners = {0, 0, 0, 0};

} // namespace

TEST(SkinPainterImage, NineGridKeepsCornersAtTheirSize)
{
    CTestImage image(9, 9, false, NineGridPixel);
    CDibCanvas canvas(120, 40);
    const RECT target = {5, 5, 105, 25}; // 100 by 20
    const RECT corners = {4, 4, 4, 4};
    CSkinPainter::DrawImage(canvas.Dc(), image.entry, target, RECT{0, 0, 120, 40}, RECT{0, 0, 9, 9}, corners);

    // Each corner is the source's 4x4 corner pixel for pixel.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(NineGridPixel(x, y) & 0xFFFFFF, canvas.Pixel(5 + x, 5 + y));
            EXPECT_EQ(NineGridPixel(5 + x, y) & 0xFFFFFF, canvas.Pixel(101 + x, 5 + y));
            EXPECT_EQ(NineGridPixel(x, 5 + y) & 0xFFFFFF, canvas.Pixel(5 + x, 21 + y));
            EXPECT_EQ(NineGridPixel(5 + x, 5 + y) & 0xFFFFFF, canvas.Pixel(101 + x, 21 + y));
        }
    }
    // Edges and centre are stretched over the rest.
    EXPECT_TRUE(NearColor(kTopEdge, canvas.Pixel(55, 6), 8));
    EXPECT_TRUE(NearColor(kBottomEdge, canvas.Pixel(55, 23), 8));
    EXPECT_TRUE(NearColor(kLeftEdge, canvas.Pixel(6, 15), 8));
    EXPECT_TRUE(NearColor(kRightEdge, canvas.Pixel(103, 15), 8));
    EXPECT_TRUE(NearColor(kCentre, canvas.Pixel(55, 15), 8));
    // Nothing outside the target.
    EXPECT_EQ(kWhite, canvas.Pixel(4, 4));
    EXPECT_EQ(kWhite, canvas.Pixel(105, 25));
}

TEST(SkinPainterImage, PiecesMissingThePaintRectangleAreSkipped)
{
    CTestImage image(9, 9, false, NineGridPixel);
    CDibCanvas canvas(120, 40);
    // Only the left column of the target is to be painted.
    CSkinPainter::DrawImage(canvas.Dc(), image.entry, RECT{5, 5, 105, 25}, RECT{0, 0, 8, 40}, RECT{0, 0, 9, 9},
                            RECT{4, 4, 4, 4});
    EXPECT_EQ(NineGridPixel(0, 0) & 0xFFFFFF, canvas.Pixel(5, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(55, 15));  // centre
    EXPECT_EQ(kWhite, canvas.Pixel(103, 6));  // right top corner
    EXPECT_EQ(kWhite, canvas.Pixel(55, 6));   // top edge starts at x 9, outside
}

TEST(SkinPainterImage, OneToOneCopyIsCutToThePaintRectangle)
{
    CTestImage image(9, 9, false, NineGridPixel);
    CDibCanvas canvas(20, 20);
    CSkinPainter::DrawImage(canvas.Dc(), image.entry, RECT{2, 2, 11, 11}, RECT{0, 0, 6, 20}, RECT{0, 0, 9, 9},
                            kNoCorners);
    EXPECT_EQ(NineGridPixel(3, 3) & 0xFFFFFF, canvas.Pixel(5, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(6, 5));
}

TEST(SkinPainterImage, PremultipliedPixelsBlendOverTheBackground)
{
    // Left pixel: red at half opacity, premultiplied (0x80 red with alpha 0x80). Right
    // pixel: fully transparent.
    CTestImage image(2, 1, true, [](int x, int) { return x == 0 ? 0x80800000u : 0x00000000u; });
    CDibCanvas canvas(10, 10);
    CSkinPainter::DrawImage(canvas.Dc(), image.entry, RECT{0, 0, 2, 1}, RECT{0, 0, 10, 10}, RECT{0, 0, 2, 1},
                            kNoCorners);
    // src + dst * (1 - a): red 128 + 127 = 255, green and blue 0 + 127. A blend that took
    // the pixels as straight alpha would give red near 191.
    EXPECT_TRUE(NearColor(0xFF7F7F, canvas.Pixel(0, 0), 2)) << std::hex << canvas.Pixel(0, 0);
    EXPECT_EQ(kWhite, canvas.Pixel(1, 0));
}

TEST(SkinPainterImage, FadeAppliesAConstantOpacity)
{
    CTestImage image(4, 4, false, [](int, int) { return 0xFF0000FFu; }); // opaque blue
    CDibCanvas canvas(10, 10);
    CSkinPainter::DrawImage(canvas.Dc(), image.entry, RECT{0, 0, 4, 4}, RECT{0, 0, 10, 10}, RECT{0, 0, 4, 4},
                            kNoCorners, 128);
    EXPECT_TRUE(NearColor(0x7F7FFF, canvas.Pixel(1, 1), 2)) << std::hex << canvas.Pixel(1, 1);
}

TEST(SkinPainterImage, HoleLeavesTheCentreUndrawn)
{
    CTestImage image(9, 9, false, NineGridPixel);
    CDibCanvas canvas(40, 40);
    CSkinPainter::DrawImage(canvas.Dc(), image.entry, RECT{0, 0, 30, 30}, RECT{0, 0, 40, 40}, RECT{0, 0, 9, 9},
                            RECT{4, 4, 4, 4}, 255, true);
    EXPECT_EQ(kWhite, canvas.Pixel(15, 15));
    EXPECT_EQ(NineGridPixel(0, 0) & 0xFFFFFF, canvas.Pixel(0, 0));
    EXPECT_TRUE(NearColor(kTopEdge, canvas.Pixel(15, 1), 8));
}

TEST(SkinPainterImage, TiledCentreRepeatsTheSourceCentre)
{
    // Source 3x2, no corners: each pixel unique, so tiles show where they start and end.
    auto pixel = [](int x, int y) { return 0xFF000000u | static_cast<DWORD>(0x100000 * (x + 1) + 0x40 * (y + 1)); };
    CTestImage image(3, 2, false, pixel);

    struct Case {
        bool xtiled, ytiled;
    };
    for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(testing::Message() << "xtiled " << c.xtiled << " ytiled " << c.ytiled);
        CDibCanvas canvas(20, 20);
        // Target 8 by 5: two whole tiles and a cut one across, two and a cut one down.
        CSkinPainter::DrawImage(canvas.Dc(), image.entry, RECT{1, 1, 9, 6}, RECT{0, 0, 20, 20}, RECT{0, 0, 3, 2},
                                kNoCorners, 255, false, c.xtiled, c.ytiled);
        if (c.xtiled && c.ytiled) {
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 8; ++x)
                    EXPECT_EQ(pixel(x % 3, y % 2) & 0xFFFFFF, canvas.Pixel(1 + x, 1 + y)) << x << "," << y;
        } else if (c.xtiled) {
            // Columns repeat with period 3; rows are stretched, so only the column's red
            // channel (constant along a column) is exact.
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(pixel(x % 3, 0) & 0xFF0000, canvas.Pixel(1 + x, 3) & 0xFF0000) << x;
        } else {
            for (int y = 0; y < 5; ++y)
                EXPECT_EQ(pixel(0, y % 2) & 0xFF, canvas.Pixel(5, 1 + y) & 0xFF) << y;
        }
        EXPECT_EQ(kWhite, canvas.Pixel(9, 3));
        EXPECT_EQ(kWhite, canvas.Pixel(4, 6));
    }
}

TEST(SkinPainterColor, FillsBlendsOrSkipsByAlpha)
{
    struct Case {
        DWORD color;
        DWORD expected;
    };
    const Case cases[] = {
        {0x00FF0000, kWhite},   // alpha 0: nothing
        {0xFF336699, 0x336699}, // opaque: exact fill
        {0x80000000, 0x7F7F7F}, // half black over white
    };
    for (const Case& c : cases) {
        CDibCanvas canvas(10, 10);
        CSkinPainter::DrawColor(canvas.Dc(), RECT{2, 2, 8, 8}, c.color);
        EXPECT_TRUE(NearColor(c.expected, canvas.Pixel(4, 4), 1)) << std::hex << c.color << " " << canvas.Pixel(4, 4);
        EXPECT_EQ(kWhite, canvas.Pixel(8, 8)) << std::hex << c.color;
    }
}

TEST(SkinPainterColor, GradientRunsFromTopToBottomColour)
{
    CDibCanvas canvas(10, 16);
    CSkinPainter::DrawGradient(canvas.Dc(), RECT{0, 0, 10, 16}, 0xFF000000, 0xFF0000F0, 16);
    EXPECT_EQ(0x000000u, canvas.Pixel(5, 0));
    EXPECT_EQ(0x000080u, canvas.Pixel(5, 8)); // band 8 of 15: 0xF0 * 8 / 15
    EXPECT_EQ(0x0000F0u, canvas.Pixel(5, 15));

    // The opacity is the average of the two alphas: 0xFF and 0x01 give half, two
    // transparent ends give nothing.
    CDibCanvas half(4, 4);
    CSkinPainter::DrawGradient(half.Dc(), RECT{0, 0, 4, 4}, 0xFF000000, 0x01000000, 4);
    EXPECT_TRUE(NearColor(0x7F7F7F, half.Pixel(1, 1), 2)) << std::hex << half.Pixel(1, 1);
    CDibCanvas none(4, 4);
    CSkinPainter::DrawGradient(none.Dc(), RECT{0, 0, 4, 4}, 0x00000000, 0x00000000, 4);
    EXPECT_EQ(kWhite, none.Pixel(1, 1));
}

TEST(SkinPainterColor, RectOutlineLiesInsideTheRectangle)
{
    CDibCanvas canvas(20, 20);
    CSkinPainter::DrawRect(canvas.Dc(), RECT{2, 2, 12, 12}, 2, 0x80FF0000); // alpha ignored
    EXPECT_EQ(0xFF0000u, canvas.Pixel(2, 2));
    EXPECT_EQ(0xFF0000u, canvas.Pixel(3, 7));
    EXPECT_EQ(0xFF0000u, canvas.Pixel(11, 11));
    EXPECT_EQ(kWhite, canvas.Pixel(4, 4));   // inside the outline
    EXPECT_EQ(kWhite, canvas.Pixel(12, 12)); // outside the rectangle
    EXPECT_EQ(kWhite, canvas.Pixel(1, 1));
}

TEST(SkinPainterColor, LinesAndRoundRectsUseTheColour)
{
    CDibCanvas canvas(20, 20);
    CSkinPainter::DrawLine(canvas.Dc(), POINT{0, 5}, POINT{20, 5}, 1, 0x000000FF);
    EXPECT_EQ(0x0000FFu, canvas.Pixel(10, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(10, 6));

    CSkinPainter::DrawRoundRect(canvas.Dc(), RECT{0, 8, 20, 20}, 1, 4, 4, 0xFF00FF00);
    EXPECT_EQ(0x00FF00u, canvas.Pixel(10, 8));
    EXPECT_EQ(kWhite, canvas.Pixel(10, 14)); // not filled
    EXPECT_EQ(kWhite, canvas.Pixel(0, 8));   // the corner is rounded off
}

// --- Image strings: loading through the host's cache ---

namespace {

// A 24-bit bottom-up BMP of width by height whose pixel (x, y) is rgb(x, y).
void WriteBmp(const std::string& path, int width, int height, DWORD (*rgb)(int, int))
{
    const int stride = (width * 3 + 3) & ~3;
    std::string data(54 + stride * height, '\0');
    auto put32 = [&](size_t at, DWORD v) {
        for (int i = 0; i < 4; ++i)
            data[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    data[0] = 'B';
    data[1] = 'M';
    put32(2, static_cast<DWORD>(data.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<DWORD>(width));
    put32(22, static_cast<DWORD>(height));
    data[26] = 1;
    data[28] = 24;
    for (int y = 0; y < height; ++y) {
        char* row = &data[54 + stride * (height - 1 - y)];
        for (int x = 0; x < width; ++x) {
            const DWORD c = rgb(x, y);
            row[x * 3] = static_cast<char>(c & 0xFF);
            row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((c >> 16) & 0xFF);
        }
    }
    WriteTextFile(path, data);
}

// Left half magenta, right half blue.
DWORD HalfMagenta(int x, int) { return x < 2 ? 0xFF00FF : 0x0000FF; }

class SkinPainterImageString : public testing::Test {
protected:
    void SetUp() override { SkinUI::CSkinResources::Reset(); }
    void TearDown() override { SkinUI::CSkinResources::Reset(); }

    TempDir dir;
    SkinUI::CPaintHostUI host;
};

} // namespace

TEST_F(SkinPainterImageString, MaskColourBecomesTransparent)
{
    const std::string file = dir / "half.bmp";
    WriteBmp(file, 4, 4, HalfMagenta);
    CDibCanvas canvas(20, 20, 0x00FF00);
    const std::string image = "file='" + file + "' mask='#FFFF00FF'";
    EXPECT_TRUE(CSkinPainter::DrawImageString(canvas.Dc(), &host, RECT{0, 0, 4, 4}, RECT{0, 0, 20, 20},
                                              image.c_str()));
    EXPECT_EQ(0x00FF00u, canvas.Pixel(0, 0)) << "masked pixels let the background through";
    EXPECT_EQ(0x0000FFu, canvas.Pixel(3, 3));
}

TEST_F(SkinPainterImageString, DestAndSourcePlaceThePartInsideTheControl)
{
    const std::string file = dir / "half.bmp";
    WriteBmp(file, 4, 4, HalfMagenta);
    CDibCanvas canvas(40, 40);
    // The blue half (source 2..4) at dest 5,5 of a control at (10,10): 15..17.
    const std::string image = "file='" + file + "' source='2,0,4,4' dest='5,5,7,9'";
    const RECT control = {10, 10, 30, 30};
    EXPECT_TRUE(CSkinPainter::DrawImageString(canvas.Dc(), &host, control, RECT{0, 0, 40, 40}, image.c_str()));
    EXPECT_EQ(0x0000FFu, canvas.Pixel(15, 15));
    EXPECT_EQ(0x0000FFu, canvas.Pixel(16, 18));
    EXPECT_EQ(0xFFFFFFu, canvas.Pixel(14, 15));
    EXPECT_EQ(0xFFFFFFu, canvas.Pixel(17, 15));

    // A paint rectangle away from the control draws nothing at all.
    CDibCanvas other(40, 40);
    EXPECT_TRUE(CSkinPainter::DrawImageString(other.Dc(), &host, control, RECT{0, 0, 9, 9}, image.c_str()));
    EXPECT_EQ(0xFFFFFFu, other.Pixel(15, 15));
}

TEST_F(SkinPainterImageString, MissingImageDrawsNothingAndIsTriedAgain)
{
    const std::string file = dir / "later.bmp";
    const std::string image = "file='" + file + "'";
    CDibCanvas canvas(10, 10);
    EXPECT_TRUE(CSkinPainter::DrawImageString(canvas.Dc(), &host, RECT{0, 0, 4, 4}, RECT{0, 0, 10, 10},
                                              image.c_str()));
    EXPECT_EQ(0xFFFFFFu, canvas.Pixel(3, 3));

    WriteBmp(file, 4, 4, HalfMagenta);
    EXPECT_TRUE(CSkinPainter::DrawImageString(canvas.Dc(), &host, RECT{0, 0, 4, 4}, RECT{0, 0, 10, 10},
                                              image.c_str()));
    EXPECT_EQ(0x0000FFu, canvas.Pixel(3, 3));

    // Without a host or a context there is nothing to draw with.
    EXPECT_FALSE(CSkinPainter::DrawImageString(canvas.Dc(), nullptr, RECT{0, 0, 4, 4}, RECT{0, 0, 10, 10},
                                               image.c_str()));
    EXPECT_FALSE(CSkinPainter::DrawImageString(nullptr, &host, RECT{0, 0, 4, 4}, RECT{0, 0, 10, 10}, image.c_str()));
}
