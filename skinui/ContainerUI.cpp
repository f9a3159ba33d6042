#include "skinui/ContainerUI.h"

#include <algorithm>

#include "skinui/PaintHostUI.h"
#include "skinui/ScrollBarUI.h"
#include "skinui/SkinAttr.h"

namespace SkinUI {

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    // Children go with their container at once, never through the host's queue.
    for (CControlUI* child : m_items)
        delete child;
    m_items.clear();
    delete m_pVerticalScrollBar;
    m_pVerticalScrollBar = nullptr;
    delete m_pHorizontalScrollBar;
    m_pHorizontalScrollBar = nullptr;
}

std::string CContainerUI::GetClass() const { return "ContainerUI"; }

void* CContainerUI::GetInterface(const std::string& name)
{
    if (name == "IContainer")
        return static_cast<IContainerUI*>(this);
    if (name == "Container")
        return this;
    return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return m_items[index];
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    auto it = std::find(m_items.begin(), m_items.end(), control);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index)
{
    int from = GetItemIndex(control);
    if (from < 0 || index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + index, control);
    NeedUpdate();
    return true;
}

int CContainerUI::GetCount() const { return static_cast<int>(m_items.size()); }

bool CContainerUI::Add(CControlUI* control)
{
    return AddAt(control, static_cast<int>(m_items.size()));
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr || index < 0 || index > static_cast<int>(m_items.size()))
        return false;
    if (m_pManager != nullptr)
        m_pManager->InitControls(control, this);
    else
        control->SetManager(nullptr, this, false);
    if (IsVisible())
        NeedUpdate();
    else
        control->SetInternVisible(false);
    m_items.insert(m_items.begin() + index, control);
    return true;
}

bool CContainerUI::Remove(CControlUI* control)
{
    int index = GetItemIndex(control);
    if (index < 0)
        return false;
    return RemoveAt(index);
}

bool CContainerUI::RemoveAt(int index)
{
    CControlUI* control = GetItemAt(index);
    if (control == nullptr)
        return false;
    m_items.erase(m_items.begin() + index);
    NeedUpdate();
    if (m_bAutoDestroy) {
        if (m_bDelayedDestroy && m_pManager != nullptr)
            m_pManager->AddDelayedCleanup(control);
        else
            delete control;
    }
    return true;
}

void CContainerUI::RemoveAll()
{
    std::vector<CControlUI*> items;
    items.swap(m_items);
    for (CControlUI* control : items) {
        if (!m_bAutoDestroy)
            continue;
        if (m_bDelayedDestroy && m_pManager != nullptr)
            m_pManager->AddDelayedCleanup(control);
        else
            delete control;
    }
    NeedUpdate();
}

