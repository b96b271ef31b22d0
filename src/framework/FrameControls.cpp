// Classic 3-D edges and frame controls, drawn in the system colours.

#include "CanvasMapping_p.h"
#include "Graphics_p.h"

#include <algorithm>

namespace {

void Fill(TCanvas& c, const TRect& r, TColor col) {
    if (IsRectEmpty(r))
        return;
    TCanvasImpl& d = CanvasAccess::Of(c);
    if (!d.Begin())
        return;
    QRgb q = ToQRgb(col);
    d.FillDevice(d.DevRect(r), pmCopy, &q);
    d.End();
}
// One-pixel lines in a colour, right/bottom exclusive, leaving pen and brush alone.
void HLine(TCanvas& c, int x0, int x1, int y, TColor col) { Fill(c, Rect(x0, y, x1, y + 1), col); }
void VLine(TCanvas& c, int x, int y0, int y1, TColor col) { Fill(c, Rect(x, y0, x + 1, y1), col); }

struct EdgeColors {
    TColor outerLT, outerRB, innerLT, innerRB;
};

EdgeColors ColorsOf(unsigned edge, unsigned flags) {
    EdgeColors e{clNone, clNone, clNone, clNone};
    const bool soft = flags & BF_SOFT;
    if (edge & BDR_RAISEDOUTER) {
        e.outerLT = soft ? clBtnHighlight : cl3DLight;
        e.outerRB = cl3DDkShadow;
    } else if (edge & BDR_SUNKENOUTER) {
        e.outerLT = soft ? cl3DDkShadow : clBtnShadow;
        e.outerRB = clBtnHighlight;
    }
    if (edge & BDR_RAISEDINNER) {
        e.innerLT = soft ? cl3DLight : clBtnHighlight;
        e.innerRB = clBtnShadow;
    } else if (edge & BDR_SUNKENINNER) {
        e.innerLT = soft ? clBtnShadow : cl3DDkShadow;
        e.innerRB = cl3DLight;
    }
    if (flags & BF_MONO) {
        // One ring in the frame colour.
        e.outerLT = e.outerRB = clWindowFrame;
        e.innerLT = e.innerRB = clNone;
    } else if (flags & BF_FLAT) {
        if (e.outerLT != clNone)
            e.outerLT = e.outerRB = clBtnShadow;
        if (e.innerLT != clNone)
            e.innerLT = e.innerRB = clBtnFace;
    }
    return e;
}

void Ring(TCanvas& c, TRect& r, TColor lt, TColor rb, unsigned flags) {
    if (lt == clNone || IsRectEmpty(r))
        return;
    // Top and left first; bottom and right over them, so the two far corners are dark.
    if (flags & BF_TOP)
        HLine(c, r.Left, r.Right, r.Top, lt);
    if (flags & BF_LEFT)
        VLine(c, r.Left, r.Top, r.Bottom, lt);
    if (flags & BF_BOTTOM)
        HLine(c, r.Left, r.Right, r.Bottom - 1, rb);
    if (flags & BF_RIGHT)
        VLine(c, r.Right - 1, r.Top, r.Bottom, rb);
    if (flags & BF_LEFT)
        ++r.Left;
    if (flags & BF_TOP)
        ++r.Top;
    if (flags & BF_RIGHT)
        --r.Right;
    if (flags & BF_BOTTOM)
        --r.Bottom;
}

// A filled triangle glyph pointing in a direction, centred in r.
enum class Dir { Up, Down, Left, Right };
void Arrow(TCanvas& c, const TRect& r, Dir dir, TColor col) {
    const int s = std::min(r.Width(), r.Height());
    const int h = std::max(2, (s + 1) / 3);  // rows of the triangle
    const int cx = r.Left + (r.Width() - 1) / 2 + ((dir == Dir::Up || dir == Dir::Down) ? 0 : 0);
    const int cy = r.Top + (r.Height() - 1) / 2;
    for (int i = 0; i < h; ++i) {
        const int half = (dir == Dir::Down || dir == Dir::Right) ? h - 1 - i : i;
        const int pos = i - h / 2;
        if (dir == Dir::Up || dir == Dir::Down)
            HLine(c, cx - half, cx + half + 1, cy + pos, col);
        else
            VLine(c, cx + pos, cy - half, cy + half + 1, col);
    }
}

// The 12 x 12 radio button, row by row: 'o' outer dark (shadow), 'O' outer
// light (highlight), 'i' inner dark (3-D dark shadow), 'I' inner light
// (3-D light), 'w' the window-coloured inside, 'd' the dot.
const char* const RadioPicture[12] = {
    "....oooo....",
    "..ooiiiioo..",
    ".oiiwwwwIIO.",
    ".oiwwwwwwIO.",
    "oiwwwddwwwIO",
    "oiwwddddwwIO",
    "oiwwddddwwIO",
    "oiwwwddwwwIO",
    ".oIwwwwwwIO.",
    ".OIIwwwwIIO.",
    "..OOIIIIOO..",
    "....OOOO....",
};

// The check mark of a 13 x 13 check box, on its 9 x 9 inside (7 x 7 mark).
const char* const CheckMark[7] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

bool DrawPushFrame(TCanvas& c, TRect& r, unsigned state) {
    unsigned flags = BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST;
    if (state & DFCS_FLAT)
        flags |= BF_FLAT;
    if (state & DFCS_MONO)
        flags |= BF_MONO;
    unsigned edge = (state & (DFCS_PUSHED | DFCS_CHECKED)) ? ((state & DFCS_MONO) ? BDR_SUNKEN : EDGE_SUNKEN)
                                                          : EDGE_RAISED;
    TRect inner = r;
    c.DrawEdge(inner, edge, flags);
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED)) {
        // A checked, not pushed button shows a dither of highlight and face.
        for (int y = inner.Top; y < inner.Bottom; ++y)
            for (int x = inner.Left; x < inner.Right; ++x)
                if (((x + y) & 1) == 0)
                    c.SetPixels(x, y, clBtnHighlight);
    }
    if (state & DFCS_ADJUSTRECT)
        r = inner;
    return true;
}

}  // namespace

