// The in-place layout parser: the shapes the real layouts use, entities, limits and errors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "skinui/SkinArchive.h"
#include "skinui/SkinArchiveFixture.h"
#include "skinui/SkinAttr.h"
#include "skinui/SkinMarkup.h"
#include "skinui/SkinResources.h"
#include "support/TempDir.h"

using namespace SkinUI;

namespace {

// The code page 936 bytes of a UTF-8 literal, as the parser hands strings out.
std::string Gbk(const char* utf8)
{
    wchar_t wide[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    char narrow[512] = {};
    WideCharToMultiByte(936, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
    return narrow;
}

std::string Str(const char* s)
{
    return s ? s : "(null)";
}

} // namespace

TEST(SkinMarkup, ByteOrderMarkCommentAndDeclarationBeforeTheRoot)
{
    // UTF-8 bytes as a file holds them, whatever the compiler's execution character set.
    const std::string doc = std::string("\xEF\xBB\xBF") + u8"<!--窗口-->\r\n" +
                            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                            "<Window size=\"300,120\"><!-- c --><Label text=\"" +
                            u8"正在删除..." + "\"/><?pi x?></Window>";
    CSkinMarkup m;
    ASSERT_TRUE(m.LoadFromMemory(doc.data(), doc.size())) << m.GetLastErrorMessage();
    CSkinMarkupNode root = m.GetRoot();
    EXPECT_STREQ(root.GetName(), "Window");
    EXPECT_STREQ(root.GetAttributeValue("size"), "300,120");
    CSkinMarkupNode label = root.GetChild();
    EXPECT_STREQ(label.GetName(), "Label");
    // Converted from UTF-8 to code page 936, which is what the literal compiles to.
    EXPECT_STREQ(label.GetAttributeValue("text"), "正在删除...");
    EXPECT_EQ(Str(label.GetAttributeValue("text")), Gbk(u8"正在删除..."));
    EXPECT_FALSE(label.GetSibling().IsValid());
    EXPECT_FALSE(label.HasChildren());
}

TEST(SkinMarkup, AttributesWithoutSeparatingSpaceAndSpacesAroundEquals)
{
    CSkinMarkup m;
    ASSERT_TRUE(m.Load("<Window><Button name=\"BtnFlush\" padding=\"10,0,00\"text=\"刷新\" width=\"70\"/>"
                       "<Label  name = \"TitleLable\" text=\"游戏盘清理\" /></Window>"))
        << m.GetLastErrorMessage();
    CSkinMarkupNode button = m.GetRoot().GetChild();
    ASSERT_EQ(button.GetAttributeCount(), 4);
    EXPECT_STREQ(button.GetAttributeName(0), "name");
    EXPECT_STREQ(button.GetAttributeValue("name"), "BtnFlush");
    EXPECT_STREQ(button.GetAttributeValue("text"), "刷新");
    EXPECT_STREQ(button.GetAttributeValue("width"), "70");
    const RECT pad = ParseQuadruple(button.GetAttributeValue("padding"));
    EXPECT_EQ(pad.left, 10);
    EXPECT_EQ(pad.top + pad.right + pad.bottom, 0);

    CSkinMarkupNode label = button.GetSibling();
    EXPECT_STREQ(label.GetAttributeValue("name"), "TitleLable");
    EXPECT_STREQ(label.GetAttributeValue(1), "游戏盘清理");
    EXPECT_EQ(label.GetAttributeValue(2), nullptr);
    EXPECT_EQ(label.GetAttributeName(-1), nullptr);
    EXPECT_TRUE(label.GetParent().GetName() == std::string("Window"));
}

TEST(SkinMarkup, EntitiesAreDecodedInValuesAndText)
{
    CSkinMarkup m;
    ASSERT_TRUE(m.Load("<W><Default name=\"Combo\" value=\"width=&quot;160&quot; a=&quot;x&amp;y&lt;&gt;&apos;&quot;\"/>"
                       "<T>a &amp; b &copy; &amp</T></W>"))
        << m.GetLastErrorMessage();
    CSkinMarkupNode def = m.GetRoot().GetChild();
    EXPECT_STREQ(def.GetAttributeValue("value"), "width=\"160\" a=\"x&y<>'\"");
    // The decoded value is a valid attribute list.
    auto items = ParseAttributeList(def.GetAttributeValue("value"));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].second, "160");
    EXPECT_EQ(items[1].second, "x&y<>'");
    // Unknown or unterminated references stay literal.
    EXPECT_STREQ(def.GetSibling().GetValue(), "a & b &copy; &amp");
}

