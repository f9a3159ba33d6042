#include <gtest/gtest.h>
#include <windows.h>

#include "skinui/ButtonUI.h"
#include "skinui/DibCanvas.h"
#include "skinui/HorizontalLayoutUI.h"
#include "skinui/TestHostWindow.h"

using namespace SkinUI;

namespace {

using Types = std::vector<std::string>;

// A 400 by 100 window with a row of two 100-pixel buttons at x 0..100 and 100..200.
class ButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto* row = new CHorizontalLayoutUI;
        first = new CButtonUI;
        first->SetName("first");
        first->SetFixedWidth(100);
        second = new CButtonUI;
        second->SetName("second");
        second->SetFixedWidth(100);
        row->Add(first);
        row->Add(second);
        window.Attach(row);
        ASSERT_EQ(100, first->GetPos().right);
        window.heard.clear();
    }

    CTestHostWindow window{400, 100};
    CButtonUI* first = nullptr;
    CButtonUI* second = nullptr;
};

} // namespace

TEST_F(ButtonTest, PressAndReleaseInsideSendsOneClick)
{
    window.MouseMove(50, 50);
    EXPECT_TRUE(first->GetButtonState() & UISTATE_HOT);
    window.ButtonDown(50, 50);
    EXPECT_EQ(UISTATE_PUSHED | UISTATE_CAPTURED, first->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
    EXPECT_TRUE(window.TypesFrom(first).empty());
    window.ButtonUp(50, 50);
    EXPECT_EQ(Types{"click"}, window.TypesFrom(first));
    EXPECT_EQ(0u, first->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
    EXPECT_TRUE(window.TypesFrom(second).empty());
}

TEST_F(ButtonTest, DraggingOutAndReleasingOutsideSendsNothing)
{
    window.MouseMove(50, 50);
    window.ButtonDown(50, 50);
    // The press stays with the button that got it, even over its neighbour.
    window.MouseMove(150, 50);
    EXPECT_EQ(0u, first->GetButtonState() & UISTATE_PUSHED);
    EXPECT_TRUE(first->GetButtonState() & UISTATE_CAPTURED);
    window.MouseMove(60, 50);
    EXPECT_TRUE(first->GetButtonState() & UISTATE_PUSHED); // back inside: pushed again
    window.MouseMove(150, 50);
    window.ButtonUp(150, 50);
    EXPECT_TRUE(window.TypesFrom(first).empty());
    EXPECT_TRUE(window.TypesFrom(second).empty());
    EXPECT_EQ(0u, first->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
}

TEST_F(ButtonTest, HotFollowsTheMouse)
{
    window.MouseMove(50, 50);
    EXPECT_TRUE(first->GetButtonState() & UISTATE_HOT);
    window.MouseMove(150, 50);
    EXPECT_EQ(0u, first->GetButtonState() & UISTATE_HOT);
    EXPECT_TRUE(second->GetButtonState() & UISTATE_HOT);
}

TEST_F(ButtonTest, SpaceAndEnterOnTheFocusedButtonClick)
{
    window.host.SetFocus(second);
    ASSERT_TRUE(second->IsFocused());
    EXPECT_TRUE(second->GetButtonState() & UISTATE_FOCUSED);
    window.Key(VK_SPACE);
    window.Key(VK_RETURN);
    window.Key('A');
    EXPECT_EQ((Types{"click", "click"}), window.TypesFrom(second));

    second->SetKeyboardEnabled(false);
    window.Key(VK_SPACE);
    EXPECT_EQ(2u, window.TypesFrom(second).size());
    EXPECT_TRUE(window.TypesFrom(first).empty());
}

TEST_F(ButtonTest, DisabledButtonIgnoresClicksAndClearsItsState)
{
    window.MouseMove(50, 50);
    ASSERT_NE(0u, first->GetButtonState());
    first->SetEnabled(false);
    EXPECT_EQ(0u, first->GetButtonState());
    EXPECT_FALSE(first->Activate());
    window.Click(50, 50);
    window.Click(50, 50);
    EXPECT_TRUE(window.TypesFrom(first).empty());
    EXPECT_EQ(0u, first->GetControlFlags() & UIFLAG_SETCURSOR);

    first->SetEnabled(true);
    first->SetVisible(false);
    EXPECT_FALSE(first->Activate());
    EXPECT_TRUE(window.TypesFrom(first).empty());
}

TEST_F(ButtonTest, ButtonThatIgnoresTheMouseIsNotPressed)
{
    first->SetMouseEnabled(false);
    window.Click(50, 50);
    EXPECT_EQ(0u, first->GetButtonState() & (UISTATE_PUSHED | UISTATE_CAPTURED));
    EXPECT_TRUE(window.TypesFrom(first).empty());
}

TEST_F(ButtonTest, ContextMenuSendsMenuOnlyWhenUsed)
{
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 50));
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Hwnd()), MAKELPARAM(50, 50));
    EXPECT_TRUE(window.TypesFrom(first).empty());
    first->SetAttribute("menu", "true");
    window.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(50, 50));
    window.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.Hwnd()), MAKELPARAM(50, 50));
    EXPECT_EQ(Types{"menu"}, window.TypesFrom(first));
}

