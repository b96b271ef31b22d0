// The visual-styles service and its two renderers.

#include "Themes.h"

#include "Forms.h"
#include "Messages.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <set>

namespace {

std::atomic<TThemeRenderer> Renderer{trStyled};

enum ThemeClass {
    tcButton, tcComboBox, tcHeader, tcSpin, tcProgress, tcScrollBar, tcTreeView, tcTab, tcItemsView, tcToolTip, tcCount
};
struct ClassName {
    const char* name;
    ThemeClass cls;
    int parts;  // highest part number
};
constexpr ClassName Classes[] = {
    {"button", tcButton, 4},    {"combobox", tcComboBox, 1},   {"header", tcHeader, 4},
    {"spin", tcSpin, 4},        {"progress", tcProgress, 4},   {"scrollbar", tcScrollBar, 10},
    {"treeview", tcTreeView, 4}, {"tab", tcTab, 10},
    {"itemsview", tcItemsView, 3}, {"tooltip", tcToolTip, 7},
};

// The natural sizes of the parts that have one, per renderer.
struct PartSize {
    ThemeClass cls;
    int part;
    TSize classic, styled;
};
constexpr PartSize PartSizes[] = {
    {tcButton, BP_CHECKBOX, {13, 13}, {13, 13}},      {tcButton, BP_RADIOBUTTON, {13, 13}, {13, 13}},
    {tcComboBox, CP_DROPDOWNBUTTON, {17, 17}, {17, 20}}, {tcSpin, SPNP_UP, {15, 10}, {15, 10}},
    {tcSpin, SPNP_DOWN, {15, 10}, {15, 10}},           {tcSpin, SPNP_UPHORZ, {10, 15}, {10, 15}},
    {tcSpin, SPNP_DOWNHORZ, {10, 15}, {10, 15}},       {tcHeader, HP_HEADERSORTARROW, {9, 5}, {9, 5}},
    {tcScrollBar, SBP_ARROWBTN, {17, 17}, {17, 17}},   {tcScrollBar, SBP_SIZEBOX, {17, 17}, {17, 17}},
    {tcTreeView, TVP_GLYPH, {9, 9}, {16, 16}},         {tcTreeView, TVP_HOTGLYPH, {9, 9}, {16, 16}},
    {tcToolTip, TTP_CLOSE, {10, 10}, {10, 10}},
};

// What a handle stands for: the class, and whether it is the file
// explorer's variant ("Explorer::TreeView", or a window given the
// "explorer" theme).
struct ThemeOf {
    ThemeClass cls;
    bool explorer;
};
std::mutex HandlesLock;
std::map<HTHEME, ThemeOf> Handles;
std::map<const TObject*, String> WindowThemes;  // SetWindowTheme
HTHEME NextHandle = 0x100;

bool SameText(const String& a, const char* b) {
    size_t n = std::char_traits<char>::length(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i) {
        Char x = a[i], y = static_cast<Char>(b[i]);
        if (x >= u'A' && x <= u'Z')
            x = static_cast<Char>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z')
            y = static_cast<Char>(y - u'A' + u'a');
        if (x != y)
            return false;
    }
    return true;
}

String Trim(const String& s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == u' ')
        ++a;
    while (b > a && s[b - 1] == u' ')
        --b;
    return s.substr(a, b - a);
}

bool ClassOf(HTHEME h, ThemeClass& out, bool* explorer = nullptr) {
    std::lock_guard<std::mutex> g(HandlesLock);
    auto it = Handles.find(h);
    if (it == Handles.end())
        return false;
    out = it->second.cls;
    if (explorer)
        *explorer = it->second.explorer;
    return true;
}

// ---------------------------------------------------------------------------
// Drawing helpers (the caller saves and restores the canvas state).

void Box(TCanvas& c, const TRect& r, TColor face, TColor border) {
    c.Pen().SetStyle(border == clNone ? psClear : psSolid);
    c.Pen().SetColor(border == clNone ? clBlack : border);
    c.Pen().SetWidth(1);
    c.Brush().SetStyle(face == clNone ? bsClear : bsSolid);
    if (face != clNone)
        c.Brush().SetColor(face);
    if (border == clNone) {
        if (face != clNone)
            c.FillRect(r);
        return;
    }
    c.Rectangle(r);
}

