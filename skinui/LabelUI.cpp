#include "skinui/LabelUI.h"

#include "skinui/PaintHostUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

UINT ApplyAlignWords(UINT style, const std::string& value)
{
    // "vcenter" contains "center", so a vertical centre also centres horizontally.
    if (value.find("left") != std::string::npos)
        style = (style & ~(TS_CENTER | TS_RIGHT)) | TS_LEFT;
    if (value.find("center") != std::string::npos)
        style = (style & ~(TS_LEFT | TS_RIGHT)) | TS_CENTER;
    if (value.find("right") != std::string::npos)
        style = (style & ~(TS_LEFT | TS_CENTER)) | TS_RIGHT;
    if (value.find("top") != std::string::npos)
        style = (style & ~(TS_VCENTER | TS_BOTTOM)) | TS_TOP;
    if (value.find("vcenter") != std::string::npos)
        style = (style & ~(TS_TOP | TS_BOTTOM)) | TS_VCENTER;
    if (value.find("bottom") != std::string::npos)
        style = (style & ~(TS_TOP | TS_VCENTER)) | TS_BOTTOM;
    return style;
}

CLabelUI::CLabelUI() = default;

std::string CLabelUI::GetClass() const { return "LabelUI"; }

void* CLabelUI::GetInterface(const std::string& name)
{
    if (name == "Label")
        return static_cast<CLabelUI*>(this);
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetTextStyle(UINT style)
{
    m_uTextStyle = style;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color)
{
    m_dwDisabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int index)
{
    m_iFont = index;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = rc;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool show)
{
    if (m_bShowHtml == show)
        return;
    m_bShowHtml = show;
    Invalidate();
}

SIZE CLabelUI::EstimateSize(SIZE /*available*/)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr)
        return m_cxyFixed;
    return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont).tmHeight + 4};
}

void CLabelUI::DoEvent(TControlEvent& event)
{
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(const std::string& name, const std::string& value)
{
    const char* v = value.c_str();
    if (name == "align") {
        SetTextStyle(ApplyAlignWords(m_uTextStyle, value));
    } else if (name == "endellipsis") {
        SetTextStyle(ParseBool(v) ? (m_uTextStyle | TS_END_ELLIPSIS) : (m_uTextStyle & ~TS_END_ELLIPSIS));
    } else if (name == "font") {
        SetFont(ParseDecimal(v));
    } else if (name == "textcolor") {
        SetTextColor(ParseColor(value.c_str()));
    } else if (name == "disabledtextcolor") {
        SetDisabledTextColor(ParseColor(value.c_str()));
    } else if (name == "textpadding") {
        SetTextPadding(ParseQuadruple(v));
    } else if (name == "showhtml") {
        SetShowHtml(ParseBool(v));
    } else if (name == "enabledeffect") {
        m_effect.enabled = ParseBool(v);
    } else if (name == "rhaa") {
        m_effect.renderingHint = ParseDecimal(v);
    } else if (name == "transshadow") {
        m_effect.transShadow = ParseDecimal(v);
    } else if (name == "transtext") {
        m_effect.transText = ParseDecimal(v);
    } else if (name == "transshadow1") {
        m_effect.transShadow1 = ParseDecimal(v);
    } else if (name == "transtext1") {
        m_effect.transText1 = ParseDecimal(v);
    } else if (name == "gradientangle") {
        m_effect.gradientAngle = ParseDecimal(v);
    } else if (name == "enabledstroke") {
        m_effect.strokeEnabled = ParseBool(v);
    } else if (name == "enabledshadow") {
        m_effect.shadowEnabled = ParseBool(v);
    } else if (name == "transstroke") {
        m_effect.transStroke = ParseDecimal(v);
    } else if (name == "gradientlength") {
        m_effect.gradientLength = ParseDecimal(v);
    } else if (name == "shadowoffset") {
        m_effect.shadowOffset = ParseSizePair(v);
    } else if (name == "textcolor1") {
        m_effect.textColor1 = ParseColor(value.c_str());
    } else if (name == "textshadowcolora") {
        m_effect.shadowColorA = ParseColor(value.c_str());
    } else if (name == "textshadowcolorb") {
        m_effect.shadowColorB = ParseColor(value.c_str());
    } else if (name == "strokecolor") {
        m_effect.strokeColor = ParseColor(value.c_str());
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CLabelUI::TakeHostTextColors()
{
    if (m_pManager == nullptr)
        return;
    if (m_dwTextColor == 0)
        m_dwTextColor = m_pManager->GetDefaultFontColor();
    if (m_dwDisabledTextColor == 0)
        m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

RECT CLabelUI::TextRect() const
{
    return RECT{m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
                m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
}

void CLabelUI::PaintText(HDC hDC)
{
    TakeHostTextColors();
    if (m_sText.empty())
        return;
    RECT rc = TextRect();
    // Html text is not used by the program's layouts; it is drawn as plain text.
    CSkinPainter::DrawText(hDC, m_pManager, rc, m_sText.c_str(), IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor,
                           m_iFont, m_uTextStyle | TS_SINGLELINE);
}

} // namespace SkinUI
