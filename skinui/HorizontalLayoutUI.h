#pragma once
// Lines children up left to right; children without a fixed width share what is left.
#include "skinui/ContainerUI.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;
    void SetPos(RECT rc) override;
    void SetAttribute(const std::string& name, const std::string& value) override;

    // Separator dragging is not used by the program; the settings are kept.
    void SetSepWidth(int width) { m_iSepWidth = width; }
    int GetSepWidth() const { return m_iSepWidth; }
    void SetSepImmMode(bool immediately) { m_bImmMode = immediately; }
    bool IsSepImmMode() const { return m_bImmMode; }

protected:
    int m_iSepWidth = 0;
    bool m_bImmMode = false;
};

} // namespace SkinUI
