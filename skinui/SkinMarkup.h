#pragma once
// A parsed layout document. The text is held in one narrow (code page 936) buffer that the
// parser edits in place: names and values are terminated there and entities collapsed, so
// every string a node hands out points into that buffer and lives as long as the document.
#include <string>
#include <vector>

#include "skinui/SkinMarkupNode.h"

namespace SkinUI {

class CSkinMarkup {
public:
    CSkinMarkup();
    CSkinMarkup(const CSkinMarkup&) = delete;
    CSkinMarkup& operator=(const CSkinMarkup&) = delete;

    // Parses narrow text as it is, without conversion.
    bool Load(const char* text);
    // Skips a UTF-8 byte-order mark, converts UTF-8 to code page 936, then parses.
    bool LoadFromMemory(const void* data, size_t length);
    // Reads a layout file from wherever the skin lives (archive or resource folder) and parses
    // it as LoadFromMemory does. Files over 4 MiB are refused.
    bool LoadFromFile(const char* name);
    void Release();
    bool IsValid() const;

    // Whether leading whitespace of element text is kept (true by default, as the framework
    // loads every document).
    void SetPreserveWhitespace(bool preserve) { m_bPreserveWhitespace = preserve; }

    // Record 1, the first element of the file; invalid when nothing is loaded.
    CSkinMarkupNode GetRoot();

    // Last failure text (at most 99 characters) and the text at its position (at most 49).
    const std::string& GetLastErrorMessage() const { return m_errorMsg; }
    const std::string& GetLastErrorLocation() const { return m_errorLocation; }

private:
    friend class CSkinMarkupNode;

    // One element: offsets into m_text and indices into m_elements / m_attributes.
    struct XmlElement {
        unsigned name = 0;    // offset of the element name
        unsigned child = 0;   // first child record, 0 for none
        unsigned next = 0;    // next sibling record, 0 for none
        unsigned parent = 0;  // enclosing record, 0 at top level
        unsigned data = 0;    // offset of the element text
        unsigned firstAttr = 0; // first of this element's records in m_attributes
        unsigned attrCount = 0; // at most kMaxAttributes
    };
    struct XmlAttribute {
        unsigned name = 0;  // offset of the attribute name
        unsigned value = 0; // offset of the decoded value
    };

    enum class Step { Failed, Closed, Ended }; // Closed: went on normally; Ended: text over

    bool Parse();
    Step ParseContent(unsigned parent, size_t& pos, bool afterOpenBracket, int depth);
    Step ParseElement(unsigned parent, unsigned& prevSibling, size_t& pos, int depth);
    bool ParseAttributes(unsigned element, size_t& pos);
    void ParseData(size_t& pos, char end, size_t& dataEnd);
    void SkipWhitespace(size_t& pos) const;
    void SkipIdentifier(size_t& pos) const;
    bool Failed(const char* message, size_t pos);
    unsigned AppendElement();

    std::vector<char> m_text; // always ends with a terminator
    std::vector<XmlElement> m_elements;
    std::vector<XmlAttribute> m_attributes;
    bool m_bPreserveWhitespace = true;
    std::string m_errorMsg;
    std::string m_errorLocation;
};

} // namespace SkinUI
