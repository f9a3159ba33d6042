#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "skinui/ButtonUI.h"
#include "skinui/CheckBoxUI.h"
#include "skinui/ContainerUI.h"
#include "skinui/LabelUI.h"
#include "skinui/LayoutBuilder.h"
#include "skinui/PaintHostUI.h"
#include "skinui/ScrollBarUI.h"
#include "skinui/SkinResources.h"
#include "skinui/TestHostWindow.h"
#include "skinui/VerticalLayoutUI.h"
#include "support/TempDir.h"

using namespace SkinUI;

namespace {

// Resource location is process-wide: every test starts from a clean state.
class BuilderTest : public testing::Test {
protected:
    void SetUp() override { CSkinResources::Reset(); }
    void TearDown() override { CSkinResources::Reset(); }

    // Builds inline markup into the host; the tree is owned by the caller.
    CControlUI* Build(const std::string& xml, IDialogBuilderCallback* callback = nullptr)
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(xml, "", callback, &host, nullptr);
        lastError = builder.GetLastErrorMessage();
        return root;
    }

    CPaintHostUI host;
    std::string lastError;
};

template <class T>
T* Child(CControlUI* container, int index)
{
    auto* c = static_cast<IContainerUI*>(container->GetInterface("IContainer"));
    return c ? dynamic_cast<T*>(c->GetItemAt(index)) : nullptr;
}

} // namespace

