#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "skinui/DibCanvas.h"
#include "skinui/LabelUI.h"
#include "skinui/TestHostWindow.h"
#include "skinui/TextUI.h"
#include "skinui/VerticalLayoutUI.h"

using namespace SkinUI;

namespace {

// Pixels of the canvas inside rc that pass `test`.
template <typename Test>
int Count(const CDibCanvas& canvas, const RECT& rc, Test test)
{
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (test(canvas.Pixel(x, y)))
                ++n;
    return n;
}

// Red well above green and blue: glyph pixels of red text, smoothed or not.
bool Reddish(DWORD rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r > g + 60 && r > b + 60;
}

// Grey clearly darker than the disabled fill 0xF5F5F5: glyph pixels of 0xA7A6AA text.
bool DarkGrey(DWORD rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r < 0xE0 && std::abs(r - g) < 12 && std::abs(r - b) < 12;
}

} // namespace

TEST(LabelAttributes, AlignWordsSetTheTextStyle)
{
    struct Case {
        const char* align;
        UINT expected; // starting from the label's vertical centre
    };
    const Case cases[] = {
        {"left", TS_LEFT | TS_VCENTER},
        {"center", TS_CENTER | TS_VCENTER},
        {"right", TS_RIGHT | TS_VCENTER},
        {"top", TS_TOP},
        {"bottom", TS_BOTTOM},
        {"vcenter", TS_CENTER | TS_VCENTER}, // "center" is found inside "vcenter"
        {"right bottom", TS_RIGHT | TS_BOTTOM},
        {"Right", TS_VCENTER}, // case-sensitive: nothing matches
    };
    for (const Case& c : cases) {
        CLabelUI label;
        label.SetAttribute("align", c.align);
        EXPECT_EQ(c.expected, label.GetTextStyle()) << c.align;
    }
}

TEST(LabelAttributes, TextAttributesAndTheClassTree)
{
    CLabelUI label;
    label.SetAttribute("endellipsis", "true");
    label.SetAttribute("font", "2");
    label.SetAttribute("textcolor", " #FF00AA00");
    label.SetAttribute("disabledtextcolor", "FF808080");
    label.SetAttribute("textpadding", "3,1,2");
    label.SetAttribute("enabledeffect", "true"); // kept, not drawn
    label.SetAttribute("name", "TitleLable");
    EXPECT_EQ(TS_VCENTER | TS_END_ELLIPSIS, label.GetTextStyle());
    EXPECT_EQ(2, label.GetFont());
    EXPECT_EQ(0xFF00AA00u, label.GetTextColor());
    EXPECT_EQ(0xFF808080u, label.GetDisabledTextColor());
    const RECT padding = label.GetTextPadding();
    EXPECT_EQ((std::vector<LONG>{3, 1, 2, 0}),
              (std::vector<LONG>{padding.left, padding.top, padding.right, padding.bottom}));
    EXPECT_TRUE(label.GetTextEffect().enabled);
    EXPECT_EQ("TitleLable", label.GetName()); // passed on to the control
    label.SetAttribute("endellipsis", "false");
    EXPECT_EQ(TS_VCENTER, label.GetTextStyle());

    EXPECT_EQ("LabelUI", label.GetClass());
    EXPECT_EQ(&label, label.GetInterface("Label"));
    EXPECT_EQ(&label, label.GetInterface("Control"));
    CTextUI text;
    EXPECT_EQ("TextUI", text.GetClass());
    EXPECT_EQ(&text, text.GetInterface("Text"));
    EXPECT_EQ(static_cast<CLabelUI*>(&text), text.GetInterface("Label"));
    EXPECT_EQ(TS_WORDBREAK, text.GetTextStyle());
}

TEST(LabelPaint, DrawsItsTextInTheEnabledOrDisabledColour)
{
    CTestHostWindow window(300, 60);
    auto* root = new CVerticalLayoutUI;
    window.host.AddFont("宋体", 24, true, false, false);
    auto* label = new CLabelUI;
    label->SetText("删除刷新");
    label->SetAttribute("font", "0");
    label->SetAttribute("textcolor", "#FFFF0000");
    root->Add(label);
    window.Attach(root);
    const RECT pos = label->GetPos();

    CDibCanvas canvas(300, 60);
    label->DoPaint(canvas.Dc(), pos);
    EXPECT_GT(Count(canvas, pos, Reddish), 20);

    // Disabled: the host's disabled text colour (0xA7A6AA) over the disabled fill.
    label->SetEnabled(false);
    canvas.Fill(0xFFFFFF);
    label->DoPaint(canvas.Dc(), pos);
    EXPECT_EQ(0, Count(canvas, pos, Reddish));
    EXPECT_EQ(0xF5F5F5u, canvas.Pixel(pos.right - 1, pos.bottom - 1));
    EXPECT_GT(Count(canvas, pos, DarkGrey), 20);

    // No text: nothing but the background.
    label->SetEnabled(true);
    label->SetText("");
    canvas.Fill(0xFFFFFF);
    label->DoPaint(canvas.Dc(), pos);
    EXPECT_EQ(0, Count(canvas, pos, Reddish));
}

TEST(LabelLayout, EstimatedHeightIsTheFontHeightPlusFour)
{
    CTestHostWindow window(300, 60);
    auto* root = new CVerticalLayoutUI;
    auto* label = new CLabelUI;
    label->SetFixedWidth(120);
    root->Add(label);
    window.Attach(root);
    const int fontHeight = window.host.GetFontInfo(-1).tmHeight;
    ASSERT_GT(fontHeight, 0);
    const SIZE size = label->EstimateSize(SIZE{300, 60});
    EXPECT_EQ(120, size.cx);
    EXPECT_EQ(fontHeight + 4, size.cy);
}

TEST(TextLayout, EstimateWrapsToTheAvailableWidth)
{
    CTestHostWindow window(400, 300);
    auto* root = new CVerticalLayoutUI;
    auto* text = new CTextUI;
    text->SetText("确定要删除选中的目录和文件吗？删除后无法恢复。Deleted entries cannot be restored.");
    root->Add(text);
    window.Attach(root);
    const int line = window.host.GetFontInfo(-1).tmHeight;
    ASSERT_GT(line, 0);

    const SIZE wide = text->EstimateSize(SIZE{2000, 0});
    const SIZE narrow = text->EstimateSize(SIZE{120, 0});
    EXPECT_EQ(line, wide.cy) << "one line when there is room";
    EXPECT_GT(narrow.cy, 2 * line);
    EXPECT_LE(narrow.cx, 120) << "the measured width stays within the available width";
    EXPECT_GT(wide.cx, narrow.cx);

    // Padding is added around the measured text; a fixed height wins.
    text->SetAttribute("textpadding", "2,5,2,7");
    EXPECT_EQ(line + 12, text->EstimateSize(SIZE{2000, 0}).cy);
    text->SetFixedHeight(40);
    EXPECT_EQ(40, text->EstimateSize(SIZE{2000, 0}).cy);
}
