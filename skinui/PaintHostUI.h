#pragma once
// The hub of one skinned window: owns the control tree, lays it out, paints it off-screen,
// routes native input to controls, keeps the focus, runs control timers and delivers
// notifications. Also keeps the window-level resources (fonts, images, default attribute
// lists, window attributes) and, as statics, where the skin is found.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comm/UniqueHandle.h"
#include "skinui/ControlEvent.h"
#include "skinui/ImageEntry.h"
#include "skinui/NotifyMsg.h"
#include "skinui/SkinInterfaces.h"

namespace SkinUI {

class CControlUI;
class COptionUI;

// The message the host posts to itself to destroy the delayed-cleanup queue.
constexpr UINT WM_APP_SKIN_CLEANUP = WM_APP + 1;

struct FontEntry {
    std::string sFontName; // at most 31 characters
    int iSize = 0;         // pixels
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    CGdiObject hFont;
    TEXTMETRICA tm = {};
    bool bMetricsRead = false;
    HFONT Get() const { return static_cast<HFONT>(hFont.Get()); }
};

struct TimerInfo {
    CControlUI* pSender = nullptr;
    UINT nLocalID = 0;
    HWND hWnd = nullptr;
    UINT uWinTimer = 0;
    bool bKilled = false;
};

struct ShadowSettings {
    int size = 0;
    int sharpness = 0;
    int darkness = 0;
    SIZE position = {0, 0};
    DWORD color = 0;
    RECT corner = {0, 0, 0, 0};
    std::string image;
    bool show = false;
};

class CPaintHostUI {
public:
    CPaintHostUI();
    ~CPaintHostUI();
    CPaintHostUI(const CPaintHostUI&) = delete;
    CPaintHostUI& operator=(const CPaintHostUI&) = delete;

    // --- Where the skin is found (process-wide) ---
    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE instance);
    static std::string GetInstancePath();  // executable's directory, trailing '\'
    static std::string GetResourcePath();  // trailing '\' or empty
    static void SetResourcePath(const char* path);
    static std::string GetResourceZip();   // "", a file name, or "membuffer"
    static bool SetResourceZip(const void* data, size_t length); // block copied/kept for the process
    static bool SetResourceZip(const std::string& zipFileName);
    // Every live host, in creation order (used by the message loop).
    static const std::vector<CPaintHostUI*>& GetHosts();

    // --- The window ---
    void Init(HWND hWnd);
    HWND GetPaintWindow() const { return m_hWndPaint; }
    HDC GetPaintDC() const { return m_hDcPaint; }
    HWND GetTooltipWindow() const { return m_hwndTooltip; }
    POINT GetMousePos() const { return m_ptLastMousePos; }
    SIZE GetClientSize() const;

    // --- Window attributes ---
    SIZE GetInitSize() const { return m_szInitWindowSize; }
    void SetInitSize(int cx, int cy);
    RECT GetSizeBox() const { return m_rcSizeBox; }
    void SetSizeBox(const RECT& rc) { m_rcSizeBox = rc; }
    RECT GetCaptionRect() const { return m_rcCaption; }
    void SetCaptionRect(const RECT& rc) { m_rcCaption = rc; }
    SIZE GetRoundCorner() const { return m_szRoundCorner; }
    void SetRoundCorner(int cx, int cy) { m_szRoundCorner = {cx, cy}; }
    SIZE GetMinInfo() const { return m_szMinWindow; }
    void SetMinInfo(int cx, int cy) { m_szMinWindow = {cx, cy}; }
    SIZE GetMaxInfo() const { return m_szMaxWindow; }
    void SetMaxInfo(int cx, int cy) { m_szMaxWindow = {cx, cy}; }
    bool IsShowUpdateRect() const { return m_bShowUpdateRect; }
    void SetShowUpdateRect(bool show) { m_bShowUpdateRect = show; }
    BYTE GetOpacity() const { return m_nOpacity; }
    void SetOpacity(int opacity); // clamped to 0..255
    bool IsBackgroundTransparent() const { return m_bLayeredBackground; }
    void SetBackgroundTransparent(bool on) { m_bLayeredBackground = on; }
    DWORD GetDefaultDisabledColor() const { return m_dwDefaultDisabledColor; }
    void SetDefaultDisabledColor(DWORD c) { m_dwDefaultDisabledColor = c; }
    DWORD GetDefaultFontColor() const { return m_dwDefaultFontColor; }
    void SetDefaultFontColor(DWORD c) { m_dwDefaultFontColor = c; }
    DWORD GetDefaultLinkFontColor() const { return m_dwDefaultLinkFontColor; }
    void SetDefaultLinkFontColor(DWORD c) { m_dwDefaultLinkFontColor = c; }
    DWORD GetDefaultLinkHoverFontColor() const { return m_dwDefaultLinkHoverFontColor; }
    void SetDefaultLinkHoverFontColor(DWORD c) { m_dwDefaultLinkHoverFontColor = c; }
    DWORD GetDefaultSelectedBkColor() const { return m_dwDefaultSelectedBkColor; }
    void SetDefaultSelectedBkColor(DWORD c) { m_dwDefaultSelectedBkColor = c; }
    ShadowSettings& Shadow() { return m_shadow; }
    const ShadowSettings& Shadow() const { return m_shadow; }

