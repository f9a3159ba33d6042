// The skin package's zip reader: name search, extraction and damaged archives.
#include <gtest/gtest.h>

#include <cstring>

#include "skinui/SkinArchive.h"
#include "skinui/SkinArchiveFixture.h"
#include "support/TempDir.h"

using SkinUI::SkinArchive;
using SkinTest::MakeZip;
using SkinTest::ZipItem;

namespace {

std::unique_ptr<SkinArchive> Open(const std::string& bytes)
{
    return SkinArchive::OpenFromMemory(bytes.data(), bytes.size());
}

std::string Extract(const SkinArchive& zip, const char* name, bool* ok)
{
    int index = -1;
    uint32_t size = 0;
    *ok = zip.Find(name, &index, &size);
    if (!*ok)
        return std::string();
    std::string out(size, '\0');
    *ok = zip.Extract(index, &out[0], out.size());
    return out;
}

const std::string kLongText = [] {
    std::string s;
    for (int i = 0; i < 200; ++i)
        s += "<Label name=\"n" + std::to_string(i) + "\" text=\"游戏盘清理\"/>\n";
    return s;
}();

} // namespace

TEST(SkinArchive, FindsByFoldedNameAndExtractsStoredAndDeflated)
{
    auto zip = Open(MakeZip({{"Readme.txt", "stored text", false},
                             {"Default_scrollbar.xml", kLongText, true},
                             {"sub/Image.png", "png", false},
                             {"default_SCROLLBAR.xml", "second", false}}));
    ASSERT_TRUE(zip);
    EXPECT_EQ(zip->GetEntryCount(), 4u);

    bool ok = false;
    EXPECT_EQ(Extract(*zip, "readme.TXT", &ok), "stored text");
    EXPECT_TRUE(ok);
    // The first equal entry in archive order wins.
    EXPECT_EQ(Extract(*zip, "Default_ScrollBar.xml", &ok), kLongText);
    EXPECT_TRUE(ok);
    // A backslash in the wanted name matches '/'.
    EXPECT_EQ(Extract(*zip, "SUB\\image.png", &ok), "png");
    EXPECT_TRUE(ok);

    for (const char* absent : {"Readme.tx", "Readme.txt2", "sub", "", "Image.png"})
        EXPECT_FALSE(zip->Find(absent, nullptr, nullptr)) << absent;
    EXPECT_FALSE(zip->Find(nullptr, nullptr, nullptr));
}

TEST(SkinArchive, NameComparisonFoldsOnlyAsciiAndKeepsDoubleByteCharacters)
{
    // "乗" is 81 5C in code page 936 and "俛" is 82 61: their second bytes look like '\' and
    // 'a' but belong to the character.
    EXPECT_TRUE(SkinArchive::NamesEqual("乗.png", "乗.png"));
    EXPECT_FALSE(SkinArchive::NamesEqual("乗.png", "\x81/.png"));
    EXPECT_TRUE(SkinArchive::NamesEqual("俛.png", "俛.PNG"));
    EXPECT_FALSE(SkinArchive::NamesEqual("俛.png", "\x82\x41.png"));
    EXPECT_FALSE(SkinArchive::NamesEqual("\xe4.png", "\xc4.png")); // no folding beyond a-z
    EXPECT_TRUE(SkinArchive::NamesEqual("a\\b", "A/B"));
    EXPECT_FALSE(SkinArchive::NamesEqual("ab", "abc"));
    EXPECT_FALSE(SkinArchive::NamesEqual("abc", "ab"));
}

TEST(SkinArchive, NamesOf256CharactersOrMoreAreNotFound)
{
    const std::string n255(251, 'x');
    const std::string n256(252, 'x');
    auto zip = Open(MakeZip({{n255 + ".xml", "a", false}, {n256 + ".xml", "b", false}}));
    ASSERT_TRUE(zip);
    EXPECT_TRUE(zip->Find((n255 + ".xml").c_str(), nullptr, nullptr));
    EXPECT_FALSE(zip->Find((n256 + ".xml").c_str(), nullptr, nullptr));
}

