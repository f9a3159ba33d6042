#include "skinui/ControlUI.h"

#include <algorithm>

#include "skinui/PaintHostUI.h"
#include "skinui/SkinAttr.h"
#include "skinui/SkinPainter.h"

namespace SkinUI {

namespace {

bool IsRectEmptyish(const RECT& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }

} // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    OnDestroy(this);
    if (m_pManager != nullptr)
        m_pManager->ReapObjects(this);
}

std::string CControlUI::GetName() const { return m_sName; }
void CControlUI::SetName(const std::string& name) { m_sName = name; }
std::string CControlUI::GetClass() const { return "ControlUI"; }

void* CControlUI::GetInterface(const std::string& name)
{
    if (name == "Control")
        return this;
    return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

CPaintHostUI* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CPaintHostUI* host, CControlUI* parent, bool init)
{
    m_pManager = host;
    m_pParent = parent;
    if (init)
        Init();
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }

std::string CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(const std::string& text)
{
    if (m_sText == text)
        return;
    m_sText = text;
    Invalidate();
}

const RECT& CControlUI::GetPos() const { return m_rcItem; }

void CControlUI::SetPos(RECT rc)
{
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;

    RECT invalidate = IsRectEmptyish(m_rcItem) ? rc : m_rcItem;
    m_rcItem = rc;
    if (m_pManager == nullptr)
        return;

    if (!m_bSetPosGuard) {
        m_bSetPosGuard = true;
        OnSize(this);
        m_bSetPosGuard = false;
    }

    if (m_bFloat && m_pParent != nullptr) {
        const RECT& parentPos = m_pParent->GetPos();
        m_cXY.cx = m_cXY.cx < 0 ? m_rcItem.right - parentPos.right : m_rcItem.left - parentPos.left;
        m_cXY.cy = m_cXY.cy < 0 ? m_rcItem.bottom - parentPos.bottom : m_rcItem.top - parentPos.top;
        m_cxyFixed.cx = m_rcItem.right - m_rcItem.left;
        m_cxyFixed.cy = m_rcItem.bottom - m_rcItem.top;
    }

    m_bUpdateNeeded = false;

    UnionRect(&invalidate, &invalidate, &m_rcItem);
    for (CControlUI* p = m_pParent; p != nullptr; p = p->GetParent()) {
        RECT clip = p->GetPos();
        if (!IntersectRect(&invalidate, &invalidate, &clip))
            return;
    }
    m_pManager->Invalidate(invalidate);
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }
RECT CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(RECT rc)
{
    m_rcPadding = rc;
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return m_cXY; }

void CControlUI::SetFixedXY(SIZE sz)
{
    m_cXY = sz;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0)
        return;
    m_cxyFixed.cx = cx;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0)
        return;
    m_cxyFixed.cy = cy;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

int CControlUI::GetMinWidth() const { return m_cxyMin.cx; }

void CControlUI::SetMinWidth(int cx)
{
    if (cx < 0 || m_cxyMin.cx == cx)
        return;
    m_cxyMin.cx = cx;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

int CControlUI::GetMaxWidth() const { return m_cxyMax.cx; }

void CControlUI::SetMaxWidth(int cx)
{
    if (cx < 0 || m_cxyMax.cx == cx)
        return;
    m_cxyMax.cx = cx;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

int CControlUI::GetMinHeight() const { return m_cxyMin.cy; }

void CControlUI::SetMinHeight(int cy)
{
    if (cy < 0 || m_cxyMin.cy == cy)
        return;
    m_cxyMin.cy = cy;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

int CControlUI::GetMaxHeight() const { return m_cxyMax.cy; }

void CControlUI::SetMaxHeight(int cy)
{
    if (cy < 0 || m_cxyMax.cy == cy)
        return;
    m_cxyMax.cy = cy;
    if (!m_bFloat)
        NeedParentUpdate();
    else
        NeedUpdate();
}

void CControlUI::SetRelativePos(SIZE szMove, SIZE szZoom)
{
    m_szRelativeMove = szMove;
    m_szRelativeZoom = szZoom;
    m_bRelativePos = szMove.cx != 0 || szMove.cy != 0 || szZoom.cx != 0 || szZoom.cy != 0;
}

void CControlUI::SetRelativeParentSize(SIZE sz) { m_szRelativeParent = sz; }
SIZE CControlUI::GetRelativePos() const { return m_szRelativeMove; }
bool CControlUI::IsRelativePos() const { return m_bRelativePos; }

std::string CControlUI::GetToolTip() const { return m_sToolTip; }

void CControlUI::SetToolTip(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, "<n>") == 0) {
            out += "\r\n";
            i += 3;
        } else {
            out += text[i++];
        }
    }
    m_sToolTip = out;
}

