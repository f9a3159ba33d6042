#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skinui/ContainerUI.h"
#include "skinui/HorizontalLayoutUI.h"
#include "skinui/LayoutBuilder.h"
#include "skinui/PaintHostUI.h"
#include "skinui/ScrollBarUI.h"
#include "skinui/SkinResources.h"
#include "skinui/TestHostWindow.h"
#include "skinui/VerticalLayoutUI.h"

using namespace SkinUI;

namespace {

struct Span {
    LONG from;
    LONG to;
    bool operator==(const Span& o) const { return from == o.from && to == o.to; }
};
std::ostream& operator<<(std::ostream& os, const Span& s) { return os << s.from << ".." << s.to; }

Span Vertical(const CControlUI* c) { return Span{c->GetPos().top, c->GetPos().bottom}; }
Span Horizontal(const CControlUI* c) { return Span{c->GetPos().left, c->GetPos().right}; }

// Builds inline markup, binds it to a host and lays it out over rc.
class LayoutTest : public testing::Test {
protected:
    CContainerUI* Lay(const std::string& xml, RECT rc)
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create("<Window>" + xml + "</Window>", "", nullptr, &host, nullptr);
        EXPECT_NE(nullptr, root) << builder.GetLastErrorMessage();
        tree.reset(root);
        host.InitControls(root);
        root->SetPos(rc);
        return static_cast<CContainerUI*>(root->GetInterface("Container"));
    }
    CControlUI* Item(int i) { return static_cast<CContainerUI*>(tree->GetInterface("Container"))->GetItemAt(i); }

    CPaintHostUI host;
    std::unique_ptr<CControlUI> tree;
};

} // namespace

