#pragma once
// A control that owns an ordered list of children, lays them over its inner rectangle and
// scrolls them with optional scroll bars.
#include <vector>

#include "skinui/ControlUI.h"

namespace SkinUI {

class CScrollBarUI;

class IContainerUI {
public:
    virtual ~IContainerUI() = default;
    virtual CControlUI* GetItemAt(int index) const = 0;
    virtual int GetItemIndex(CControlUI* control) const = 0;
    virtual bool SetItemIndex(CControlUI* control, int index) = 0;
    virtual int GetCount() const = 0;
    virtual bool Add(CControlUI* control) = 0;
    virtual bool AddAt(CControlUI* control, int index) = 0;
    virtual bool Remove(CControlUI* control) = 0;
    virtual bool RemoveAt(int index) = 0;
    virtual void RemoveAll() = 0;
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;

    // IContainerUI. Add/AddAt take ownership; on failure the caller keeps it.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    void DoEvent(TControlEvent& event) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetMouseEnabled(bool enable = true) override;
    void SetPos(RECT rc) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(const std::string& name, const std::string& value) override;
    void SetManager(CPaintHostUI* host, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;

    virtual void SetMouseEnabledAll(bool enable);
    virtual void SetEnabledAll(bool enable);
    virtual RECT GetInset() const;
    virtual void SetInset(RECT rc);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool on);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool on);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enable = true);
    // Next (forward) or previous selectable child from index; -1 when none.
    virtual int FindSelectable(int index, bool forward = true) const;

    // (horizontal, vertical) of the visible bars; 0 for a missing or hidden bar.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

protected:
    virtual void SetFloatPos(int index);
    virtual void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);
    // Position deflated by the inset.
    RECT InnerRect() const;

    std::vector<CControlUI*> m_items; // owned
    RECT m_rcInset = {0, 0, 0, 0};
    int m_iChildPadding = 0;
    bool m_bAutoDestroy = true;
    bool m_bDelayedDestroy = true;
    bool m_bMouseChildEnabled = true;
    bool m_bScrollProcess = false; // re-entry guard of ProcessScrollBar
    CScrollBarUI* m_pVerticalScrollBar = nullptr;   // owned
    CScrollBarUI* m_pHorizontalScrollBar = nullptr; // owned
};

} // namespace SkinUI
