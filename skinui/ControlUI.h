#pragma once
// The base of every skinned control: position, padding, sizes, flags, colours, border,
// background image, painting steps, events and attributes.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skinui/ControlEvent.h"
#include "skinui/NotifyMsg.h"

namespace SkinUI {

class CPaintHostUI;
class CControlUI;

// A list of callbacks that may veto: the call is "let through" only when every one agrees.
class CEventSource {
public:
    using Delegate = std::function<bool(void* param)>;
    void Add(Delegate d) { m_delegates.push_back(std::move(d)); }
    void Clear() { m_delegates.clear(); }
    bool IsEmpty() const { return m_delegates.empty(); }
    bool operator()(void* param) const
    {
        for (const auto& d : m_delegates)
            if (!d(param))
                return false;
        return true;
    }

private:
    std::vector<Delegate> m_delegates;
};

// GetControlFlags bits.
enum : UINT {
    UIFLAG_TABSTOP = 0x00000001,
    UIFLAG_SETCURSOR = 0x00000002,
};

// FindControl flags.
enum : UINT {
    UIFIND_ALL = 0x00000000,
    UIFIND_VISIBLE = 0x00000001,
    UIFIND_ENABLED = 0x00000002,
    UIFIND_HITTEST = 0x00000004,
    UIFIND_TOP_FIRST = 0x00000008,
    UIFIND_ME_FIRST = 0x80000000,
};

using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();

    virtual std::string GetName() const;
    virtual void SetName(const std::string& name);
    virtual std::string GetClass() const;
    virtual void* GetInterface(const std::string& name);
    virtual UINT GetControlFlags() const;
    virtual bool Activate();
    virtual CPaintHostUI* GetManager() const;
    virtual void SetManager(CPaintHostUI* host, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;

    virtual std::string GetText() const;
    virtual void SetText(const std::string& text);

    virtual const RECT& GetPos() const;
    virtual void SetPos(RECT rc);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(RECT rc);
    virtual SIZE GetFixedXY() const;
    virtual void SetFixedXY(SIZE sz);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int cx);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int cy);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int cx);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int cx);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int cy);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int cy);
    // Relative positioning is not used by the program's layouts; the settings are kept.
    virtual void SetRelativePos(SIZE szMove, SIZE szZoom);
    virtual void SetRelativeParentSize(SIZE sz);
    virtual SIZE GetRelativePos() const;
    virtual bool IsRelativePos() const;

    virtual std::string GetToolTip() const;
    virtual void SetToolTip(const std::string& text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual char GetShortcut() const;
    virtual void SetShortcut(char ch);
    virtual bool IsContextMenuUsed() const;
    virtual void SetContextMenuUsed(bool used);
    virtual std::string GetUserData() const;
    virtual void SetUserData(const std::string& text);
    virtual UINT_PTR GetTag() const;
    virtual void SetTag(UINT_PTR tag);

    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible = true);
    virtual void SetInternVisible(bool visible = true); // hidden by a hidden ancestor
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enable = true);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enable = true);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enable = true);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsHot() const;
    virtual void Unused(); // a slot that does nothing
    virtual bool IsFloat() const;
    virtual void SetFloat(bool isFloat = true);
    virtual bool IsDragEnabled() const;
    virtual void SetDragEnabled(bool enable = true);
    virtual bool IsUnsetFlag() const; // a flag nothing sets

    virtual CControlUI* FindControl(FindControlProc proc, void* data, UINT flags);

    virtual void Init();
    virtual void DoInit();
    virtual void Event(TControlEvent& event);
    virtual void DoEvent(TControlEvent& event);

    virtual void SetAttribute(const std::string& name, const std::string& value);
    virtual SIZE EstimateSize(SIZE available);

    virtual void DoPaint(HDC hDC, const RECT& rcPaint);
    virtual void PaintBkColor(HDC hDC);
    virtual void PaintBkImage(HDC hDC);
    virtual void PaintStatusImage(HDC hDC);
    virtual void PaintText(HDC hDC);
    virtual void PaintBorder(HDC hDC);
    virtual void DoPostPaint(HDC hDC, const RECT& rcPaint);

    // Non-virtual helpers.
    std::string GetVirtualWnd() const;
    void SetVirtualWnd(const std::string& name);
    void Invalidate();
    bool IsUpdateNeeded() const;
    void NeedUpdate();
    void NeedParentUpdate();
    // Applies a list of name="value" items with SetAttribute; a malformed item ends it.
    void ApplyAttributeList(const std::string& list);
    // Draws an image string over this control through the skin painter; false without host.
    bool DrawImage(HDC hDC, const std::string& image, const std::string& modify = std::string());

    // Colours and border (0xAARRGGBB, 0 = none).
    DWORD GetBkColor() const { return m_dwBackColor; }
    void SetBkColor(DWORD color);
    DWORD GetBkColor2() const { return m_dwBackColor2; }
    void SetBkColor2(DWORD color);
    DWORD GetBkColor3() const { return m_dwBackColor3; }
    void SetBkColor3(DWORD color);
    DWORD GetDisabledBkColor() const { return m_dwDisabledBkColor; }
    void SetDisabledBkColor(DWORD color);
    std::string GetBkImage() const { return m_sBkImage; }
    void SetBkImage(const std::string& image);
    DWORD GetBorderColor() const { return m_dwBorderColor; }
    void SetBorderColor(DWORD color);
    DWORD GetHotBorderColor() const { return m_dwHotBorderColor; }
    void SetHotBorderColor(DWORD color);
    DWORD GetFocusBorderColor() const { return m_dwFocusBorderColor; }
    void SetFocusBorderColor(DWORD color);
    bool IsColorHSL() const { return m_bColorHSL; }
    void SetColorHSL(bool on);
    int GetBorderSize() const { return m_nBorderSize; }
    void SetBorderSize(int size);
    RECT GetBorderSizes() const { return m_rcBorderSize; } // per side
    void SetBorderSizes(RECT rc);
    void SetLeftBorderSize(int size);
    void SetTopBorderSize(int size);
    void SetRightBorderSize(int size);
    void SetBottomBorderSize(int size);
    int GetBorderStyle() const { return m_nBorderStyle; }
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const { return m_cxyBorderRound; }
    void SetBorderRound(SIZE sz);
    RECT GetBorderPadding() const { return m_rcBorderPadding; }
    void SetBorderPadding(RECT rc);
    const RECT& GetPaintRect() const { return m_rcPaint; }

    CEventSource OnInit;
    CEventSource OnDestroy;
    CEventSource OnSize;
    CEventSource OnEvent;
    CEventSource OnNotify;

