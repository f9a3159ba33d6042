// Robustness: thousands of mutated copies of the real layouts and the real package through the
// markup parser and the zip reader. Nothing may crash, hang or write past a buffer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "skinui/SkinArchive.h"
#include "skinui/SkinMarkup.h"
#include "skinui/SkinResources.h"

using namespace SkinUI;

namespace {

// The raw bytes of the embedded package.
std::vector<char> PackageBytes()
{
    std::vector<char> bytes;
    CSkinResources::Reset();
    CSkinResources::ReadResource(101, "ZIPRES", bytes);
    return bytes;
}

// One random edit of the kinds that break parsers: flips, special characters, cuts, splices.
void Mutate(std::string& s, std::mt19937& rng)
{
    static const char kSpecial[] = "<>/\"'=&!?-;\\ \x81\xfe\x5c";
    if (s.empty()) {
        s.push_back('<');
        return;
    }
    std::uniform_int_distribution<size_t> pos(0, s.size() - 1);
    switch (rng() % 6) {
    case 0:
        s[pos(rng)] = static_cast<char>(rng() & 0xFF);
        break;
    case 1:
        s[pos(rng)] = kSpecial[rng() % (sizeof(kSpecial) - 1)];
        break;
    case 2:
        s.insert(pos(rng), 1, kSpecial[rng() % (sizeof(kSpecial) - 1)]);
        break;
    case 3:
        s.resize(pos(rng));
        break;
    case 4: {
        const size_t at = pos(rng);
        s.erase(at, std::min<size_t>(s.size() - at, 1 + rng() % 16));
        break;
    }
    default: {
        const size_t from = pos(rng);
        s.insert(pos(rng), s.substr(from, 1 + rng() % 32));
        break;
    }
    }
}

} // namespace

TEST(Fuzz, MutatedLayoutsNeverCrashTheParser)
{
    std::vector<char> package = PackageBytes();
    auto zip = SkinArchive::OpenFromMemory(package.data(), package.size());
    ASSERT_TRUE(zip);
    std::vector<std::string> layouts;
    for (size_t i = 0; i < zip->GetEntryCount(); ++i) {
        const SkinArchive::Entry& e = zip->GetEntry(i);
        if (e.name.size() > 4 && e.name.compare(e.name.size() - 4, 4, ".xml") == 0) {
            std::string text(e.uncompressedSize, '\0');
            ASSERT_TRUE(zip->Extract(static_cast<int>(i), &text[0], text.size()));
            layouts.push_back(text);
        }
    }
    ASSERT_GE(layouts.size(), 8u);

    std::mt19937 rng(20240607);
    const auto start = std::chrono::steady_clock::now();
    int parsed = 0, failed = 0;
    for (int round = 0; round < 10000; ++round) {
        std::string doc = layouts[static_cast<size_t>(round) % layouts.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < edits; ++k)
            Mutate(doc, rng);
        CSkinMarkup m;
        // Alternate the converting and the narrow entry points.
        const bool ok = (round & 1) ? m.LoadFromMemory(doc.data(), doc.size()) : m.Load(doc.c_str());
        if (ok) {
            ++parsed;
            // Walk what was parsed: every string must be readable.
            size_t total = 0;
            std::vector<CSkinMarkupNode> stack{m.GetRoot()};
            while (!stack.empty()) {
                CSkinMarkupNode n = stack.back();
                stack.pop_back();
                total += strlen(n.GetName()) + strlen(n.GetValue());
                for (int i = 0; i < n.GetAttributeCount(); ++i)
                    total += strlen(n.GetAttributeName(i)) + strlen(n.GetAttributeValue(i));
                if (n.GetSibling().IsValid())
                    stack.push_back(n.GetSibling());
                if (n.GetChild().IsValid())
                    stack.push_back(n.GetChild());
            }
            EXPECT_GT(total, 0u);
        } else {
            ++failed;
            EXPECT_FALSE(m.GetLastErrorMessage().empty());
            EXPECT_LE(m.GetLastErrorMessage().size(), 99u);
            EXPECT_LE(m.GetLastErrorLocation().size(), 49u);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // Both outcomes must occur, or the mutations are not reaching the parser's paths.
    EXPECT_GT(parsed, 100);
    EXPECT_GT(failed, 100);
    std::printf("[ fuzz     ] 10000 layouts: %d parsed, %d rejected, %.2f s\n", parsed, failed, seconds);
}

TEST(Fuzz, MutatedPackagesNeverCrashTheZipReader)
{
    const std::vector<char> package = PackageBytes();
    ASSERT_FALSE(package.empty());
    const std::string original(package.begin(), package.end());

    std::mt19937 rng(7);
    const auto start = std::chrono::steady_clock::now();
    int opened = 0, extracted = 0, refused = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string bytes = original;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < edits; ++k) {
            if (rng() % 4 == 0 && !bytes.empty()) {
                // Aim at the directory and end record, where sizes and offsets live.
                const size_t tail = std::min<size_t>(bytes.size(), 2048);
                bytes[bytes.size() - 1 - rng() % tail] = static_cast<char>(rng() & 0xFF);
            } else {
                Mutate(bytes, rng);
            }
        }
        auto zip = SkinArchive::OpenFromMemory(bytes.data(), bytes.size());
        if (!zip)
            continue;
        ++opened;
        for (size_t i = 0; i < zip->GetEntryCount(); ++i) {
            const uint32_t size = zip->GetEntry(i).uncompressedSize;
            if (size > (8u << 20))
                continue; // a damaged size field; the layout loader refuses such entries
            std::vector<char> buf(size + 8, '\x5a');
            if (zip->Extract(static_cast<int>(i), buf.data(), size))
                ++extracted;
            else
                ++refused;
            for (size_t g = size; g < buf.size(); ++g)
                ASSERT_EQ(buf[g], '\x5a') << "wrote past the buffer, entry " << zip->GetEntry(i).name;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(opened, 100);
    EXPECT_GT(refused, 0);
    std::printf("[ fuzz     ] 6000 packages: %d opened, %d entries extracted, %d refused, %.2f s\n",
                opened, extracted, refused, seconds);
}
