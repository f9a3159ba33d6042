#include "skinui/TextUI.h"

#include <algorithm>

#include "comm/UniqueHandle.h"
#include "skinui/PaintHostUI.h"

namespace SkinUI {

CTextUI::CTextUI()
{
    m_uTextStyle = TS_WORDBREAK;
    m_rcTextPadding = RECT{2, 0, 2, 0};
}

std::string CTextUI::GetClass() const { return "TextUI"; }

void* CTextUI::GetInterface(const std::string& name)
{
    if (name == "Text")
        return static_cast<CTextUI*>(this);
    return CLabelUI::GetInterface(name);
}

SIZE CTextUI::EstimateSize(SIZE available)
{
    RECT rc = {m_rcTextPadding.left, 0, std::max(m_cxyFixed.cx, available.cx) - m_rcTextPadding.right, 9999};
    // Measuring needs a context with the font; before the window exists a screen-compatible
    // one does.
    CMemoryDc scratch;
    HDC hdc = m_pManager != nullptr ? m_pManager->GetPaintDC() : nullptr;
    if (hdc == nullptr) {
        scratch.Reset(CreateCompatibleDC(nullptr));
        hdc = scratch.Get();
    }
    CSkinPainter::DrawText(hdc, m_pManager, rc, m_sText.c_str(), 0, m_iFont, m_uTextStyle | TS_CALCRECT);
    SIZE size = {rc.right - rc.left + m_rcTextPadding.left + m_rcTextPadding.right,
                 rc.bottom - rc.top + m_rcTextPadding.top + m_rcTextPadding.bottom};
    if (m_cxyFixed.cy != 0)
        size.cy = m_cxyFixed.cy;
    return size;
}

void CTextUI::PaintText(HDC hDC)
{
    TakeHostTextColors();
    if (m_sText.empty())
        return;
    RECT rc = TextRect();
    CSkinPainter::DrawText(hDC, m_pManager, rc, m_sText.c_str(), IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor,
                           m_iFont, m_uTextStyle);
}

} // namespace SkinUI
