#pragma once
// The scroll bar a container shows at its right or bottom edge. This holds the state the
// container drives (range, position, line size, orientation) and the style attributes;
// the bar's own geometry, drawing and dragging are not built yet.
#include <string>
#include <utility>
#include <vector>

#include "skinui/ControlUI.h"

namespace SkinUI {

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;

    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* owner);
    bool IsHorizontal() const;
    void SetHorizontal(bool horizontal = true);
    int GetScrollRange() const;
    void SetScrollRange(int range);
    int GetScrollPos() const;
    void SetScrollPos(int pos);
    int GetLineSize() const;
    void SetLineSize(int size);
    bool IsShowButton1() const { return m_bShowButton1; }
    bool IsShowButton2() const { return m_bShowButton2; }

    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void SetFocus() override;
    void SetAttribute(const std::string& name, const std::string& value) override;

    // Image strings by attribute name ("thumbnormalimage", ...); empty when unset.
    std::string GetImageAttribute(const std::string& name) const;

private:
    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
    CContainerUI* m_pOwner = nullptr;
    bool m_bShowButton1 = true;
    bool m_bShowButton2 = true;
    std::vector<std::pair<std::string, std::string>> m_images;
};

} // namespace SkinUI