void Fill(TCanvas& c, const TRect& r, TColor color) {
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(color);
    c.FillRect(r);
}

enum class Dir { Up, Down, Left, Right };
// A solid triangle of the given size (its longest side) centred in r.
void Triangle(TCanvas& c, const TRect& r, Dir dir, int size, TColor color) {
    const int half = size / 2;
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    for (int i = 0; i <= half; ++i) {
        // Row i from the point: i*2+1 pixels wide.
        const int len = 2 * i + 1;
        switch (dir) {
        case Dir::Down: Fill(c, Rect(cx - i, cy + half / 2 - i, cx - i + len, cy + half / 2 - i + 1), color); break;
        case Dir::Up: Fill(c, Rect(cx - i, cy - half / 2 + i, cx - i + len, cy - half / 2 + i + 1), color); break;
        case Dir::Right: Fill(c, Rect(cx + half / 2 - i, cy - i, cx + half / 2 - i + 1, cy - i + len), color); break;
        case Dir::Left: Fill(c, Rect(cx - half / 2 + i, cy - i, cx - half / 2 + i + 1, cy - i + len), color); break;
        }
    }
}

// The styled look of a state: 1 normal, 2 hot, 3 pressed, 4 disabled.
struct Look {
    TColor face, border, glyph;
};
Look StyledLook(int state) {
    switch (state) {
    case 2: return {RGB(229, 241, 251), RGB(0, 120, 215), RGB(0, 84, 153)};
    case 3: return {RGB(204, 228, 247), RGB(0, 84, 153), RGB(0, 0, 0)};
    case 4: return {RGB(244, 244, 244), RGB(191, 191, 191), RGB(160, 160, 160)};
    default: return {RGB(225, 225, 225), RGB(173, 173, 173), RGB(51, 51, 51)};
    }
}
int StateInGroup(int state, int groupSize) { return state <= 0 ? 1 : (state - 1) % groupSize + 1; }

// The check mark, 7 x 7 from its top-left.
void CheckMark(TCanvas& c, int x, int y, TColor color) {
    static const char* const mark[7] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i)
            if (mark[j][i] == '#')
                c.SetPixels(x + i, y + j, color);
}

// ---------------------------------------------------------------------------
// Classic renderer: frame controls and edges in the system colours.

