#include "skinui/ButtonUI.h"

#include "skinui/PaintHostUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

CButtonUI::CButtonUI()
{
    m_uTextStyle = TS_SINGLELINE | TS_VCENTER | TS_CENTER;
}

std::string CButtonUI::GetClass() const { return "ButtonUI"; }

void* CButtonUI::GetInterface(const std::string& name)
{
    if (name == "Button")
        return static_cast<CButtonUI*>(this);
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const
{
    UINT flags = 0;
    if (IsKeyboardEnabled())
        flags |= UIFLAG_TABSTOP;
    if (IsEnabled())
        flags |= UIFLAG_SETCURSOR;
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate())
        return false;
    if (m_pManager != nullptr)
        m_pManager->SendNotify(this, "click");
    return true;
}

void CButtonUI::SetEnabled(bool enable)
{
    CLabelUI::SetEnabled(enable);
    if (!IsEnabled())
        m_uButtonState = 0;
}

void CButtonUI::SetNormalImage(const std::string& image)
{
    m_sNormalImage = image;
    Invalidate();
}

void CButtonUI::SetHotImage(const std::string& image)
{
    m_sHotImage = image;
    Invalidate();
}

void CButtonUI::SetPushedImage(const std::string& image)
{
    m_sPushedImage = image;
    Invalidate();
}

void CButtonUI::SetFocusedImage(const std::string& image)
{
    m_sFocusedImage = image;
    Invalidate();
}

void CButtonUI::SetDisabledImage(const std::string& image)
{
    m_sDisabledImage = image;
    Invalidate();
}

void CButtonUI::SetForeImage(const std::string& image)
{
    m_sForeImage = image;
    Invalidate();
}

void CButtonUI::SetHotForeImage(const std::string& image)
{
    m_sHotForeImage = image;
    Invalidate();
}

void CButtonUI::SetPushedForeImage(const std::string& image)
{
    m_sPushedForeImage = image;
    Invalidate();
}

void CButtonUI::SetDisabledForeImage(const std::string& image)
{
    m_sDisabledForeImage = image;
    Invalidate();
}

void CButtonUI::SetHotBkColor(DWORD color)
{
    m_dwHotBkColor = color;
    Invalidate();
}

void CButtonUI::SetPushedBkColor(DWORD color)
{
    m_dwPushedBkColor = color;
    Invalidate();
}

void CButtonUI::SetFocusedBkColor(DWORD color)
{
    m_dwFocusedBkColor = color;
    Invalidate();
}

void CButtonUI::SetHotTextColor(DWORD color)
{
    m_dwHotTextColor = color;
    Invalidate();
}

void CButtonUI::SetPushedTextColor(DWORD color)
{
    m_dwPushedTextColor = color;
    Invalidate();
}

void CButtonUI::SetFocusedTextColor(DWORD color)
{
    m_dwFocusedTextColor = color;
    Invalidate();
}

void CButtonUI::SetPushFloat(bool on)
{
    m_bPushFloat = on;
    Invalidate();
}

SIZE CButtonUI::EstimateSize(SIZE /*available*/)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr)
        return m_cxyFixed;
    return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont).tmHeight + 8};
}