// Each case: a layout, its area, the expected spans of its children along the layout's axis.
TEST_F(LayoutTest, IntegerArithmeticAlongTheAxis)
{
    struct Case {
        const char* what;
        const char* xml;
        RECT area;
        bool vertical;
        std::vector<Span> expected;
    } cases[] = {
        {"top padding of the first child counts twice",
         "<VerticalLayout><Control height=\"22\" padding=\"1,1,1,0\"/><Control/></VerticalLayout>",
         {0, 0, 900, 700}, true, {{1, 23}, {23, 699}}},
        {"hidden children take no space; adjustables share the rest, the last takes the remainder",
         "<VerticalLayout inset=\"0,10,0,0\" childpadding=\"5\"><Control/><Control height=\"50\" visible=\"false\"/>"
         "<Control height=\"20\"/><Control/></VerticalLayout>",
         {0, 0, 100, 111}, true, {{10, 45}, {0, 0}, {50, 70}, {75, 111}}},
        {"min and max clamp fixed and adjustable heights",
         "<VerticalLayout><Control height=\"5\" minheight=\"12\"/><Control maxheight=\"30\"/><Control/></VerticalLayout>",
         {0, 0, 10, 100}, true, {{0, 12}, {12, 42}, {42, 100}}},
        {"a width-0 label between fixed siblings takes the leftover; right padding is inside the span",
         "<HorizontalLayout padding=\"1,1,1,0\"><Control width=\"18\" padding=\"1,1\"/><Label width=\"0\" padding=\"3\"/>"
         "<Button width=\"32\"/></HorizontalLayout>",
         {1, 1, 899, 23}, false, {{2, 20}, {23, 867}, {867, 899}}},
        {"child padding between, right padding reaches over",
         "<HorizontalLayout childpadding=\"4\"><Control width=\"10\" padding=\"0,0,6,0\"/><Control/></HorizontalLayout>",
         {0, 0, 100, 10}, false, {{0, 16}, {20, 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CContainerUI* layout = Lay(c.xml, c.area);
        ASSERT_NE(nullptr, layout);
        std::vector<Span> got;
        for (int i = 0; i < layout->GetCount(); ++i) {
            CControlUI* child = layout->GetItemAt(i);
            if (!child->IsVisible())
                got.push_back(Span{0, 0});
            else
                got.push_back(c.vertical ? Vertical(child) : Horizontal(child));
        }
        EXPECT_EQ(c.expected, got);
    }
}

TEST_F(LayoutTest, FloatingChildIsPlacedByItsPosFromTheContainerCorner)
{
    CContainerUI* layout = Lay("<VerticalLayout inset=\"10,10,10,10\">"
                               "<Control float=\"true\" pos=\"11,6,36,31\"/>"
                               "<Control float=\"true\" pos=\"-30,-20,0,0\" width=\"20\" height=\"10\"/>"
                               "<Control/></VerticalLayout>",
                               RECT{100, 200, 400, 500});
    ASSERT_NE(nullptr, layout);
    RECT a = Item(0)->GetPos();
    EXPECT_EQ((std::vector<LONG>{111, 206, 136, 231}), (std::vector<LONG>{a.left, a.top, a.right, a.bottom}));
    RECT b = Item(1)->GetPos(); // negative pos: from the right and bottom edges
    EXPECT_EQ((std::vector<LONG>{350, 470, 370, 480}), (std::vector<LONG>{b.left, b.top, b.right, b.bottom}));
    EXPECT_EQ((Span{210, 490}), Vertical(Item(2))) << "floating children take no space";
}

TEST_F(LayoutTest, VerticalScrollBarFollowsTheContentHeight)
{
    std::string rows;
    for (int i = 0; i < 10; ++i)
        rows += "<Control height=\"30\"/>";
    CContainerUI* layout = Lay("<VerticalLayout vscrollbar=\"true\">" + rows + "</VerticalLayout>", RECT{0, 0, 200, 100});
    ASSERT_NE(nullptr, layout);
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(200, layout->GetScrollRange().cy) << "300 of content in 100";
    EXPECT_EQ((Span{184, 200}), Horizontal(bar));
    EXPECT_EQ((Span{0, 184}), Horizontal(Item(0))) << "children leave room for the bar";

    layout->LineDown(); // default font height + 8
    const int line = host.GetDefaultFontInfo().tmHeight + 8;
    EXPECT_EQ(line, layout->GetScrollPos().cy);
    EXPECT_EQ((Span{-line, 30 - line}), Vertical(Item(0)));
    layout->EndDown();
    EXPECT_EQ(200, layout->GetScrollPos().cy);
    EXPECT_EQ((Span{70, 100}), Vertical(Item(9)));
    layout->PageUp();
    EXPECT_EQ(100, layout->GetScrollPos().cy);
    layout->SetScrollPos(SIZE{0, 5000});
    EXPECT_EQ(200, layout->GetScrollPos().cy) << "clamped to the range";

    // Removing rows until the content fits hides the bar and resets the position.
    layout->SetDelayedDestroy(false);
    while (layout->GetCount() > 3)
        layout->RemoveAt(0);
    layout->SetPos(layout->GetPos());
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_EQ((Span{0, 30}), Vertical(Item(0)));
    EXPECT_EQ((Span{0, 200}), Horizontal(Item(0)));
}

// The main window at 900 by 700, from the embedded package, laid out by a real paint.
TEST_F(LayoutTest, MainWindowAt900By700)
{
    CSkinResources::Reset();
    ASSERT_TRUE(CSkinResources::SetResourceZipFromResource(101, "ZIPRES"));
    CTestHostWindow window(900, 700);
    CLayoutBuilder builder;
    CControlUI* root = builder.Create("TarnwellWnd.xml", "", nullptr, &window.host, nullptr);
    ASSERT_NE(nullptr, root) << builder.GetLastErrorMessage();
    window.Attach(root);

    CControlUI* title = window.host.FindControl("TitleLable");
    CControlUI* close = window.host.FindControl("closebtn");
    ASSERT_NE(nullptr, title);
    ASSERT_NE(nullptr, close);
    auto* titleRow = static_cast<CContainerUI*>(title->GetParent()->GetInterface("Container"));
    CControlUI* icon = titleRow->GetItemAt(0);
    EXPECT_EQ((Span{2, 20}), Horizontal(icon));
    EXPECT_EQ((Span{2, 20}), Vertical(icon));
    EXPECT_EQ((Span{23, 867}), Horizontal(title));
    EXPECT_EQ((Span{867, 899}), Horizontal(close));
    EXPECT_EQ((Span{1, 23}), Vertical(titleRow));

    // The candidate column starts at x 1, y 23; the check box floats 11 right and 6 down of it.
    CControlUI* check = window.host.FindControl("ChkSelectAll");
    ASSERT_NE(nullptr, check);
    const RECT& column = check->GetParent()->GetPos();
    EXPECT_EQ(1, column.left);
    EXPECT_EQ(23, column.top);
    RECT rc = check->GetPos();
    EXPECT_EQ((std::vector<LONG>{12, 29, 37, 54}), (std::vector<LONG>{rc.left, rc.top, rc.right, rc.bottom}));

    EXPECT_EQ((Span{700, 900}), Horizontal(window.host.FindControl("ClearCountLabel")->GetParent()));
    CControlUI* flush = window.host.FindControl("BtnFlush");
    EXPECT_EQ(70, flush->GetWidth());
    EXPECT_EQ(flush->GetPos().left, window.host.FindControl("BtnRemove")->GetPos().right + 10);
    CSkinResources::Reset();
}
