#include "skinui/VerticalLayoutUI.h"

#include <algorithm>

#include "skinui/ScrollBarUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() = default;

std::string CVerticalLayoutUI::GetClass() const { return "VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(const std::string& name)
{
    if (name == "VerticalLayout")
        return this;
    return CContainerUI::GetInterface(name);
}

// All divisions are integer divisions; the numbers must match the layouts pixel for pixel.
void CVerticalLayoutUI::SetPos(RECT rc)
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
        if (sz.cy == 0) {
            ++adjustables;
        } else {
            sz.cy = std::max<int>(sz.cy, child->GetMinHeight());
            sz.cy = std::min<int>(sz.cy, child->GetMaxHeight());
        }
        RECT pad = child->GetPadding();
        fixedTotal += sz.cy + pad.top + pad.bottom;
        ++counted;
    }
    fixedTotal += (counted - 1) * m_iChildPadding;

    int expand = 0;
    if (adjustables > 0)
        expand = std::max<int>(0, (available.cy - fixedTotal) / adjustables);

    SIZE remaining = available;
    int y = rc.top;
    if (vBar)
        y -= m_pVerticalScrollBar->GetScrollPos();
    int x = rc.left;
    if (hBar)
        x -= m_pHorizontalScrollBar->GetScrollPos();
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
        remaining.cy -= pad.top;
        SIZE sz = child->EstimateSize(remaining);
        if (sz.cy == 0) {
            ++adjustablesSeen;
            sz.cy = expand;
            if (adjustablesSeen == adjustables)
                sz.cy = std::max<int>(0, remaining.cy - pad.bottom - fixedRemaining);
            sz.cy = std::max<int>(sz.cy, child->GetMinHeight());
            sz.cy = std::min<int>(sz.cy, child->GetMaxHeight());
        } else {
            sz.cy = std::max<int>(sz.cy, child->GetMinHeight());
            sz.cy = std::min<int>(sz.cy, child->GetMaxHeight());
            fixedRemaining -= sz.cy;
        }

        sz.cx = child->GetFixedWidth();
        if (sz.cx == 0)
            sz.cx = available.cx - pad.left - pad.right;
        sz.cx = std::max<int>(sz.cx, 0);
        sz.cx = std::max<int>(sz.cx, child->GetMinWidth());
        sz.cx = std::min<int>(sz.cx, child->GetMaxWidth());

        RECT placed = {x + pad.left, y + pad.top, x + pad.left + sz.cx, y + pad.top + sz.cy + pad.bottom};
        child->SetPos(placed);

        y += sz.cy + pad.top + pad.bottom + m_iChildPadding;
        needed += sz.cy + pad.top + pad.bottom;
        remaining.cy -= sz.cy;
    }
    needed += (counted - 1) * m_iChildPadding;
    ProcessScrollBar(rc, 0, needed);
}

void CVerticalLayoutUI::SetAttribute(const std::string& name, const std::string& value)
{
    if (name == "sepheight")
        SetSepHeight(ParseDecimal(value.c_str()));
    else if (name == "sepimm")
        SetSepImmMode(ParseBool(value.c_str()));
    else
        CContainerUI::SetAttribute(name, value);
}

} // namespace SkinUI