void CContainerUI::DoEvent(TControlEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.Type)) {
        if (m_pParent != nullptr)
            m_pParent->DoEvent(event);
        else
            CControlUI::DoEvent(event);
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CScrollBarUI* v = m_pVerticalScrollBar;
    CScrollBarUI* h = m_pHorizontalScrollBar;
    if (v != nullptr && v->IsVisible() && v->IsEnabled()) {
        if (event.Type == UIEVENT_KEYDOWN) {
            switch (event.chKey) {
            case VK_DOWN: LineDown(); return;
            case VK_UP: LineUp(); return;
            case VK_NEXT: PageDown(); return;
            case VK_PRIOR: PageUp(); return;
            case VK_HOME: HomeUp(); return;
            case VK_END: EndDown(); return;
            default: break;
            }
        } else if (event.Type == UIEVENT_SCROLLWHEEL) {
            // wParam 1: the wheel turned towards the user.
            if (event.wParam == 1)
                LineDown();
            else
                LineUp();
            return;
        }
    } else if (h != nullptr && h->IsVisible() && h->IsEnabled()) {
        if (event.Type == UIEVENT_KEYDOWN) {
            switch (event.chKey) {
            case VK_DOWN: LineRight(); return;
            case VK_UP: LineLeft(); return;
            case VK_NEXT: PageRight(); return;
            case VK_PRIOR: PageLeft(); return;
            case VK_HOME: HomeLeft(); return;
            case VK_END: EndRight(); return;
            default: break;
            }
        } else if (event.Type == UIEVENT_SCROLLWHEEL) {
            if (event.wParam == 1)
                LineRight();
            else
                LineLeft();
            return;
        }
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    CControlUI::SetVisible(visible);
    for (CControlUI* child : m_items)
        child->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    for (CControlUI* child : m_items)
        child->SetInternVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enable)
{
    if (m_pVerticalScrollBar != nullptr)
        m_pVerticalScrollBar->SetMouseEnabled(enable);
    if (m_pHorizontalScrollBar != nullptr)
        m_pHorizontalScrollBar->SetMouseEnabled(enable);
    CControlUI::SetMouseEnabled(enable);
}

RECT CContainerUI::InnerRect() const
{
    return RECT{m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top,
                m_rcItem.right - m_rcInset.right, m_rcItem.bottom - m_rcInset.bottom};
}

void CContainerUI::SetPos(RECT rc)
{
    CControlUI::SetPos(rc);
    if (m_items.empty())
        return;
    RECT inner = InnerRect();
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
        CControlUI* child = m_items[i];
        if (!child->IsVisible())
            continue;
        if (child->IsFloat())
            SetFloatPos(i);
        else
            child->SetPos(inner);
    }
}

void CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    RECT rcTemp;
    if (!IntersectRect(&rcTemp, &rcPaint, &m_rcItem))
        return;

    int saved = SaveDC(hDC);
    IntersectClipRect(hDC, rcTemp.left, rcTemp.top, rcTemp.right, rcTemp.bottom);
    CControlUI::DoPaint(hDC, rcPaint);

    if (!m_items.empty()) {
        RECT inner = InnerRect();
        if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
            inner.right -= m_pVerticalScrollBar->GetFixedWidth();
        if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
            inner.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

        RECT innerPaint;
        bool innerMeets = IntersectRect(&innerPaint, &rcTemp, &inner) != FALSE;
        for (CControlUI* child : m_items) {
            if (!child->IsVisible())
                continue;
            RECT meet;
            if (!IntersectRect(&meet, &rcPaint, &child->GetPos()))
                continue;
            RECT clip;
            if (child->IsFloat()) {
                clip = rcTemp; // floating children clip to the container's position
            } else {
                if (!innerMeets || !IntersectRect(&meet, &inner, &child->GetPos()))
                    continue;
                clip = innerPaint;
            }
            int childSaved = SaveDC(hDC);
            IntersectClipRect(hDC, clip.left, clip.top, clip.right, clip.bottom);
            child->DoPaint(hDC, rcPaint);
            RestoreDC(hDC, childSaved);
        }
    }

    for (CScrollBarUI* bar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
        if (bar == nullptr || !bar->IsVisible())
            continue;
        RECT meet;
        if (IntersectRect(&meet, &rcPaint, &bar->GetPos()))
            bar->DoPaint(hDC, rcPaint);
    }
    RestoreDC(hDC, saved);
}

