#pragma once
// Application styles: a look the whole program can take over the system's
// own. The style manager knows the styles and the active one; the system
// style "Windows" is active until another is set. A style draws elements
// (scroll-bar arrows, thumbs and tracks) and answers the colours of others
// (grid cells).
//
// The style engine attaches style hooks to windows while a style other than
// the system's is active: a hook registered for a control class (or its
// descendants) is made for each such window when it first gets a message,
// sees every message of the window before the window does, and may mark it
// handled so that the window does not process it. A hook runs the window's
// own processing at any point with CallDefaultProc. Windows whose control
// style holds csOverrideStylePaint get no hook: they paint the style
// themselves. Changing the style frees every hook and tells every window
// CM_STYLECHANGED.

#include "framework/Controls.h"

#include <functional>
#include <memory>
#include <typeindex>
#include <vector>

enum TThemedElement { teScrollBar, teGrid };

enum TThemedScrollBar {
    tsArrowBtnUpNormal, tsArrowBtnUpHot, tsArrowBtnUpPressed, tsArrowBtnUpDisabled,
    tsArrowBtnDownNormal, tsArrowBtnDownHot, tsArrowBtnDownPressed, tsArrowBtnDownDisabled,
    tsArrowBtnLeftNormal, tsArrowBtnLeftHot, tsArrowBtnLeftPressed, tsArrowBtnLeftDisabled,
    tsArrowBtnRightNormal, tsArrowBtnRightHot, tsArrowBtnRightPressed, tsArrowBtnRightDisabled,
    tsThumbBtnHorzNormal, tsThumbBtnHorzHot, tsThumbBtnHorzPressed, tsThumbBtnHorzDisabled,
    tsThumbBtnVertNormal, tsThumbBtnVertHot, tsThumbBtnVertPressed, tsThumbBtnVertDisabled,
    tsUpperTrackHorzNormal, tsUpperTrackHorzHot, tsUpperTrackHorzPressed, tsUpperTrackHorzDisabled,
    tsUpperTrackVertNormal, tsUpperTrackVertHot, tsUpperTrackVertPressed, tsUpperTrackVertDisabled
};

enum TThemedGrid { tgCellNormal, tgCellSelected, tgFixedCellNormal };

// An element in its state: the theme part and state numbers of Themes.h.
struct TThemedElementDetails {
    TThemedElement Element = teScrollBar;
    int Part = 0;
    int State = 0;
    bool operator==(const TThemedElementDetails&) const = default;
};

enum TElementColor { ecBorderColor, ecFillColor, ecTextColor };

class TCustomStyleServices {
public:
    virtual ~TCustomStyleServices() = default;
    virtual String Name() const = 0;
    virtual bool IsSystemStyle() const { return false; }
    // A style can be switched off without leaving the manager.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    // Whether the style can draw at all now.
    virtual bool Available() const { return true; }

    static TThemedElementDetails GetElementDetails(TThemedScrollBar Detail);
    static TThemedElementDetails GetElementDetails(TThemedGrid Detail);
    // Draws the element into R; false when the style has no drawing for it.
    virtual bool DrawElement(TCanvas& Canvas, const TThemedElementDetails& Details, const TRect& R) = 0;
    // The colour the style gives the element; false (Color clNone) when it defines none.
    virtual bool GetElementColor(const TThemedElementDetails& Details, TElementColor Kind, TColor& Color) const = 0;

private:
    bool FEnabled = true;
};

// A style made of a handful of colours.
struct TStyleColors {
    TColor Track = clNone;          // the bars' tracks
    TColor Face = clNone;           // arrow buttons and thumbs
    TColor FaceHot = clNone;
    TColor FacePressed = clNone;
    TColor FaceBorder = clNone;
    TColor Glyph = clNone;          // the arrows
    TColor GlyphDisabled = clNone;
    TColor Cell = clNone;           // grid cells: fill, lines, text
    TColor CellLine = clNone;
    TColor CellText = clNone;
    TColor SelectedText = clNone;
    TColor FixedLine = clNone;
    TColor FixedText = clNone;      // clNone: the style leaves these texts alone
};

class TColorStyle : public TCustomStyleServices {
public:
    TColorStyle(String AName, const TStyleColors& AColors) : FName(std::move(AName)), FColors(AColors) {}
    String Name() const override { return FName; }
    const TStyleColors& Colors() const { return FColors; }
    bool DrawElement(TCanvas& Canvas, const TThemedElementDetails& Details, const TRect& R) override;
    bool GetElementColor(const TThemedElementDetails& Details, TElementColor Kind, TColor& Color) const override;

private:
    String FName;
    TStyleColors FColors;
};

// The style in use (the system style when no other is set).
TCustomStyleServices& StyleServices();

class TStyleManager {
public:
    // The manager owns the style; a name already known is refused (false).
    static bool RegisterStyle(std::unique_ptr<TCustomStyleServices> Style);
    // Makes the named style (case ignored) the active one; false for an unknown name.
    static bool TrySetStyle(const String& Name);
    static TCustomStyleServices& ActiveStyle() { return StyleServices(); }
    static TCustomStyleServices& SystemStyle();
    // A style other than the system's is active and enabled.
    static bool IsCustomStyleActive();
    static std::vector<String> StyleNames();
};

// ---------------------------------------------------------------------------
// Style hooks
// ---------------------------------------------------------------------------
class TStyleHook {
public:
    explicit TStyleHook(TWinControl* AControl) : FControl(AControl) {}
    virtual ~TStyleHook() = default;
    TStyleHook(const TStyleHook&) = delete;
    TStyleHook& operator=(const TStyleHook&) = delete;
    TWinControl* Control() const { return FControl; }
    // The engine's entry: true when the hook handled the message.
    bool HandleMessage(TMessage& Message);

protected:
    // Sees the message; sets Handled to keep it from the control.
    virtual void WndProc(TMessage& Message) { (void)Message; }
    // The control's own processing of the message, now.
    void CallDefaultProc(TMessage& Message);
    bool Handled = false;

private:
    TWinControl* FControl;
};

// Follows the mouse over the control (its client and non-client parts).
class TMouseTrackControlStyleHook : public TStyleHook {
public:
    using TStyleHook::TStyleHook;
    bool MouseInControl() const { return FMouseInControl; }

protected:
    // WM_MOUSEMOVE and WM_NCMOUSEMOVE enter, CM_MOUSELEAVE leaves; never handled.
    void WndProc(TMessage& Message) override;
    virtual void MouseEnteredControl() {}
    virtual void MouseLeftControl() {}

private:
    bool FMouseInControl = false;
};

class TCustomStyleEngine {
public:
    using THookFactory = std::function<std::unique_ptr<TStyleHook>(TWinControl*)>;
    template <class TControlClass, class THook>
    static void RegisterStyleHook() {
        Register(typeid(TControlClass), typeid(THook),
                 [](const TControl* c) { return dynamic_cast<const TControlClass*>(c) != nullptr; },
                 [](TWinControl* c) { return std::make_unique<THook>(c); });
    }
    template <class TControlClass, class THook>
    static void UnRegisterStyleHook() {
        UnRegister(typeid(TControlClass), typeid(THook));
    }
    // The hook the engine made for the control, nil when none.
    static TStyleHook* HookOf(const TControl* Control);

private:
    static void Register(std::type_index ControlClass, std::type_index HookClass,
                         std::function<bool(const TControl*)> Matches, THookFactory Make);
    static void UnRegister(std::type_index ControlClass, std::type_index HookClass);
};