TEST_F(BuilderTest, OddlySpacedAttributesAndDefaultListsApplyInOrder)
{
    std::unique_ptr<CControlUI> root(Build(
        "<Window>"
        "<Default name=\"Button\" value=\"width=&quot;40&quot; text=&quot;old&quot; height=&quot;26&quot;\"/>"
        "<VerticalLayout>"
        "<Button name=\"BtnFlush\" padding=\"10,0,00\"text=\"刷新\" width=\"70\"/>"
        "<Label  name = \"TitleLable\" text=\"游戏盘清理\"/>"
        "<Button name=\"Plain\"/>"
        "</VerticalLayout></Window>"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("VerticalLayoutUI", root->GetClass());

    auto* flush = Child<CButtonUI>(root.get(), 0);
    ASSERT_NE(nullptr, flush);
    EXPECT_EQ("BtnFlush", flush->GetName());
    EXPECT_EQ("刷新", flush->GetText());
    EXPECT_EQ(70, flush->GetFixedWidth()) << "the element attribute overrides the default list";
    EXPECT_EQ(26, flush->GetFixedHeight()) << "the default list was applied first";
    RECT pad = flush->GetPadding();
    EXPECT_EQ((std::vector<LONG>{10, 0, 0, 0}), (std::vector<LONG>{pad.left, pad.top, pad.right, pad.bottom}));

    auto* title = Child<CLabelUI>(root.get(), 1);
    ASSERT_NE(nullptr, title);
    EXPECT_EQ("TitleLable", title->GetName());

    auto* plain = Child<CButtonUI>(root.get(), 2);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ("old", plain->GetText());
    EXPECT_EQ(40, plain->GetFixedWidth());

    // The finished tree is unbound: the host binds it when it attaches it.
    EXPECT_EQ(nullptr, root->GetManager());
    EXPECT_EQ(nullptr, flush->GetManager());
    EXPECT_EQ(root.get(), flush->GetParent());
}

TEST_F(BuilderTest, UnknownElementsAreSkippedWithTheirSubtree)
{
    struct Callback : IDialogBuilderCallback {
        std::vector<std::string> asked;
        CControlUI* CreateControl(const std::string& name) override
        {
            asked.push_back(name);
            if (name == "Custom") {
                auto* c = new CControlUI;
                c->SetName("made by callback");
                return c;
            }
            return nullptr;
        }
    } callback;
    std::unique_ptr<CControlUI> root(Build(
        "<Window><VerticalLayout>"
        "<Mystery><Button name=\"inside\"/></Mystery>"
        "<Custom width=\"5\"/>"
        "<Control name=\"after\"/>"
        "</VerticalLayout></Window>",
        &callback));
    ASSERT_NE(nullptr, root);
    auto* container = static_cast<IContainerUI*>(root->GetInterface("IContainer"));
    ASSERT_EQ(2, container->GetCount());
    EXPECT_EQ("made by callback", container->GetItemAt(0)->GetName());
    EXPECT_EQ(5, container->GetItemAt(0)->GetFixedWidth());
    EXPECT_EQ("after", container->GetItemAt(1)->GetName());
    EXPECT_EQ((std::vector<std::string>{"Mystery", "Custom"}), callback.asked);
}

TEST_F(BuilderTest, FailuresGiveNull)
{
    // A parent without a container facet fails the whole build.
    CControlUI plain;
    CLayoutBuilder builder;
    EXPECT_EQ(nullptr, builder.Create("<Window><Control/></Window>", "", nullptr, &host, &plain));

    EXPECT_EQ(nullptr, Build("<Window><ListHeader></List></Window>"));
    EXPECT_EQ("Unmatched closing tag", lastError);
    EXPECT_EQ(nullptr, Build("NotAFile.xml")) << "no resource path and no archive";
    EXPECT_FALSE(lastError.empty());
}

TEST_F(BuilderTest, ResourcesGoToTheHostAndTopLevelControlsToTheParent)
{
    CVerticalLayoutUI parent;
    CLayoutBuilder builder;
    CControlUI* first = builder.Create(
        "<Window>"
        "<Font name=\"宋体\" size=\"12\"/><Font name=\"宋体\" size=\"14\" default=\"true\"/>"
        "<Font size=\"99\"/>"
        "<Font name=\"宋体\" size=\"12\" bold=\"true\"/>"
        "<Default name=\"Label\" value=\"height=&quot;20&quot;\"/>"
        "<Default name=\"Label\" value=\"height=&quot;99&quot;\"/>"
        "<Label name=\"a\"/><Label name=\"b\"/>"
        "</Window>",
        "", nullptr, &host, &parent);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("a", first->GetName());
    ASSERT_EQ(2, parent.GetCount());
    EXPECT_EQ(20, parent.GetItemAt(1)->GetFixedHeight()) << "the first default list wins";

    // Fonts are numbered in document order; one without a name is not added.
    ASSERT_EQ(3, host.GetFontCount());
    EXPECT_EQ(12, host.GetFontEntry(0)->iSize);
    EXPECT_EQ(14, host.GetFontEntry(1)->iSize);
    EXPECT_TRUE(host.GetFontEntry(2)->bBold);
    EXPECT_EQ(14, host.GetDefaultFontEntry().iSize) << "default=\"true\" also replaces the default font";
    EXPECT_EQ(host.GetFont(-1), host.GetFont(5)) << "out of range is the default font";
}

TEST_F(BuilderTest, WindowAttributesNeedAnAttachedHost)
{
    const char* xml = "<Window size=\"300,120\" caption=\"0,0,0,27\" mininfo=\"200,100\"><Control/></Window>";
    std::unique_ptr<CControlUI> unattached(Build(xml));
    EXPECT_EQ(0, host.GetInitSize().cx);

    CTestHostWindow window(50, 50);
    CLayoutBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create(xml, "", nullptr, &window.host, nullptr));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(300, window.host.GetInitSize().cx);
    EXPECT_EQ(27, window.host.GetCaptionRect().bottom);
    EXPECT_EQ(200, window.host.GetMinInfo().cx);
    RECT rc;
    GetWindowRect(window.Hwnd(), &rc);
    EXPECT_EQ(300, rc.right - rc.left) << "no tree attached yet: resized at once";
    EXPECT_EQ(120, rc.bottom - rc.top);
}

TEST_F(BuilderTest, IncludesFromFilesFoldCaseAndRepeat)
{
    TempDir dir;
    WriteTextFile(dir / "Default_scrollbar.xml",
                  "<!--滚动条-->\n<?xml version=\"1.0\"?>\n<Window>"
                  "<Default name=\"VScrollBar\" value=\"linesize=&quot;30&quot;\"/></Window>");
    WriteTextFile(dir / "ListA.xml",
                  "<Window><Default name=\"List\" value=\"height=&quot;1&quot;\"/></Window>");
    WriteTextFile(dir / "ListB.xml",
                  "<Window><Default name=\"List\" value=\"height=&quot;2&quot;\"/></Window>");
    WriteTextFile(dir / "Row.xml", "<Window><Control name=\"row\" height=\"7\"/></Window>");
    CSkinResources::SetResourcePath(dir.Path().c_str());

    std::unique_ptr<CControlUI> root(Build(
        "<Window>"
        "<Include source=\"Default_ScrollBar.xml\"/>"
        "<Include source=\"ListA.xml\"/><Include source=\"ListB.xml\"/>"
        "<Include source=\"Missing.xml\"/>"
        "<VerticalLayout vscrollbar=\"true\">"
        "<Include source=\"Row.xml\" count=\"3\"/>"
        "<Control name=\"last\"/>"
        "</VerticalLayout></Window>"));
    ASSERT_NE(nullptr, root);
    EXPECT_EQ("height=\"1\"", host.GetDefaultAttributeList("List"));
    auto* layout = static_cast<CContainerUI*>(root->GetInterface("Container"));
    ASSERT_EQ(4, layout->GetCount());
    EXPECT_EQ("row", layout->GetItemAt(2)->GetName());
    EXPECT_EQ("last", layout->GetItemAt(3)->GetName());
    ASSERT_NE(nullptr, layout->GetVerticalScrollBar());
    EXPECT_EQ(30, layout->GetVerticalScrollBar()->GetLineSize()) << "the bar got the VScrollBar list";
}

// The real main-window layout from the package embedded in this executable.
TEST_F(BuilderTest, MainWindowLayoutFromTheEmbeddedPackage)
{
    ASSERT_TRUE(CSkinResources::SetResourceZipFromResource(101, "ZIPRES"));
    CLayoutBuilder builder;
    std::unique_ptr<CControlUI> root(builder.Create("TarnwellWnd.xml", "", nullptr, &host, nullptr));
    ASSERT_NE(nullptr, root) << builder.GetLastErrorMessage();

    ASSERT_EQ(3, host.GetFontCount());
    EXPECT_EQ((std::vector<int>{12, 14, 12}), (std::vector<int>{host.GetFontEntry(0)->iSize,
                                                                 host.GetFontEntry(1)->iSize,
                                                                 host.GetFontEntry(2)->iSize}));
    EXPECT_EQ("宋体", host.GetFontEntry(0)->sFontName);
    EXPECT_TRUE(host.GetFontEntry(2)->bBold);
    for (const char* list : {"Button", "CheckBox", "Combo", "List", "ListHeader", "ListHeaderItem", "VScrollBar",
                             "HScrollBar"})
        EXPECT_FALSE(host.GetDefaultAttributeList(list).empty()) << list;

    CTestHostWindow window(900, 700);
    window.host.AttachDialog(root.release());
    for (const char* name : {"TitleLable", "closebtn", "ChkSelectAll", "ClearCountLabel", "QuorraNote1",
                             "QuorraNote2", "BtnRemove", "BtnFlush"})
        EXPECT_NE(nullptr, window.host.FindControl(name)) << name;
    EXPECT_EQ("游戏盘清理", window.host.FindControl("TitleLable")->GetText());
    EXPECT_EQ("CheckBoxUI", window.host.FindControl("ChkSelectAll")->GetClass());
    EXPECT_TRUE(window.host.FindControl("ChkSelectAll")->IsFloat());
    EXPECT_EQ("刷新", window.host.FindControl("BtnFlush")->GetText());
    EXPECT_EQ(70, window.host.FindControl("BtnRemove")->GetFixedWidth());
}