void CContainerUI::SetAttribute(const std::string& name, const std::string& value)
{
    const char* v = value.c_str();
    if (name == "inset") {
        SetInset(ParseQuadruple(v));
    } else if (name == "childpadding") {
        SetChildPadding(ParseDecimal(v));
    } else if (name == "vscrollbar") {
        EnableScrollBar(ParseBool(v), m_pHorizontalScrollBar != nullptr);
    } else if (name == "hscrollbar") {
        EnableScrollBar(m_pVerticalScrollBar != nullptr, ParseBool(v));
    } else if (name == "vscrollbarstyle") {
        EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
        if (m_pVerticalScrollBar != nullptr)
            m_pVerticalScrollBar->ApplyAttributeList(value);
    } else if (name == "hscrollbarstyle") {
        EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
        if (m_pHorizontalScrollBar != nullptr)
            m_pHorizontalScrollBar->ApplyAttributeList(value);
    } else if (name == "mousechild") {
        SetMouseChildEnabled(ParseBool(v));
    } else if (name == "enabledall") {
        SetEnabledAll(ParseBool(v));
    } else if (name == "mouseenabledall") {
        SetMouseEnabledAll(ParseBool(v));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CContainerUI::SetManager(CPaintHostUI* host, CControlUI* parent, bool init)
{
    for (CControlUI* child : m_items)
        child->SetManager(host, this, init);
    if (m_pVerticalScrollBar != nullptr)
        m_pVerticalScrollBar->SetManager(host, this, init);
    if (m_pHorizontalScrollBar != nullptr)
        m_pHorizontalScrollBar->SetManager(host, this, init);
    CControlUI::SetManager(host, parent, init);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled())
        return nullptr;
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if (hitTest && !PtInRect(&m_rcItem, *static_cast<const POINT*>(data)))
        return nullptr;

    CControlUI* result = nullptr;
    if (hitTest && !m_bMouseChildEnabled) {
        if (m_pVerticalScrollBar != nullptr)
            result = m_pVerticalScrollBar->FindControl(proc, data, flags);
        if (result == nullptr && m_pHorizontalScrollBar != nullptr)
            result = m_pHorizontalScrollBar->FindControl(proc, data, flags);
        if (result == nullptr)
            result = CControlUI::FindControl(proc, data, flags);
        return result;
    }

    if (m_pVerticalScrollBar != nullptr)
        result = m_pVerticalScrollBar->FindControl(proc, data, flags);
    if (result == nullptr && m_pHorizontalScrollBar != nullptr)
        result = m_pHorizontalScrollBar->FindControl(proc, data, flags);
    if (result != nullptr)
        return result;

    if ((flags & UIFIND_ME_FIRST) != 0) {
        result = CControlUI::FindControl(proc, data, flags);
        if (result != nullptr)
            return result;
    }

    RECT inner = InnerRect();
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        inner.right -= m_pVerticalScrollBar->GetFixedWidth();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        inner.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

    const int count = static_cast<int>(m_items.size());
    const bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
    for (int n = 0; n < count; ++n) {
        // A child may remove itself while being visited by a callback: recheck the index.
        int i = topFirst ? count - 1 - n : n;
        if (i >= static_cast<int>(m_items.size()))
            continue;
        result = m_items[i]->FindControl(proc, data, flags);
        if (result == nullptr)
            continue;
        if (!hitTest || result->IsFloat() || PtInRect(&inner, *static_cast<const POINT*>(data)))
            return result;
    }

    result = nullptr;
    if ((flags & UIFIND_ME_FIRST) == 0)
        result = CControlUI::FindControl(proc, data, flags);
    return result;
}

void CContainerUI::SetMouseEnabledAll(bool enable)
{
    for (CControlUI* child : m_items) {
        auto* container = static_cast<CContainerUI*>(child->GetInterface("Container"));
        if (container != nullptr)
            container->SetMouseEnabledAll(enable);
        else
            child->SetMouseEnabled(enable);
    }
    SetMouseEnabled(enable);
}

void CContainerUI::SetEnabledAll(bool enable)
{
    for (CControlUI* child : m_items) {
        auto* container = static_cast<CContainerUI*>(child->GetInterface("Container"));
        if (container != nullptr)
            container->SetEnabledAll(enable);
        else
            child->SetEnabled(enable);
    }
    SetEnabled(enable);
}

RECT CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(RECT rc)
{
    m_rcInset = rc;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int padding)
{
    m_iChildPadding = padding;
    NeedUpdate();
}

bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool on) { m_bAutoDestroy = on; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool on) { m_bDelayedDestroy = on; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enable) { m_bMouseChildEnabled = enable; }