void CControlUI::SetToolTipWidth(int width) { m_nToolTipWidth = width; }
int CControlUI::GetToolTipWidth() const { return m_nToolTipWidth; }
char CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(char ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuUsed(bool used) { m_bMenuUsed = used; }
std::string CControlUI::GetUserData() const { return m_sUserData; }
void CControlUI::SetUserData(const std::string& text) { m_sUserData = text; }
UINT_PTR CControlUI::GetTag() const { return m_pTag; }
void CControlUI::SetTag(UINT_PTR tag) { m_pTag = tag; }

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }

void CControlUI::SetVisible(bool visible)
{
    if (m_bVisible == visible)
        return;
    bool wasVisible = IsVisible();
    m_bVisible = visible;
    if (!visible) {
        m_bFocused = false;
        if (m_pManager != nullptr && m_pManager->GetFocus() == this)
            m_pManager->SetFocus(nullptr);
    }
    if (IsVisible() != wasVisible)
        NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible)
{
    m_bInternVisible = visible;
    if (!visible && m_pManager != nullptr && m_pManager->GetFocus() == this)
        m_pManager->SetFocus(nullptr);
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool enable)
{
    if (m_bEnabled == enable)
        return;
    m_bEnabled = enable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool enable) { m_bMouseEnabled = enable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enable) { m_bKeyboardEnabled = enable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus()
{
    if (m_pManager != nullptr)
        m_pManager->SetFocus(this);
}

bool CControlUI::IsHot() const { return m_bHot; }
void CControlUI::Unused() {}
bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool isFloat)
{
    m_bFloat = isFloat;
    NeedParentUpdate();
}

bool CControlUI::IsDragEnabled() const { return m_bDragEnabled; }
void CControlUI::SetDragEnabled(bool enable) { m_bDragEnabled = enable; }
bool CControlUI::IsUnsetFlag() const { return false; }

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible())
        return nullptr;
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled())
        return nullptr;
    if ((flags & UIFIND_HITTEST) != 0
        && (!m_bMouseEnabled || !PtInRect(&m_rcItem, *static_cast<const POINT*>(data))))
        return nullptr;
    return proc(this, data);
}

void CControlUI::Init()
{
    DoInit();
    OnInit(this);
}

void CControlUI::DoInit() {}

void CControlUI::Event(TControlEvent& event)
{
    if (OnEvent(&event))
        DoEvent(event);
}

void CControlUI::DoEvent(TControlEvent& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return;
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (m_pManager != nullptr)
            m_pManager->SendNotify(this, "timer", event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager != nullptr)
                m_pManager->SendNotify(this, "menu", event.wParam, event.lParam);
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_bHot = true;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if (IsEnabled()) {
            m_bHot = false;
            Invalidate();
        }
        return;
    default:
        break;
    }
    if (m_pParent != nullptr)
        m_pParent->DoEvent(event);
}

