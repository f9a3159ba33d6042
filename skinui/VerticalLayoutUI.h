#pragma once
// Stacks children top to bottom; children without a fixed height share what is left.
#include "skinui/ContainerUI.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;
    void SetPos(RECT rc) override;
    void SetAttribute(const std::string& name, const std::string& value) override;

    // Separator dragging is not used by the program; the settings are kept.
    void SetSepHeight(int height) { m_iSepHeight = height; }
    int GetSepHeight() const { return m_iSepHeight; }
    void SetSepImmMode(bool immediately) { m_bImmMode = immediately; }
    bool IsSepImmMode() const { return m_bImmMode; }

protected:
    int m_iSepHeight = 0;
    bool m_bImmMode = false;
};

} // namespace SkinUI
