#include "skinui/CheckBoxUI.h"

namespace SkinUI {

std::string CCheckBoxUI::GetClass() const { return "CheckBoxUI"; }

} // namespace SkinUI
