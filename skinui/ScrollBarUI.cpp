#include "skinui/ScrollBarUI.h"

#include <algorithm>

#include "skinui/ContainerUI.h"
#include "skinui/PaintHostUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

namespace {

const char* const kImageAttributes[] = {
    "button1normalimage", "button1hotimage", "button1pushedimage", "button1disabledimage",
    "button2normalimage", "button2hotimage", "button2pushedimage", "button2disabledimage",
    "thumbnormalimage",   "thumbhotimage",   "thumbpushedimage",   "thumbdisabledimage",
    "railnormalimage",    "railhotimage",    "railpushedimage",    "raildisabledimage",
    "bknormalimage",      "bkhotimage",      "bkpushedimage",      "bkdisabledimage",
};

} // namespace

CScrollBarUI::CScrollBarUI()
{
    m_cxyFixed.cx = 16;
    m_cxyFixed.cy = 0;
}

std::string CScrollBarUI::GetClass() const { return "ScrollBarUI"; }

void* CScrollBarUI::GetInterface(const std::string& name)
{
    if (name == "ScrollBar" || name == "Control")
        return this;
    return nullptr;
}

CContainerUI* CScrollBarUI::GetOwner() const { return m_pOwner; }
void CScrollBarUI::SetOwner(CContainerUI* owner) { m_pOwner = owner; }
bool CScrollBarUI::IsHorizontal() const { return m_bHorizontal; }

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_bHorizontal == horizontal)
        return;
    m_bHorizontal = horizontal;
    if (horizontal) {
        if (m_cxyFixed.cy == 0) {
            m_cxyFixed.cx = 0;
            m_cxyFixed.cy = 16;
        }
    } else if (m_cxyFixed.cx == 0) {
        m_cxyFixed.cx = 16;
        m_cxyFixed.cy = 0;
    }
    if (m_pOwner != nullptr) {
        m_pOwner->NeedUpdate();
        if (m_pManager != nullptr)
            m_pManager->NeedUpdate();
    } else {
        NeedParentUpdate();
    }
}

int CScrollBarUI::GetScrollRange() const { return m_nRange; }

void CScrollBarUI::SetScrollRange(int range)
{
    if (m_nRange == range)
        return;
    m_nRange = std::max(0, range);
    if (m_nScrollPos > m_nRange)
        m_nScrollPos = m_nRange;
    SetPos(m_rcItem);
}

int CScrollBarUI::GetScrollPos() const { return m_nScrollPos; }

void CScrollBarUI::SetScrollPos(int pos)
{
    if (m_nScrollPos == pos)
        return;
    int clamped = std::max(0, std::min(pos, m_nRange));
    if (clamped == m_nScrollPos)
        return;
    m_nScrollPos = clamped;
    SetPos(m_rcItem);
    if (m_pManager != nullptr && m_pOwner != nullptr)
        m_pManager->SendNotify(this, "scroll", 0, 0);
}

int CScrollBarUI::GetLineSize() const { return m_nLineSize; }
void CScrollBarUI::SetLineSize(int size) { m_nLineSize = size; }

void CScrollBarUI::SetVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    m_bVisible = visible;
    m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool enable)
{
    if (m_bEnabled == enable)
        return;
    m_bEnabled = enable;
    Invalidate();
}

void CScrollBarUI::SetFocus()
{
    if (m_pOwner != nullptr)
        m_pOwner->SetFocus();
    else
        CControlUI::SetFocus();
}

void CScrollBarUI::SetAttribute(const std::string& name, const std::string& value)
{
    for (const char* key : kImageAttributes) {
        if (name == key) {
            for (auto& entry : m_images) {
                if (entry.first == name) {
                    entry.second = value;
                    Invalidate();
                    return;
                }
            }
            m_images.emplace_back(name, value);
            Invalidate();
            return;
        }
    }
    const char* v = value.c_str();
    if (name == "hor") {
        SetHorizontal(ParseBool(v));
    } else if (name == "linesize") {
        SetLineSize(ParseDecimal(v));
    } else if (name == "range") {
        SetScrollRange(ParseDecimal(v));
    } else if (name == "value") {
        SetScrollPos(ParseDecimal(v));
    } else if (name == "showbutton1") {
        m_bShowButton1 = ParseBool(v);
        SetPos(m_rcItem);
    } else if (name == "showbutton2") {
        m_bShowButton2 = ParseBool(v);
        SetPos(m_rcItem);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

std::string CScrollBarUI::GetImageAttribute(const std::string& name) const
{
    for (const auto& entry : m_images)
        if (entry.first == name)
            return entry.second;
    return std::string();
}

} // namespace SkinUI