bool TCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
    if (IsMapped(*this)) {
        TRect d = MapRect(*this, r);
        {
            TDeviceScope s(*this);
            DrawEdge(d, edge, flags);
        }
        if (flags & BF_ADJUST) r = UnmapRect(*this, d);
        return true;
    }
    EdgeColors e = ColorsOf(edge, flags);
    TRect work = r;
    Ring(*this, work, e.outerLT, e.outerRB, flags);
    Ring(*this, work, e.innerLT, e.innerRB, flags);
    if (flags & BF_MIDDLE)
        Fill(*this, work, (flags & BF_MONO) ? clWindow : clBtnFace);
    if (flags & BF_ADJUST)
        r = work;
    return true;
}

bool TCanvas::DrawFrameControl(TRect& r, unsigned kind, unsigned state) {
    if (IsMapped(*this)) {
        TRect d = MapRect(*this, r);
        bool ok;
        {
            TDeviceScope s(*this);
            ok = DrawFrameControl(d, kind, state);
        }
        if (state & DFCS_ADJUSTRECT) r = UnmapRect(*this, d);
        return ok;
    }
    if (kind == DFC_BUTTON) {
        const unsigned type = state & 0xFF;
        if (type & DFCS_BUTTONPUSH)
            return DrawPushFrame(*this, r, state);
        const int s = std::min({r.Width(), r.Height(), 13});
        if (s <= 0)
            return false;
        if (type & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
            // The radio picture, at the left, vertically centred.
            const int x0 = r.Left, y0 = r.Top + (r.Height() - 12) / 2;
            const bool inactive = state & DFCS_INACTIVE;
            const TColor inside = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? clBtnFace : clWindow;
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x) {
                    TColor col = clNone;
                    const bool flat = state & (DFCS_FLAT | DFCS_MONO);
                    switch (RadioPicture[y][x]) {
                    case 'o': col = flat ? clBtnShadow : clBtnShadow; break;
                    case 'O': col = flat ? clBtnShadow : clBtnHighlight; break;
                    case 'i': col = flat ? inside : cl3DDkShadow; break;
                    case 'I': col = flat ? inside : cl3DLight; break;
                    case 'w': col = inside; break;
                    case 'd': col = (state & DFCS_CHECKED) ? (inactive ? clGrayText : clWindowText) : inside; break;
                    default: break;
                    }
                    if (col != clNone)
                        SetPixels(x0 + x, y0 + y, col);
                }
            return true;
        }
        // Check box: a sunken 13 x 13 box (3-state: the mark in grey).
        TRect box = Bounds(r.Left, r.Top + (r.Height() - s) / 2, s, s);
        TRect inner = box;
        DrawEdge(inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST | ((state & (DFCS_FLAT | DFCS_MONO)) ? BF_FLAT : 0));
        const TColor inside = (state & (DFCS_PUSHED | DFCS_INACTIVE)) ? clBtnFace : clWindow;
        Fill(*this, inner, inside);
        if (state & DFCS_CHECKED) {
            const TColor ink = (state & DFCS_INACTIVE) || (type & DFCS_BUTTON3STATE) ? clGrayText : clWindowText;
            const int mx = inner.Left + (inner.Width() - 7) / 2, my = inner.Top + (inner.Height() - 7) / 2;
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 7; ++x)
                    if (CheckMark[y][x] == '#')
                        SetPixels(mx + x, my + y, ink);
        }
        return true;
    }
    if (kind == DFC_SCROLL) {
        const unsigned type = state & 0xFF;
        Dir dir;
        switch (type) {
        case DFCS_SCROLLUP: dir = Dir::Up; break;
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX: dir = Dir::Down; break;
        case DFCS_SCROLLLEFT: dir = Dir::Left; break;
        case DFCS_SCROLLRIGHT: dir = Dir::Right; break;
        default: return false;
        }
        TRect inner = r;
        unsigned flags = BF_RECT | BF_MIDDLE | BF_ADJUST;
        if (state & DFCS_FLAT)
            flags |= BF_FLAT;
        if (state & DFCS_MONO)
            flags |= BF_MONO;
        DrawEdge(inner, (state & DFCS_PUSHED) ? ((state & DFCS_FLAT) ? BDR_SUNKENOUTER : EDGE_SUNKEN) : EDGE_RAISED,
                 (state & DFCS_PUSHED) ? (flags | BF_FLAT) : flags);
        TRect glyph = inner;
        if (state & DFCS_PUSHED)
            OffsetRect(glyph, 1, 1);
        if (state & DFCS_INACTIVE) {
            TRect shadow = glyph;
            OffsetRect(shadow, 1, 1);
            Arrow(*this, shadow, dir, clBtnHighlight);
            Arrow(*this, glyph, dir, clBtnShadow);
        } else {
            Arrow(*this, glyph, dir, clBtnText);
        }
        if (state & DFCS_ADJUSTRECT)
            r = inner;
        return true;
    }
    if (kind == DFC_CAPTION) {
        TRect inner = r;
        DrawPushFrame(*this, inner, state & ~DFCS_ADJUSTRECT);
        // The close cross.
        const int s = std::min(inner.Width(), inner.Height()) - 4;
        const int x0 = inner.Left + (inner.Width() - s) / 2, y0 = inner.Top + (inner.Height() - s) / 2;
        const TColor ink = (state & DFCS_INACTIVE) ? clGrayText : clBtnText;
        for (int i = 0; i < s; ++i) {
            SetPixels(x0 + i, y0 + i, ink);
            SetPixels(x0 + s - 1 - i, y0 + i, ink);
        }
        return true;
    }
    return false;
}

bool DrawEdge(TCanvas& canvas, TRect& r, unsigned edge, unsigned flags) { return canvas.DrawEdge(r, edge, flags); }
bool DrawFrameControl(TCanvas& canvas, TRect& r, unsigned kind, unsigned state) {
    return canvas.DrawFrameControl(r, kind, state);
}
