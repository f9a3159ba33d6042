#pragma once
// A button with a selected state; options sharing a group name on one host are selected
// one at a time.
#include "skinui/ButtonUI.h"

namespace SkinUI {

class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;
    // Binding with initialisation joins the group on the new host; leaving a host leaves
    // its group.
    void SetManager(CPaintHostUI* host, CControlUI* parent, bool init = true) override;
    // Sends "click", then selects (in a group) or toggles (outside one).
    bool Activate() override;
    void SetEnabled(bool enable = true) override;

    const std::string& GetGroup() const { return m_sGroupName; }
    void SetGroup(const std::string& group);
    bool IsSelected() const { return m_bSelected; }
    // Selecting an option of a group deselects the others silently, then sends
    // "selectchanged"; deselecting a grouped option sends nothing; an option outside any
    // group sends "selectchanged" on every change.
    virtual void Selected(bool selected);

    void SetSelectedImage(const std::string& image);
    const std::string& GetSelectedImage() const { return m_sSelectedImage; }
    void SetSelectedHotImage(const std::string& image);
    void SetNormalDisabledImage(const std::string& image);
    void SetSelectedDisabledImage(const std::string& image);
    void SetOptionForeImage(const std::string& image);
    void SetSelectedBkColor(DWORD color);
    DWORD GetSelectedBkColor() const { return m_dwSelectedBkColor; }
    void SetSelectedTextColor(DWORD color);
    DWORD GetSelectedTextColor() const { return m_dwSelectedTextColor; }

    void SetAttribute(const std::string& name, const std::string& value) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

private:
    // While selected, the other members of the group on this host are deselected.
    void DeselectGroupPeers();

    bool m_bSelected = false;
    std::string m_sGroupName;
    std::string m_sSelectedImage;
    std::string m_sSelectedHotImage;
    std::string m_sNormalDisabledImage;
    std::string m_sSelectedDisabledImage;
    std::string m_sOptionForeImage;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwSelectedTextColor = 0;
};

} // namespace SkinUI