void CControlUI::SetAttribute(const std::string& name, const std::string& value)
{
    const char* v = value.c_str();
    if (name == "pos") {
        RECT rc = ParseQuadruple(v);
        SetFixedXY(SIZE{rc.left, rc.top});
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (name == "relativepos") {
        RECT rc = ParseQuadruple(v);
        SetRelativePos(SIZE{rc.left, rc.top}, SIZE{rc.right, rc.bottom});
    } else if (name == "padding") {
        SetPadding(ParseQuadruple(v));
    } else if (name == "bkcolor" || name == "bkcolor1") {
        SetBkColor(ParseColor(v));
    } else if (name == "bkcolor2") {
        SetBkColor2(ParseColor(v));
    } else if (name == "bkcolor3") {
        SetBkColor3(ParseColor(v));
    } else if (name == "disabledbkcolor") {
        SetDisabledBkColor(ParseColor(v));
    } else if (name == "bordercolor") {
        SetBorderColor(ParseColor(v));
    } else if (name == "hotbordercolor") {
        SetHotBorderColor(ParseColor(v));
    } else if (name == "focusbordercolor") {
        SetFocusBorderColor(ParseColor(v));
    } else if (name == "colorhsl") {
        SetColorHSL(ParseBool(v));
    } else if (name == "bordersize") {
        if (value.find(',') == std::string::npos) {
            SetBorderSize(ParseDecimal(v));
            SetBorderSizes(RECT{0, 0, 0, 0});
        } else {
            SetBorderSizes(ParseQuadruple(v));
        }
    } else if (name == "leftbordersize") {
        SetLeftBorderSize(ParseDecimal(v));
    } else if (name == "topbordersize") {
        SetTopBorderSize(ParseDecimal(v));
    } else if (name == "rightbordersize") {
        SetRightBorderSize(ParseDecimal(v));
    } else if (name == "bottombordersize") {
        SetBottomBorderSize(ParseDecimal(v));
    } else if (name == "borderstyle") {
        SetBorderStyle(ParseDecimal(v));
    } else if (name == "borderround") {
        SetBorderRound(ParseSizePair(v));
    } else if (name == "borderpadding") {
        SetBorderPadding(ParseQuadruple(v));
    } else if (name == "bkimage") {
        SetBkImage(value);
    } else if (name == "width") {
        SetFixedWidth(ParseDecimal(v));
    } else if (name == "height") {
        SetFixedHeight(ParseDecimal(v));
    } else if (name == "minwidth") {
        SetMinWidth(ParseDecimal(v));
    } else if (name == "minheight") {
        SetMinHeight(ParseDecimal(v));
    } else if (name == "maxwidth") {
        SetMaxWidth(ParseDecimal(v));
    } else if (name == "maxheight") {
        SetMaxHeight(ParseDecimal(v));
    } else if (name == "name") {
        SetName(value);
    } else if (name == "text") {
        SetText(value);
    } else if (name == "tooltip") {
        SetToolTip(value);
    } else if (name == "userdata") {
        SetUserData(value);
    } else if (name == "enabled") {
        SetEnabled(ParseBool(v));
    } else if (name == "mouse") {
        SetMouseEnabled(ParseBool(v));
    } else if (name == "keyboard") {
        SetKeyboardEnabled(ParseBool(v));
    } else if (name == "visible") {
        SetVisible(ParseBool(v));
    } else if (name == "float") {
        SetFloat(ParseBool(v));
    } else if (name == "menu") {
        SetContextMenuUsed(ParseBool(v));
    } else if (name == "drag") {
        SetDragEnabled(ParseBool(v));
    } else if (name == "shortcut") {
        SetShortcut(value.empty() ? '\0' : value[0]);
    } else if (name == "virtualwnd") {
        SetVirtualWnd(value);
    }
    // Unknown names are ignored.
}

SIZE CControlUI::EstimateSize(SIZE /*available*/) { return m_cxyFixed; }

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint)
{
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem))
        return;

    int saved = 0;
    if (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0) {
        saved = SaveDC(hDC);
        CGdiObject round(CreateRoundRectRgn(m_rcItem.left, m_rcItem.top, m_rcItem.right + 1,
                                            m_rcItem.bottom + 1, m_cxyBorderRound.cx,
                                            m_cxyBorderRound.cy));
        ExtSelectClipRgn(hDC, static_cast<HRGN>(round.Get()), RGN_AND);
    }
    PaintBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    if (saved != 0)
        RestoreDC(hDC, saved);
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (!IsEnabled()) {
        CSkinPainter::DrawColor(hDC, m_rcItem, m_dwDisabledBkColor);
        return;
    }
    if (m_dwBackColor == 0)
        return;
    if (m_dwBackColor2 != 0) {
        if (m_dwBackColor3 != 0) {
            RECT upper = m_rcItem;
            upper.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
            CSkinPainter::DrawGradient(hDC, upper, m_dwBackColor, m_dwBackColor2, 8);
            RECT lower = m_rcItem;
            lower.top = upper.bottom;
            CSkinPainter::DrawGradient(hDC, lower, m_dwBackColor2, m_dwBackColor3, 8);
        } else {
            CSkinPainter::DrawGradient(hDC, m_rcItem, m_dwBackColor, m_dwBackColor2, 16);
        }
    } else if (m_dwBackColor >= 0xFF000000) {
        CSkinPainter::DrawColor(hDC, m_rcPaint, m_dwBackColor);
    } else {
        CSkinPainter::DrawColor(hDC, m_rcItem, m_dwBackColor);
    }
}

void CControlUI::PaintBkImage(HDC hDC)
{
    if (!m_sBkImage.empty())
        DrawImage(hDC, m_sBkImage);
}

void CControlUI::PaintStatusImage(HDC /*hDC*/) {}
void CControlUI::PaintText(HDC /*hDC*/) {}