TEST(SkinArchive, ExtractsThePrefixIntoASmallerBufferWithoutWritingPastIt)
{
    auto zip = Open(MakeZip({{"a.xml", kLongText, true}, {"b.txt", "0123456789", false}}));
    ASSERT_TRUE(zip);
    for (int index : {0, 1}) {
        char buf[8 + 4];
        memset(buf, '#', sizeof(buf));
        EXPECT_TRUE(zip->Extract(index, buf, 8));
        const std::string& whole = index == 0 ? kLongText : std::string("0123456789");
        EXPECT_EQ(std::string(buf, 8), whole.substr(0, 8));
        EXPECT_EQ(std::string(buf + 8, 4), "####");
    }
    EXPECT_FALSE(zip->Extract(-1, nullptr, 0));
    EXPECT_FALSE(zip->Extract(2, nullptr, 0));
}

TEST(SkinArchive, RejectsEntriesWhoseDataDisagreesWithTheirDeclaredSizeOrChecksum)
{
    // Declared smaller than the data really inflates to: the reader must stop at the buffer
    // and report failure rather than write on.
    ZipItem tooLong{"long.xml", kLongText, true, 100};
    ZipItem tooShort{"short.xml", "abc", true, 50};
    ZipItem storedShort{"stored.txt", "abc", false, 50};
    ZipItem crc{"crc.xml", kLongText, true, -1, true};
    auto zip = Open(MakeZip({tooLong, tooShort, storedShort, crc}));
    ASSERT_TRUE(zip);
    for (int i = 0; i < 4; ++i) {
        const uint32_t size = zip->GetEntry(static_cast<size_t>(i)).uncompressedSize;
        std::vector<char> buf(size + 16, '#');
        EXPECT_FALSE(zip->Extract(i, buf.data(), size)) << zip->GetEntry(static_cast<size_t>(i)).name;
        EXPECT_EQ(std::string(buf.data() + size, 16), std::string(16, '#'));
    }
}

TEST(SkinArchive, DamagedArchivesFailCleanly)
{
    std::vector<size_t> central;
    size_t end = 0;
    const std::string good =
        MakeZip({{"a.xml", kLongText, true}, {"b.txt", "bbb", false}}, &central, &end);

    struct Case {
        const char* what;
        size_t at;
        int width; // bytes of the field
        uint32_t value;
        bool opens;     // the archive as a whole still opens
        size_t entries; // entries that survive
    };
    const Case cases[] = {
        {"directory offset past the end", end + 16, 4, 0x7FFFFFF0u, false, 0},
        {"directory size past the end", end + 12, 4, 0x10000u, false, 0},
        {"local header offset past the end", central[0] + 42, 4, 0x00FFFFFFu, true, 1},
        {"compressed size past the end", central[0] + 20, 4, 0x7FFFFFFFu, true, 1},
        {"name length past the directory", central[1] + 28, 2, 0xFFFFu, true, 1},
        {"unknown method", central[1] + 10, 2, 12u, true, 1},
        {"encrypted entry", central[1] + 8, 2, 1u, true, 1},
        {"entry count larger than the directory", end + 10, 2, 0xFFFFu, true, 2},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        for (int i = 0; i < c.width; ++i)
            bytes[c.at + static_cast<size_t>(i)] = static_cast<char>((c.value >> (8 * i)) & 0xFF);
        auto zip = Open(bytes);
        EXPECT_EQ(zip != nullptr, c.opens) << c.what;
        if (zip) {
            EXPECT_EQ(zip->GetEntryCount(), c.entries) << c.what;
        }
    }

    // Every truncation either fails to open or yields entries that extract safely.
    for (size_t len = 0; len < good.size(); len += 7) {
        auto zip = SkinArchive::OpenFromMemory(good.data(), len);
        if (!zip)
            continue;
        for (size_t i = 0; i < zip->GetEntryCount(); ++i) {
            std::vector<char> buf(zip->GetEntry(i).uncompressedSize + 1);
            zip->Extract(static_cast<int>(i), buf.data(), buf.size() - 1);
        }
    }
    EXPECT_FALSE(Open("not a zip archive at all, just some text that is long enough"));
    EXPECT_FALSE(SkinArchive::OpenFromMemory(nullptr, 0));
}

TEST(SkinArchive, OpensFromFile)
{
    TempDir dir;
    WriteTextFile(dir / "skin.zip", MakeZip({{"x.xml", "<a/>", true}}));
    auto zip = SkinArchive::OpenFromFile(dir / "skin.zip");
    ASSERT_TRUE(zip);
    bool ok = false;
    EXPECT_EQ(Extract(*zip, "X.XML", &ok), "<a/>");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(SkinArchive::OpenFromFile(dir / "missing.zip"));
    WriteTextFile(dir / "empty.zip", "");
    EXPECT_FALSE(SkinArchive::OpenFromFile(dir / "empty.zip"));
}