int CContainerUI::FindSelectable(int index, bool forward) const
{
    const int count = static_cast<int>(m_items.size());
    if (count == 0)
        return -1;
    index = std::max(0, std::min(index, count - 1));
    auto selectable = [this](int i) {
        CControlUI* c = m_items[i];
        return c->GetInterface("ListItem") != nullptr && c->IsVisible() && c->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i)
            if (selectable(i))
                return i;
        for (int i = index - 1; i >= 0; --i)
            if (selectable(i))
                return i;
    } else {
        for (int i = index; i >= 0; --i)
            if (selectable(i))
                return i;
        for (int i = index + 1; i < count; ++i)
            if (selectable(i))
                return i;
    }
    return -1;
}

SIZE CContainerUI::GetScrollPos() const
{
    SIZE sz = {0, 0};
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        sz.cy = m_pVerticalScrollBar->GetScrollPos();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        sz.cx = m_pHorizontalScrollBar->GetScrollPos();
    return sz;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE sz = {0, 0};
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        sz.cy = m_pVerticalScrollBar->GetScrollRange();
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        sz.cx = m_pHorizontalScrollBar->GetScrollRange();
    return sz;
}

void CContainerUI::SetScrollPos(SIZE pos)
{
    int dx = 0;
    int dy = 0;
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
        int old = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollPos(pos.cy);
        dy = m_pVerticalScrollBar->GetScrollPos() - old;
    }
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
        int old = m_pHorizontalScrollBar->GetScrollPos();
        m_pHorizontalScrollBar->SetScrollPos(pos.cx);
        dx = m_pHorizontalScrollBar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0)
        return;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        RECT rc = child->GetPos();
        OffsetRect(&rc, -dx, -dy);
        child->SetPos(rc);
    }
    Invalidate();
}

void CContainerUI::LineUp()
{
    int step = 8;
    if (m_pManager != nullptr)
        step = m_pManager->GetDefaultFontInfo().tmHeight + 8;
    SIZE sz = GetScrollPos();
    sz.cy -= step;
    SetScrollPos(sz);
}

void CContainerUI::LineDown()
{
    int step = 8;
    if (m_pManager != nullptr)
        step = m_pManager->GetDefaultFontInfo().tmHeight + 8;
    SIZE sz = GetScrollPos();
    sz.cy += step;
    SetScrollPos(sz);
}

void CContainerUI::PageUp()
{
    SIZE sz = GetScrollPos();
    int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        page -= m_pHorizontalScrollBar->GetFixedHeight();
    sz.cy -= page;
    SetScrollPos(sz);
}

void CContainerUI::PageDown()
{
    SIZE sz = GetScrollPos();
    int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible())
        page -= m_pHorizontalScrollBar->GetFixedHeight();
    sz.cy += page;
    SetScrollPos(sz);
}

void CContainerUI::HomeUp()
{
    SIZE sz = GetScrollPos();
    sz.cy = 0;
    SetScrollPos(sz);
}

void CContainerUI::EndDown()
{
    SIZE sz = GetScrollPos();
    sz.cy = GetScrollRange().cy;
    SetScrollPos(sz);
}

void CContainerUI::LineLeft()
{
    SIZE sz = GetScrollPos();
    sz.cx -= 8;
    SetScrollPos(sz);
}

void CContainerUI::LineRight()
{
    SIZE sz = GetScrollPos();
    sz.cx += 8;
    SetScrollPos(sz);
}

void CContainerUI::PageLeft()
{
    SIZE sz = GetScrollPos();
    int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        page -= m_pVerticalScrollBar->GetFixedWidth();
    sz.cx -= page;
    SetScrollPos(sz);
}

void CContainerUI::PageRight()
{
    SIZE sz = GetScrollPos();
    int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible())
        page -= m_pVerticalScrollBar->GetFixedWidth();
    sz.cx += page;
    SetScrollPos(sz);
}

void CContainerUI::HomeLeft()
{
    SIZE sz = GetScrollPos();
    sz.cx = 0;
    SetScrollPos(sz);
}

