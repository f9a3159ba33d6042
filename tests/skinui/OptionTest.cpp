#include <gtest/gtest.h>
#include <windows.h>

#include "skinui/CheckBoxUI.h"
#include "skinui/DibCanvas.h"
#include "skinui/HorizontalLayoutUI.h"
#include "skinui/LayoutBuilder.h"
#include "skinui/OptionUI.h"
#include "skinui/TestHostWindow.h"

using namespace SkinUI;

namespace {

using Types = std::vector<std::string>;

// Three options of 100 pixels in a row: a and b in group "g", c in none.
class OptionTest : public testing::Test {
protected:
    void SetUp() override
    {
        row = new CHorizontalLayoutUI;
        a = Make("a", "g");
        b = Make("b", "g");
        c = Make("c", "");
        window.Attach(row);
        window.heard.clear();
    }

    COptionUI* Make(const char* name, const char* group)
    {
        auto* option = new COptionUI;
        option->SetName(name);
        option->SetFixedWidth(100);
        option->SetAttribute("group", group);
        row->Add(option);
        return option;
    }

    // Members of a group on the host, empty when the group is gone.
    std::vector<COptionUI*> Group(const char* name) const
    {
        const std::vector<COptionUI*>* members = window.host.GetOptionGroup(name);
        return members ? *members : std::vector<COptionUI*>{};
    }

    CTestHostWindow window{400, 100};
    CHorizontalLayoutUI* row = nullptr;
    COptionUI* a = nullptr;
    COptionUI* b = nullptr;
    COptionUI* c = nullptr;
};

} // namespace

TEST_F(OptionTest, GroupedOptionsAreNeverSelectedTogether)
{
    EXPECT_EQ((std::vector<COptionUI*>{a, b}), Group("g"));

    window.Click(50, 50);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_EQ((Types{"click", "selectchanged"}), window.TypesFrom(a));

    window.Click(150, 50);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_EQ((Types{"click", "selectchanged"}), window.TypesFrom(b));
    EXPECT_EQ(2u, window.TypesFrom(a).size()) << "the deselected peer sends nothing";

    // Clicking the selected one keeps it selected; only "click" is sent.
    window.Click(150, 50);
    EXPECT_TRUE(b->IsSelected());
    EXPECT_EQ((Types{"click", "selectchanged", "click"}), window.TypesFrom(b));

    // Deselecting by code sends nothing.
    b->Selected(false);
    EXPECT_FALSE(b->IsSelected());
    EXPECT_EQ(3u, window.TypesFrom(b).size());
}

TEST_F(OptionTest, OptionOutsideAGroupTogglesOnEveryClick)
{
    // A "click" listener still sees the state from before the click.
    std::vector<bool> stateAtClick;
    window.onNotify = [&](TNotifyMsg& msg) {
        if (msg.sType == "click" && msg.pSender == c)
            stateAtClick.push_back(c->IsSelected());
    };
    window.Click(250, 50);
    EXPECT_TRUE(c->IsSelected());
    window.Click(250, 50);
    EXPECT_FALSE(c->IsSelected());
    EXPECT_EQ((Types{"click", "selectchanged", "click", "selectchanged"}), window.TypesFrom(c));
    EXPECT_EQ((std::vector<bool>{false, true}), stateAtClick);
    EXPECT_TRUE(window.TypesFrom(a).empty());
}

TEST_F(OptionTest, ChangingTheGroupMovesTheMembership)
{
    a->Selected(true);
    c->SetGroup("g"); // c joins; it is not selected, so a stays selected
    EXPECT_EQ((std::vector<COptionUI*>{a, b, c}), Group("g"));
    EXPECT_TRUE(a->IsSelected());

    b->SetGroup("h");
    EXPECT_EQ((std::vector<COptionUI*>{a, c}), Group("g"));
    EXPECT_EQ((std::vector<COptionUI*>{b}), Group("h"));
    b->Selected(true);
    EXPECT_TRUE(a->IsSelected()) << "b is in another group now";

    // A selected option joining a group keeps that group to itself.
    b->SetGroup("g");
    EXPECT_TRUE(b->IsSelected());
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(Group("h").empty());
}

TEST_F(OptionTest, RemovedOptionLeavesItsGroup)
{
    row->SetDelayedDestroy(false);
    ASSERT_TRUE(row->Remove(a));
    EXPECT_EQ((std::vector<COptionUI*>{b}), Group("g"));
    window.Paint();
    window.Click(50, 50); // now b sits at 0..100
    EXPECT_TRUE(b->IsSelected());
}

