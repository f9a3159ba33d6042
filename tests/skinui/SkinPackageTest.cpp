// The real skin package as the program embeds it: resource, entries, layouts and images.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "skinui/ImageLoader.h"
#include "skinui/ImageString.h"
#include "skinui/SkinArchive.h"
#include "skinui/SkinAttr.h"
#include "skinui/SkinMarkup.h"
#include "skinui/SkinResources.h"

using namespace SkinUI;

namespace {

class SkinPackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSkinResources::Reset();
        ASSERT_TRUE(CSkinResources::SetResourceZipFromResource(101, "ZIPRES"));
    }
    void TearDown() override { CSkinResources::Reset(); }
};

// Every element below node, depth first.
void Walk(CSkinMarkupNode node, std::vector<CSkinMarkupNode>& out)
{
    for (CSkinMarkupNode n = node.GetChild(); n.IsValid(); n = n.GetSibling()) {
        out.push_back(n);
        Walk(n, out);
    }
}

CSkinMarkupNode Named(const std::vector<CSkinMarkupNode>& nodes, const char* name)
{
    for (const CSkinMarkupNode& n : nodes) {
        const char* v = n.GetAttributeValue("name");
        if (v && strcmp(v, name) == 0)
            return n;
    }
    return CSkinMarkupNode();
}

// Image strings of one attribute set: every attribute whose name ends in "image".
void CollectImages(const char* attrName, const char* value, std::set<std::string>& out)
{
    const size_t n = strlen(attrName);
    if (n < 5 || strcmp(attrName + n - 5, "image") != 0)
        return;
    for (const TImageDraw& d : ParseImageString(value))
        out.insert(d.name);
}

const char* const kLayouts[] = {"TarnwellWnd.xml", "DelDirWnd.xml", "MsgBoxWnd.xml",
                                "Default_ButtonBottom.xml", "Default_ListNormal.xml",
                                "Default_Combo.xml", "Default_CheckBox.xml", "Default_scrollbar.xml"};

} // namespace