void ClassicPart(TCanvas& c, ThemeClass cls, int part, int state, TRect r) {
    const bool disabled = state == 4;
    switch (cls) {
    case tcButton:
        if (part == BP_PUSHBUTTON) {
            unsigned s = DFCS_BUTTONPUSH;
            if (state == PBS_PRESSED)
                s |= DFCS_PUSHED;
            if (state == PBS_HOT)
                s |= DFCS_HOT;
            if (disabled)
                s |= DFCS_INACTIVE;
            if (state == PBS_DEFAULTED) {
                Box(c, r, clNone, clWindowFrame);
                InflateRect(r, -1, -1);
            }
            c.DrawFrameControl(r, DFC_BUTTON, s);
        } else if (part == BP_RADIOBUTTON || part == BP_CHECKBOX) {
            const int group = StateInGroup(state, 4);
            const int kind = (state - 1) / 4;  // 0 unchecked, 1 checked, 2 mixed
            unsigned s = part == BP_RADIOBUTTON ? DFCS_BUTTONRADIO : (kind == 2 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
            if (kind >= 1)
                s |= DFCS_CHECKED;
            if (group == 3)
                s |= DFCS_PUSHED;
            if (group == 2)
                s |= DFCS_HOT;
            if (group == 4)
                s |= DFCS_INACTIVE;
            c.DrawFrameControl(r, DFC_BUTTON, s);
        } else if (part == BP_GROUPBOX) {
            c.DrawEdge(r, EDGE_ETCHED, BF_RECT);
        }
        break;
    case tcComboBox:
        c.DrawFrameControl(r, DFC_SCROLL,
                           DFCS_SCROLLCOMBOBOX | (state == CBXS_PRESSED ? DFCS_PUSHED | DFCS_FLAT : 0) |
                               (disabled ? DFCS_INACTIVE : 0));
        break;
    case tcHeader:
        if (part == HP_HEADERSORTARROW) {
            Triangle(c, r, state == HSAS_SORTEDUP ? Dir::Up : Dir::Down, 7, clBtnShadow);
        } else if (state == HIS_PRESSED) {
            c.DrawEdge(r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_FLAT);
        } else {
            c.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
        }
        break;
    case tcSpin: {
        const bool up = part == SPNP_UP || part == SPNP_UPHORZ;
        unsigned s = part == SPNP_UP ? DFCS_SCROLLUP
                     : part == SPNP_DOWN ? DFCS_SCROLLDOWN
                     : part == SPNP_UPHORZ ? DFCS_SCROLLRIGHT
                                           : DFCS_SCROLLLEFT;
        (void)up;
        if (state == UPS_PRESSED)
            s |= DFCS_PUSHED;
        if (disabled)
            s |= DFCS_INACTIVE;
        c.DrawFrameControl(r, DFC_SCROLL, s);
        break;
    }
    case tcProgress:
        if (part == PP_BAR || part == PP_BARVERT) {
            c.DrawEdge(r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
        } else {
            Fill(c, r, clHighlight);
        }
        break;
    case tcScrollBar:
        if (part == SBP_ARROWBTN) {
            const int dirIndex = (state - 1) / 4;
            const int group = StateInGroup(state, 4);
            static const unsigned dirs[4] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
            unsigned s = dirs[std::clamp(dirIndex, 0, 3)];
            if (group == 3)
                s |= DFCS_PUSHED | DFCS_FLAT;
            if (group == 4)
                s |= DFCS_INACTIVE;
            c.DrawFrameControl(r, DFC_SCROLL, s);
        } else if (part == SBP_THUMBBTNHORZ || part == SBP_THUMBBTNVERT) {
            c.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        } else if (part >= SBP_LOWERTRACKHORZ && part <= SBP_UPPERTRACKVERT) {
            // The classic dither of highlight and face; dark while pressed.
            Fill(c, r, state == SCRBS_PRESSED ? cl3DDkShadow : clBtnFace);
            if (state != SCRBS_PRESSED)
                for (int y = r.Top; y < r.Bottom; ++y)
                    for (int x = r.Left; x < r.Right; ++x)
                        if (((x + y) & 1) == 0)
                            c.SetPixels(x, y, clBtnHighlight);
        } else if (part == SBP_SIZEBOX) {
            Fill(c, r, clBtnFace);
            for (int k = 0; k < 3; ++k) {
                c.Pen().SetColor(clBtnHighlight);
                c.MoveTo(r.Right - 1, r.Bottom - 12 + 4 * k);
                c.LineTo(r.Right - 12 + 4 * k, r.Bottom - 1);
                c.Pen().SetColor(clBtnShadow);
                c.MoveTo(r.Right - 1, r.Bottom - 11 + 4 * k);
                c.LineTo(r.Right - 11 + 4 * k, r.Bottom - 1);
            }
        }
        break;
    case tcTreeView:
        if (part == TVP_GLYPH || part == TVP_HOTGLYPH) {
            // The classic plus or minus box, 9 x 9, centred.
            const int x = r.Left + (r.Width() - 9) / 2, y = r.Top + (r.Height() - 9) / 2;
            Box(c, Bounds(x, y, 9, 9), clWindow, clGray);
            Fill(c, Rect(x + 2, y + 4, x + 7, y + 5), clWindowText);
            if (state == GLPS_CLOSED)
                Fill(c, Rect(x + 4, y + 2, x + 5, y + 7), clWindowText);
        } else if (part == TVP_TREEITEM && state >= 2) {
            Fill(c, r, state == 2 ? clBtnFace : clHighlight);
        }
        break;
    case tcItemsView:
        if (part == LVP_FOCUS)
            c.DrawFocusRect(r);
        else if (part == LVP_LISTITEM && state >= LISS_HOT)
            Fill(c, r, state == LISS_HOT ? clBtnFace : state == LISS_SELECTEDNOTFOCUS ? clBtnFace : clHighlight);
        break;
    case tcToolTip:
        if (part == TTP_CLOSE) {
            c.DrawFrameControl(r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
        } else {
            Box(c, r, clInfoBk, clBlack);
        }
        break;
    case tcTab:
        if (part == TABP_PANE || part == TABP_BODY) {
            c.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
        } else {
            c.DrawEdge(r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_SOFT | BF_MIDDLE);
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------
// Styled renderer: flat faces with one-pixel borders.

void StyledPart(TCanvas& c, ThemeClass cls, int part, int state, TRect r, bool explorer) {
    switch (cls) {
    case tcButton:
        if (part == BP_PUSHBUTTON) {
            Look k = StyledLook(state == PBS_DEFAULTED ? 1 : state);
            Box(c, r, k.face, state == PBS_DEFAULTED ? RGB(0, 120, 215) : k.border);
            if (state == PBS_DEFAULTED) {
                TRect inner = r;
                InflateRect(inner, -1, -1);
                Box(c, inner, clNone, RGB(0, 120, 215));
            }
        } else if (part == BP_CHECKBOX || part == BP_RADIOBUTTON) {
            const int group = StateInGroup(state, 4);
            const int kind = (state - 1) / 4;
            Look k = StyledLook(group);
            const TColor face = group == 1 ? clWhite : k.face;
            const TColor border = group == 1 ? RGB(51, 51, 51) : k.border;
            const int s = 13;
            TRect b = Bounds(r.Left, r.Top + (r.Height() - s) / 2, s, s);
            if (part == BP_CHECKBOX) {
                Box(c, b, face, border);
                if (kind == 1)
                    CheckMark(c, b.Left + 3, b.Top + 3, k.glyph);
                else if (kind == 2)
                    Fill(c, Rect(b.Left + 3, b.Top + 3, b.Right - 3, b.Bottom - 3), k.glyph);
            } else {
                c.Pen().SetColor(border);
                c.Brush().SetColor(face);
                c.Ellipse(b);
                if (kind >= 1) {
                    c.Pen().SetColor(k.glyph);
                    c.Brush().SetColor(k.glyph);
                    c.Ellipse(b.Left + 4, b.Top + 4, b.Right - 4, b.Bottom - 4);
                }
            }
        } else if (part == BP_GROUPBOX) {
            Box(c, r, clNone, RGB(220, 220, 220));
        }
        break;
    case tcComboBox: {
        Look k = StyledLook(state);
        if (state == CBXS_NORMAL)
            Fill(c, r, clWindow);
        else
            Box(c, r, k.face, k.border);
        Triangle(c, r, Dir::Down, 7, k.glyph);
        break;
    }
    case tcHeader:
        if (part == HP_HEADERSORTARROW) {
            Triangle(c, r, state == HSAS_SORTEDUP ? Dir::Up : Dir::Down, 7, RGB(128, 128, 128));
        } else {
            Fill(c, r, state == HIS_PRESSED ? RGB(188, 220, 244) : state == HIS_HOT ? RGB(217, 235, 249) : clWhite);
            Fill(c, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), RGB(229, 229, 229));
            Fill(c, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), RGB(229, 229, 229));
        }
        break;
    case tcSpin: {
        Look k = StyledLook(state);
        Box(c, r, k.face, k.border);
        Dir d = part == SPNP_UP ? Dir::Up : part == SPNP_DOWN ? Dir::Down : part == SPNP_UPHORZ ? Dir::Right : Dir::Left;
        Triangle(c, r, d, 5, k.glyph);
        break;
    }
    case tcProgress:
        if (part == PP_BAR || part == PP_BARVERT)
            Box(c, r, RGB(230, 230, 230), RGB(188, 188, 188));
        else
            Fill(c, r, RGB(6, 176, 37));
        break;
    case tcScrollBar:
        if (part == SBP_ARROWBTN) {
            const int dirIndex = std::clamp((state - 1) / 4, 0, 3);
            const int group = StateInGroup(state, 4);
            Look k = StyledLook(group);
            Fill(c, r, group == 1 ? RGB(240, 240, 240) : group == 2 ? RGB(218, 218, 218) : group == 3 ? RGB(96, 96, 96)
                                                                                                      : RGB(240, 240, 240));
            static const Dir dirs[4] = {Dir::Up, Dir::Down, Dir::Left, Dir::Right};
            Triangle(c, r, dirs[dirIndex], 7, group == 3 ? clWhite : group == 4 ? k.glyph : RGB(96, 96, 96));
        } else if (part == SBP_THUMBBTNHORZ || part == SBP_THUMBBTNVERT) {
            TRect t = r;
            if (part == SBP_THUMBBTNVERT)
                InflateRect(t, -2, 0);
            else
                InflateRect(t, 0, -2);
            Fill(c, r, RGB(240, 240, 240));
            Fill(c, t, state == SCRBS_PRESSED ? RGB(96, 96, 96) : state == SCRBS_HOT ? RGB(166, 166, 166)
                                                                                       : RGB(205, 205, 205));
        } else if (part >= SBP_LOWERTRACKHORZ && part <= SBP_UPPERTRACKVERT) {
            Fill(c, r, state == SCRBS_PRESSED ? RGB(218, 218, 218) : RGB(240, 240, 240));
        } else if (part == SBP_SIZEBOX || part == SBP_GRIPPERHORZ || part == SBP_GRIPPERVERT) {
            Fill(c, r, RGB(240, 240, 240));
        }
        break;
    case tcTreeView:
        if ((part == TVP_GLYPH || part == TVP_HOTGLYPH) && explorer) {
            // The file explorer's triangles; the hot one lights up.
            const bool hot = part == TVP_HOTGLYPH;
            if (state == GLPS_OPENED)
                Triangle(c, r, Dir::Down, 7, hot ? RGB(28, 196, 247) : RGB(38, 38, 38));
            else
                Triangle(c, r, Dir::Right, 7, hot ? RGB(28, 196, 247) : RGB(166, 166, 166));
        } else if (part == TVP_GLYPH || part == TVP_HOTGLYPH) {
            // A flat plus or minus box, 9 x 9, centred.
            const TColor ink = part == TVP_HOTGLYPH ? RGB(0, 120, 215) : RGB(51, 51, 51);
            const int x = r.Left + (r.Width() - 9) / 2, y = r.Top + (r.Height() - 9) / 2;
            Box(c, Bounds(x, y, 9, 9), clWhite, part == TVP_HOTGLYPH ? ink : RGB(166, 166, 166));
            Fill(c, Rect(x + 2, y + 4, x + 7, y + 5), ink);
            if (state == GLPS_CLOSED)
                Fill(c, Rect(x + 4, y + 2, x + 5, y + 7), ink);
        } else if (part == TVP_TREEITEM && state >= 2) {
            if (explorer)
                Box(c, r, state == 2 ? RGB(229, 243, 255) : RGB(204, 232, 255), state == 2 ? clNone : RGB(153, 209, 255));
            else
                Fill(c, r, state == 2 ? RGB(229, 243, 255) : RGB(0, 120, 215));
        }
        break;
    case tcItemsView:
        if (part == LVP_FOCUS) {
            // A thin frame in the selection's border colour, nothing inside.
            Box(c, r, clNone, RGB(153, 209, 255));
        } else if (part == LVP_LISTITEM && state >= LISS_HOT) {
            static const TColor face[] = {RGB(229, 243, 255), RGB(204, 232, 255), clNone, RGB(217, 217, 217),
                                          RGB(204, 232, 255)};
            static const TColor border[] = {clNone, RGB(153, 209, 255), clNone, clNone, RGB(102, 167, 232)};
            const int i = std::min(state, LISS_HOTSELECTED) - LISS_HOT;
            if (face[i] != clNone)
                Box(c, r, face[i], border[i]);
        }
        break;
    case tcToolTip:
        if (part == TTP_CLOSE) {
            const int x = r.Left + (r.Width() - 7) / 2, y = r.Top + (r.Height() - 7) / 2;
            for (int i = 0; i < 7; ++i) {
                c.SetPixels(x + i, y + i, RGB(87, 87, 87));
                c.SetPixels(x + 6 - i, y + i, RGB(87, 87, 87));
            }
        } else {
            Box(c, r, RGB(255, 255, 255), RGB(118, 118, 118));
        }
        break;
    case tcTab:
        if (part == TABP_PANE || part == TABP_BODY) {
            Box(c, r, clWhite, RGB(217, 217, 217));
        } else {
            const TColor face = state == TIS_SELECTED || state == TIS_FOCUSED ? clWhite
                                : state == TIS_HOT                            ? RGB(216, 234, 249)
                                : state == TIS_DISABLED                       ? RGB(244, 244, 244)
                                                                              : RGB(240, 240, 240);
            Fill(c, r, face);
            const TColor border = RGB(217, 217, 217);
            Fill(c, Rect(r.Left, r.Top, r.Right, r.Top + 1), border);
            Fill(c, Rect(r.Left, r.Top, r.Left + 1, r.Bottom), border);
            Fill(c, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), border);
        }
        break;
    default: break;
    }
}

}  // namespace

namespace {

void SendToWindow(TWinControl* w, Cardinal msg) {
    w->Perform(msg, 0, 0);
    for (int i = 0; i < w->ControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(w->Controls(i)))
            SendToWindow(child, msg);
        else
            w->Controls(i)->Perform(msg, 0, 0);  // windowless controls draw on this window and hear it too
}

}  // namespace

void NotifyAllWindows(Cardinal Msg) {
    // A copy: a handler may open or close forms.
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < Screen->FormCount(); ++i)
        forms.push_back(Screen->Forms(i));
    for (TCustomForm* f : forms)
        SendToWindow(f, Msg);
}

void SetThemeRenderer(TThemeRenderer r) {
    if (Renderer.exchange(r) != r)
        NotifyAllWindows(WM_THEMECHANGED);
}
TThemeRenderer CurrentThemeRenderer() { return Renderer; }

void SystemFontChanged() { NotifyAllWindows(CM_SYSFONTCHANGED); }

namespace {

// Forgets the theme of a window that goes, so that a new window at the same
// address starts plain.
class TWindowThemeWatch : public TComponent {
public:
    TWindowThemeWatch() : TComponent(nullptr) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove) {
            std::lock_guard<std::mutex> g(HandlesLock);
            WindowThemes.erase(AComponent);
        }
        TComponent::Notification(AComponent, Operation);
    }
};