TEST_F(OptionTest, DisablingKeepsOnlyTheSelectedBit)
{
    window.MouseMove(50, 50);
    a->Selected(true);
    ASSERT_TRUE(a->GetButtonState() & UISTATE_HOT);
    a->SetEnabled(false);
    EXPECT_EQ(UISTATE_SELECTED, a->GetButtonState());
    b->SetEnabled(false);
    EXPECT_EQ(0u, b->GetButtonState());
}

TEST_F(OptionTest, PaintsTheSelectedFaceAndTheDisabledImages)
{
    c->SetAttribute("selectedbkcolor", "#FF0000FF");
    c->SetAttribute("pushedbkcolor", "#FFFF0000");
    c->SetAttribute("hotbkcolor", "#FF00FF00");
    auto face = [&] {
        CDibCanvas canvas(400, 100);
        c->DoPaint(canvas.Dc(), c->GetPos());
        return canvas.Pixel(250, 50);
    };
    EXPECT_EQ(0xFFFFFFu, face());
    window.MouseMove(250, 50);
    window.ButtonDown(250, 50);
    EXPECT_EQ(0x00FF00u, face()) << "an option never shows its pushed face";
    window.ButtonUp(250, 50);
    ASSERT_TRUE(c->IsSelected());
    EXPECT_EQ(0x0000FFu, face());
    c->SetEnabled(false);
    EXPECT_EQ(0xF5F5F5u, face());
}

TEST(CheckBox, IsAnOptionUnderItsOwnName)
{
    CCheckBoxUI box;
    EXPECT_EQ("CheckBoxUI", box.GetClass());
    EXPECT_EQ(static_cast<COptionUI*>(&box), box.GetInterface("Option"));
    EXPECT_EQ(static_cast<CButtonUI*>(&box), box.GetInterface("Button"));
    EXPECT_EQ(nullptr, box.GetInterface("CheckBox"));
    COptionUI option;
    EXPECT_EQ("OptionUI", option.GetClass());

    box.SetAttribute("selected", "true");
    box.SetAttribute("selectedimage", "file='Default_Checkbox.png' source='32,0,48,16'");
    box.SetAttribute("selectedtextcolor", "#FF112233");
    box.SetAttribute("normalimage", "file='Default_Checkbox.png' source='0,0,16,16'");
    EXPECT_TRUE(box.IsSelected());
    EXPECT_EQ("file='Default_Checkbox.png' source='32,0,48,16'", box.GetSelectedImage());
    EXPECT_EQ(0xFF112233u, box.GetSelectedTextColor());
    EXPECT_EQ("file='Default_Checkbox.png' source='0,0,16,16'", box.GetNormalImage());
}

TEST(CheckBox, ClickTogglesAndReportsInOrder)
{
    CTestHostWindow window(200, 60);
    auto* root = new CHorizontalLayoutUI;
    auto* box = new CCheckBoxUI;
    root->Add(box);
    window.Attach(root);
    window.heard.clear();
    for (int i = 0; i < 3; ++i)
        window.Click(20, 20);
    EXPECT_TRUE(box->IsSelected());
    EXPECT_EQ((Types{"click", "selectchanged", "click", "selectchanged", "click", "selectchanged"}),
              window.TypesFrom(box));
}

TEST(OptionBuild, BuiltOptionsJoinTheirGroupOnlyWhenAttached)
{
    CTestHostWindow window(300, 60);
    CLayoutBuilder builder;
    CControlUI* root = builder.Create("<Window><HorizontalLayout><Option name=\"x\" group=\"g\" selected=\"true\" "
                                      "width=\"100\"/><CheckBox name=\"y\" group=\"g\" width=\"100\"/>"
                                      "</HorizontalLayout></Window>",
                                      "", nullptr, &window.host);
    ASSERT_NE(nullptr, root);
    // The builder binds controls only while applying attributes; no member is left behind.
    EXPECT_EQ(nullptr, window.host.GetOptionGroup("g"));

    window.Attach(root);
    auto* x = static_cast<COptionUI*>(window.host.FindControl("x"));
    auto* y = static_cast<COptionUI*>(window.host.FindControl("y"));
    ASSERT_NE(nullptr, x);
    ASSERT_NE(nullptr, y);
    ASSERT_NE(nullptr, window.host.GetOptionGroup("g"));
    EXPECT_EQ((std::vector<COptionUI*>{x, y}), *window.host.GetOptionGroup("g"));
    EXPECT_TRUE(x->IsSelected());

    window.Click(150, 30);
    EXPECT_TRUE(y->IsSelected());
    EXPECT_FALSE(x->IsSelected());
}
