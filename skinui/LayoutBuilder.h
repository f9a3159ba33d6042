#pragma once
// Turns a layout document into a tree of controls and hands the window-level resources it
// declares (fonts, images, default attribute lists, window attributes) to a host.
#include <memory>
#include <string>

#include "skinui/SkinInterfaces.h"

namespace SkinUI {

class CControlUI;
class CPaintHostUI;
class CSkinMarkup;
class CSkinMarkupNode;

class CLayoutBuilder {
public:
    CLayoutBuilder();
    ~CLayoutBuilder();
    CLayoutBuilder(const CLayoutBuilder&) = delete;
    CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

    // layout: a file name, the markup itself (first character '<'), or, with a resource
    // type, a decimal resource id. Returns the first top-level control, or null.
    CControlUI* Create(const std::string& layout, const std::string& type = std::string(),
                       IDialogBuilderCallback* callback = nullptr, CPaintHostUI* host = nullptr,
                       CControlUI* parent = nullptr);

    // The last load or parse error; empty after a successful load.
    std::string GetLastErrorMessage() const;
    std::string GetLastErrorLocation() const;

    // The element table: a new control for an element name, or null for unknown names.
    static CControlUI* CreateControlByName(const std::string& element);
    // Applies one attribute of a layout's root Window element to a host.
    static void ApplyWindowAttribute(CPaintHostUI* host, const std::string& name, const std::string& value);

private:
    CControlUI* Parse(const CSkinMarkupNode& parentNode, CControlUI* parent, CPaintHostUI* host,
                      bool& failed);

    std::unique_ptr<CSkinMarkup> m_xml;
    std::string m_type; // resource type the layout came from; includes use it too
    IDialogBuilderCallback* m_callback = nullptr;
};

} // namespace SkinUI
