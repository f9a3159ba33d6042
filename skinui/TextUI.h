#pragma once
// A label whose text wraps over several lines; it can measure the height it needs.
#include "skinui/LabelUI.h"

namespace SkinUI {

class CTextUI : public CLabelUI {
public:
    CTextUI();

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;

    // Width: the larger of the fixed and the available width; height: what the wrapped text
    // needs plus the text padding, or the fixed height when one is set.
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC hDC) override;
};

} // namespace SkinUI
