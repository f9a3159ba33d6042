#pragma once
// An option under its own class name; outside a group it toggles on every click.
#include "skinui/OptionUI.h"

namespace SkinUI {

class CCheckBoxUI : public COptionUI {
public:
    std::string GetClass() const override;
};

} // namespace SkinUI