protected:
    // For containers: flags set by layout code of the base and its relatives.
    friend class CContainerUI;
    friend class CPaintHostUI;

    CPaintHostUI* m_pManager = nullptr;
    CControlUI* m_pParent = nullptr;
    std::string m_sName;
    std::string m_sText;
    std::string m_sToolTip;
    int m_nToolTipWidth = 300;
    std::string m_sUserData;
    UINT_PTR m_pTag = 0;
    char m_chShortcut = '\0';
    std::string m_sVirtualWnd;

    RECT m_rcItem = {0, 0, 0, 0};
    RECT m_rcPadding = {0, 0, 0, 0};
    SIZE m_cXY = {0, 0};
    SIZE m_cxyFixed = {0, 0};
    SIZE m_cxyMin = {0, 0};
    SIZE m_cxyMax = {999999, 999999};
    SIZE m_szRelativeMove = {0, 0};
    SIZE m_szRelativeZoom = {0, 0};
    SIZE m_szRelativeParent = {0, 0};
    bool m_bRelativePos = false;

    bool m_bUpdateNeeded = true;
    bool m_bMenuUsed = false;
    bool m_bVisible = true;
    bool m_bInternVisible = true;
    bool m_bEnabled = true;
    bool m_bMouseEnabled = true;
    bool m_bKeyboardEnabled = true;
    bool m_bFocused = false;
    bool m_bHot = false;
    bool m_bFloat = false;
    bool m_bDragEnabled = false;
    bool m_bSetPosGuard = false; // on-size delegates run once per SetPos

    DWORD m_dwBackColor = 0;
    DWORD m_dwBackColor2 = 0;
    DWORD m_dwBackColor3 = 0;
    DWORD m_dwDisabledBkColor = 0xFFF5F5F5;
    DWORD m_dwBorderColor = 0;
    DWORD m_dwHotBorderColor = 0;
    DWORD m_dwFocusBorderColor = 0;
    bool m_bColorHSL = false;
    int m_nBorderSize = 0;
    RECT m_rcBorderSize = {0, 0, 0, 0};
    RECT m_rcBorderPadding = {0, 0, 0, 0};
    int m_nBorderStyle = PS_SOLID;
    SIZE m_cxyBorderRound = {0, 0};
    std::string m_sBkImage;
    RECT m_rcPaint = {0, 0, 0, 0};
};

} // namespace SkinUI
