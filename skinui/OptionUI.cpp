#include "skinui/OptionUI.h"

#include <algorithm>

#include "skinui/PaintHostUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

namespace {

bool IsMember(CPaintHostUI* host, const std::string& group, const COptionUI* option)
{
    const std::vector<COptionUI*>* members = host->GetOptionGroup(group);
    return members != nullptr && std::find(members->begin(), members->end(), option) != members->end();
}

} // namespace

COptionUI::COptionUI() = default;

COptionUI::~COptionUI()
{
    // The host must not keep a pointer to a destroyed option.
    if (m_pManager != nullptr && !m_sGroupName.empty())
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
}

std::string COptionUI::GetClass() const { return "OptionUI"; }

void* COptionUI::GetInterface(const std::string& name)
{
    if (name == "Option")
        return static_cast<COptionUI*>(this);
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintHostUI* host, CControlUI* parent, bool init)
{
    if (m_pManager != nullptr && m_pManager != host && !m_sGroupName.empty())
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
    CButtonUI::SetManager(host, parent, init);
    if (init && host != nullptr && !m_sGroupName.empty() && !IsMember(host, m_sGroupName, this))
        host->AddOptionGroup(m_sGroupName, this);
}

void COptionUI::SetGroup(const std::string& group)
{
    if (group == m_sGroupName)
        return;
    if (m_pManager != nullptr && !m_sGroupName.empty())
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
    m_sGroupName = group;
    if (m_pManager != nullptr && !m_sGroupName.empty()) {
        if (!IsMember(m_pManager, m_sGroupName, this))
            m_pManager->AddOptionGroup(m_sGroupName, this);
        // A selected option keeps its group to itself.
        if (m_bSelected)
            DeselectGroupPeers();
    }
    Invalidate();
}

void COptionUI::DeselectGroupPeers()
{
    const std::vector<COptionUI*>* members = m_pManager->GetOptionGroup(m_sGroupName);
    if (members == nullptr)
        return;
    const std::vector<COptionUI*> peers = *members; // deselecting must not disturb the walk
    for (COptionUI* peer : peers)
        if (peer != this)
            peer->Selected(false);
}

void COptionUI::Selected(bool selected)
{
    if (m_bSelected == selected)
        return;
    m_bSelected = selected;
    if (selected)
        m_uButtonState |= UISTATE_SELECTED;
    else
        m_uButtonState &= ~UISTATE_SELECTED;

    if (m_pManager != nullptr) {
        if (m_sGroupName.empty()) {
            m_pManager->SendNotify(this, "selectchanged");
        } else if (selected) {
            DeselectGroupPeers();
            m_pManager->SendNotify(this, "selectchanged");
        }
    }
    Invalidate();
}

bool COptionUI::Activate()
{
    // "click" goes out first, so its listeners still see the state before the click.
    if (!CButtonUI::Activate())
        return false;
    if (!m_sGroupName.empty())
        Selected(true);
    else
        Selected(!m_bSelected);
    return true;
}

void COptionUI::SetEnabled(bool enable)
{
    CButtonUI::SetEnabled(enable);
    if (!IsEnabled())
        m_uButtonState = m_bSelected ? static_cast<UINT>(UISTATE_SELECTED) : 0u;
}

void COptionUI::SetSelectedImage(const std::string& image)
{
    m_sSelectedImage = image;
    Invalidate();
}

void COptionUI::SetSelectedHotImage(const std::string& image)
{
    m_sSelectedHotImage = image;
    Invalidate();
}

void COptionUI::SetNormalDisabledImage(const std::string& image)
{
    m_sNormalDisabledImage = image;
    Invalidate();
}

void COptionUI::SetSelectedDisabledImage(const std::string& image)
{
    m_sSelectedDisabledImage = image;
    Invalidate();
}

void COptionUI::SetOptionForeImage(const std::string& image)
{
    m_sOptionForeImage = image;
    Invalidate();
}

void COptionUI::SetSelectedBkColor(DWORD color)
{
    m_dwSelectedBkColor = color;
    Invalidate();
}

void COptionUI::SetSelectedTextColor(DWORD color)
{
    m_dwSelectedTextColor = color;
    Invalidate();
}

void COptionUI::SetAttribute(const std::string& name, const std::string& value)
{
    if (name == "group")
        SetGroup(value);
    else if (name == "selected")
        Selected(ParseBool(value.c_str()));
    else if (name == "selectedimage")
        SetSelectedImage(value);
    else if (name == "selectedhotimage")
        SetSelectedHotImage(value);
    else if (name == "foreimage")
        SetOptionForeImage(value);
    else if (name == "normaldisabledimage")
        SetNormalDisabledImage(value);
    else if (name == "selecteddisabledimage")
        SetSelectedDisabledImage(value);
    else if (name == "selectedbkcolor")
        SetSelectedBkColor(ParseColor(value.c_str()));
    else if (name == "selectedtextcolor")
        SetSelectedTextColor(ParseColor(value.c_str()));
    else
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStatusImage(HDC hDC)
{
    m_uButtonState &= ~UISTATE_PUSHED; // an option never shows a pushed face

    if (!IsEnabled()) {
        const std::string& image = m_bSelected ? m_sSelectedDisabledImage : m_sNormalDisabledImage;
        if (!image.empty())
            DrawImage(hDC, image);
        return;
    }

    if ((m_uButtonState & UISTATE_HOT) != 0 && m_bSelected && !m_sSelectedHotImage.empty()) {
        DrawImage(hDC, m_sSelectedHotImage);
    } else if (m_bSelected) {
        if (!m_sSelectedImage.empty()) {
            DrawImage(hDC, m_sSelectedImage);
        } else if (m_dwSelectedBkColor != 0) {
            CSkinPainter::DrawColor(hDC, m_rcPaint, m_dwSelectedBkColor);
            return;
        } else {
            CButtonUI::PaintStatusImage(hDC);
        }
    } else {
        CButtonUI::PaintStatusImage(hDC);
    }
    if (!m_sOptionForeImage.empty())
        DrawImage(hDC, m_sOptionForeImage);
}

void COptionUI::PaintText(HDC hDC)
{
    if (!m_bSelected) {
        CButtonUI::PaintText(hDC);
        return;
    }
    TakeHostTextColors();
    if (m_sText.empty())
        return;
    const DWORD textColor = m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
    RECT rc = TextRect();
    CSkinPainter::DrawText(hDC, m_pManager, rc, m_sText.c_str(), IsEnabled() ? textColor : m_dwDisabledTextColor,
                           m_iFont, m_uTextStyle);
}

} // namespace SkinUI
