#include "skinui/PaintHostUI.h"

#include <windowsx.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "skinui/ControlUI.h"
#include "skinui/ImageLoader.h"
#include "skinui/SkinResources.h"

namespace SkinUI {

namespace {

std::vector<CPaintHostUI*>& HostList()
{
    static std::vector<CPaintHostUI*> hosts;
    return hosts;
}

WORD MapKeyState()
{
    WORD state = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        state |= UIKEY_CONTROL;
    if (GetKeyState(VK_RBUTTON) < 0)
        state |= UIKEY_RBUTTON;
    if (GetKeyState(VK_LBUTTON) < 0)
        state |= UIKEY_LBUTTON;
    if (GetKeyState(VK_SHIFT) < 0)
        state |= UIKEY_SHIFT;
    if (GetKeyState(VK_MENU) < 0)
        state |= UIKEY_ALT;
    return state;
}

TControlEvent MakeEvent(EventType type, CControlUI* sender, POINT pt, WPARAM wParam = 0, LPARAM lParam = 0)
{
    TControlEvent ev;
    ev.Type = type;
    ev.pSender = sender;
    ev.dwTimestamp = GetTickCount();
    ev.ptMouse = pt;
    ev.wKeyState = MapKeyState();
    ev.wParam = wParam;
    ev.lParam = lParam;
    return ev;
}

POINT PointFromLParam(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

// Collects visible, enabled controls in tree order (each container before its children).
CControlUI* CollectTreeOrder(CControlUI* control, void* data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

CControlUI* ReapOne(CControlUI* control, void* data)
{
    static_cast<CPaintHostUI*>(data)->ReapObjects(control);
    return nullptr;
}

struct NameSearch {
    const std::string* name;
};

} // namespace

// ---------------------------------------------------------------- statics

HINSTANCE CPaintHostUI::GetInstance() { return CSkinResources::GetResourceInstance(); }
void CPaintHostUI::SetInstance(HINSTANCE instance) { CSkinResources::SetResourceInstance(instance); }
std::string CPaintHostUI::GetInstancePath() { return CSkinResources::GetInstancePath(); }
std::string CPaintHostUI::GetResourcePath() { return CSkinResources::GetResourcePath(); }
void CPaintHostUI::SetResourcePath(const char* path) { CSkinResources::SetResourcePath(path); }
std::string CPaintHostUI::GetResourceZip() { return CSkinResources::GetResourceZip(); }

bool CPaintHostUI::SetResourceZip(const void* data, size_t length)
{
    return CSkinResources::SetResourceZip(data, length);
}

bool CPaintHostUI::SetResourceZip(const std::string& zipFileName)
{
    return CSkinResources::SetResourceZip(zipFileName.c_str());
}

const std::vector<CPaintHostUI*>& CPaintHostUI::GetHosts() { return HostList(); }

// ---------------------------------------------------------------- life

CPaintHostUI::CPaintHostUI()
{
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    m_defaultFont.hFont.Reset(CreateFontIndirectA(&lf));
    m_defaultFont.sFontName = lf.lfFaceName;
    m_defaultFont.iSize = -lf.lfHeight;
    m_defaultFont.bBold = lf.lfWeight >= FW_BOLD;
    m_defaultFont.bUnderline = lf.lfUnderline != 0;
    m_defaultFont.bItalic = lf.lfItalic != 0;
}

CPaintHostUI::~CPaintHostUI()
{
    auto& hosts = HostList();
    hosts.erase(std::remove(hosts.begin(), hosts.end(), this), hosts.end());

    // Controls reap themselves from this host while it is still whole.
    delete m_pRoot;
    m_pRoot = nullptr;
    DestroyDelayedCleanup();
    RemoveAllTimers();
    RemoveAllImages();
    m_fonts.clear();
    if (m_hwndTooltip != nullptr) {
        DestroyWindow(m_hwndTooltip);
        m_hwndTooltip = nullptr;
    }
    if (m_hDcOffscreen && m_hbmpOffscreenOld != nullptr)
        SelectObject(m_hDcOffscreen.Get(), m_hbmpOffscreenOld);
    if (m_hDcBackground && m_hbmpBackgroundOld != nullptr)
        SelectObject(m_hDcBackground.Get(), m_hbmpBackgroundOld);
    if (m_hDcPaint != nullptr)
        ReleaseDC(m_hWndPaint, m_hDcPaint);
}

void CPaintHostUI::Init(HWND hWnd)
{
    if (m_hWndPaint != nullptr)
        return;
    m_hWndPaint = hWnd;
    m_hDcPaint = GetDC(hWnd);
    HostList().push_back(this);
    ResetFontMetrics();
}

SIZE CPaintHostUI::GetClientSize() const
{
    RECT rc = {0, 0, 0, 0};
    if (m_hWndPaint != nullptr)
        GetClientRect(m_hWndPaint, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// ---------------------------------------------------------------- window attributes

void CPaintHostUI::SetInitSize(int cx, int cy)
{
    m_szInitWindowSize = {cx, cy};
    if (m_pRoot == nullptr && m_hWndPaint != nullptr)
        SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void CPaintHostUI::SetOpacity(int opacity)
{
    m_nOpacity = static_cast<BYTE>(std::max(0, std::min(255, opacity)));
}

// ---------------------------------------------------------------- fonts

bool CPaintHostUI::MakeFont(FontEntry& font, const std::string& face, int size, bool bold,
                            bool underline, bool italic)
{
    LOGFONTA lf = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    std::memset(lf.lfFaceName, 0, sizeof(lf.lfFaceName));
    std::strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold)
        lf.lfWeight += FW_BOLD;
    if (underline)
        lf.lfUnderline = TRUE;
    if (italic)
        lf.lfItalic = TRUE;
    HFONT h = CreateFontIndirectA(&lf);
    if (h == nullptr)
        return false;
    font.hFont.Reset(h);
    font.sFontName = lf.lfFaceName;
    font.iSize = size;
    font.bBold = bold;
    font.bUnderline = underline;
    font.bItalic = italic;
    font.bMetricsRead = false;
    return true;
}

void CPaintHostUI::ReadFontMetrics(FontEntry& font)
{
    HDC dc = m_hDcPaint;
    bool screen = false;
    if (dc == nullptr) {
        dc = GetDC(nullptr); // no window yet: measure against the screen
        screen = true;
    }
    HGDIOBJ old = SelectObject(dc, font.hFont.Get());
    GetTextMetricsA(dc, &font.tm);
    SelectObject(dc, old);
    if (screen)
        ReleaseDC(nullptr, dc);
    font.bMetricsRead = true;
}

void CPaintHostUI::ResetFontMetrics()
{
    m_defaultFont.bMetricsRead = false;
    for (auto& f : m_fonts)
        f->bMetricsRead = false;
}

HFONT CPaintHostUI::AddFont(const std::string& face, int size, bool bold, bool underline, bool italic)
{
    auto font = std::make_unique<FontEntry>();
    if (!MakeFont(*font, face, size, bold, underline, italic))
        return nullptr;
    if (m_hDcPaint != nullptr)
        ReadFontMetrics(*font);
    m_fonts.push_back(std::move(font));
    return m_fonts.back()->Get();
}

HFONT CPaintHostUI::SetDefaultFont(const std::string& face, int size, bool bold, bool underline, bool italic)
{
    FontEntry font;
    if (!MakeFont(font, face, size, bold, underline, italic))
        return nullptr;
    if (m_hDcPaint != nullptr)
        ReadFontMetrics(font);
    m_defaultFont = std::move(font);
    return m_defaultFont.Get();
}

HFONT CPaintHostUI::GetFont(int index)
{
    if (index < 0 || index >= static_cast<int>(m_fonts.size()))
        return m_defaultFont.Get();
    return m_fonts[index]->Get();
}

const FontEntry* CPaintHostUI::GetFontEntry(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_fonts.size()))
        return nullptr;
    return m_fonts[index].get();
}

const TEXTMETRICA& CPaintHostUI::GetFontInfo(int index)
{
    if (index < 0 || index >= static_cast<int>(m_fonts.size()))
        return GetDefaultFontInfo();
    FontEntry& f = *m_fonts[index];
    if (!f.bMetricsRead)
        ReadFontMetrics(f);
    return f.tm;
}

const TEXTMETRICA& CPaintHostUI::GetDefaultFontInfo()
{
    if (!m_defaultFont.bMetricsRead)
        ReadFontMetrics(m_defaultFont);
    return m_defaultFont.tm;
}

// ---------------------------------------------------------------- images

const ImageEntry* CPaintHostUI::GetImage(const std::string& name) const
{
    auto it = m_images.find(name);
    return it == m_images.end() ? nullptr : it->second.get();
}

const ImageEntry* CPaintHostUI::GetImageEx(const std::string& name, const std::string& resType, DWORD mask)
{
    const ImageEntry* cached = GetImage(name);
    if (cached != nullptr)
        return cached;
    return AddImage(name, resType, mask);
}

const ImageEntry* CPaintHostUI::AddImage(const std::string& name, const std::string& resType, DWORD mask)
{
    if (name.empty())
        return nullptr;
    const ImageEntry* cached = GetImage(name);
    if (cached != nullptr)
        return cached; // the first load decides the mask
    std::unique_ptr<ImageEntry> image =
        CImageLoader::Load(name, resType.empty() ? nullptr : resType.c_str(), mask);
    if (!image)
        return nullptr;
    const ImageEntry* result = image.get();
    m_images[name] = std::move(image);
    return result;
}

bool CPaintHostUI::RemoveImage(const std::string& name)
{
    auto it = m_images.find(name);
    if (it == m_images.end())
        return false;
    m_images.erase(it);
    return true;
}

void CPaintHostUI::RemoveAllImages()
{
    m_images.clear();
}

// ---------------------------------------------------------------- default attribute lists

void CPaintHostUI::AddDefaultAttributeList(const std::string& controlName, const std::string& list)
{
    m_defaultAttributes.emplace(controlName, list); // keeps an existing entry
}

std::string CPaintHostUI::GetDefaultAttributeList(const std::string& controlName) const
{
    auto it = m_defaultAttributes.find(controlName);
    return it == m_defaultAttributes.end() ? std::string() : it->second;
}

void CPaintHostUI::RemoveAllDefaultAttributeList() { m_defaultAttributes.clear(); }

// ---------------------------------------------------------------- tree

bool CPaintHostUI::AttachDialog(CControlUI* root)
{
    if (root == nullptr)
        return false;
    SetFocus(nullptr, false);
    m_pEventKey = nullptr;
    m_pEventHover = nullptr;
    m_pEventClick = nullptr;
    if (m_pRoot != nullptr) {
        CControlUI* old = m_pRoot;
        m_pRoot = nullptr;
        AddDelayedCleanup(old);
    }
    m_pRoot = root;
    m_bUpdateNeeded = true;
    m_bFirstLayout = true;
    m_bFocusNeeded = true;
    return InitControls(root, nullptr);
}

CControlUI* CPaintHostUI::DetachRoot()
{
    CControlUI* root = m_pRoot;
    if (root == nullptr)
        return nullptr;
    m_pRoot = nullptr;
    root->FindControl(ReapOne, this, UIFIND_ALL);
    root->SetManager(nullptr, nullptr, false);
    return root;
}

bool CPaintHostUI::InitControls(CControlUI* control, CControlUI* parent)
{
    if (control == nullptr)
        return false;
    control->SetManager(this, parent != nullptr ? parent : control->GetParent(), true);
    control->FindControl(FindControlFromNameHash, this, UIFIND_ALL);
    return true;
}

void CPaintHostUI::ReapObjects(CControlUI* control)
{
    if (control == nullptr)
        return;
    if (control == m_pEventKey)
        m_pEventKey = nullptr;
    if (control == m_pEventHover)
        m_pEventHover = nullptr;
    if (control == m_pEventClick)
        m_pEventClick = nullptr;
    if (control == m_pFocus)
        m_pFocus = nullptr;
    if (control == m_pFocusPending)
        m_pFocusPending = nullptr;
    KillTimer(control);
    const std::string& name = control->m_sName;
    if (!name.empty()) {
        auto it = m_mNameHash.find(name);
        if (it != m_mNameHash.end() && it->second == control)
            m_mNameHash.erase(it);
    }
    m_aPostPaintControls.erase(std::remove(m_aPostPaintControls.begin(), m_aPostPaintControls.end(), control),
                               m_aPostPaintControls.end());
}

void CPaintHostUI::AddDelayedCleanup(CControlUI* control)
{
    if (control == nullptr)
        return;
    // Unbind the whole subtree now so nothing can reach it until it is destroyed.
    control->FindControl(ReapOne, this, UIFIND_ALL);
    control->SetManager(nullptr, nullptr, false);
    m_aDelayedCleanup.push_back(control);
    if (m_hWndPaint != nullptr && !m_bCleanupPosted) {
        m_bCleanupPosted = true;
        PostMessageA(m_hWndPaint, WM_APP_SKIN_CLEANUP, 0, 0);
    }
}

void CPaintHostUI::DestroyDelayedCleanup()
{
    std::vector<CControlUI*> queue;
    queue.swap(m_aDelayedCleanup);
    for (CControlUI* control : queue)
        delete control;
    m_bCleanupPosted = false;
}

CControlUI* CPaintHostUI::FindControlFromNameHash(CControlUI* control, void* data)
{
    auto* host = static_cast<CPaintHostUI*>(data);
    if (!control->m_sName.empty())
        host->m_mNameHash[control->m_sName] = control; // the last visited wins
    if (!control->m_sVirtualWnd.empty())
        host->m_bUsedVirtualWnd = true;
    return nullptr;
}

CControlUI* CPaintHostUI::FindControlFromPoint(CControlUI* control, void* /*data*/) { return control; }

CControlUI* CPaintHostUI::FindControlFromTab(CControlUI* control, void* data)
{
    return CollectTreeOrder(control, data);
}

CControlUI* CPaintHostUI::FindControlFromShortcut(CControlUI* control, void* data)
{
    char ch = *static_cast<const char*>(data);
    if (control->GetShortcut() != '\0'
        && std::toupper(static_cast<unsigned char>(control->GetShortcut())) == ch)
        return control;
    return nullptr;
}

CControlUI* CPaintHostUI::FindControlFromUpdate(CControlUI* control, void* /*data*/)
{
    return control->IsUpdateNeeded() ? control : nullptr;
}

CControlUI* CPaintHostUI::FindControlFromName(CControlUI* control, void* data)
{
    const auto* search = static_cast<const NameSearch*>(data);
    return control->m_sName == *search->name ? control : nullptr;
}

CControlUI* CPaintHostUI::FindControl(POINT pt) const
{
    if (m_pRoot == nullptr)
        return nullptr;
    return m_pRoot->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintHostUI::FindControl(const std::string& name) const
{
    auto it = m_mNameHash.find(name);
    return it == m_mNameHash.end() ? nullptr : it->second;
}

CControlUI* CPaintHostUI::FindSubControlByPoint(CControlUI* parent, POINT pt) const
{
    if (parent == nullptr)
        parent = m_pRoot;
    if (parent == nullptr)
        return nullptr;
    return parent->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CPaintHostUI::FindSubControlByName(CControlUI* parent, const std::string& name) const
{
    if (parent == nullptr)
        parent = m_pRoot;
    if (parent == nullptr)
        return nullptr;
    NameSearch search{&name};
    return parent->FindControl(FindControlFromName, &search, UIFIND_ALL);
}

bool CPaintHostUI::IsOwnControl(const CControlUI* control) const
{
    return control != nullptr && control->GetManager() == this;
}

CControlUI* CPaintHostUI::ControlAt(POINT pt) const
{
    CControlUI* control = FindControl(pt);
    return IsOwnControl(control) ? control : nullptr;
}

// ---------------------------------------------------------------- painting

void CPaintHostUI::Invalidate(const RECT& rc)
{
    if (m_hWndPaint != nullptr)
        InvalidateRect(m_hWndPaint, &rc, FALSE);
}

void CPaintHostUI::Invalidate()
{
    if (m_hWndPaint != nullptr)
        InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

bool CPaintHostUI::AddPostPaint(CControlUI* control)
{
    m_aPostPaintControls.push_back(control);
    return true;
}

bool CPaintHostUI::RemovePostPaint(CControlUI* control)
{
    auto it = std::find(m_aPostPaintControls.begin(), m_aPostPaintControls.end(), control);
    if (it == m_aPostPaintControls.end())
        return false;
    m_aPostPaintControls.erase(it);
    return true;
}

void CPaintHostUI::ReleaseOffscreen()
{
    if (m_hDcOffscreen && m_hbmpOffscreenOld != nullptr)
        SelectObject(m_hDcOffscreen.Get(), m_hbmpOffscreenOld);
    m_hbmpOffscreenOld = nullptr;
    m_hbmpOffscreen.Reset();
    m_hDcOffscreen.Reset();
    m_szOffscreen = {0, 0};
}

void CPaintHostUI::EnsureOffscreen(int cx, int cy)
{
    if (m_hDcOffscreen && m_szOffscreen.cx == cx && m_szOffscreen.cy == cy)
        return;
    ReleaseOffscreen();
    // A 32-bit top-down DIB section, so premultiplied images blend straight into it.
    void* bits = nullptr;
    m_hDcOffscreen.Reset(CreateCompatibleDC(m_hDcPaint));
    m_hbmpOffscreen.Reset(CreateTopDownDib(cx, cy, &bits));
    if (!m_hDcOffscreen || !m_hbmpOffscreen) {
        m_hbmpOffscreen.Reset();
        m_hDcOffscreen.Reset();
        return;
    }
    m_hbmpOffscreenOld = SelectObject(m_hDcOffscreen.Get(), m_hbmpOffscreen.Get());
    m_szOffscreen = {cx, cy};
}

void CPaintHostUI::EnsureBackgroundCopy(int cx, int cy)
{
    if (m_hDcBackground)
        return;
    m_hDcBackground.Reset(CreateCompatibleDC(m_hDcPaint));
    m_hbmpBackground.Reset(CreateCompatibleBitmap(m_hDcPaint, cx, cy));
    if (!m_hDcBackground || !m_hbmpBackground)
        return;
    m_hbmpBackgroundOld = SelectObject(m_hDcBackground.Get(), m_hbmpBackground.Get());
    BitBlt(m_hDcBackground.Get(), 0, 0, cx, cy, m_hDcPaint, 0, 0, SRCCOPY);
}

void CPaintHostUI::OnPaint()
{
    RECT rcUpdate;
    if (!GetUpdateRect(m_hWndPaint, &rcUpdate, FALSE))
        return;
    if (m_pRoot == nullptr) {
        PAINTSTRUCT ps;
        BeginPaint(m_hWndPaint, &ps);
        EndPaint(m_hWndPaint, &ps);
        return;
    }

    if (m_bUpdateNeeded) {
        m_bUpdateNeeded = false;
        RECT rcClient;
        GetClientRect(m_hWndPaint, &rcClient);
        if (!IsRectEmpty(&rcClient)) {
            if (m_pRoot->IsUpdateNeeded()) {
                m_pRoot->SetPos(rcClient);
                ReleaseOffscreen();
            } else {
                // Each SetPos clears the flag it was found by; the cap guards a control
                // that never does.
                for (int guard = 0; guard < 100000; ++guard) {
                    CControlUI* c = m_pRoot->FindControl(FindControlFromUpdate, nullptr,
                                                         UIFIND_VISIBLE | UIFIND_ME_FIRST);
                    if (c == nullptr)
                        break;
                    c->SetPos(c->GetPos());
                }
            }
            if (m_bFirstLayout) {
                m_bFirstLayout = false;
                SendNotify(m_pRoot, "windowinit");
                if (m_pRoot == nullptr || m_hWndPaint == nullptr)
                    return;
            }
        }
    }

    if (m_bFocusNeeded) {
        m_bFocusNeeded = false;
        CControlUI* pending = m_pFocusPending;
        m_pFocusPending = nullptr;
        if (pending != nullptr)
            SetFocus(pending);
        else
            SetNextTabControl(true);
    }

    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWndPaint, &ps);
    RECT rcPaint = ps.rcPaint;
    RECT rcClient;
    GetClientRect(m_hWndPaint, &rcClient);
    const int cx = rcClient.right - rcClient.left;
    const int cy = rcClient.bottom - rcClient.top;
    if (cx > 0 && cy > 0 && !IsRectEmpty(&rcPaint)) {
        if (m_bLayeredBackground)
            EnsureBackgroundCopy(cx, cy);
        EnsureOffscreen(cx, cy);
        HDC target = m_hDcOffscreen ? m_hDcOffscreen.Get() : hdc;
        if (m_bLayeredBackground && m_hDcBackground)
            BitBlt(target, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                   rcPaint.bottom - rcPaint.top, m_hDcBackground.Get(), rcPaint.left, rcPaint.top, SRCCOPY);
        int saved = SaveDC(target);
        IntersectClipRect(target, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
        m_pRoot->DoPaint(target, rcPaint);
        for (size_t i = 0; i < m_aPostPaintControls.size(); ++i)
            m_aPostPaintControls[i]->DoPostPaint(target, rcPaint);
        RestoreDC(target, saved);
        if (target != hdc)
            BitBlt(hdc, rcPaint.left, rcPaint.top, rcPaint.right - rcPaint.left,
                   rcPaint.bottom - rcPaint.top, target, rcPaint.left, rcPaint.top, SRCCOPY);
        if (m_bShowUpdateRect) {
            CGdiObject pen(CreatePen(PS_SOLID, 1, RGB(220, 0, 0)));
            HGDIOBJ oldPen = SelectObject(hdc, pen.Get());
            HGDIOBJ oldBrush = SelectObject(hdc, GetStockObject(HOLLOW_BRUSH));
            Rectangle(hdc, rcPaint.left, rcPaint.top, rcPaint.right, rcPaint.bottom);
            SelectObject(hdc, oldBrush);
            SelectObject(hdc, oldPen);
        }
    }
    EndPaint(m_hWndPaint, &ps);

    if (m_bUpdateNeeded)
        InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

// ---------------------------------------------------------------- focus

void CPaintHostUI::SetFocus(CControlUI* control, bool focusWindow)
{
    if (focusWindow && m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && control != m_pFocus)
        ::SetFocus(m_hWndPaint);
    if (control == m_pFocus)
        return;
    CControlUI* old = m_pFocus;
    if (old != nullptr) {
        TControlEvent ev = MakeEvent(UIEVENT_KILLFOCUS, control, m_ptLastMousePos);
        old->Event(ev);
        if (m_pFocus == old) // the event may have destroyed it
            SendNotify(old, "killfocus");
        m_pFocus = nullptr;
    }
    if (control == nullptr || !IsOwnControl(control) || !control->IsVisible() || !control->IsEnabled())
        return;
    m_pFocus = control;
    TControlEvent ev = MakeEvent(UIEVENT_SETFOCUS, old, m_ptLastMousePos);
    control->Event(ev);
    if (m_pFocus == control)
        SendNotify(control, "setfocus");
}

void CPaintHostUI::SetFocusNeeded(CControlUI* control)
{
    if (m_hWndPaint != nullptr)
        ::SetFocus(m_hWndPaint);
    m_pFocusPending = control;
    m_bFocusNeeded = true;
    Invalidate();
}

bool CPaintHostUI::SetNextTabControl(bool forward)
{
    if (m_pRoot == nullptr)
        return false;
    if (m_bUpdateNeeded) {
        // Positions are stale until the next paint lays the tree out.
        m_bFocusNeeded = true;
        Invalidate();
        return true;
    }
    std::vector<CControlUI*> order;
    m_pRoot->FindControl(FindControlFromTab, &order, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
    const int n = static_cast<int>(order.size());
    if (n == 0)
        return true;
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (order[i] == m_pFocus)
            start = i;
    auto isTabStop = [](CControlUI* c) { return (c->GetControlFlags() & UIFLAG_TABSTOP) != 0; };
    CControlUI* next = nullptr;
    if (forward) {
        int from = start < 0 ? 0 : start + 1;
        for (int k = 0; k < n && next == nullptr; ++k) {
            CControlUI* c = order[(from + k) % n];
            if (isTabStop(c))
                next = c;
        }
    } else {
        int from = start < 0 ? n - 1 : start - 1 + n;
        for (int k = 0; k < n && next == nullptr; ++k) {
            CControlUI* c = order[(from - k + n) % n];
            if (isTabStop(c))
                next = c;
        }
    }
    if (next != nullptr)
        SetFocus(next);
    return true;
}

// ---------------------------------------------------------------- capture

void CPaintHostUI::SetCapture()
{
    ::SetCapture(m_hWndPaint);
    m_bMouseCapture = true;
}

void CPaintHostUI::ReleaseCapture()
{
    ::ReleaseCapture();
    m_bMouseCapture = false;
}

// ---------------------------------------------------------------- timers

bool CPaintHostUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse)
{
    if (control == nullptr || m_hWndPaint == nullptr)
        return false;
    for (TimerInfo& t : m_aTimers) {
        if (t.pSender == control && t.hWnd == m_hWndPaint && t.nLocalID == timerId) {
            if (!t.bKilled)
                return false;
            if (::SetTimer(m_hWndPaint, t.uWinTimer, elapse, nullptr) == 0)
                return false;
            t.bKilled = false;
            return true;
        }
    }
    // Native ids cycle through 0..254; skip one still held by another entry so two
    // controls never share a native timer.
    UINT id = m_uTimerID;
    for (int tries = 0; tries < 255; ++tries) {
        id = (id + 1) % 0xFF;
        bool used = false;
        for (const TimerInfo& t : m_aTimers)
            if (t.hWnd == m_hWndPaint && t.uWinTimer == id)
                used = true;
        if (!used)
            break;
    }
    m_uTimerID = id;
    if (::SetTimer(m_hWndPaint, id, elapse, nullptr) == 0)
        return false;
    m_aTimers.push_back(TimerInfo{control, timerId, m_hWndPaint, id, false});
    return true;
}

bool CPaintHostUI::KillTimer(CControlUI* control, UINT timerId)
{
    for (TimerInfo& t : m_aTimers) {
        if (t.pSender == control && t.hWnd == m_hWndPaint && t.nLocalID == timerId) {
            if (!t.bKilled) {
                ::KillTimer(t.hWnd, t.uWinTimer);
                t.bKilled = true;
                return true;
            }
        }
    }
    return false;
}

void CPaintHostUI::KillTimer(CControlUI* control)
{
    for (auto it = m_aTimers.begin(); it != m_aTimers.end();) {
        if (it->pSender == control) {
            if (!it->bKilled)
                ::KillTimer(it->hWnd, it->uWinTimer);
            it = m_aTimers.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintHostUI::RemoveAllTimers()
{
    for (const TimerInfo& t : m_aTimers)
        if (!t.bKilled)
            ::KillTimer(t.hWnd, t.uWinTimer);
    m_aTimers.clear();
}

// ---------------------------------------------------------------- notifications

void CPaintHostUI::SendNotify(CControlUI* sender, const std::string& type, WPARAM wParam, LPARAM lParam)
{
    TNotifyMsg msg;
    msg.pSender = sender;
    msg.sType = type;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg);
}

void CPaintHostUI::SendNotify(TNotifyMsg& msg)
{
    msg.ptMouse = m_ptLastMousePos;
    msg.dwTimestamp = GetTickCount();
    if (m_bUsedVirtualWnd && msg.pSender != nullptr)
        msg.sVirtualWnd = msg.pSender->GetVirtualWnd();
    if (msg.pSender != nullptr)
        msg.pSender->OnNotify(&msg);
    // By index: a listener may add or remove listeners while being told.
    for (size_t i = 0; i < m_aNotifiers.size(); ++i)
        m_aNotifiers[i]->Notify(msg);
}

namespace {

template <typename T>
bool RemoveFirst(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

} // namespace

bool CPaintHostUI::AddNotifier(INotifyUI* notifier)
{
    m_aNotifiers.push_back(notifier);
    return true;
}

bool CPaintHostUI::RemoveNotifier(INotifyUI* notifier) { return RemoveFirst(m_aNotifiers, notifier); }

bool CPaintHostUI::AddPreMessageFilter(IMessageFilterUI* filter)
{
    m_aPreMessageFilters.push_back(filter);
    return true;
}

bool CPaintHostUI::RemovePreMessageFilter(IMessageFilterUI* filter)
{
    return RemoveFirst(m_aPreMessageFilters, filter);
}

bool CPaintHostUI::AddMessageFilter(IMessageFilterUI* filter)
{
    m_aMessageFilters.push_back(filter);
    return true;
}

bool CPaintHostUI::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveFirst(m_aMessageFilters, filter); }

bool CPaintHostUI::AddTranslateAccelerator(ITranslateAccelerator* translator)
{
    m_aTranslateAccelerators.push_back(translator);
    return true;
}

bool CPaintHostUI::RemoveTranslateAccelerator(ITranslateAccelerator* translator)
{
    return RemoveFirst(m_aTranslateAccelerators, translator);
}

bool CPaintHostUI::TranslateAccelerator(MSG* msg)
{
    for (size_t i = 0; i < m_aTranslateAccelerators.size(); ++i)
        if (m_aTranslateAccelerators[i]->TranslateAccelerator(msg) == 0)
            return true;
    return false;
}

// ---------------------------------------------------------------- option groups

bool CPaintHostUI::AddOptionGroup(const std::string& groupName, COptionUI* option)
{
    if (option == nullptr || groupName.empty())
        return false;
    auto& group = m_mOptionGroup[groupName];
    if (std::find(group.begin(), group.end(), option) != group.end())
        return false;
    group.push_back(option);
    return true;
}

const std::vector<COptionUI*>* CPaintHostUI::GetOptionGroup(const std::string& groupName) const
{
    auto it = m_mOptionGroup.find(groupName);
    return it == m_mOptionGroup.end() ? nullptr : &it->second;
}

void CPaintHostUI::RemoveOptionGroup(const std::string& groupName, COptionUI* option)
{
    auto it = m_mOptionGroup.find(groupName);
    if (it == m_mOptionGroup.end())
        return;
    RemoveFirst(it->second, option);
    if (it->second.empty())
        m_mOptionGroup.erase(it);
}

void CPaintHostUI::RemoveAllOptionGroups() { m_mOptionGroup.clear(); }

// ---------------------------------------------------------------- tool tip

void CPaintHostUI::ShowToolTip(CControlUI* control, POINT pt)
{
    if (m_hwndTooltip == nullptr) {
        m_hwndTooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                        WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint,
                                        nullptr, GetInstance(), nullptr);
        if (m_hwndTooltip == nullptr)
            return;
        m_ToolTip = {};
        m_ToolTip.cbSize = TTTOOLINFOA_V1_SIZE;
        m_ToolTip.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
        m_ToolTip.hwnd = m_hWndPaint;
        m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
        m_ToolTip.lpszText = const_cast<char*>("");
        SendMessageA(m_hwndTooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    }
    m_sToolTipText = control->GetToolTip();
    m_ToolTip.lpszText = const_cast<char*>(m_sToolTipText.c_str());
    m_ToolTip.rect = control->GetPos();
    SendMessageA(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    SendMessageA(m_hwndTooltip, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    POINT screen = pt;
    ClientToScreen(m_hWndPaint, &screen);
    SendMessageA(m_hwndTooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 12, screen.y + 20));
    SendMessageA(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
}

void CPaintHostUI::HideToolTip()
{
    if (m_hwndTooltip != nullptr)
        SendMessageA(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
}

// ---------------------------------------------------------------- messages

bool CPaintHostUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m_hWndPaint == nullptr)
        return false;
    for (size_t i = 0; i < m_aMessageFilters.size(); ++i) {
        bool handled = false;
        LRESULT r = m_aMessageFilters[i]->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }

    switch (uMsg) {
    case WM_APP_SKIN_CLEANUP:
        DestroyDelayedCleanup();
        lRes = 0;
        return true;

    case WM_CLOSE: {
        if (m_pEventHover != nullptr) {
            TControlEvent ev = MakeEvent(UIEVENT_MOUSELEAVE, m_pEventHover, m_ptLastMousePos, wParam, lParam);
            m_pEventHover->Event(ev);
        }
        if (m_pEventClick != nullptr) {
            TControlEvent ev = MakeEvent(UIEVENT_BUTTONUP, m_pEventClick, m_ptLastMousePos, wParam, lParam);
            m_pEventClick->Event(ev);
        }
        SetFocus(nullptr, false);
        HWND owner = GetWindow(m_hWndPaint, GW_OWNER);
        if (owner != nullptr)
            ::SetFocus(owner);
        m_bMouseTracking = false;
        m_ptLastMousePos = {-1, -1};
        return false; // the window still closes
    }

    case WM_ERASEBKGND:
        lRes = 1;
        return true;

    case WM_PAINT:
        OnPaint();
        lRes = 0;
        return true;

    case WM_SIZE: {
        if (m_pFocus != nullptr) {
            TControlEvent ev = MakeEvent(UIEVENT_WINDOWSIZE, m_pFocus, m_ptLastMousePos, wParam, lParam);
            m_pFocus->Event(ev);
        }
        if (m_pRoot != nullptr)
            m_pRoot->NeedUpdate();
        return false;
    }

    case WM_TIMER:
        for (const TimerInfo& t : m_aTimers) {
            if (t.hWnd == m_hWndPaint && t.uWinTimer == wParam && !t.bKilled) {
                CControlUI* control = t.pSender;
                TControlEvent ev = MakeEvent(UIEVENT_TIMER, control, m_ptLastMousePos, t.nLocalID, lParam);
                control->Event(ev); // may change the timer list: stop looking
                lRes = 0;
                return true;
            }
        }
        return false;

    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            return false;
        if (m_bMouseCapture) {
            lRes = TRUE;
            return true;
        }
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(m_hWndPaint, &pt);
        CControlUI* control = ControlAt(pt);
        if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0)
            return false; // the class cursor
        TControlEvent ev = MakeEvent(UIEVENT_SETCURSOR, control, pt, wParam, lParam);
        control->Event(ev);
        lRes = TRUE;
        return true;
    }

    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (m_szMinWindow.cx > 0)
            info->ptMinTrackSize.x = m_szMinWindow.cx;
        if (m_szMinWindow.cy > 0)
            info->ptMinTrackSize.y = m_szMinWindow.cy;
        if (m_szMaxWindow.cx > 0)
            info->ptMaxTrackSize.x = m_szMaxWindow.cx;
        if (m_szMaxWindow.cy > 0)
            info->ptMaxTrackSize.y = m_szMaxWindow.cy;
        return false;
    }

    case WM_CONTEXTMENU: {
        if (m_pEventClick == nullptr)
            return false;
        ReleaseCapture();
        CControlUI* control = m_pEventClick;
        m_pEventClick = nullptr;
        POINT pt = PointFromLParam(lParam);
        ScreenToClient(m_hWndPaint, &pt);
        TControlEvent ev = MakeEvent(UIEVENT_CONTEXTMENU, control, pt, wParam, reinterpret_cast<LPARAM>(control));
        control->Event(ev);
        lRes = 0;
        return true;
    }

    case WM_KEYDOWN: {
        if (m_pFocus == nullptr)
            return false;
        m_pEventKey = m_pFocus;
        TControlEvent ev = MakeEvent(UIEVENT_KEYDOWN, m_pFocus, m_ptLastMousePos, wParam, lParam);
        ev.chKey = static_cast<char>(wParam);
        m_pFocus->Event(ev);
        lRes = 0;
        return true;
    }

    case WM_KEYUP: {
        if (m_pEventKey == nullptr)
            return false;
        CControlUI* control = m_pEventKey;
        TControlEvent ev = MakeEvent(UIEVENT_KEYUP, control, m_ptLastMousePos, wParam, lParam);
        ev.chKey = static_cast<char>(wParam);
        control->Event(ev);
        m_pEventKey = nullptr;
        lRes = 0;
        return true;
    }

    case WM_CHAR: {
        if (m_pFocus == nullptr)
            return false;
        TControlEvent ev = MakeEvent(UIEVENT_CHAR, m_pFocus, m_ptLastMousePos, wParam, lParam);
        ev.chKey = static_cast<char>(wParam);
        m_pFocus->Event(ev);
        lRes = 0;
        return true;
    }

    case WM_MOUSEMOVE: {
        if (!m_bMouseTracking) {
            TRACKMOUSEEVENT tme = {};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_HOVER | TME_LEAVE;
            tme.hwndTrack = m_hWndPaint;
            tme.dwHoverTime = m_hwndTooltip == nullptr
                ? 400
                : static_cast<DWORD>(SendMessageA(m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
            TrackMouseEvent(&tme);
            m_bMouseTracking = true;
        }
        POINT pt = PointFromLParam(lParam);
        m_ptLastMousePos = pt;
        CControlUI* newHover = FindControl(pt);
        if (newHover != nullptr && newHover->GetManager() != this)
            return false;
        if (newHover != m_pEventHover && m_pEventHover != nullptr) {
            CControlUI* old = m_pEventHover;
            m_pEventHover = nullptr;
            TControlEvent ev = MakeEvent(UIEVENT_MOUSELEAVE, old, pt, wParam, lParam);
            old->Event(ev);
            HideToolTip();
        }
        if (newHover != m_pEventHover && newHover != nullptr) {
            m_pEventHover = newHover;
            TControlEvent ev = MakeEvent(UIEVENT_MOUSEENTER, newHover, pt, wParam, lParam);
            newHover->Event(ev);
        }
        CControlUI* target = m_pEventClick != nullptr ? m_pEventClick : m_pEventHover;
        if (target != nullptr) {
            TControlEvent ev = MakeEvent(UIEVENT_MOUSEMOVE, target, pt, wParam, lParam);
            target->Event(ev);
        }
        return false;
    }

    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
        ::SetFocus(m_hWndPaint);
        POINT pt = PointFromLParam(lParam);
        m_ptLastMousePos = pt;
        CControlUI* control = ControlAt(pt);
        if (control == nullptr)
            return false;
        m_pEventClick = control;
        SetCapture();
        EventType type = uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN
                       : uMsg == WM_LBUTTONDBLCLK ? UIEVENT_DBLCLICK
                                                  : UIEVENT_RBUTTONDOWN;
        TControlEvent ev = MakeEvent(type, control, pt, wParam, lParam);
        ev.wKeyState = static_cast<WORD>(wParam);
        control->Event(ev);
        return false;
    }

    case WM_LBUTTONUP: {
        POINT pt = PointFromLParam(lParam);
        m_ptLastMousePos = pt;
        if (m_pEventClick == nullptr)
            return false;
        ReleaseCapture();
        CControlUI* control = m_pEventClick;
        TControlEvent ev = MakeEvent(UIEVENT_BUTTONUP, control, pt, wParam, lParam);
        ev.wKeyState = static_cast<WORD>(wParam);
        control->Event(ev);
        m_pEventClick = nullptr;
        return false;
    }

    case WM_MOUSEWHEEL: {
        POINT pt = PointFromLParam(lParam);
        ScreenToClient(m_hWndPaint, &pt);
        CControlUI* control = ControlAt(pt);
        if (control == nullptr)
            return false;
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        TControlEvent ev = MakeEvent(UIEVENT_SCROLLWHEEL, control, pt, delta < 0 ? 1 : 0, lParam);
        control->Event(ev);
        // Controls may have moved under the cursor.
        SendMessageA(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
        lRes = 0;
        return true;
    }

    case WM_MOUSEHOVER: {
        m_bMouseTracking = false;
        POINT pt = PointFromLParam(lParam);
        CControlUI* control = FindControl(pt);
        if (m_pEventHover != nullptr) {
            TControlEvent ev = MakeEvent(UIEVENT_MOUSEHOVER, m_pEventHover, pt, wParam, lParam);
            m_pEventHover->Event(ev);
        }
        if (control != nullptr && IsOwnControl(control) && !control->GetToolTip().empty())
            ShowToolTip(control, pt);
        return false;
    }

    case WM_MOUSELEAVE:
        HideToolTip();
        if (m_bMouseTracking)
            SendMessageA(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(-1, -1));
        m_bMouseTracking = false;
        return false;

    default:
        return false;
    }
}

bool CPaintHostUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    for (size_t i = 0; i < m_aPreMessageFilters.size(); ++i) {
        bool handled = false;
        LRESULT r = m_aPreMessageFilters[i]->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
            return true;
        }
        return false;
    case WM_SYSKEYDOWN:
        if (m_pFocus != nullptr) {
            TControlEvent ev = MakeEvent(UIEVENT_SYSKEY, m_pFocus, m_ptLastMousePos, wParam, lParam);
            ev.chKey = static_cast<char>(wParam);
            m_pFocus->Event(ev);
        }
        return false;
    case WM_SYSCHAR: {
        if (m_pRoot == nullptr)
            return false;
        char ch = static_cast<char>(std::toupper(static_cast<unsigned char>(wParam)));
        CControlUI* control = m_pRoot->FindControl(
            FindControlFromShortcut, &ch, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
        if (control == nullptr)
            return false;
        control->SetFocus();
        control->Activate();
        return true;
    }
    default:
        return false;
    }
}

} // namespace SkinUI