void CControlUI::PaintBorder(HDC hDC)
{
    if (m_dwBorderColor == 0 && m_dwHotBorderColor == 0 && m_dwFocusBorderColor == 0)
        return;
    if (m_nBorderSize >= 1 && (m_cxyBorderRound.cx > 0 || m_cxyBorderRound.cy > 0)) {
        CSkinPainter::DrawRoundRect(hDC, m_rcItem, m_nBorderSize, m_cxyBorderRound.cx,
                                    m_cxyBorderRound.cy, m_dwBorderColor);
        return;
    }
    const RECT& r = m_rcItem;
    if (m_rcBorderSize.left > 0 || m_rcBorderSize.top > 0 || m_rcBorderSize.right > 0
        || m_rcBorderSize.bottom > 0) {
        if (m_rcBorderSize.left > 0)
            CSkinPainter::DrawLine(hDC, POINT{r.left, r.top}, POINT{r.left, r.bottom},
                                   m_rcBorderSize.left, m_dwBorderColor, m_nBorderStyle);
        if (m_rcBorderSize.top > 0)
            CSkinPainter::DrawLine(hDC, POINT{r.left, r.top}, POINT{r.right, r.top},
                                   m_rcBorderSize.top, m_dwBorderColor, m_nBorderStyle);
        if (m_rcBorderSize.right > 0)
            CSkinPainter::DrawLine(hDC, POINT{r.right, r.top}, POINT{r.right, r.bottom},
                                   m_rcBorderSize.right, m_dwBorderColor, m_nBorderStyle);
        if (m_rcBorderSize.bottom > 0)
            CSkinPainter::DrawLine(hDC, POINT{r.left, r.bottom}, POINT{r.right, r.bottom},
                                   m_rcBorderSize.bottom, m_dwBorderColor, m_nBorderStyle);
        return;
    }
    if (m_nBorderSize >= 1) {
        DWORD color = (m_bHot && m_dwHotBorderColor != 0) ? m_dwHotBorderColor : m_dwBorderColor;
        CSkinPainter::DrawRect(hDC, m_rcItem, m_nBorderSize, color);
    }
}

void CControlUI::DoPostPaint(HDC /*hDC*/, const RECT& /*rcPaint*/) {}

std::string CControlUI::GetVirtualWnd() const
{
    if (!m_sVirtualWnd.empty())
        return m_sVirtualWnd;
    if (m_pParent != nullptr)
        return m_pParent->GetVirtualWnd();
    return std::string();
}

void CControlUI::SetVirtualWnd(const std::string& name)
{
    m_sVirtualWnd = name;
    if (m_pManager != nullptr && !name.empty())
        m_pManager->SetUsedVirtualWnd(true);
}

void CControlUI::Invalidate()
{
    if (!IsVisible() || m_pManager == nullptr)
        return;
    RECT rc = m_rcItem;
    for (CControlUI* p = m_pParent; p != nullptr; p = p->GetParent()) {
        RECT clip = p->GetPos();
        if (!IntersectRect(&rc, &rc, &clip))
            return;
    }
    if (IsRectEmptyish(rc))
        return;
    m_pManager->Invalidate(rc);
}

bool CControlUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CControlUI::NeedUpdate()
{
    if (!IsVisible())
        return;
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager != nullptr)
        m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent != nullptr) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager != nullptr)
        m_pManager->NeedUpdate();
}

void CControlUI::ApplyAttributeList(const std::string& list)
{
    for (const auto& item : ParseAttributeList(list.c_str()))
        SetAttribute(item.first, item.second);
}

bool CControlUI::DrawImage(HDC hDC, const std::string& image, const std::string& modify)
{
    return CSkinPainter::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, image.c_str(),
                                         modify.empty() ? nullptr : modify.c_str());
}

void CControlUI::SetBkColor(DWORD color)
{
    if (m_dwBackColor == color)
        return;
    m_dwBackColor = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (m_dwBackColor2 == color)
        return;
    m_dwBackColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (m_dwBackColor3 == color)
        return;
    m_dwBackColor3 = color;
    Invalidate();
}

void CControlUI::SetDisabledBkColor(DWORD color)
{
    if (m_dwDisabledBkColor == color)
        return;
    m_dwDisabledBkColor = color;
    Invalidate();
}

void CControlUI::SetBkImage(const std::string& image)
{
    if (m_sBkImage == image)
        return;
    m_sBkImage = image;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (m_dwBorderColor == color)
        return;
    m_dwBorderColor = color;
    Invalidate();
}

void CControlUI::SetHotBorderColor(DWORD color)
{
    if (m_dwHotBorderColor == color)
        return;
    m_dwHotBorderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (m_dwFocusBorderColor == color)
        return;
    m_dwFocusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHSL(bool on)
{
    if (m_bColorHSL == on)
        return;
    m_bColorHSL = on;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    m_nBorderSize = size;
    Invalidate();
}

void CControlUI::SetBorderSizes(RECT rc)
{
    m_rcBorderSize = rc;
    Invalidate();
}

void CControlUI::SetLeftBorderSize(int size)
{
    m_rcBorderSize.left = size;
    Invalidate();
}

void CControlUI::SetTopBorderSize(int size)
{
    m_rcBorderSize.top = size;
    Invalidate();
}

void CControlUI::SetRightBorderSize(int size)
{
    m_rcBorderSize.right = size;
    Invalidate();
}

void CControlUI::SetBottomBorderSize(int size)
{
    m_rcBorderSize.bottom = size;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style)
{
    m_nBorderStyle = style;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE sz)
{
    m_cxyBorderRound = sz;
    Invalidate();
}

void CControlUI::SetBorderPadding(RECT rc)
{
    m_rcBorderPadding = rc;
    Invalidate();
}

} // namespace SkinUI
