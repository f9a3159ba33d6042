#include "skinui/HorizontalLayoutUI.h"

#include <algorithm>

#include "skinui/ScrollBarUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() = default;

std::string CHorizontalLayoutUI::GetClass() const { return "HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(const std::string& name)
{
    if (name == "HorizontalLayout")
        return this;
    return CContainerUI::GetInterface(name);
}

// The vertical arithmetic with the axes exchanged, except that the remaining width is not
// reduced by the left padding before asking the child, and y ignores the scroll position.
void CHorizontalLayoutUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    rc = InnerRect();
    const bool vBar = m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible();
    const bool hBar = m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible();
    if (vBar)
        rc.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (hBar)
        rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

    if (m_items.empty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }

    SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
    if (hBar)
        available.cx += m_pHorizontalScrollBar->GetScrollRange();

    int adjustables = 0;
    int fixedTotal = 0;
    int counted = 0;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        SIZE sz = child->EstimateSize(available);
        if (sz.cx == 0) {
            ++adjustables;
        } else {
            sz.cx = std::max<int>(sz.cx, child->GetMinWidth());
            sz.cx = std::min<int>(sz.cx, child->GetMaxWidth());
        }
        RECT pad = child->GetPadding();
        fixedTotal += sz.cx + pad.left + pad.right;
        ++counted;
    }
    fixedTotal += (counted - 1) * m_iChildPadding;

    int expand = 0;
    if (adjustables > 0)
        expand = std::max<int>(0, (available.cx - fixedTotal) / adjustables);

    SIZE remaining = available;
    int x = rc.left;
    if (hBar)
        x -= m_pHorizontalScrollBar->GetScrollPos();
    const int y = rc.top;
    int fixedRemaining = fixedTotal;
    int adjustablesSeen = 0;
    int needed = 0;
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
        CControlUI* child = m_items[i];
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        RECT pad = child->GetPadding();
        SIZE sz = child->EstimateSize(SIZE{remaining.cx, rc.bottom - rc.top});
        if (sz.cx == 0) {
            ++adjustablesSeen;
            sz.cx = expand;
            if (adjustablesSeen == adjustables)
                sz.cx = std::max<int>(0, remaining.cx - pad.right - fixedRemaining);
            sz.cx = std::max<int>(sz.cx, child->GetMinWidth());
            sz.cx = std::min<int>(sz.cx, child->GetMaxWidth());
        } else {
            sz.cx = std::max<int>(sz.cx, child->GetMinWidth());
            sz.cx = std::min<int>(sz.cx, child->GetMaxWidth());
            fixedRemaining -= sz.cx;
        }

        sz.cy = child->GetFixedHeight();
        if (sz.cy == 0)
            sz.cy = (rc.bottom - rc.top) - pad.top - pad.bottom;
        sz.cy = std::max<int>(sz.cy, 0);
        sz.cy = std::max<int>(sz.cy, child->GetMinHeight());
        sz.cy = std::min<int>(sz.cy, child->GetMaxHeight());

        RECT placed = {x + pad.left, y + pad.top, x + pad.left + sz.cx + pad.right, y + pad.top + sz.cy};
        child->SetPos(placed);

        x += sz.cx + pad.left + pad.right + m_iChildPadding;
        needed += sz.cx + pad.left + pad.right;
        remaining.cx -= sz.cx;
    }
    needed += (counted - 1) * m_iChildPadding;
    ProcessScrollBar(rc, needed, 0);
}

void CHorizontalLayoutUI::SetAttribute(const std::string& name, const std::string& value)
{
    if (name == "sepwidth")
        SetSepWidth(ParseDecimal(value.c_str()));
    else if (name == "sepimm")
        SetSepImmMode(ParseBool(value.c_str()));
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace SkinUI