TEST(SkinMarkup, TreeNavigationAndElementText)
{
    CSkinMarkup m;
    ASSERT_TRUE(m.Load("<a>  text <b><c/><d x=\"1\"></d></b><!-- between --><e/></a>"));
    CSkinMarkupNode a = m.GetRoot();
    EXPECT_STREQ(a.GetValue(), "  text "); // whitespace kept
    CSkinMarkupNode b = a.GetChild();
    EXPECT_STREQ(b.GetName(), "b");
    EXPECT_STREQ(b.GetChild().GetName(), "c");
    EXPECT_STREQ(b.GetChild().GetSibling().GetName(), "d");
    EXPECT_STREQ(b.GetSibling().GetName(), "e");
    EXPECT_STREQ(a.GetChild("e").GetName(), "e");
    EXPECT_FALSE(a.GetChild("x").IsValid());
    EXPECT_STREQ(b.GetChild().GetSibling().GetParent().GetName(), "b");
    EXPECT_FALSE(a.GetParent().IsValid());
    EXPECT_FALSE(a.GetSibling().IsValid());

    // An invalid node answers safely.
    CSkinMarkupNode none;
    EXPECT_STREQ(none.GetName(), "");
    EXPECT_EQ(none.GetAttributeCount(), 0);
    EXPECT_EQ(none.GetAttributeValue("x"), nullptr);
    EXPECT_FALSE(none.GetChild().IsValid());
}

TEST(SkinMarkup, OnlyTheFirst64AttributesAreSeen)
{
    std::string doc = "<e";
    for (int i = 0; i < 66; ++i)
        doc += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    doc += "/>";
    CSkinMarkup m;
    ASSERT_TRUE(m.Load(doc.c_str()));
    CSkinMarkupNode e = m.GetRoot();
    EXPECT_EQ(e.GetAttributeCount(), 64);
    EXPECT_STREQ(e.GetAttributeValue("a63"), "63");
    EXPECT_EQ(e.GetAttributeValue("a64"), nullptr);
}

TEST(SkinMarkup, SyntaxErrorsGiveTheirMessagesAndLocation)
{
    const struct {
        const char* doc;
        const char* message;
    } cases[] = {
        {"text before", "Expected start tag"},
        {"", "Expected start tag"},
        {"<!-- only a comment -->", "Expected start tag"},
        {"<Window", "Error parsing element name"},
        {"<>", "Error parsing element name"},
        {"<a b>", "Error while parsing attributes"},
        {"<a -=\"1\">", "Error while parsing attributes"},
        {"<a b=c/>", "Expected attribute value"},
        {"<a b=\"unterminated/>", "Error while parsing attribute string"},
        {"<a b=\"1\"/x>", "Expected start-tag closing"},
        {"<a b=\"1\"", "Expected start-tag closing"},
        {"<List><ListHeader></List></List>", "Unmatched closing tag"},
        {"<a></a", "Unmatched closing tag"},
        {"<a><b/></a></c>", "Unmatched closing tag"},
        {"<a><b/>", "Expected start tag"},
        {"<a><b></b>x<c/>", "Expected start tag"},
    };
    for (const auto& c : cases) {
        CSkinMarkup m;
        EXPECT_FALSE(m.Load(c.doc)) << c.doc;
        EXPECT_EQ(m.GetLastErrorMessage(), c.message) << c.doc;
        EXPECT_FALSE(m.GetRoot().IsValid()) << c.doc;
    }

    CSkinMarkup m;
    EXPECT_FALSE(m.Load("<Window><ListHeader></List></Window>"));
    EXPECT_EQ(m.GetLastErrorLocation(), "List></Window>");
    // The location is cut to 49 characters without splitting a double-byte character.
    std::string longTail = "<a b=c" + std::string(48, 'x') + "游戏/>";
    EXPECT_FALSE(m.Load(longTail.c_str()));
    EXPECT_EQ(m.GetLastErrorLocation(), "c" + std::string(48, 'x'));
    // A later good load recovers.
    EXPECT_TRUE(m.Load("<ok/>"));
    EXPECT_STREQ(m.GetRoot().GetName(), "ok");
}

TEST(SkinMarkup, TextEndingInsideAnElementEndsTheDocument)
{
    // The element's text runs to the end: the document ends there with what was read.
    CSkinMarkup m;
    ASSERT_TRUE(m.Load("<a x=\"1\"><b>unfinished"));
    EXPECT_STREQ(m.GetRoot().GetChild().GetValue(), "unfinished");
    // An unterminated comment runs to the end of the text.
    ASSERT_TRUE(m.Load("<a/><!-- no end"));
    EXPECT_STREQ(m.GetRoot().GetName(), "a");
}