TWindowThemeWatch& WindowThemeWatch() {
    static auto* w = new TWindowThemeWatch;  // lives as long as the program
    return *w;
}

}  // namespace

HRESULT SetWindowTheme(TObject* Window, const String& SubAppName, const String&) {
    if (!Window)
        return E_HANDLE;
    {
        std::lock_guard<std::mutex> g(HandlesLock);
        if (SubAppName.empty())
            WindowThemes.erase(Window);
        else
            WindowThemes[Window] = SubAppName;
    }
    if (auto* c = dynamic_cast<TComponent*>(Window))
        c->FreeNotification(&WindowThemeWatch());
    if (auto* w = dynamic_cast<TControl*>(Window))
        w->Perform(WM_THEMECHANGED, 0, 0);
    return S_OK;
}

HTHEME OpenThemeData(const TObject* Window, const String& ClassList) {
    bool windowExplorer = false;
    {
        std::lock_guard<std::mutex> g(HandlesLock);
        auto it = WindowThemes.find(Window);
        windowExplorer = it != WindowThemes.end() && SameText(it->second, "explorer");
    }
    size_t start = 0;
    while (start <= ClassList.size()) {
        size_t end = ClassList.find(u';', start);
        if (end == String::npos)
            end = ClassList.size();
        String name = Trim(ClassList.substr(start, end - start));
        // "SubApp::Class": the sub-application's variant of the class.
        bool explorer = windowExplorer;
        if (const size_t sep = name.find(u"::"); sep != String::npos) {
            explorer = SameText(name.substr(0, sep), "explorer");
            name = name.substr(sep + 2);
        }
        for (const auto& c : Classes)
            if (SameText(name, c.name)) {
                std::lock_guard<std::mutex> g(HandlesLock);
                HTHEME h = NextHandle++;
                Handles[h] = {c.cls, explorer};
                return h;
            }
        start = end + 1;
    }
    return 0;
}

