#include "framework/Styles.h"

#include "framework/Controls_p.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"

#include <algorithm>
#include <map>

namespace {

// Grid parts and states of the style's own numbering.
constexpr int GP_CELL = 1, GP_FIXEDCELL = 2;
constexpr int GS_NORMAL = 1, GS_SELECTED = 3;

// The system's look: scroll-bar parts through the visual-styles service,
// no colours of its own.
class TSystemStyle : public TCustomStyleServices {
public:
    String Name() const override { return u"Windows"; }
    bool IsSystemStyle() const override { return true; }
    bool DrawElement(TCanvas& Canvas, const TThemedElementDetails& Details, const TRect& R) override {
        if (Details.Element != teScrollBar) return false;
        const HTHEME theme = OpenThemeData(nullptr, u"scrollbar");
        if (!theme) return false;
        const bool drawn = DrawThemeBackground(theme, Canvas, Details.Part, Details.State, R) == S_OK;
        CloseThemeData(theme);
        return drawn;
    }
    bool GetElementColor(const TThemedElementDetails&, TElementColor, TColor& Color) const override {
        Color = clNone;
        return false;
    }
};

struct TStyleList {
    std::vector<std::unique_ptr<TCustomStyleServices>> Styles;
    TCustomStyleServices* Active = nullptr;
    TStyleList() {
        Styles.push_back(std::make_unique<TSystemStyle>());
        Active = Styles.front().get();
    }
};

TStyleList& StyleList() {
    static TStyleList list;
    return list;
}

struct TRegistration {
    std::type_index ControlClass, HookClass;
    std::function<bool(const TControl*)> Matches;
    TCustomStyleEngine::THookFactory Make;
};

std::vector<TRegistration>& Registrations() {
    static std::vector<TRegistration> list;
    return list;
}

// The hooks made; a null entry marks a hook being made (its control's
// messages meanwhile go straight to the control).
std::map<const TControl*, std::shared_ptr<TStyleHook>>& Hooks() {
    static std::map<const TControl*, std::shared_ptr<TStyleHook>> map;
    return map;
}

// Frees the hooks the predicate picks; a hook's own windows may go with it,
// so each is taken out of the map before it dies.
template <class Pred>
void FreeHooks(Pred pick) {
    for (;;) {
        auto& map = Hooks();
        auto it = std::find_if(map.begin(), map.end(), [&](const auto& e) { return e.second && pick(*e.second); });
        if (it == map.end()) return;
        std::shared_ptr<TStyleHook> gone = std::move(it->second);
        map.erase(it);
    }
}

const TRegistration* RegistrationFor(const TControl* Control) {
    // The control's own class first, then a class it descends from.
    for (const TRegistration& r : Registrations())
        if (r.ControlClass == std::type_index(typeid(*Control))) return &r;
    for (const TRegistration& r : Registrations())
        if (r.Matches(Control)) return &r;
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedScrollBar Detail) {
    const int d = int(Detail);
    if (Detail <= tsArrowBtnRightDisabled) return {teScrollBar, SBP_ARROWBTN, ABS_UPNORMAL + d};
    const int state = SCRBS_NORMAL + (d - int(tsThumbBtnHorzNormal)) % 4;
    static constexpr int Parts[] = {SBP_THUMBBTNHORZ, SBP_THUMBBTNVERT, SBP_UPPERTRACKHORZ, SBP_UPPERTRACKVERT};
    return {teScrollBar, Parts[(d - int(tsThumbBtnHorzNormal)) / 4], state};
}

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedGrid Detail) {
    switch (Detail) {
    case tgCellSelected: return {teGrid, GP_CELL, GS_SELECTED};
    case tgFixedCellNormal: return {teGrid, GP_FIXEDCELL, GS_NORMAL};
    default: return {teGrid, GP_CELL, GS_NORMAL};
    }
}

