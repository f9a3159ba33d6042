#include "skinui/LayoutBuilder.h"

#include <vector>

#include "skinui/ButtonUI.h"
#include "skinui/CheckBoxUI.h"
#include "skinui/ContainerUI.h"
#include "skinui/ControlUI.h"
#include "skinui/HorizontalLayoutUI.h"
#include "skinui/LabelUI.h"
#include "skinui/OptionUI.h"
#include "skinui/PaintHostUI.h"
#include "skinui/ScrollBarUI.h"
#include "skinui/SkinAttr.h"
#include "skinui/SkinMarkup.h"
#include "skinui/SkinMarkupNode.h"
#include "skinui/SkinResources.h"
#include "skinui/TextUI.h"
#include "skinui/VerticalLayoutUI.h"

namespace SkinUI {

namespace {

constexpr size_t kMaxIncludeSource = 499;

std::string AttrOrEmpty(const CSkinMarkupNode& node, const char* name)
{
    const char* v = node.GetAttributeValue(name);
    return v != nullptr ? std::string(v) : std::string();
}

} // namespace

CLayoutBuilder::CLayoutBuilder() : m_xml(std::make_unique<CSkinMarkup>()) {}
CLayoutBuilder::~CLayoutBuilder() = default;

std::string CLayoutBuilder::GetLastErrorMessage() const { return m_xml->GetLastErrorMessage(); }
std::string CLayoutBuilder::GetLastErrorLocation() const { return m_xml->GetLastErrorLocation(); }

// The one place that knows which element makes which control.
CControlUI* CLayoutBuilder::CreateControlByName(const std::string& element)
{
    if (element == "Control")
        return new CControlUI;
    if (element == "VerticalLayout")
        return new CVerticalLayoutUI;
    if (element == "HorizontalLayout")
        return new CHorizontalLayoutUI;
    if (element == "Label")
        return new CLabelUI;
    if (element == "Text")
        return new CTextUI;
    if (element == "Button")
        return new CButtonUI;
    if (element == "CheckBox")
        return new CCheckBoxUI;
    if (element == "Option")
        return new COptionUI;
    if (element == "Container")
        return new CContainerUI;
    if (element == "ScrollBar")
        return new CScrollBarUI;
    return nullptr;
}

void CLayoutBuilder::ApplyWindowAttribute(CPaintHostUI* host, const std::string& name, const std::string& value)
{
    const char* v = value.c_str();
    if (name == "size") {
        SIZE sz = ParseSizePair(v);
        host->SetInitSize(sz.cx, sz.cy);
    } else if (name == "sizebox") {
        host->SetSizeBox(ParseQuadruple(v));
    } else if (name == "caption") {
        host->SetCaptionRect(ParseQuadruple(v));
    } else if (name == "roundcorner") {
        SIZE sz = ParseSizePair(v);
        host->SetRoundCorner(sz.cx, sz.cy);
    } else if (name == "mininfo") {
        SIZE sz = ParseSizePair(v);
        host->SetMinInfo(sz.cx, sz.cy);
    } else if (name == "maxinfo") {
        SIZE sz = ParseSizePair(v);
        host->SetMaxInfo(sz.cx, sz.cy);
    } else if (name == "showdirty") {
        host->SetShowUpdateRect(ParseBool(v));
    } else if (name == "alpha") {
        host->SetOpacity(ParseDecimal(v));
    } else if (name == "bktrans") {
        host->SetBackgroundTransparent(ParseBool(v));
    } else if (name == "disabledfontcolor") {
        host->SetDefaultDisabledColor(ParseColor(v));
    } else if (name == "defaultfontcolor") {
        host->SetDefaultFontColor(ParseColor(v));
    } else if (name == "linkfontcolor") {
        host->SetDefaultLinkFontColor(ParseColor(v));
    } else if (name == "linkhoverfontcolor") {
        host->SetDefaultLinkHoverFontColor(ParseColor(v));
    } else if (name == "selectedcolor") {
        host->SetDefaultSelectedBkColor(ParseColor(v));
    } else if (name == "shadowsize") {
        host->Shadow().size = ParseDecimal(v);
    } else if (name == "shadowsharpness") {
        host->Shadow().sharpness = ParseDecimal(v);
    } else if (name == "shadowdarkness") {
        host->Shadow().darkness = ParseDecimal(v);
    } else if (name == "shadowpositon") {
        host->Shadow().position = ParseSizePair(v);
    } else if (name == "shadowcolor") {
        host->Shadow().color = ParseColor(v);
    } else if (name == "shadowcorner") {
        host->Shadow().corner = ParseQuadruple(v);
    } else if (name == "shadowimage") {
        host->Shadow().image = value;
    } else if (name == "showshadow") {
        host->Shadow().show = ParseBool(v);
    }
}

CControlUI* CLayoutBuilder::Create(const std::string& layout, const std::string& type,
                                   IDialogBuilderCallback* callback, CPaintHostUI* host, CControlUI* parent)
{
    m_callback = callback;
    if (!type.empty()) {
        std::vector<char> bytes;
        if (!CSkinResources::ReadResource(layout.c_str(), type.c_str(), bytes))
            return nullptr;
        if (!m_xml->LoadFromMemory(bytes.data(), bytes.size()))
            return nullptr;
        m_type = type;
    } else if (!layout.empty() && layout[0] == '<') {
        if (!m_xml->Load(layout.c_str()))
            return nullptr;
    } else if (!m_xml->LoadFromFile(layout.c_str())) {
        return nullptr;
    }

    CSkinMarkupNode root = m_xml->GetRoot();
    if (!root.IsValid())
        return nullptr;

    if (host != nullptr) {
        for (CSkinMarkupNode node = root.GetChild(); node.IsValid(); node = node.GetSibling()) {
            const std::string element = node.GetName();
            if (element == "Image") {
                std::string name = AttrOrEmpty(node, "name");
                if (!name.empty())
                    host->AddImage(name, AttrOrEmpty(node, "restype"),
                                   ParseColor(AttrOrEmpty(node, "mask").c_str()));
            } else if (element == "Font") {
                const char* name = node.GetAttributeValue("name");
                if (name == nullptr)
                    continue;
                int size = ParseDecimal(AttrOrEmpty(node, "size").c_str());
                bool bold = ParseBool(AttrOrEmpty(node, "bold").c_str());
                bool underline = ParseBool(AttrOrEmpty(node, "underline").c_str());
                bool italic = ParseBool(AttrOrEmpty(node, "italic").c_str());
                host->AddFont(name, size, bold, underline, italic);
                if (ParseBool(AttrOrEmpty(node, "default").c_str()))
                    host->SetDefaultFont(name, size, bold, underline, italic);
            } else if (element == "Default") {
                const char* name = node.GetAttributeValue("name");
                if (name != nullptr)
                    host->AddDefaultAttributeList(name, AttrOrEmpty(node, "value"));
            }
        }
        if (std::string(root.GetName()) == "Window" && host->GetPaintWindow() != nullptr) {
            for (int i = 0; i < root.GetAttributeCount(); ++i)
                ApplyWindowAttribute(host, root.GetAttributeName(i), root.GetAttributeValue(i));
        }
    }

    bool failed = false;
    CControlUI* result = Parse(root, parent, host, failed);
    return failed ? nullptr : result;
}

CControlUI* CLayoutBuilder::Parse(const CSkinMarkupNode& parentNode, CControlUI* parent, CPaintHostUI* host,
                                  bool& failed)
{
    IContainerUI* container = nullptr;
    CControlUI* first = nullptr;
    for (CSkinMarkupNode node = parentNode.GetChild(); node.IsValid(); node = node.GetSibling()) {
        const std::string element = node.GetName();
        if (element == "Image" || element == "Font" || element == "Default")
            continue;

        if (element == "Include") {
            if (!node.HasAttributes())
                continue;
            const char* sourceValue = node.GetAttributeValue("source");
            if (sourceValue == nullptr)
                continue;
            std::string source(sourceValue);
            if (source.size() > kMaxIncludeSource)
                source.resize(kMaxIncludeSource);
            int count = 1;
            if (const char* c = node.GetAttributeValue("count"))
                count = ParseDecimal(c);
            for (int i = 0; i < count; ++i) {
                // What an include adds lands in this host and parent; a broken one is skipped.
                CLayoutBuilder nested;
                nested.Create(source, m_type, m_callback, host, parent);
            }
            continue;
        }

        CControlUI* control = CreateControlByName(element);
        if (control == nullptr && m_callback != nullptr)
            control = m_callback->CreateControl(element);
        if (control == nullptr)
            continue; // unknown element: skipped with its subtree

        if (node.HasChildren()) {
            Parse(node, control, host, failed);
            if (failed) {
                delete control;
                return nullptr;
            }
        }

        if (parent != nullptr) {
            if (container == nullptr)
                container = static_cast<IContainerUI*>(parent->GetInterface("IContainer"));
            if (container == nullptr) {
                delete control;
                failed = true;
                return nullptr;
            }
            if (!container->Add(control)) {
                delete control;
                continue;
            }
        }

        if (host != nullptr) {
            control->SetManager(host, control->GetParent(), false);
            std::string defaults = host->GetDefaultAttributeList(element);
            if (!defaults.empty())
                control->ApplyAttributeList(defaults);
        }
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            const char* name = node.GetAttributeName(i);
            const char* value = node.GetAttributeValue(i);
            if (name != nullptr && value != nullptr)
                control->SetAttribute(name, value);
        }
        if (host != nullptr)
            control->SetManager(nullptr, control->GetParent(), false);

        if (first == nullptr)
            first = control;
    }
    return first;
}

} // namespace SkinUI