HRESULT GetThemePartSize(HTHEME Theme, TCanvas*, int PartId, int StateId, const TRect* Rect, THEMESIZE Kind,
                         TSize& Size) {
    ThemeClass cls;
    if (!ClassOf(Theme, cls))
        return E_HANDLE;
    if (!IsThemePartDefined(Theme, PartId, StateId))
        return E_INVALIDARG;
    for (const PartSize& p : PartSizes)
        if (p.cls == cls && p.part == PartId) {
            Size = Renderer == trStyled ? p.styled : p.classic;
            return S_OK;
        }
    // A background without a size of its own: what it is drawn into, or nothing.
    Size = Kind == TS_DRAW && Rect ? TSize{Rect->Width(), Rect->Height()} : TSize{0, 0};
    return S_OK;
}

HRESULT DrawThemeEdge(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Rect, unsigned Edge,
                      unsigned Flags, TRect* ContentRect) {
    ThemeClass cls;
    if (!ClassOf(Theme, cls))
        return E_HANDLE;
    TRect r = Rect;
    const int saved = Canvas.SaveDC();
    if (Renderer == trStyled) {
        // One flat line where the classic edge has two shaded ones.
        const TColor line = StateId == 4 ? RGB(191, 191, 191) : RGB(130, 135, 144);
        if (Flags & BF_LEFT)
            Fill(Canvas, TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, line);
        if (Flags & BF_TOP)
            Fill(Canvas, TRect{r.Left, r.Top, r.Right, r.Top + 1}, line);
        if (Flags & BF_RIGHT)
            Fill(Canvas, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, line);
        if (Flags & BF_BOTTOM)
            Fill(Canvas, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, line);
        r = {r.Left + ((Flags & BF_LEFT) ? 1 : 0), r.Top + ((Flags & BF_TOP) ? 1 : 0),
             r.Right - ((Flags & BF_RIGHT) ? 1 : 0), r.Bottom - ((Flags & BF_BOTTOM) ? 1 : 0)};
        if (Flags & BF_MIDDLE)
            Fill(Canvas, r, clWindow);
    } else {
        Canvas.DrawEdge(r, Edge, Flags | BF_ADJUST);
    }
    Canvas.RestoreDC(saved);
    if (ContentRect)
        *ContentRect = r;
    return S_OK;
}

