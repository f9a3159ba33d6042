#include "skinui/SkinMarkup.h"

#include <cstring>

#include "comm/LogFile.h"
#include "skinui/SkinResources.h"

namespace SkinUI {

namespace {

// Deeper nesting than any layout needs; stops hostile input from exhausting the stack.
constexpr int kMaxDepth = 256;
constexpr size_t kMaxErrorMessage = 99;
constexpr size_t kMaxErrorLocation = 49;

bool IsLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

bool IsTrail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFE && c != 0x7F;
}

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == ':';
}

// Copies at most max bytes of s without splitting a double-byte character.
std::string Clip(const char* s, size_t max)
{
    size_t n = 0;
    while (s[n]) {
        size_t step = (IsLead(static_cast<unsigned char>(s[n])) &&
                       IsTrail(static_cast<unsigned char>(s[n + 1]))) ? 2 : 1;
        if (n + step > max)
            break;
        n += step;
    }
    return std::string(s, n);
}

struct Entity {
    const char* text; // after the '&'
    size_t length;
    char value;
};
const Entity kEntities[] = {
    {"amp;", 4, '&'}, {"lt;", 3, '<'}, {"gt;", 3, '>'}, {"quot;", 5, '"'}, {"apos;", 5, '\''},
};

} // namespace

CSkinMarkup::CSkinMarkup() = default;

void CSkinMarkup::Release()
{
    m_text.clear();
    m_elements.clear();
    m_attributes.clear();
}

bool CSkinMarkup::IsValid() const
{
    return m_elements.size() > 1;
}

CSkinMarkupNode CSkinMarkup::GetRoot()
{
    return IsValid() ? CSkinMarkupNode(this, 1) : CSkinMarkupNode();
}

bool CSkinMarkup::Load(const char* text)
{
    Release();
    m_errorMsg.clear();
    m_errorLocation.clear();
    if (!text)
        text = "";
    m_text.assign(text, text + strlen(text) + 1);
    return Parse();
}