TEST_F(SkinPackageTest, TheEmbeddedArchiveOpensOnceAndHoldsTheLayoutsAndImages)
{
    SkinArchive* zip = CSkinResources::GetArchive();
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(CSkinResources::GetResourceZip(), "membuffer");
    // A second window asking again keeps the archive that is open.
    EXPECT_TRUE(CSkinResources::SetResourceZipFromResource(101, "ZIPRES"));
    EXPECT_EQ(CSkinResources::GetArchive(), zip);
    EXPECT_FALSE(CSkinResources::SetResourceZipFromResource(999, "ZIPRES"));
    EXPECT_EQ(CSkinResources::GetArchive(), zip);

    for (size_t i = 0; i < zip->GetEntryCount(); ++i) {
        const SkinArchive::Entry& e = zip->GetEntry(i);
        EXPECT_EQ(e.name.find('/'), std::string::npos) << e.name; // all at the top level
        std::vector<char> bytes(e.uncompressedSize);
        EXPECT_TRUE(zip->Extract(static_cast<int>(i), bytes.data(), bytes.size())) << e.name;
    }

    // The images of the table at their sizes.
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"tarnwell.png", {256, 256}},           {"Default_Btn.png", {222, 26}},
        {"Default_BtnCloseGrey.png", {64, 22}}, {"Default_Checkbox.png", {64, 16}},
        {"Default_ComboBox.png", {429, 26}},    {"Default_RadioBtn.png", {63, 16}},
        {"Default_ListSortIcon.png", {18, 7}},  {"MsgBoxIcon.png", {128, 32}},
        {"Default_Shadow.png", {246, 173}},     {"VListScrollBarBtn1.png", {32, 18}},
        {"VListScrollBarBtn2.png", {32, 18}},   {"VListScrollBarThumb.png", {32, 63}},
        {"VListScrollBarRail.png", {32, 16}},   {"VListScrollBarBk.png", {16, 32}},
        {"HListScrollBarThumb.png", {63, 32}},
    };
    for (const auto& s : sizes) {
        std::unique_ptr<ImageEntry> img = CImageLoader::Load(s.first, nullptr, 0);
        ASSERT_TRUE(img) << s.first;
        EXPECT_EQ(img->width, s.second.first) << s.first;
        EXPECT_EQ(img->height, s.second.second) << s.first;
    }

    // The program icon resource is there for the window's icon.
    HICON icon = static_cast<HICON>(LoadImageA(CSkinResources::GetResourceInstance(),
                                               MAKEINTRESOURCEA(102), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
}

TEST_F(SkinPackageTest, MaskedScrollBarImagesLoseTheirMagentaBackground)
{
    std::unique_ptr<ImageEntry> thumb = CImageLoader::Load("VListScrollBarThumb.png", nullptr, 0xFFFF00FF);
    ASSERT_TRUE(thumb);
    EXPECT_TRUE(thumb->hasAlpha);
    DIBSECTION ds = {};
    ASSERT_EQ(GetObjectA(thumb->bitmap, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    const auto* px = static_cast<const uint32_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(px[0], 0u);                     // corner: magenta, masked
    EXPECT_EQ(px[30 * 32 + 8], 0xFFC8C8C8u);  // body of the normal thumb
}

TEST_F(SkinPackageTest, EveryLayoutParsesAndNamesOnlyImagesThePackageHolds)
{
    // Images the layouts may name although the package leaves them out.
    const std::set<std::string> absentByDesign = {"HListScrollBarBtn1.png", "HListScrollBarBtn2.png",
                                                  "HListScrollBarBk.png", "HListScrollBarRail.png"};
    std::set<std::string> images;
    for (const char* layout : kLayouts) {
        CSkinMarkup m;
        ASSERT_TRUE(m.LoadFromFile(layout)) << layout << ": " << m.GetLastErrorMessage() << " at "
                                            << m.GetLastErrorLocation();
        std::vector<CSkinMarkupNode> nodes;
        nodes.push_back(m.GetRoot());
        Walk(m.GetRoot(), nodes);
        for (const CSkinMarkupNode& n : nodes) {
            for (int i = 0; i < n.GetAttributeCount(); ++i)
                CollectImages(n.GetAttributeName(i), n.GetAttributeValue(i), images);
            if (strcmp(n.GetName(), "Default") == 0) {
                const auto items = ParseAttributeList(n.GetAttributeValue("value"));
                EXPECT_FALSE(items.empty()) << n.GetAttributeValue("name");
                for (const auto& item : items)
                    CollectImages(item.first.c_str(), item.second.c_str(), images);
            }
        }
    }
    EXPECT_GT(images.size(), 10u);
    for (const std::string& name : images) {
        const bool present = CSkinResources::GetArchive()->Find(name.c_str(), nullptr, nullptr);
        EXPECT_EQ(present, absentByDesign.count(name) == 0) << name;
    }
}

TEST_F(SkinPackageTest, MainWindowLayoutDeclaresFontsIncludesAndNamedControls)
{
    CSkinMarkup m;
    ASSERT_TRUE(m.LoadFromFile("TarnwellWnd.xml")) << m.GetLastErrorMessage();
    CSkinMarkupNode root = m.GetRoot();
    EXPECT_STREQ(root.GetName(), "Window");
    const SIZE size = ParseSizePair(root.GetAttributeValue("size"));
    EXPECT_EQ(size.cx, 900);
    EXPECT_EQ(size.cy, 700);
    const RECT caption = ParseQuadruple(root.GetAttributeValue("caption"));
    EXPECT_EQ(caption.bottom, 27);

    std::vector<std::string> fonts, includes;
    for (CSkinMarkupNode n = root.GetChild(); n.IsValid(); n = n.GetSibling()) {
        if (strcmp(n.GetName(), "Font") == 0)
            fonts.push_back(std::string(n.GetAttributeValue("name")) + " " + n.GetAttributeValue("size") +
                            (ParseBool(n.GetAttributeValue("bold")) ? " bold" : ""));
        if (strcmp(n.GetName(), "Include") == 0)
            includes.push_back(n.GetAttributeValue("source"));
    }
    EXPECT_EQ(fonts, (std::vector<std::string>{"宋体 12", "宋体 14", "宋体 12 bold"}));
    EXPECT_EQ(includes, (std::vector<std::string>{"Default_ButtonBottom.xml", "Default_ListNormal.xml",
                                                  "Default_Combo.xml", "Default_CheckBox.xml",
                                                  "Default_scrollbar.xml"}));

    std::vector<CSkinMarkupNode> nodes;
    Walk(root, nodes);
    for (const char* name : {"TitleLable", "closebtn", "ServerCLearList", "ChkSelectAll",
                             "ServerClearComBox", "ClearCountLabel", "QuorraNote1", "QuorraNote2",
                             "BtnRemove", "BtnFlush"})
        EXPECT_TRUE(Named(nodes, name).IsValid()) << name;
    EXPECT_STREQ(Named(nodes, "TitleLable").GetAttributeValue("text"), "游戏盘清理");
    EXPECT_STREQ(Named(nodes, "BtnFlush").GetAttributeValue("text"), "刷新");
    EXPECT_STREQ(Named(nodes, "ClearCountLabel").GetAttributeValue("text"), "游戏盘待删除文件共0个");
    EXPECT_STREQ(Named(nodes, "ChkSelectAll").GetAttributeValue("pos"), "11,6,36,31");
    EXPECT_STREQ(Named(nodes, "ServerCLearList").GetChild("ListHeader").GetChild().GetAttributeValue("text"),
                 "名称");
}

TEST_F(SkinPackageTest, SmallWindowsAndTheirDefaultLists)
{
    CSkinMarkup del;
    ASSERT_TRUE(del.LoadFromFile("DelDirWnd.xml")) << del.GetLastErrorMessage();
    std::vector<CSkinMarkupNode> nodes;
    Walk(del.GetRoot(), nodes);
    EXPECT_STREQ(Named(nodes, "DelDirWndStatus").GetAttributeValue("text"), "正在删除...");
    EXPECT_TRUE(Named(nodes, "DelDirWndFinal").IsValid());
    EXPECT_TRUE(Named(nodes, "DelDirWndText").IsValid());

    CSkinMarkup box;
    ASSERT_TRUE(box.LoadFromFile("MsgBoxWnd.xml")) << box.GetLastErrorMessage();
    nodes.clear();
    Walk(box.GetRoot(), nodes);
    for (const char* name : {"LabelTitle", "closebtn", "CtrlIcon", "TextContent", "BtnOk", "BtnCancel"})
        EXPECT_TRUE(Named(nodes, name).IsValid()) << name;
    EXPECT_STREQ(Named(nodes, "TextContent").GetName(), "Text");

    // The check box list draws 16 x 16 marks at dest 10,7,26,23.
    CSkinMarkup chk;
    ASSERT_TRUE(chk.LoadFromFile("default_checkbox.XML"));
    CSkinMarkupNode def = chk.GetRoot().GetChild("Default");
    EXPECT_STREQ(def.GetAttributeValue("name"), "CheckBox");
    const auto items = ParseAttributeList(def.GetAttributeValue("value"));
    ASSERT_FALSE(items.empty());
    const auto draws = ParseImageString(items[0].second);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].name, "Default_Checkbox.png");
    EXPECT_EQ(draws[0].dest.left, 10);
    EXPECT_EQ(draws[0].dest.bottom, 23);
}