HRESULT CloseThemeData(HTHEME Theme) {
    std::lock_guard<std::mutex> g(HandlesLock);
    return Handles.erase(Theme) ? S_OK : E_HANDLE;
}

bool IsThemePartDefined(HTHEME Theme, int PartId, int) {
    ThemeClass cls;
    if (!ClassOf(Theme, cls))
        return false;
    for (const auto& c : Classes)
        if (c.cls == cls)
            return PartId >= 1 && PartId <= c.parts;
    return false;
}

HRESULT DrawThemeBackground(HTHEME Theme, TCanvas& Canvas, int PartId, int StateId, const TRect& Rect,
                            const TRect* Clip) {
    ThemeClass cls;
    bool explorer = false;
    if (!ClassOf(Theme, cls, &explorer))
        return E_HANDLE;
    if (!IsThemePartDefined(Theme, PartId, StateId))
        return E_INVALIDARG;
    // The platform call leaves the caller's drawing state alone.
    const int saved = Canvas.SaveDC();
    if (Clip)
        Canvas.IntersectClipRect(Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
    if (Renderer == trStyled)
        StyledPart(Canvas, cls, PartId, StateId, Rect, explorer);
    else
        ClassicPart(Canvas, cls, PartId, StateId, Rect);
    Canvas.RestoreDC(saved);
    return S_OK;
}

HRESULT GetThemeBackgroundContentRect(HTHEME Theme, TCanvas&, int PartId, int, const TRect& Bounding,
                                      TRect& Content) {
    ThemeClass cls;
    if (!ClassOf(Theme, cls))
        return E_HANDLE;
    Content = Bounding;
    int inset = 0;
    if (cls == tcButton && PartId == BP_PUSHBUTTON)
        inset = Renderer == trStyled ? 1 : 2;
    else if (cls == tcHeader || cls == tcTab)
        inset = Renderer == trStyled ? 1 : 2;
    else if (cls == tcProgress && (PartId == PP_BAR || PartId == PP_BARVERT))
        inset = 1;
    InflateRect(Content, -inset, -inset);
    return S_OK;
}

bool IsThemeActive() { return Renderer == trStyled; }
bool IsAppThemed() { return Renderer == trStyled; }

HRESULT GetCurrentThemeName(String& FileName, String& ColorName, String& SizeName) {
    if (Renderer != trStyled) {
        FileName.clear();
        ColorName.clear();
        SizeName.clear();
        return E_HANDLE;
    }
    FileName = S("Styled.theme");
    ColorName = S("NormalColor");
    SizeName = S("NormalSize");
    return S_OK;
}

TOSVersion GetOSVersion() { return {6, 1, 7601}; }
int GetComCtlMajorVersion() { return 6; }

namespace {
struct Export {
    const char* module;
    const char* entry;
};
const char* const ThemeEntryPoints[] = {
    "OpenThemeData", "CloseThemeData", "DrawThemeBackground", "DrawThemeText", "GetThemeBackgroundContentRect",
    "GetThemeBackgroundExtent", "GetThemeTextExtent", "GetThemeTextMetrics", "GetThemeBackgroundRegion",
    "HitTestThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent", "GetThemeColor", "GetThemeMetric", "GetThemeString", "GetThemeBool",
    "GetThemeInt", "GetThemeEnumValue", "GetThemePosition", "GetThemeFont", "GetThemeRect", "GetThemeMargins",
    "GetThemeIntList", "SetWindowTheme", "GetThemeFilename", "GetThemeSysColor", "GetThemeSysColorBrush",
    "GetThemeSysBool", "GetThemeSysSize", "GetThemeSysFont", "GetThemeSysString", "GetThemeSysInt", "IsThemeActive",
    "IsAppThemed", "GetWindowTheme", "EnableThemeDialogTexture", "IsThemeDialogTextureEnabled",
    "GetThemeAppProperties", "SetThemeAppProperties", "GetCurrentThemeName", "GetThemeDocumentationProperty",
    "DrawThemeParentBackground", "EnableTheming"};
constexpr Export OtherExports[] = {
    {"user32.dll", "UpdateLayeredWindow"},
    {"user32.dll", "SetLayeredWindowAttributes"},
    {"kernel32.dll", "GetLocaleInfoEx"},
    {"comctl32.dll", "InitializeFlatSB"},
    {"comctl32.dll", "UninitializeFlatSB"},
    {"comctl32.dll", "FlatSB_SetScrollInfo"},
    {"comctl32.dll", "FlatSB_GetScrollInfo"},
    {"comctl32.dll", "FlatSB_SetScrollProp"},
    {"comctl32.dll", "FlatSB_GetScrollProp"},
    {"comctl32.dll", "FlatSB_ShowScrollBar"},
};
bool ModuleIs(const String& module, const char* name) {
    // "uxtheme" and "uxtheme.dll" name the same module.
    if (SameText(module, name))
        return true;
    String withExt = module + u".dll";
    return SameText(withExt, name);
}
}  // namespace

bool ModuleExports(const String& Module, const String& EntryPoint) {
    if (ModuleIs(Module, "uxtheme.dll")) {
        for (const char* e : ThemeEntryPoints)
            if (EntryPoint == S(e))
                return true;
        return false;
    }
    for (const auto& e : OtherExports)
        if (ModuleIs(Module, e.module) && EntryPoint == S(e.entry))
            return true;
    return false;
}