bool TColorStyle::DrawElement(TCanvas& Canvas, const TThemedElementDetails& Details, const TRect& R) {
    if (IsRectEmpty(R)) return true;
    TColor fill = clNone;
    if (Details.Element == teGrid) {
        GetElementColor(Details, ecFillColor, fill);
        if (fill == clNone) return false;
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(fill);
        Canvas.FillRect(R);
        return true;
    }
    const int part = Details.Part;
    Canvas.Brush().SetStyle(bsSolid);
    if (part == SBP_UPPERTRACKHORZ || part == SBP_UPPERTRACKVERT || part == SBP_LOWERTRACKHORZ ||
        part == SBP_LOWERTRACKVERT) {
        Canvas.Brush().SetColor(FColors.Track);
        Canvas.FillRect(R);
        return true;
    }
    // Thumbs and arrow buttons: a face in the state's colour, framed.
    const int look = part == SBP_ARROWBTN ? (Details.State - 1) % 4 + 1 : Details.State;
    fill = look == SCRBS_HOT ? FColors.FaceHot : look == SCRBS_PRESSED ? FColors.FacePressed : FColors.Face;
    Canvas.Brush().SetColor(fill);
    Canvas.FillRect(R);
    Canvas.Brush().SetColor(FColors.FaceBorder);
    Canvas.FrameRect(R);
    if (part != SBP_ARROWBTN) return true;
    // The arrow: a small triangle pointing up, down, left or right.
    const int direction = (Details.State - 1) / 4;
    const TColor ink = look == SCRBS_DISABLED ? FColors.GlyphDisabled : FColors.Glyph;
    const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
    const int k = std::max(2, std::min(R.Width(), R.Height()) / 4);
    std::vector<TPoint> tri;
    switch (direction) {
    case 0: tri = {{cx - k, cy + k / 2}, {cx + k, cy + k / 2}, {cx, cy - k / 2}}; break;
    case 1: tri = {{cx - k, cy - k / 2}, {cx + k, cy - k / 2}, {cx, cy + k / 2}}; break;
    case 2: tri = {{cx + k / 2, cy - k}, {cx + k / 2, cy + k}, {cx - k / 2, cy}}; break;
    default: tri = {{cx - k / 2, cy - k}, {cx - k / 2, cy + k}, {cx + k / 2, cy}}; break;
    }
    Canvas.Pen().SetColor(ink);
    Canvas.Brush().SetColor(ink);
    Canvas.Polygon(tri);
    return true;
}

bool TColorStyle::GetElementColor(const TThemedElementDetails& Details, TElementColor Kind, TColor& Color) const {
    Color = clNone;
    if (Details.Element == teGrid) {
        const bool fixed = Details.Part == GP_FIXEDCELL, selected = Details.State == GS_SELECTED;
        switch (Kind) {
        case ecFillColor: Color = fixed ? FColors.Face : FColors.Cell; break;
        case ecBorderColor: Color = fixed ? FColors.FixedLine : FColors.CellLine; break;
        case ecTextColor: Color = fixed ? FColors.FixedText : selected ? FColors.SelectedText : FColors.CellText; break;
        }
    } else if (Kind == ecFillColor) {
        Color = Details.Part == SBP_ARROWBTN || Details.Part == SBP_THUMBBTNHORZ || Details.Part == SBP_THUMBBTNVERT
                    ? FColors.Face
                    : FColors.Track;
    } else if (Kind == ecBorderColor) {
        Color = FColors.FaceBorder;
    } else {
        Color = FColors.Glyph;
    }
    return Color != clNone;
}

TCustomStyleServices& StyleServices() { return *StyleList().Active; }

bool TStyleManager::RegisterStyle(std::unique_ptr<TCustomStyleServices> Style) {
    if (!Style) return false;
    for (const auto& s : StyleList().Styles)
        if (SameText(s->Name(), Style->Name())) return false;
    StyleList().Styles.push_back(std::move(Style));
    return true;
}

