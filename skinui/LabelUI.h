#pragma once
// A control that shows one line of text in a font and colour of the window's.
#include "skinui/ControlUI.h"
#include "skinui/SkinPainter.h"

namespace SkinUI {

// Text effect settings a layout may carry; kept, not drawn (the program's layouts use none).
struct TTextEffect {
    bool enabled = false;      // enabledeffect
    int renderingHint = 0;     // rhaa
    int transShadow = 0;       // transshadow
    int transText = 0;         // transtext
    int transShadow1 = 0;      // transshadow1
    int transText1 = 0;        // transtext1
    int gradientAngle = 0;     // gradientangle
    bool strokeEnabled = false; // enabledstroke
    bool shadowEnabled = false; // enabledshadow
    int transStroke = 0;       // transstroke
    int gradientLength = 0;    // gradientlength
    SIZE shadowOffset = {0, 0}; // shadowoffset
    DWORD textColor1 = 0;      // textcolor1
    DWORD shadowColorA = 0;    // textshadowcolora
    DWORD shadowColorB = 0;    // textshadowcolorb
    DWORD strokeColor = 0;     // strokecolor
};

class CLabelUI : public CControlUI {
public:
    CLabelUI();

    std::string GetClass() const override;
    void* GetInterface(const std::string& name) override;

    void SetTextStyle(UINT style);
    UINT GetTextStyle() const { return m_uTextStyle; }
    void SetTextColor(DWORD color);
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetDisabledTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
    void SetFont(int index);
    int GetFont() const { return m_iFont; }
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return m_bShowHtml; }
    void SetShowHtml(bool show = true);
    const TTextEffect& GetTextEffect() const { return m_effect; }

    SIZE EstimateSize(SIZE available) override;
    void DoEvent(TControlEvent& event) override;
    void SetAttribute(const std::string& name, const std::string& value) override;
    void PaintText(HDC hDC) override;

protected:
    // Missing text colours come from the host at the first paint and are kept.
    void TakeHostTextColors();
    // The position deflated by the text padding.
    RECT TextRect() const;

    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle = TS_VCENTER;
    RECT m_rcTextPadding = {0, 0, 0, 0};
    bool m_bShowHtml = false;
    TTextEffect m_effect;
};

// Applies the words of an align value to a text style: "left", "center", "right", "top",
// "vcenter", "bottom" are searched in this order and each one found sets its alignment.
UINT ApplyAlignWords(UINT style, const std::string& value);

} // namespace SkinUI