TEST_F(ButtonTest, EstimatedHeightIsTheFontHeightPlusEight)
{
    const int fontHeight = window.host.GetFontInfo(-1).tmHeight;
    ASSERT_GT(fontHeight, 0);
    EXPECT_EQ(fontHeight + 8, first->EstimateSize(SIZE{400, 100}).cy);
    EXPECT_EQ(100, first->EstimateSize(SIZE{400, 100}).cx);
    first->SetFixedHeight(30);
    EXPECT_EQ(30, first->EstimateSize(SIZE{400, 100}).cy);
}

// The state faces, seen through their background colours on pixels.
TEST_F(ButtonTest, PaintsTheFaceOfItsState)
{
    first->SetAttribute("hotbkcolor", "#FF00FF00");
    first->SetAttribute("pushedbkcolor", "#FF0000FF");
    first->SetAttribute("Focusedbkcolor", "#FFFF0000");
    window.host.SetFocus(second); // the first tab stop took the focus at the first paint
    auto faceAfter = [&](auto&& action) {
        action();
        CDibCanvas canvas(400, 100);
        first->DoPaint(canvas.Dc(), first->GetPos());
        return canvas.Pixel(50, 50);
    };
    EXPECT_EQ(0xFFFFFFu, faceAfter([] {}));                                  // normal: nothing
    EXPECT_EQ(0x00FF00u, faceAfter([&] { window.MouseMove(50, 50); }));      // hot
    EXPECT_EQ(0x0000FFu, faceAfter([&] { window.ButtonDown(50, 50); }));     // pushed
    EXPECT_EQ(0x00FF00u, faceAfter([&] { window.ButtonUp(50, 50); }));       // hot again
    EXPECT_EQ(0xFF0000u, faceAfter([&] { window.MouseMove(150, 50); window.host.SetFocus(first); }));
    EXPECT_EQ(0xF5F5F5u, faceAfter([&] { first->SetEnabled(false); }));      // disabled fill
}

TEST(ButtonAttributes, StateImagesColoursAndPushFloat)
{
    CButtonUI button;
    button.SetAttribute("normalimage", "file='Default_Btn.png' source='0,0,74,26'");
    button.SetAttribute("pushedtextcolor", "#FF102030");
    button.SetAttribute("pushfloat", "false");
    button.SetAttribute("text", "删除");
    button.SetAttribute("unknownthing", "1");
    EXPECT_EQ("file='Default_Btn.png' source='0,0,74,26'", button.GetNormalImage());
    EXPECT_EQ(0xFF102030u, button.GetPushedTextColor());
    EXPECT_FALSE(button.IsPushFloat());
    EXPECT_EQ("删除", button.GetText());
    EXPECT_EQ(TS_CENTER | TS_VCENTER | TS_SINGLELINE, button.GetTextStyle());
    EXPECT_EQ("ButtonUI", button.GetClass());
    EXPECT_EQ(&button, button.GetInterface("Button"));
    EXPECT_EQ(static_cast<CLabelUI*>(&button), button.GetInterface("Label"));
    EXPECT_EQ(nullptr, button.GetInterface("Option"));
}