bool TStyleManager::TrySetStyle(const String& Name) {
    TStyleList& list = StyleList();
    auto it = std::find_if(list.Styles.begin(), list.Styles.end(),
                           [&](const auto& s) { return SameText(s->Name(), Name); });
    if (it == list.Styles.end()) return false;
    if (it->get() == list.Active) return true;
    list.Active = it->get();
    // Hooks belong to the style that was active; the next message makes them anew.
    FreeHooks([](const TStyleHook&) { return true; });
    NotifyAllWindows(CM_STYLECHANGED);
    return true;
}

TCustomStyleServices& TStyleManager::SystemStyle() { return *StyleList().Styles.front(); }

bool TStyleManager::IsCustomStyleActive() {
    const TCustomStyleServices& s = StyleServices();
    return !s.IsSystemStyle() && s.Enabled();
}

std::vector<String> TStyleManager::StyleNames() {
    std::vector<String> names;
    for (const auto& s : StyleList().Styles) names.push_back(s->Name());
    return names;
}

// ---------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------
bool TStyleHook::HandleMessage(TMessage& Message) {
    // A message sent while another is handled has its own answer.
    const bool outer = Handled;
    Handled = false;
    WndProc(Message);
    const bool handled = Handled;
    Handled = outer;
    return handled;
}

void TStyleHook::CallDefaultProc(TMessage& Message) { DeliverToControl(FControl, Message); }

void TMouseTrackControlStyleHook::WndProc(TMessage& Message) {
    if (Message.Msg == WM_MOUSEMOVE || Message.Msg == WM_NCMOUSEMOVE) {
        if (!FMouseInControl) {
            FMouseInControl = true;
            MouseEnteredControl();
        }
    } else if (Message.Msg == CM_MOUSELEAVE && FMouseInControl) {
        FMouseInControl = false;
        MouseLeftControl();
    }
}

void TCustomStyleEngine::Register(std::type_index ControlClass, std::type_index HookClass,
                                  std::function<bool(const TControl*)> Matches, THookFactory Make) {
    UnRegister(ControlClass, HookClass);
    Registrations().push_back({ControlClass, HookClass, std::move(Matches), std::move(Make)});
}

void TCustomStyleEngine::UnRegister(std::type_index ControlClass, std::type_index HookClass) {
    auto& regs = Registrations();
    regs.erase(std::remove_if(regs.begin(), regs.end(),
                              [&](const TRegistration& r) {
                                  return r.ControlClass == ControlClass && r.HookClass == HookClass;
                              }),
               regs.end());
    FreeHooks([&](const TStyleHook& h) { return std::type_index(typeid(h)) == HookClass; });
}

TStyleHook* TCustomStyleEngine::HookOf(const TControl* Control) {
    auto it = Hooks().find(Control);
    return it == Hooks().end() ? nullptr : it->second.get();
}

bool RouteToStyleHook(TControl* Control, TMessage& Message) {
    if (Registrations().empty() || !TStyleManager::IsCustomStyleActive()) return false;
    const bool going = Control->ComponentState().Contains(csDestroying);
    auto& map = Hooks();
    auto it = map.find(Control);
    std::shared_ptr<TStyleHook> hook;
    if (it != map.end()) {
        hook = it->second;
        if (hook && going) {
            // A control on its way out is processed without its hook.
            map.erase(it);
            return false;
        }
    } else {
        auto* win = dynamic_cast<TWinControl*>(Control);
        if (!win || going || Control->ControlStyle().Contains(csOverrideStylePaint)) return false;
        const TRegistration* reg = RegistrationFor(Control);
        if (!reg) return false;
        map[Control] = nullptr;
        try {
            hook = std::shared_ptr<TStyleHook>(reg->Make(win));
        } catch (...) {
            Hooks().erase(Control);
            throw;
        }
        Hooks()[Control] = hook;
    }
    return hook && hook->HandleMessage(Message);
}

void StyleHookControlGone(TControl* Control) {
    auto& map = Hooks();
    auto it = map.find(Control);
    if (it == map.end()) return;
    std::shared_ptr<TStyleHook> gone = std::move(it->second);
    map.erase(it);
}