void CContainerUI::EndRight()
{
    SIZE sz = GetScrollPos();
    sz.cx = GetScrollRange().cx;
    SetScrollPos(sz);
}

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal)
{
    if (enableVertical && m_pVerticalScrollBar == nullptr) {
        m_pVerticalScrollBar = new CScrollBarUI;
        m_pVerticalScrollBar->SetOwner(this);
        m_pVerticalScrollBar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr) {
            std::string list = m_pManager->GetDefaultAttributeList("VScrollBar");
            if (!list.empty())
                m_pVerticalScrollBar->ApplyAttributeList(list);
        }
    } else if (!enableVertical && m_pVerticalScrollBar != nullptr) {
        delete m_pVerticalScrollBar;
        m_pVerticalScrollBar = nullptr;
    }

    if (enableHorizontal && m_pHorizontalScrollBar == nullptr) {
        m_pHorizontalScrollBar = new CScrollBarUI;
        m_pHorizontalScrollBar->SetHorizontal(true);
        m_pHorizontalScrollBar->SetOwner(this);
        m_pHorizontalScrollBar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr) {
            std::string list = m_pManager->GetDefaultAttributeList("HScrollBar");
            if (!list.empty())
                m_pHorizontalScrollBar->ApplyAttributeList(list);
        }
    } else if (!enableHorizontal && m_pHorizontalScrollBar != nullptr) {
        delete m_pHorizontalScrollBar;
        m_pHorizontalScrollBar = nullptr;
    }
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

void CContainerUI::SetFloatPos(int index)
{
    CControlUI* child = GetItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat())
        return;
    SIZE xy = child->GetFixedXY();
    int w = child->GetFixedWidth();
    int h = child->GetFixedHeight();
    RECT rc;
    rc.left = xy.cx >= 0 ? m_rcItem.left + xy.cx : m_rcItem.right + xy.cx - w;
    rc.right = rc.left + w;
    rc.top = xy.cy >= 0 ? m_rcItem.top + xy.cy : m_rcItem.bottom + xy.cy - h;
    rc.bottom = rc.top + h;
    child->SetPos(rc);
}

void CContainerUI::ProcessScrollBar(RECT rc, int /*cxRequired*/, int cyRequired)
{
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
        RECT bar = {rc.left, rc.bottom, rc.right, rc.bottom + m_pHorizontalScrollBar->GetFixedHeight()};
        m_pHorizontalScrollBar->SetPos(bar);
    }

    if (m_pVerticalScrollBar == nullptr)
        return;

    const int overflow = cyRequired - (rc.bottom - rc.top);
    if (overflow > 0 && !m_pVerticalScrollBar->IsVisible()) {
        m_pVerticalScrollBar->SetVisible(true);
        m_pVerticalScrollBar->SetScrollRange(overflow);
        m_pVerticalScrollBar->SetScrollPos(0);
        m_bScrollProcess = true;
        SetPos(m_rcItem);
        m_bScrollProcess = false;
        return;
    }
    if (!m_pVerticalScrollBar->IsVisible())
        return;

    if (overflow > 0 || m_bScrollProcess) {
        RECT bar = {rc.right, rc.top, rc.right + m_pVerticalScrollBar->GetFixedWidth(), rc.bottom};
        m_pVerticalScrollBar->SetPos(bar);
        if (m_pVerticalScrollBar->GetScrollRange() == overflow)
            return;
        int oldPos = m_pVerticalScrollBar->GetScrollPos();
        m_pVerticalScrollBar->SetScrollRange(overflow > 0 ? overflow : (rc.bottom - rc.top) - cyRequired);
        if (m_pVerticalScrollBar->GetScrollRange() == 0) {
            m_pVerticalScrollBar->SetVisible(false);
            m_pVerticalScrollBar->SetScrollPos(0);
        }
        if (oldPos > m_pVerticalScrollBar->GetScrollPos())
            SetPos(m_rcItem);
        return;
    }

    m_pVerticalScrollBar->SetVisible(false);
    m_pVerticalScrollBar->SetScrollPos(0);
    m_pVerticalScrollBar->SetScrollRange(0);
    SetPos(m_rcItem);
}

} // namespace SkinUI