void CButtonUI::DoEvent(TControlEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pParent != nullptr)
            m_pParent->DoEvent(event);
        else
            CLabelUI::DoEvent(event);
        return;
    }

    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        m_uButtonState |= UISTATE_FOCUSED;
        Invalidate();
        break; // the label keeps its focused flag too
    case UIEVENT_KILLFOCUS:
        m_uButtonState &= ~UISTATE_FOCUSED;
        Invalidate();
        break;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (PtInRect(&m_rcItem, event.ptMouse) && IsEnabled()) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            if (PtInRect(&m_rcItem, event.ptMouse))
                m_uButtonState |= UISTATE_PUSHED;
            else
                m_uButtonState &= ~UISTATE_PUSHED;
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            // Released outside: the press is abandoned without a click.
            if (PtInRect(&m_rcItem, event.ptMouse))
                Activate();
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
        }
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed() && m_pManager != nullptr)
            m_pManager->SendNotify(this, "menu", event.wParam, event.lParam);
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (IsEnabled()) {
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
        }
        break;
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursor(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(const std::string& name, const std::string& value)
{
    if (name == "normalimage")
        SetNormalImage(value);
    else if (name == "hotimage")
        SetHotImage(value);
    else if (name == "pushedimage")
        SetPushedImage(value);
    else if (name == "focusedimage")
        SetFocusedImage(value);
    else if (name == "disabledimage")
        SetDisabledImage(value);
    else if (name == "foreimage")
        SetForeImage(value);
    else if (name == "hotforeimage")
        SetHotForeImage(value);
    else if (name == "pushedforeimage")
        SetPushedForeImage(value);
    else if (name == "disabledforeimage")
        SetDisabledForeImage(value);
    else if (name == "hotbkcolor")
        SetHotBkColor(ParseColor(value.c_str()));
    else if (name == "pushedbkcolor")
        SetPushedBkColor(ParseColor(value.c_str()));
    else if (name == "Focusedbkcolor") // spelled so in the layouts
        SetFocusedBkColor(ParseColor(value.c_str()));
    else if (name == "hottextcolor")
        SetHotTextColor(ParseColor(value.c_str()));
    else if (name == "pushedtextcolor")
        SetPushedTextColor(ParseColor(value.c_str()));
    else if (name == "focusedtextcolor")
        SetFocusedTextColor(ParseColor(value.c_str()));
    else if (name == "pushfloat")
        SetPushFloat(ParseBool(value.c_str()));
    else
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::RefreshStateBits()
{
    if (IsFocused())
        m_uButtonState |= UISTATE_FOCUSED;
    else
        m_uButtonState &= ~UISTATE_FOCUSED;
    if (!IsEnabled())
        m_uButtonState |= UISTATE_DISABLED;
    else
        m_uButtonState &= ~UISTATE_DISABLED;
}

void CButtonUI::PaintText(HDC hDC)
{
    RefreshStateBits();
    TakeHostTextColors();
    if (m_sText.empty())
        return;

    DWORD color;
    if ((m_uButtonState & UISTATE_PUSHED) != 0 && m_dwPushedTextColor != 0)
        color = m_dwPushedTextColor;
    else if ((m_uButtonState & UISTATE_HOT) != 0 && m_dwHotTextColor != 0)
        color = m_dwHotTextColor;
    else if ((m_uButtonState & UISTATE_FOCUSED) != 0 && m_dwFocusedTextColor != 0)
        color = m_dwFocusedTextColor;
    else
        color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;

    RECT rc = TextRect();
    if (m_bPushFloat && (m_uButtonState & UISTATE_PUSHED) != 0)
        OffsetRect(&rc, 1, 1);
    CSkinPainter::DrawText(hDC, m_pManager, rc, m_sText.c_str(), color, m_iFont, m_uTextStyle);
}

bool CButtonUI::PaintStateFace(HDC hDC, const std::string& image, DWORD bkColor, const std::string& foreImage)
{
    if (!image.empty()) {
        DrawImage(hDC, image);
        const std::string& fore = !foreImage.empty() ? foreImage : m_sForeImage;
        if (!fore.empty())
            DrawImage(hDC, fore);
        return true;
    }
    if (bkColor != 0) {
        CSkinPainter::DrawColor(hDC, m_rcPaint, bkColor);
        if (!foreImage.empty())
            DrawImage(hDC, foreImage);
        return true;
    }
    if (!foreImage.empty()) {
        DrawImage(hDC, foreImage);
        return true;
    }
    return false;
}

void CButtonUI::PaintStatusImage(HDC hDC)
{
    RefreshStateBits();

    if ((m_uButtonState & UISTATE_DISABLED) != 0) {
        if (!m_sDisabledImage.empty())
            DrawImage(hDC, m_sDisabledImage);
        else if (!m_sDisabledForeImage.empty())
            DrawImage(hDC, m_sDisabledForeImage);
        else if (!m_sNormalImage.empty())
            DrawImage(hDC, m_sNormalImage);
        return;
    }
    if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        if (PaintStateFace(hDC, m_sPushedImage, m_dwPushedBkColor, m_sPushedForeImage))
            return;
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        if (PaintStateFace(hDC, m_sHotImage, m_dwHotBkColor, m_sHotForeImage))
            return;
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0) {
        if (!m_sFocusedImage.empty()) {
            DrawImage(hDC, m_sFocusedImage);
            if (!m_sForeImage.empty())
                DrawImage(hDC, m_sForeImage);
            return;
        }
        if (m_dwFocusedBkColor != 0) {
            CSkinPainter::DrawColor(hDC, m_rcPaint, m_dwFocusedBkColor);
            return;
        }
    }
    if (!m_sNormalImage.empty())
        DrawImage(hDC, m_sNormalImage);
    if (!m_sForeImage.empty())
        DrawImage(hDC, m_sForeImage);
}

} // namespace SkinUI