    // --- Fonts: addressed by 0-based position; out of range means the default font ---
    HFONT AddFont(const std::string& face, int size, bool bold, bool underline, bool italic);
    HFONT SetDefaultFont(const std::string& face, int size, bool bold, bool underline, bool italic);
    int GetFontCount() const { return static_cast<int>(m_fonts.size()); }
    HFONT GetFont(int index);
    const FontEntry* GetFontEntry(int index) const; // null when out of range
    const FontEntry& GetDefaultFontEntry() const { return m_defaultFont; }
    // Metrics of the font at index (default font when out of range); read on first use.
    const TEXTMETRICA& GetFontInfo(int index);
    const TEXTMETRICA& GetDefaultFontInfo();

    // --- Images, cached under their name alone ---
    const ImageEntry* GetImage(const std::string& name) const;
    // The cached image, or loaded and cached now; null when it cannot be loaded.
    const ImageEntry* GetImageEx(const std::string& name, const std::string& resType = std::string(),
                                 DWORD mask = 0);
    const ImageEntry* AddImage(const std::string& name, const std::string& resType = std::string(),
                               DWORD mask = 0);
    bool RemoveImage(const std::string& name);
    void RemoveAllImages();

    // --- Default attribute lists by element name; the first registration wins ---
    void AddDefaultAttributeList(const std::string& controlName, const std::string& list);
    std::string GetDefaultAttributeList(const std::string& controlName) const;
    void RemoveAllDefaultAttributeList();

    // --- The control tree ---
    bool AttachDialog(CControlUI* root); // takes ownership
    CControlUI* GetRoot() const { return m_pRoot; }
    // Forgets the root without destroying it (the window is going away).
    CControlUI* DetachRoot();
    // Binds a subtree to this host and enters its names; parent null keeps each parent.
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    void ReapObjects(CControlUI* control);
    // Queues an unbound control for destruction after the current message.
    void AddDelayedCleanup(CControlUI* control);
    void SetUsedVirtualWnd(bool used) { m_bUsedVirtualWnd = used; }
    bool IsUsedVirtualWnd() const { return m_bUsedVirtualWnd; }

    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(const std::string& name) const;
    CControlUI* FindSubControlByPoint(CControlUI* parent, POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* parent, const std::string& name) const;

    // --- Layout and painting ---
    bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
    void NeedUpdate() { m_bUpdateNeeded = true; }
    void Invalidate(const RECT& rc);
    void Invalidate();
    bool AddPostPaint(CControlUI* control);
    bool RemovePostPaint(CControlUI* control);

    // --- Focus ---
    CControlUI* GetFocus() const { return m_pFocus; }
    void SetFocus(CControlUI* control, bool focusWindow = true);
    void SetFocusNeeded(CControlUI* control);
    bool SetNextTabControl(bool forward = true);
    CControlUI* GetHover() const { return m_pEventHover; }
    CControlUI* GetClick() const { return m_pEventClick; }

    // --- Mouse capture ---
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const { return m_bMouseCapture; }

    // --- Timers ---
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
    bool KillTimer(CControlUI* control, UINT timerId);
    void KillTimer(CControlUI* control); // stops and removes every timer of the control
    void RemoveAllTimers();

