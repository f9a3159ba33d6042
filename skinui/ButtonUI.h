#pragma once
// A label that reacts to clicks and keys: hot, pushed and focused faces, "click" on
// activation.
#include "skinui/LabelUI.h"

namespace SkinUI {

// Button state bits.
enum : UINT {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;
    UINT GetControlFlags() const override;
    // Sends "click" when visible and enabled.
    bool Activate() override;
    void SetEnabled(bool enable = true) override;

    UINT GetButtonState() const { return m_uButtonState; }

    void SetNormalImage(const std::string& image);
    const std::string& GetNormalImage() const { return m_sNormalImage; }
    void SetHotImage(const std::string& image);
    const std::string& GetHotImage() const { return m_sHotImage; }
    void SetPushedImage(const std::string& image);
    const std::string& GetPushedImage() const { return m_sPushedImage; }
    void SetFocusedImage(const std::string& image);
    const std::string& GetFocusedImage() const { return m_sFocusedImage; }
    void SetDisabledImage(const std::string& image);
    const std::string& GetDisabledImage() const { return m_sDisabledImage; }
    void SetForeImage(const std::string& image);
    const std::string& GetForeImage() const { return m_sForeImage; }
    void SetHotForeImage(const std::string& image);
    void SetPushedForeImage(const std::string& image);
    void SetDisabledForeImage(const std::string& image);

    void SetHotBkColor(DWORD color);
    DWORD GetHotBkColor() const { return m_dwHotBkColor; }
    void SetPushedBkColor(DWORD color);
    DWORD GetPushedBkColor() const { return m_dwPushedBkColor; }
    void SetFocusedBkColor(DWORD color);
    DWORD GetFocusedBkColor() const { return m_dwFocusedBkColor; }
    void SetHotTextColor(DWORD color);
    DWORD GetHotTextColor() const { return m_dwHotTextColor; }
    void SetPushedTextColor(DWORD color);
    DWORD GetPushedTextColor() const { return m_dwPushedTextColor; }
    void SetFocusedTextColor(DWORD color);
    DWORD GetFocusedTextColor() const { return m_dwFocusedTextColor; }
    void SetPushFloat(bool on);
    bool IsPushFloat() const { return m_bPushFloat; }

    SIZE EstimateSize(SIZE available) override;
    void DoEvent(TControlEvent& event) override;
    void SetAttribute(const std::string& name, const std::string& value) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    // The focused and disabled bits follow the control's own flags.
    void RefreshStateBits();
    // The face for a pushed or hot state: the state image followed by its fore image (or
    // the plain fore image), else the state colour followed by the fore image, else the fore
    // image alone. False when none of the three is set.
    bool PaintStateFace(HDC hDC, const std::string& image, DWORD bkColor, const std::string& foreImage);

    UINT m_uButtonState = 0;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwPushedBkColor = 0;
    DWORD m_dwFocusedBkColor = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    DWORD m_dwFocusedTextColor = 0;
    std::string m_sNormalImage;
    std::string m_sHotImage;
    std::string m_sPushedImage;
    std::string m_sFocusedImage;
    std::string m_sDisabledImage;
    std::string m_sForeImage;
    std::string m_sHotForeImage;
    std::string m_sPushedForeImage;
    std::string m_sDisabledForeImage;
    bool m_bPushFloat = true;
};

} // namespace SkinUI
