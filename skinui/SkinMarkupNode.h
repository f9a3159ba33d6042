#pragma once
// A handle to one element of a CSkinMarkup: (document, record index). Cheap to copy; valid
// while its document is alive and not reloaded. Operations on an invalid node return an
// invalid node, null, 0 or false. At most 64 attributes per element are seen.
#include <cstddef>

namespace SkinUI {

class CSkinMarkup;

constexpr int kMaxAttributes = 64;

class CSkinMarkupNode {
public:
    CSkinMarkupNode() = default;
    CSkinMarkupNode(CSkinMarkup* owner, unsigned index);

    bool IsValid() const;
    CSkinMarkupNode GetParent() const;
    CSkinMarkupNode GetSibling() const;
    CSkinMarkupNode GetChild() const;
    // First direct child with this element name (case-sensitive).
    CSkinMarkupNode GetChild(const char* name) const;
    bool HasSiblings() const;
    bool HasChildren() const;

    const char* GetName() const;  // "" when invalid
    const char* GetValue() const; // the element text; "" when none or invalid

    bool HasAttributes() const;
    bool HasAttribute(const char* name) const;
    int GetAttributeCount() const;
    const char* GetAttributeName(int index) const;  // null when out of range
    const char* GetAttributeValue(int index) const; // null when out of range
    // Value of the first attribute with this name, or null.
    const char* GetAttributeValue(const char* name) const;

private:
    CSkinMarkup* m_owner = nullptr;
    unsigned m_index = 0;
};

} // namespace SkinUI