    // --- Notifications and filters ---
    void SendNotify(CControlUI* sender, const std::string& type, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendNotify(TNotifyMsg& msg);
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool AddTranslateAccelerator(ITranslateAccelerator* translator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* translator);
    bool TranslateAccelerator(MSG* msg);

    // --- Option groups ---
    bool AddOptionGroup(const std::string& groupName, COptionUI* option);
    const std::vector<COptionUI*>* GetOptionGroup(const std::string& groupName) const;
    void RemoveOptionGroup(const std::string& groupName, COptionUI* option);
    void RemoveAllOptionGroups();

    // --- Messages ---
    // Returns true when handled; the result goes to lRes.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

private:
    static CControlUI* FindControlFromNameHash(CControlUI* control, void* data);
    static CControlUI* FindControlFromPoint(CControlUI* control, void* data);
    static CControlUI* FindControlFromTab(CControlUI* control, void* data);
    static CControlUI* FindControlFromShortcut(CControlUI* control, void* data);
    static CControlUI* FindControlFromUpdate(CControlUI* control, void* data);
    static CControlUI* FindControlFromName(CControlUI* control, void* data);

    void OnPaint();
    void ReleaseOffscreen();
    void EnsureOffscreen(int cx, int cy);
    void EnsureBackgroundCopy(int cx, int cy);
    void DestroyDelayedCleanup();
    void ResetFontMetrics();
    void ReadFontMetrics(FontEntry& font);
    bool IsOwnControl(const CControlUI* control) const;
    static bool MakeFont(FontEntry& font, const std::string& face, int size, bool bold,
                         bool underline, bool italic);
    CControlUI* ControlAt(POINT pt) const;
    void ShowToolTip(CControlUI* control, POINT pt);
    void HideToolTip();

    HWND m_hWndPaint = nullptr;
    HDC m_hDcPaint = nullptr; // from GetDC, released in the destructor
    CMemoryDc m_hDcOffscreen;
    CGdiObject m_hbmpOffscreen;
    HGDIOBJ m_hbmpOffscreenOld = nullptr;
    SIZE m_szOffscreen = {0, 0};
    CMemoryDc m_hDcBackground;
    CGdiObject m_hbmpBackground;
    HGDIOBJ m_hbmpBackgroundOld = nullptr;
    HWND m_hwndTooltip = nullptr; // destroyed with the host
    TOOLINFOA m_ToolTip = {};
    std::string m_sToolTipText;

    CControlUI* m_pRoot = nullptr; // owned
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pEventHover = nullptr;
    CControlUI* m_pEventClick = nullptr;
    CControlUI* m_pEventKey = nullptr;
    CControlUI* m_pFocusPending = nullptr; // SetFocusNeeded: focused at the next paint
    POINT m_ptLastMousePos = {-1, -1};

    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bFocusNeeded = false;
    bool m_bOffscreenPaint = true;
    bool m_bLayeredBackground = false;
    bool m_bShowUpdateRect = false;
    bool m_bMouseTracking = false;
    bool m_bMouseCapture = false;
    bool m_bUsedVirtualWnd = false;
    bool m_bCleanupPosted = false;

    std::map<std::string, CControlUI*> m_mNameHash;
    std::map<std::string, std::vector<COptionUI*>> m_mOptionGroup;
    std::vector<TimerInfo> m_aTimers;
    UINT m_uTimerID = 0x1000;
    std::vector<INotifyUI*> m_aNotifiers;
    std::vector<IMessageFilterUI*> m_aPreMessageFilters;
    std::vector<IMessageFilterUI*> m_aMessageFilters;
    std::vector<ITranslateAccelerator*> m_aTranslateAccelerators;
    std::vector<CControlUI*> m_aPostPaintControls;
    std::vector<CControlUI*> m_aDelayedCleanup; // owned

    // Window attributes.
    SIZE m_szInitWindowSize = {0, 0};
    RECT m_rcSizeBox = {0, 0, 0, 0};
    RECT m_rcCaption = {0, 0, 0, 0};
    SIZE m_szRoundCorner = {0, 0};
    SIZE m_szMinWindow = {0, 0};
    SIZE m_szMaxWindow = {0, 0};
    BYTE m_nOpacity = 255;
    DWORD m_dwDefaultDisabledColor = 0xFFA7A6AA;
    DWORD m_dwDefaultFontColor = 0xFF000000;
    DWORD m_dwDefaultLinkFontColor = 0xFF0000FF;
    DWORD m_dwDefaultLinkHoverFontColor = 0xFFD3215F;
    DWORD m_dwDefaultSelectedBkColor = 0xFFBAE4FF;
    ShadowSettings m_shadow;

    // Resources.
    FontEntry m_defaultFont;
    std::vector<std::unique_ptr<FontEntry>> m_fonts;
    std::map<std::string, std::unique_ptr<ImageEntry>> m_images;
    std::map<std::string, std::string> m_defaultAttributes;
};

} // namespace SkinUI