bool CSkinMarkup::LoadFromMemory(const void* data, size_t length)
{
    Release();
    m_errorMsg.clear();
    m_errorLocation.clear();
    const char* p = static_cast<const char*>(data);
    if (!p)
        length = 0;
    if (length > 2 && static_cast<unsigned char>(p[0]) == 0xEF &&
        static_cast<unsigned char>(p[1]) == 0xBB && static_cast<unsigned char>(p[2]) == 0xBF) {
        p += 3;
        length -= 3;
    }
    if (length > 0x7FFFFFFF)
        return Failed("File too large", 0);

    // UTF-8 to UTF-16 to the system's narrow code page (936); the declared encoding is not read.
    std::string narrow;
    if (length > 0) {
        const int wideLen = MultiByteToWideChar(CP_UTF8, 0, p, static_cast<int>(length), nullptr, 0);
        if (wideLen > 0) {
            std::wstring wide(static_cast<size_t>(wideLen), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, p, static_cast<int>(length), &wide[0], wideLen);
            const int narrowLen =
                WideCharToMultiByte(936, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
            if (narrowLen > 0) {
                narrow.assign(static_cast<size_t>(narrowLen), '\0');
                WideCharToMultiByte(936, 0, wide.data(), wideLen, &narrow[0], narrowLen, nullptr,
                                    nullptr);
            }
        }
    }
    m_text.assign(narrow.begin(), narrow.end());
    m_text.push_back('\0');
    return Parse();
}

bool CSkinMarkup::LoadFromFile(const char* name)
{
    Release();
    m_errorMsg.clear();
    m_errorLocation.clear();
    std::vector<char> bytes;
    std::string error;
    if (!name || !CSkinResources::ReadSkinFile(name, bytes, kMaxLayoutFileSize, &error)) {
        m_errorMsg = name ? error : "Error opening file";
        WriteLog(LOG_WARNING, "skinui/SkinMarkup", __LINE__, "CSkinMarkup::LoadFromFile",
                 "%s: %s", name ? name : "(null)", m_errorMsg.c_str());
        return false;
    }
    return LoadFromMemory(bytes.data(), bytes.size());
}

bool CSkinMarkup::Failed(const char* message, size_t pos)
{
    m_errorMsg = Clip(message, kMaxErrorMessage);
    m_errorLocation = pos < m_text.size() ? Clip(&m_text[pos], kMaxErrorLocation) : std::string();
    m_elements.clear();
    m_attributes.clear();
    return false;
}

unsigned CSkinMarkup::AppendElement()
{
    if (m_elements.size() == m_elements.capacity())
        m_elements.reserve(m_elements.capacity() + m_elements.capacity() / 2 + 500);
    m_elements.emplace_back();
    return static_cast<unsigned>(m_elements.size() - 1);
}

void CSkinMarkup::SkipWhitespace(size_t& pos) const
{
    while (m_text[pos] > 0 && m_text[pos] <= ' ')
        ++pos;
}

void CSkinMarkup::SkipIdentifier(size_t& pos) const
{
    while (IsNameChar(m_text[pos]))
        ++pos;
}

bool CSkinMarkup::Parse()
{
    m_elements.clear();
    m_attributes.clear();
    m_elements.reserve(500);
    AppendElement(); // record 0: the dummy parent of the top level
    size_t pos = 0;
    if (ParseContent(0, pos, false, 0) == Step::Failed)
        return false;
    if (!IsValid())
        return Failed("Expected start tag", pos);
    return true;
}

CSkinMarkup::Step CSkinMarkup::ParseContent(unsigned parent, size_t& pos, bool afterOpenBracket,
                                            int depth)
{
    unsigned prev = 0;
    for (;;) {
        if (!afterOpenBracket) {
            SkipWhitespace(pos);
            if (m_text[pos] == '\0') {
                if (parent == 0)
                    return Step::Ended;
                Failed("Expected start tag", pos);
                return Step::Failed;
            }
            if (m_text[pos] != '<') {
                Failed("Expected start tag", pos);
                return Step::Failed;
            }
            ++pos;
        }
        afterOpenBracket = false;

        const char c = m_text[pos];
        if (c == '/') {
            if (parent == 0) {
                Failed("Unmatched closing tag", pos);
                return Step::Failed;
            }
            ++pos;
            return Step::Closed;
        }
        if (c == '!' || c == '?') {
            // Comments run to the next "->", declarations to the next "?>"; unterminated,
            // they run to the end of the text.
            const char first = c == '!' ? '-' : '?';
            ++pos;
            while (m_text[pos] && !(m_text[pos] == first && m_text[pos + 1] == '>'))
                ++pos;
            if (m_text[pos])
                pos += 2;
            continue;
        }
        const Step step = ParseElement(parent, prev, pos, depth);
        if (step != Step::Closed)
            return step;
    }
}

CSkinMarkup::Step CSkinMarkup::ParseElement(unsigned parent, unsigned& prevSibling, size_t& pos,
                                            int depth)
{
    if (depth >= kMaxDepth) {
        Failed("Elements nested too deeply", pos);
        return Step::Failed;
    }
    const unsigned index = AppendElement();
    m_elements[index].parent = parent;
    if (prevSibling)
        m_elements[prevSibling].next = index;
    else
        m_elements[parent].child = index;
    prevSibling = index;

    const size_t nameStart = pos;
    SkipIdentifier(pos);
    if (m_text[pos] == '\0' || pos == nameStart) {
        Failed("Error parsing element name", pos);
        return Step::Failed;
    }
    const size_t nameEnd = pos;
    m_elements[index].name = static_cast<unsigned>(nameStart);
    if (!ParseAttributes(index, pos))
        return Step::Failed;

    if (m_text[pos] == '/' && m_text[pos + 1] == '>') {
        m_text[nameEnd] = '\0';
        m_elements[index].data = static_cast<unsigned>(nameEnd); // empty text
        pos += 2;
        return Step::Closed;
    }
    if (m_text[pos] != '>') {
        Failed("Expected start-tag closing", pos);
        return Step::Failed;
    }
    ++pos;
    m_text[nameEnd] = '\0'; // the '>' or whitespace there has been read

    if (!m_bPreserveWhitespace)
        SkipWhitespace(pos);
    const size_t dataStart = pos;
    size_t dataEnd = pos;
    ParseData(pos, '<', dataEnd);
    m_elements[index].data = static_cast<unsigned>(dataStart);
    if (m_text[pos] == '\0') {
        m_text[dataEnd] = '\0';
        return Step::Ended;
    }
    // m_text[pos] is '<'; the text's terminator may overwrite it, it has been seen.
    m_text[dataEnd] = '\0';
    ++pos;
    if (m_text[pos] == '/') {
        ++pos;
    } else {
        const Step step = ParseContent(index, pos, true, depth + 1);
        if (step != Step::Closed)
            return step;
    }

    // After "</": the element's own name, then '>'.
    SkipWhitespace(pos);
    const size_t closeStart = pos;
    SkipIdentifier(pos);
    const size_t nameLength = nameEnd - nameStart;
    if (pos - closeStart != nameLength ||
        memcmp(&m_text[closeStart], &m_text[nameStart], nameLength) != 0) {
        Failed("Unmatched closing tag", closeStart);
        return Step::Failed;
    }
    SkipWhitespace(pos);
    if (m_text[pos] != '>') {
        Failed("Unmatched closing tag", pos);
        return Step::Failed;
    }
    ++pos;
    return Step::Closed;
}

bool CSkinMarkup::ParseAttributes(unsigned element, size_t& pos)
{
    m_elements[element].firstAttr = static_cast<unsigned>(m_attributes.size());
    for (;;) {
        SkipWhitespace(pos);
        const char c = m_text[pos];
        if (c == '\0' || c == '/' || c == '>')
            return true; // the caller checks how the tag closes
        const size_t nameStart = pos;
        SkipIdentifier(pos);
        const size_t nameEnd = pos;
        SkipWhitespace(pos);
        if (nameEnd == nameStart || m_text[pos] != '=')
            return Failed("Error while parsing attributes", pos);
        ++pos;
        SkipWhitespace(pos);
        if (m_text[pos] != '"')
            return Failed("Expected attribute value", pos);
        ++pos;
        const size_t valueStart = pos;
        size_t valueEnd = pos;
        ParseData(pos, '"', valueEnd);
        if (m_text[pos] == '\0')
            return Failed("Error while parsing attribute string", valueStart);
        m_text[valueEnd] = '\0';
        m_text[nameEnd] = '\0';
        ++pos;
        if (m_elements[element].attrCount < static_cast<unsigned>(kMaxAttributes)) {
            m_attributes.push_back({static_cast<unsigned>(nameStart),
                                    static_cast<unsigned>(valueStart)});
            ++m_elements[element].attrCount;
        }
    }
}

void CSkinMarkup::ParseData(size_t& pos, char end, size_t& dataEnd)
{
    size_t w = pos;
    size_t r = pos;
    while (m_text[r] && m_text[r] != end) {
        const unsigned char c = static_cast<unsigned char>(m_text[r]);
        if (c == '&') {
            bool decoded = false;
            for (const Entity& e : kEntities) {
                if (strncmp(&m_text[r + 1], e.text, e.length) == 0) {
                    m_text[w++] = e.value;
                    r += 1 + e.length;
                    decoded = true;
                    break;
                }
            }
            if (decoded)
                continue;
        } else if (IsLead(c) && IsTrail(static_cast<unsigned char>(m_text[r + 1]))) {
            m_text[w++] = m_text[r++];
        }
        m_text[w++] = m_text[r++];
    }
    pos = r;
    dataEnd = w;
}

} // namespace SkinUI
