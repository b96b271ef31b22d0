#include "grid/foundation/PartDrawing.h"

#include "grid/foundation/ExXPVS.h"

namespace {

const TColorTone& ToneOf(const TColorTones& Tones, TPartState State) {
    switch (State) {
        case stHot: return Tones.Hover;
        case stDown: return Tones.Selected;
        case stDisabled: return Tones.Disabled;
        default: return Tones.Background;
    }
}

// Draws one themed part; false when the binding cannot (then the classic look serves).
bool DrawThemed(TCanvas& Canvas, const TControl* Window, const char16_t* ClassName,
                std::initializer_list<std::pair<int, TRect>> Parts, int StateId) {
    if (!ThemeAPI.OpenThemeData || !ThemeAPI.DrawThemeBackground || !ThemeAPI.CloseThemeData) return false;
    const HTHEME theme = ThemeAPI.OpenThemeData(Window, ClassName);
    if (!theme) return false;
    for (const auto& [part, rect] : Parts) ThemeAPI.DrawThemeBackground(theme, Canvas, part, StateId, rect, nullptr);
    ThemeAPI.CloseThemeData(theme);
    return true;
}

void FrameControl(TCanvas& Canvas, TRect R, unsigned Kind, unsigned State) { Canvas.DrawFrameControl(R, Kind, State); }

void Triangle(TCanvas& Canvas, TColor Color, TPoint A, TPoint B, TPoint C) {
    Canvas.Brush().SetColor(Color);
    Canvas.Pen().SetColor(Color);
    Canvas.Polygon({A, B, C});
}

}  // namespace

void DrawComboButton(TCanvas& Canvas, const TControl* Window, TRect Rc, TPartLook Look, TPartState State,
                     TColorTones Tones) {
    TRect r = Rect(Rc.Right - 19, Rc.Top + 1, Rc.Right - 2, Rc.Bottom - 1);
    const bool disabled = State == stDisabled;
    if (Look == plToned) {
        r.Left += 3;
        const TColorTone& s = ToneOf(Tones, State);
        Canvas.Brush().SetColor(s.BrushColor);
        Canvas.Pen().SetColor(s.BrushColor);
        Canvas.Rectangle(r);
        Canvas.Pen().SetColor(Tones.Background.BorderColor);
        Canvas.MoveTo(r.Left + 1, r.Top);
        Canvas.LineTo(r.Left + 1, r.Bottom);
        Triangle(Canvas, Tones.Background.TextColor, Point(r.Left + 5, r.Top + 8), Point(r.Left + 11, r.Top + 8),
                 Point(r.Left + 8, r.Top + 11));
        return;
    }
    if (Look == plThemed && DrawThemed(Canvas, Window, u"combobox", {{CP_DROPDOWNBUTTON, r}},
                                       disabled ? CBXS_DISABLED : CBXS_NORMAL))
        return;
    unsigned state = DFCS_SCROLLCOMBOBOX | (disabled ? DFCS_INACTIVE : 0);
    if (Look == plFlat) state |= DFCS_FLAT;
    FrameControl(Canvas, r, DFC_SCROLL, state);
}

void DrawPushButton(TCanvas& Canvas, const TControl* Window, TRect R, TPartLook Look, TPartState State,
                    TColorTones Tones) {
    if (Look == plToned) {
        const TColorTone& s = ToneOf(Tones, State);
        Canvas.Brush().SetColor(s.BrushColor);
        Canvas.Pen().SetColor(s.BorderColor);
        Canvas.Rectangle(R);
        return;
    }
    static constexpr int themedStates[] = {PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED};
    const int themed = State >= stNormal && State <= stDisabled ? themedStates[State] : PBS_NORMAL;
    if (Look == plThemed && DrawThemed(Canvas, Window, u"button", {{BP_PUSHBUTTON, R}}, themed)) return;
    unsigned state = DFCS_BUTTONPUSH;
    if (State == stHot) state |= DFCS_HOT;
    if (State == stDown) state |= DFCS_PUSHED;
    if (State == stDisabled) state |= DFCS_INACTIVE;
    if (Look == plFlat) state |= DFCS_FLAT;
    FrameControl(Canvas, R, DFC_BUTTON, state);
}

void DrawSpinButtons(TCanvas& Canvas, const TControl* Window, TRect Rc, TPartLook Look, TPartState State,
                     TColorTones Tones) {
    const TRect r = Rect(Rc.Right - 16, Rc.Top - 1, Rc.Right - 1, Rc.Bottom - 1);
    const int mid = r.Top + (r.Bottom - r.Top) / 2;
    const bool disabled = State == stDisabled;
    if (Look == plToned) {
        const TColorTone& s = ToneOf(Tones, State);
        Canvas.Brush().SetColor(s.BrushColor);
        Canvas.Pen().SetColor(s.BrushColor);
        Canvas.Rectangle(r.Left, r.Top, r.Right, mid);
        Canvas.Rectangle(r.Left, mid + 1, r.Right, r.Bottom);
        // The arrows are black whatever the tones.
        Triangle(Canvas, clBlack, Point(r.Left + 5, r.Top + 5), Point(r.Left + 9, r.Top + 5), Point(r.Left + 7, r.Top + 3));
        const int t2 = mid + 1;
        Triangle(Canvas, clBlack, Point(r.Left + 5, t2 + 1), Point(r.Left + 9, t2 + 1), Point(r.Left + 7, t2 + 3));
        return;
    }
    if (Look == plThemed &&
        DrawThemed(Canvas, Window, u"spin",
                   {{SPNP_UP, Rect(r.Left, r.Top, r.Right, mid)}, {SPNP_DOWN, Rect(r.Left, mid, r.Right, r.Bottom)}},
                   disabled ? UPS_DISABLED : UPS_NORMAL))
        return;
    unsigned extra = disabled ? DFCS_INACTIVE : 0;
    if (Look == plFlat) extra |= DFCS_FLAT;
    FrameControl(Canvas, Rect(r.Left, r.Top, r.Right, mid), DFC_SCROLL, DFCS_SCROLLUP | extra);
    FrameControl(Canvas, Rect(r.Left, mid + 1, r.Right, r.Bottom), DFC_SCROLL, DFCS_SCROLLDOWN | extra);
}

void DrawSmallDownArrow(TCanvas& Canvas, int X, int Y, TColor Color) {
    Triangle(Canvas, Color, Point(X - 3, Y), Point(X + 3, Y), Point(X, Y + 3));
}

bool DynUpdateLayeredWindow(HWND Handle, const TPoint* DestPos, const TSize* Size, const TBitmap* Source,
                            const TPoint* SourcePos, TColor Key, const BLENDFUNCTION* Blend, Cardinal Flags) {
    if (!ModuleExports(u"USER32.DLL", u"UpdateLayeredWindow")) return true;
    return UpdateLayeredWindow(Handle, DestPos, Size, Source, SourcePos, Key, Blend, Flags);
}

bool DynSetLayeredWindowAttributes(HWND Handle, TColor Key, Byte Alpha, Cardinal Flags) {
    if (!ModuleExports(u"USER32.DLL", u"SetLayeredWindowAttributes")) return true;
    return SetLayeredWindowAttributes(Handle, Key, Alpha, Flags);
}