TEST(SkinMarkup, DoubleByteCharactersWithBackslashSecondBytesStayIntact)
{
    // "乗" is 81 5C in code page 936.
    CSkinMarkup m;
    ASSERT_TRUE(m.Load("<a path=\"D:\\乗\\x\">乗&lt;</a>"));
    EXPECT_STREQ(m.GetRoot().GetAttributeValue("path"), "D:\\乗\\x");
    EXPECT_STREQ(m.GetRoot().GetValue(), "乗<");
}

TEST(SkinMarkup, DeepNestingFailsInsteadOfExhaustingTheStack)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<a>";
    CSkinMarkup m;
    EXPECT_FALSE(m.Load(deep.c_str()));
    std::string fine;
    for (int i = 0; i < 200; ++i)
        fine += "<a>";
    for (int i = 0; i < 200; ++i)
        fine += "</a>";
    EXPECT_TRUE(m.Load(fine.c_str())) << m.GetLastErrorMessage();
}

class SkinMarkupFileTest : public ::testing::Test {
protected:
    void SetUp() override { CSkinResources::Reset(); }
    void TearDown() override { CSkinResources::Reset(); }
};

TEST_F(SkinMarkupFileTest, LoadFromFileInTheResourceFolder)
{
    TempDir dir;
    WriteTextFile(dir / "ok.xml", u8"<!--注释--><?xml version=\"1.0\"?><Window text=\"删除\"/>");
    WriteTextFile(dir / "empty.xml", "");
    WriteTextFile(dir / "big.xml", std::string(kMaxLayoutFileSize + 1, ' '));
    WriteTextFile(dir / "limit.xml", "<a/>" + std::string(kMaxLayoutFileSize - 4, ' '));
    CSkinResources::SetResourcePath(dir.Path().c_str());

    CSkinMarkup m;
    ASSERT_TRUE(m.LoadFromFile("ok.xml")) << m.GetLastErrorMessage();
    EXPECT_STREQ(m.GetRoot().GetAttributeValue("text"), "删除");
    EXPECT_TRUE(m.LoadFromFile("limit.xml")) << m.GetLastErrorMessage();

    const struct {
        const char* name;
        const char* message;
    } failures[] = {
        {"missing.xml", "Error opening file"},
        {"empty.xml", "File is empty"},
        {"big.xml", "File too large"},
    };
    for (const auto& f : failures) {
        EXPECT_FALSE(m.LoadFromFile(f.name)) << f.name;
        EXPECT_EQ(m.GetLastErrorMessage(), f.message) << f.name;
        EXPECT_EQ(m.GetLastErrorLocation(), "");
        EXPECT_FALSE(m.GetRoot().IsValid());
    }
}

TEST_F(SkinMarkupFileTest, LoadFromFileInAZipNamedByTheResourceFolder)
{
    TempDir dir;
    const std::string big(kMaxLayoutFileSize + 1, ' ');
    WriteTextFile(dir / "skin.zip",
                  SkinTest::MakeZip({{"Default_scrollbar.xml", "<Window><Default name=\"VScrollBar\"/></Window>", true},
                                     {"empty.xml", "", false},
                                     {"big.xml", big, true},
                                     {"broken.xml", "<a/>", true, 2}}));
    CSkinResources::SetResourcePath(dir.Path().c_str());
    // Named but not opened yet: each load opens the file for itself.
    CSkinResources::SetResourceZip("nothere.zip");
    CSkinMarkup m;
    EXPECT_FALSE(m.LoadFromFile("Default_scrollbar.xml"));
    EXPECT_EQ(m.GetLastErrorMessage(), "Error opening zip file");

    ASSERT_TRUE(CSkinResources::SetResourceZip("skin.zip"));
    EXPECT_TRUE(m.LoadFromFile("Default_ScrollBar.xml")) << m.GetLastErrorMessage();
    EXPECT_STREQ(m.GetRoot().GetChild().GetAttributeValue("name"), "VScrollBar");

    const struct {
        const char* name;
        const char* message;
    } failures[] = {
        {"missing.xml", "Could not find ziped file"},
        {"empty.xml", "File is empty"},
        {"big.xml", "File too large"},
        {"broken.xml", "Could not unzip file"},
    };
    for (const auto& f : failures) {
        EXPECT_FALSE(m.LoadFromFile(f.name)) << f.name;
        EXPECT_EQ(m.GetLastErrorMessage(), f.message) << f.name;
    }
}
