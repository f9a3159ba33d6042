#include "skinui/SkinMarkupNode.h"

#include <cstring>

#include "skinui/SkinMarkup.h"

namespace SkinUI {

CSkinMarkupNode::CSkinMarkupNode(CSkinMarkup* owner, unsigned index) : m_owner(owner), m_index(index)
{
}

bool CSkinMarkupNode::IsValid() const
{
    return m_owner && m_index > 0 && m_index < m_owner->m_elements.size();
}

CSkinMarkupNode CSkinMarkupNode::GetParent() const
{
    if (!IsValid())
        return CSkinMarkupNode();
    const unsigned parent = m_owner->m_elements[m_index].parent;
    return parent ? CSkinMarkupNode(m_owner, parent) : CSkinMarkupNode();
}

CSkinMarkupNode CSkinMarkupNode::GetSibling() const
{
    if (!IsValid())
        return CSkinMarkupNode();
    const unsigned next = m_owner->m_elements[m_index].next;
    return next ? CSkinMarkupNode(m_owner, next) : CSkinMarkupNode();
}

CSkinMarkupNode CSkinMarkupNode::GetChild() const
{
    if (!IsValid())
        return CSkinMarkupNode();
    const unsigned child = m_owner->m_elements[m_index].child;
    return child ? CSkinMarkupNode(m_owner, child) : CSkinMarkupNode();
}

CSkinMarkupNode CSkinMarkupNode::GetChild(const char* name) const
{
    if (!name)
        return CSkinMarkupNode();
    for (CSkinMarkupNode n = GetChild(); n.IsValid(); n = n.GetSibling())
        if (strcmp(n.GetName(), name) == 0)
            return n;
    return CSkinMarkupNode();
}

bool CSkinMarkupNode::HasSiblings() const
{
    return GetSibling().IsValid();
}

bool CSkinMarkupNode::HasChildren() const
{
    return GetChild().IsValid();
}

const char* CSkinMarkupNode::GetName() const
{
    return IsValid() ? &m_owner->m_text[m_owner->m_elements[m_index].name] : "";
}

const char* CSkinMarkupNode::GetValue() const
{
    return IsValid() ? &m_owner->m_text[m_owner->m_elements[m_index].data] : "";
}

bool CSkinMarkupNode::HasAttributes() const
{
    return GetAttributeCount() > 0;
}

bool CSkinMarkupNode::HasAttribute(const char* name) const
{
    return GetAttributeValue(name) != nullptr;
}

int CSkinMarkupNode::GetAttributeCount() const
{
    return IsValid() ? static_cast<int>(m_owner->m_elements[m_index].attrCount) : 0;
}

const char* CSkinMarkupNode::GetAttributeName(int index) const
{
    if (index < 0 || index >= GetAttributeCount())
        return nullptr;
    const unsigned a = m_owner->m_elements[m_index].firstAttr + static_cast<unsigned>(index);
    return &m_owner->m_text[m_owner->m_attributes[a].name];
}

const char* CSkinMarkupNode::GetAttributeValue(int index) const
{
    if (index < 0 || index >= GetAttributeCount())
        return nullptr;
    const unsigned a = m_owner->m_elements[m_index].firstAttr + static_cast<unsigned>(index);
    return &m_owner->m_text[m_owner->m_attributes[a].value];
}

const char* CSkinMarkupNode::GetAttributeValue(const char* name) const
{
    if (!name)
        return nullptr;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i)
        if (strcmp(GetAttributeName(i), name) == 0)
            return GetAttributeValue(i);
    return nullptr;
}

} // namespace SkinUI
