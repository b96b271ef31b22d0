// Painting of the page control's tab area and the drawing routines it and
// its pages use.

#include "controls/ExPageControl.h"

#include <algorithm>
#include <cmath>

namespace {

int Round(double v) { return int(std::lrint(v)); }

void Line(TCanvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

// A polyline whose last point is not drawn.
void Poly(TCanvas& c, std::initializer_list<TPoint> pts) {
    auto it = pts.begin();
    c.MoveTo(it->X, it->Y);
    for (++it; it != pts.end(); ++it) c.LineTo(it->X, it->Y);
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing routines

void DrawTabGradient(TCanvas& Canvas, TColor FromColor, TColor ToColor, int Steps, const TRect& R, bool Horizontal) {
    if (Steps <= 0) Steps = 1;
    const TColor a = ColorToRGB(FromColor), z = ColorToRGB(ToColor);
    const double d = double(Horizontal ? R.Right - R.Left : R.Bottom - R.Top) / Steps;
    Canvas.Pen().SetStyle(psSolid);
    Canvas.Brush().SetStyle(bsSolid);
    for (int i = 0; i < Steps; ++i) {
        auto ch = [&](int from, int to) { return from + Round(double(i) * (to - from) / Steps); };
        const TColor c =
            RGB(ch(GetRValue(a), GetRValue(z)), ch(GetGValue(a), GetGValue(z)), ch(GetBValue(a), GetBValue(z)));
        Canvas.Pen().SetColor(c);
        Canvas.Brush().SetColor(c);
        const int start = Round(i * d);
        if (Horizontal)
            Canvas.Rectangle(R.Left + start, R.Top, R.Left + start + Round(d) + 1, R.Bottom);
        else
            Canvas.Rectangle(R.Left, R.Top + start, R.Right, R.Top + start + Round(d) + 1);
    }
}

void StretchTransparentBitmap(TCanvas& Dest, TBitmap& Bitmap, int X, int Y, int Width, int Height, int SourceX,
                              int SourceY, int SourceWidth, int SourceHeight, TColor TransparentColor) {
    if (Width <= 0 || Height <= 0 || SourceWidth <= 0 || SourceHeight <= 0) return;
    TBitmap part(SourceWidth, SourceHeight);
    part.Canvas().CopyRect(Rect(0, 0, SourceWidth, SourceHeight), Bitmap.Canvas(),
                           Rect(SourceX, SourceY, SourceX + SourceWidth, SourceY + SourceHeight));
    part.SetTransparentColor(TransparentColor);
    part.SetTransparent(true);
    Dest.StretchDraw(Rect(X, Y, X + Width, Y + Height), part);
}

void DrawTabTransparentBitmap(TCanvas& Dest, TBitmap& Bitmap, int X, int Y, int Width, int Height, int SourceX,
                              int SourceY, TColor TransparentColor) {
    StretchTransparentBitmap(Dest, Bitmap, X, Y, Width, Height, SourceX, SourceY, Width, Height, TransparentColor);
}

void DrawVerticalSlices(TBitmap& Bitmap, TCanvas& Canvas, int X, int Y, int Length) {
    if (Bitmap.Empty()) return;
    const int w = Bitmap.Width(), h = Bitmap.Height();
    const TColor key = Bitmap.Canvas().Pixels(0, h - 1);
    DrawTabTransparentBitmap(Canvas, Bitmap, X, Y, w, h / 2, 0, 0, key);
    StretchTransparentBitmap(Canvas, Bitmap, X, Y + h / 2, w, Length - h, 0, h / 2 - 1, w, 2, key);
    DrawTabTransparentBitmap(Canvas, Bitmap, X, Y + h / 2 + Length - h, w, h / 2, 0, h / 2, key);
}

void DrawHorizontalSlices(TBitmap& Bitmap, TCanvas& Canvas, int X, int Y, int Length) {
    if (Bitmap.Empty()) return;
    const int w = Bitmap.Width(), h = Bitmap.Height();
    const TColor key = Bitmap.Canvas().Pixels(0, h - 1);
    DrawTabTransparentBitmap(Canvas, Bitmap, X, Y, w / 2, h, 0, 0, key);
    StretchTransparentBitmap(Canvas, Bitmap, X + w / 2, Y, Length - w, h, w / 2 - 1, 0, 2, h, key);
    DrawTabTransparentBitmap(Canvas, Bitmap, X + w / 2 + Length - w, Y, w / 2, h, w / 2, 0, key);
}

// ---------------------------------------------------------------------------
// Close button

void TExPageControl::DrawCloseGlyph(TCanvas& Canvas, int X, int Y) {
    if (FCloseGlyph->Empty()) return;
    const int w = std::min(FCloseGlyph->Width(), 12), h = std::min(FCloseGlyph->Height(), 11);
    DrawTabTransparentBitmap(Canvas, *FCloseGlyph, X, Y, w, h, 0, 0,
                             FCloseGlyph->Canvas().Pixels(0, FCloseGlyph->Height() - 1));
}

void TExPageControl::DrawCloseBox(TCanvas& Canvas, const TRect& R, TCloseLook Look, bool Lowered) {
    const int lower = Lowered ? FLowerActive : 0;
    const int lm = FTabMargin->LeftMargin(), tm = FTabMargin->TopMargin();
    const bool glyph = !FCloseGlyph->Empty();
    TColor box = clWhite, outline = clGray, cross = clBlack;
    if (Look == CloseHot) {
        outline = clBlack;
        cross = clGray;
    } else if (Look == CloseDown) {
        box = clSilver;
        outline = clBlack;
    }
    auto drawBox = [&](int l, int t, int r, int b) {
        Canvas.Pen().SetStyle(psSolid);
        Canvas.Pen().SetColor(outline);
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(box);
        Canvas.Rectangle(l, t, r, b);
        Canvas.Pen().SetColor(cross);
    };
    if (TabPosition() == tpLeft) {
        const int a = R.Left + lm + lower;
        const int d = R.Bottom - tm + (FTabBackGroundActive->Empty() ? 0 : FTabOverlap);
        if (glyph) {
            DrawCloseGlyph(Canvas, a + 2, d - 13);
            return;
        }
        drawBox(a + 2, d - 13, a + 14, d - 2);
        Line(Canvas, a + 5, d - 10, a + 11, d - 5);
        Line(Canvas, a + 6, d - 10, a + 10, d - 5);
        Line(Canvas, a + 5, d - 6, a + 11, d - 11);
        Line(Canvas, a + 6, d - 6, a + 10, d - 11);
        return;
    }
    int a, b;
    if (TabPosition() == tpRight) {
        // The hot look stays where the tab is; rest and pressed follow the lowered text.
        a = Look == CloseHot ? R.Left + lm : R.Left + lm - lower + 2;
        b = R.Top + tm;
        if (glyph) {
            DrawCloseGlyph(Canvas, Look == CloseHot ? R.Left + lm + 2 : R.Left + lm - lower + 4, R.Top + tm + 2);
            return;
        }
    } else {
        a = R.Left + lm;
        b = R.Top + tm + lower;
        if (glyph) {
            DrawCloseGlyph(Canvas, R.Left + lm + 2, b + 2);
            return;
        }
    }
    drawBox(a + 2, b + 2, a + 14, b + 13);
    Line(Canvas, a + 5, b + 9, a + 11, b + 4);
    Line(Canvas, a + 6, b + 9, a + 10, b + 4);
    Line(Canvas, a + 5, b + 5, a + 11, b + 10);
    Line(Canvas, a + 6, b + 5, a + 10, b + 10);
}

void TExPageControl::DrawCloseButton(TCanvas& Canvas, const TRect& R, bool Active) {
    DrawCloseBox(Canvas, R, CloseRest, Active);
}

void TExPageControl::DrawCloseButtonHot(TCanvas& Canvas, const TRect& R) {
    DrawCloseBox(Canvas, R, CloseHot, true);
}

void TExPageControl::DrawCloseButtonDown(TCanvas& Canvas, const TRect& R) {
    DrawCloseBox(Canvas, R, CloseDown, true);
}

void TExPageControl::DrawTabFocus(TCanvas& Canvas, const TRect& R, bool Active, int Overlap) {
    if (!Active || !FShowFocus || !Focused()) return;
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Pen().SetColor(clBlack);
    Canvas.Pen().SetStyle(psDot);
    if (TabPosition() == tpLeft)
        Canvas.Rectangle(R.Left + 5, R.Top + 3, R.Right - 5, R.Bottom - Overlap - 3);
    else
        Canvas.Rectangle(R.Left + 5, R.Top + 3, R.Right - Overlap - 5, R.Bottom - 3);
    Canvas.Pen().SetStyle(psSolid);
}

// ---------------------------------------------------------------------------
// The tab area

void TExPageControl::PaintTabs(TCanvas& Canvas) {
    TCanvas& c = Canvas;
    const int W = Width(), H = Height();
    const TTabPosition pos = TabPosition();
    const bool hasBack = !FTabBackGround->Empty();
    const bool hasBackActive = !FTabBackGroundActive->Empty();

    // 1. Base brush and font.
    SetDoubleBuffered(true);
    const TColor base = Parent() ? Parent()->Brush().Color() : clBtnFace;
    c.SetFont(Font());
    c.Pen().SetStyle(psSolid);
    c.Pen().SetMode(pmCopy);

    // 2. Extents of the visible tabs; the platform's drawing of them is erased.
    int M = 0, S = 0, L0 = W;
    int T0 = PageCount() > 0 ? GetPageTabRect(FPages[0]).Top : 0;
    bool anyTab = false;
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(base);
    for (TExTabSheet* page : FPages) {
        if (!page->TabVisible() || page->TabIndex() < 0) continue;
        const TRect R = GetPageTabRect(page);
        anyTab = true;
        M = std::max(M, R.Bottom);
        T0 = std::min(T0, R.Top);
        L0 = std::min(L0, R.Left);
        S = std::max(S, R.Right);
        switch (pos) {
        case tpLeft: c.FillRect(Rect(R.Left - 2, R.Top - 2, R.Right, R.Bottom + 2)); break;
        case tpTop: c.FillRect(Rect(R.Left - 2, R.Top - 2, R.Right + 2, R.Bottom)); break;
        case tpBottom: c.FillRect(Rect(R.Left - 2, R.Top, R.Right + 2, R.Bottom + 2)); break;
        case tpRight: c.FillRect(Rect(R.Left, R.Top - 2, R.Right + 2, R.Bottom + 2)); break;
        }
    }
    if (!anyTab) {
        switch (pos) {
        case tpLeft: S = 2; break;
        case tpTop: M = 2; break;
        case tpBottom: T0 = H - 2; break;
        case tpRight: L0 = W - 2; break;
        }
    }

    // Single-line top or bottom tabs leave room for the scroll arrows.
    if (!MultiLine() && (pos == tpTop || pos == tpBottom)) {
        c.Brush().SetColor(Color());
        if (pos == tpTop) {
            c.FillRect(Rect(W - 35, 0, W, M));
            c.Pen().SetColor(clWhite);
            Line(c, std::max(S, W - 35), M, W, M);
        } else {
            c.FillRect(Rect(W - 35, T0, W, H));
            c.Pen().SetColor(cl3DDkShadow);
            Line(c, std::max(S, W - 35), T0 - 1, W, T0 - 1);
        }
    }

    // 3. Strip background.
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(FTabBackGroundColor);
    switch (pos) {
    case tpLeft: c.FillRect(Rect(0, 0, S, H - 1)); break;
    case tpTop: c.FillRect(Rect(0, 0, W, M)); break;
    case tpBottom: c.FillRect(Rect(0, T0, W, H)); break;
    case tpRight: c.FillRect(Rect(L0, 0, W, H - 1)); break;
    }

    // 4. Border bands of the page area in the active page's colours.
    bool painted = false;
    if (FActivePage && (FActivePage->ColorTo() != clNone || FActivePage->Color() != Color())) {
        painted = true;
        const int k = FTabSheet3D ? 1 : 0;
        TRect bands[4], solid;
        switch (pos) {
        case tpLeft:
            bands[0] = Rect(S + k, 1, S + 4, H - 1);
            bands[1] = Rect(S + k, 1, W - 1, 4);
            bands[2] = Rect(W - 4, 1, W - 1, H - 1);
            bands[3] = Rect(S + k, H - 4, W - 1, H - 1);
            solid = Rect(S + k, 1, W - 1, 4);
            break;
        case tpTop:
            bands[0] = Rect(1, M + k, W - 1, M + 4);
            bands[1] = Rect(1, M + k, 4, H - 1);
            bands[2] = Rect(W - 4, M + k, W - 1, H - 1);
            bands[3] = Rect(1, H - 4, W - 1, H - 1);
            solid = Rect(1, M + 1, W - 1, M + 4);
            break;
        case tpBottom:
            bands[0] = Rect(1, T0 - 4, W - 1, T0 - k);
            bands[1] = Rect(1, 1, 4, T0 - k);
            bands[2] = Rect(W - 4, 1, W - 1, T0 - k);
            bands[3] = Rect(1, 1, W - 1, 4);
            solid = Rect(1, 1, W - 1, 4);
            break;
        case tpRight:
            bands[0] = Rect(L0 - 4, 1, L0 - k, H - 1);
            bands[1] = Rect(1, 1, 4, H - 1);
            bands[2] = Rect(1, 1, L0 - k, 4);
            bands[3] = Rect(1, H - 4, L0 - k, H - 2);
            solid = Rect(1, 1, L0 - k, 4);
            break;
        }
        TRegion clip;
        for (const TRect& b : bands) {
            TRegion part(b), sum;
            sum.Combine(clip, part, RGN_OR);
            clip = sum;
        }
        c.SelectClipRgn(&clip);
        if (FActivePage->ColorTo() != clNone) {
            DrawTabGradient(c, FActivePage->Color(), FActivePage->ColorTo(), 16, ClientRect(), false);
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(FActivePage->Color());
            c.FillRect(solid);
        } else {
            c.Brush().SetStyle(bsSolid);
            c.Brush().SetColor(FActivePage->Color());
            c.FillRect(ClientRect());
        }
        c.SelectClipRgn(nullptr);
    }

    // 5. Page frame.
    c.Pen().SetStyle(psSolid);
    if (!FTabSheet3D) {
        c.Pen().SetColor(FTabSheetBorderColor);
        switch (pos) {
        case tpLeft:
            Line(c, S, 0, S, H);
            Line(c, S, H - 2, W - 2, H - 2);
            Line(c, W - 2, H, W - 2, 0);
            Line(c, W - 2, 0, S, 0);
            c.Pen().SetColor(Color());
            Line(c, S, H - 1, W - 1, H - 1);
            Line(c, W - 1, H - 1, W - 1, -1);
            break;
        case tpTop:
            Line(c, 0, M, 0, H);
            Line(c, 0, H - 1, W, H - 1);
            Line(c, W - 1, H - 2, W - 1, M);
            Line(c, 0, M, W, M);
            if (!painted) {
                c.Pen().SetColor(Color());
                Line(c, 1, H - 2, W - 1, H - 2);
                Line(c, W - 2, H - 2, W - 2, M);
            }
            break;
        case tpBottom:
            Line(c, 0, 0, 0, T0);
            Line(c, 0, T0 - 1, W, T0 - 1);
            Line(c, W - 1, T0 - 1, W - 1, 0);
            Line(c, 0, 0, W, 0);
            if (!painted) {
                c.Pen().SetColor(Color());
                Line(c, 1, T0 - 2, W - 1, T0 - 2);
                Line(c, W - 2, T0 - 2, W - 2, 0);
            }
            break;
        case tpRight:
            Line(c, 0, 0, 0, H);
            Line(c, 0, H, L0, H);
            Line(c, L0 - 1, H, L0 - 1, 0);
            Line(c, L0 - 1, 0, 0, 0);
            c.Pen().SetColor(Color());
            Line(c, 0, H - 1, L0, H - 1);
            if (!painted) Line(c, L0 - 2, H - 3, L0 - 2, 0);
            break;
        }

        // 6. Round edges.
        if (FRoundEdges) {
            c.Pen().SetColor(Color());
            Poly(c, {{W - 5, H - 2}, {W - 2, H - 2}, {W - 2, H - 6}});
            Poly(c, {{W - 2, 3}, {W - 2, 0}, {W - 6, 0}});
            c.Pen().SetColor(FTabSheetBorderColor);
            Line(c, W - 5, H - 3, W - 3, H - 3);
            Line(c, W - 3, H - 4, W - 3, H - 6);
            Line(c, W - 3, 3, W - 3, 1);
            Line(c, W - 4, 1, W - 6, 1);
        }
    }

    // 7. The frame is open toward the tabs.
    const bool openEdge = !FTabSheet3D && !FTabSplitLine && PageCount() > 0;
    if (openEdge) {
        TColor edge = Color();
        if (painted) {
            edge = FActivePage->Color();
            if (pos == tpBottom && FActivePage->ColorTo() != clNone) edge = FActivePage->ColorTo();
        }
        c.Pen().SetColor(edge);
        const int extra = (FTabStyle == tsClassic && hasBack) ? 2 : 0;
        switch (pos) {
        case tpLeft: Line(c, S, 2, S, M + FTabOverlap + extra); break;
        case tpTop: Line(c, 2, M, S + FTabOverlap + extra, M); break;
        case tpBottom: Line(c, 2, T0 - 1, S + FTabOverlap + extra, T0 - 1); break;
        case tpRight: Line(c, L0 - 1, M + FTabOverlap - 1 + extra, L0 - 1, 2); break;
        }
    }

    // 8. The tabs, last page first.
    struct Deferred {
        TExTabSheet* page = nullptr;
        TRect R;
        int x = 0, y = 0;
    } deferred;
    int e = openEdge ? 1 : 0;

    auto textOut = [&](TExTabSheet* page, bool active, const TRect& R, int x, int y) {
        TColor colour = page->TabEnable() ? page->TextColor() : clGray;
        c.Brush().SetStyle(bsClear);
        if (pos == tpTop || pos == tpBottom) {
            if (pos == tpBottom) c.SetFont(*FActiveFont);
            if (active || pos == tpBottom) colour = c.Font().Color();
            if (!page->TabEnable()) colour = clGray;
            c.Font().SetColor(colour);
            TRect r = Rect(x, y, R.Right, R.Bottom);
            c.DrawText(page->GetCaption(), r, DT_SINGLELINE | DT_NOCLIP);
        } else {
            c.Font().SetColor(colour);
            c.TextOut(x, y, page->GetCaption());
        }
    };

    auto finishTab = [&](TExTabSheet* page, bool active, const TRect& tabR, const TRect& R, int x, int y,
                         int overlap) {
        // 8.7 close button.
        if (page->ShowClose()) {
            TCloseLook look = active ? FCloseLook : CloseRest;
            DrawCloseBox(c, tabR, look, active || look != CloseRest);
        }
        // 8.8 image.
        if (FImages && page->ImageIndex() >= 0 && page->ImageIndex() < FImages->Count()) {
            switch (pos) {
            case tpLeft:
                FImages->Draw(c, x, y - 14, page->ImageIndex());
                y -= FImages->Height();
                break;
            case tpTop:
            case tpBottom:
                FImages->Draw(c, x - 2, y, page->ImageIndex());
                x += FImages->Width();
                break;
            case tpRight:
                FImages->Draw(c, x - 14, y, page->ImageIndex());
                y += FImages->Height();
                break;
            }
        }
        // 8.9 caption.
        textOut(page, active, R, x, y);
        if (active) c.SetFont(Font());
        // 8.10 focus.
        DrawTabFocus(c, R, active, overlap);
    };

    for (int pi = PageCount() - 1; pi >= 0; --pi) {
        TExTabSheet* page = FPages[size_t(pi)];
        if (!page->TabVisible() || page->TabIndex() < 0) continue;
        const TRect tabR = GetPageTabRect(page);
        TRect R = tabR;
        const bool active = page == FActivePage;

        // 8.2 face colours.
        TColor c1, c2;
        TGradientDirection dir;
        if (active && FActiveColor != clNone) {
            c1 = FActiveColor;
            c2 = FActiveColorTo;
            dir = page->TabGradientDirection();
        } else if (pi == FHoverTab && (FTabHoverColor != clNone || FTabHoverColorTo != clNone)) {
            c1 = FTabHoverColor;
            c2 = FTabHoverColorTo;
            dir = page->HoverGradientDirection();
        } else {
            c1 = page->TabColor();
            c2 = page->TabColorTo();
            dir = page->TabGradientDirection();
        }

        // 8.3 text origin.
        int x = 0, y = 0;
        switch (pos) {
        case tpLeft:
            x = R.Left + 1 + (active ? FLowerActive : 0);
            y = R.Bottom - 4 - (page->ShowClose() ? 13 : 0);
            break;
        case tpTop:
            x = R.Left + (page->ShowClose() ? 18 : 4);
            y = R.Top + 1 + (active ? FLowerActive : 0);
            break;
        case tpBottom:
            R.Bottom += 1;
            x = R.Left + (page->ShowClose() ? 18 : 4);
            y = R.Top + (active ? FLowerActive + 1 : 0);
            break;
        case tpRight:
            x = R.Right - 1 - (active ? FLowerActive : 0);
            y = R.Top + (page->ShowClose() ? 17 : 4);
            break;
        }

        if (!hasBack) {
            // 8.4 face and border.
            TRect face = R;
            switch (pos) {
            case tpLeft:
                R.Left -= 1;
                face = R;
                face.Right -= 1;
                if (dir == gdVertical) face.Bottom -= 1;
                break;
            case tpTop:
                R.Top -= 1;
                face = R;
                face.Bottom -= 1;
                if (dir == gdHorizontal) face.Right -= 1;
                break;
            case tpBottom:
                if (dir == gdHorizontal) face.Right -= 1;
                else face.Bottom -= 1;
                break;
            case tpRight:
                if (!active && dir == gdVertical) face.Bottom -= 1;
                break;
            }
            if (c2 != clNone) {
                DrawTabGradient(c, c1, c2, 16, face, dir == gdHorizontal);
            } else {
                c.Brush().SetStyle(bsSolid);
                c.Brush().SetColor(c1);
                c.FillRect(R);
            }
            if (pos == tpRight) R.Right += 1;
            c.Brush().SetStyle(bsClear);
            c.Pen().SetStyle(psSolid);
            c.Pen().SetColor(FTabBorderColor);

            if (FTabStyle == tsDotNet) {
                if (active) {
                    switch (pos) {
                    case tpLeft: Poly(c, {{R.Right, R.Top}, {R.Left, R.Top}, {R.Left, R.Bottom}, {R.Right, R.Bottom}}); break;
                    case tpTop: Poly(c, {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom}}); break;
                    case tpBottom:
                        Poly(c, {{R.Left, R.Top - 1}, {R.Left, R.Bottom}, {R.Right, R.Bottom}, {R.Right, R.Top - 1}});
                        break;
                    case tpRight:
                        Poly(c, {{R.Left - 1, R.Top}, {R.Right - 1, R.Top}, {R.Right - 1, R.Bottom}, {R.Left - 1, R.Bottom}});
                        break;
                    }
                } else {
                    switch (pos) {
                    case tpLeft: Line(c, R.Right, R.Top, R.Right, R.Bottom); break;
                    case tpTop: Line(c, R.Left, R.Bottom, R.Right, R.Bottom); break;
                    case tpBottom: Line(c, R.Left, R.Top - 1, R.Right, R.Top - 1); break;
                    case tpRight: Line(c, R.Left - 1, R.Top, R.Left - 1, R.Bottom); break;
                    }
                    const bool vertical = pos == tpLeft || pos == tpRight;
                    const bool last = vertical ? (M - 3 < R.Bottom) : (S - 3 < R.Right);
                    if (FindNextPage(page, true, true) != FActivePage || last) {
                        c.Pen().SetColor(FActiveColor);
                        if (vertical) {
                            Line(c, R.Left + 2, R.Bottom - 2, R.Right - 2, R.Bottom - 2);
                            Line(c, R.Left + 2, R.Bottom - 3, R.Right - 2, R.Bottom - 3);
                        } else {
                            Line(c, R.Right - 2, R.Bottom - 3, R.Right - 2, R.Top + 2);
                            Line(c, R.Right - 3, R.Bottom - 3, R.Right - 3, R.Top + 2);
                        }
                    }
                }
            } else if (active) {
                switch (pos) {
                case tpLeft: Poly(c, {{R.Right - 1, R.Top}, {R.Left, R.Top}, {R.Left, R.Bottom}, {R.Right, R.Bottom}}); break;
                case tpTop: Poly(c, {{R.Left, R.Bottom - 1}, {R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom}}); break;
                case tpBottom: Poly(c, {{R.Left, R.Top}, {R.Left, R.Bottom}, {R.Right, R.Bottom}, {R.Right, R.Top - 1}}); break;
                case tpRight: Poly(c, {{R.Left, R.Top}, {R.Right - 1, R.Top}, {R.Right - 1, R.Bottom}, {R.Left - 1, R.Bottom}}); break;
                }
            } else {
                // A tab that reaches the page's open edge extends over it by e.
                int te = e;
                switch (pos) {
                case tpLeft:
                    if (R.Right < S) te = 0;
                    c.Rectangle(R.Left, R.Top, R.Right + te, R.Bottom > H - 5 ? R.Bottom : R.Bottom + 1);
                    break;
                case tpTop:
                    if (R.Bottom < M) te = 0;
                    c.Rectangle(R.Left, R.Top, R.Right > W - 5 ? R.Right : R.Right + 1, R.Bottom + te);
                    break;
                case tpBottom:
                    if (T0 < R.Top) te = 0;
                    c.Rectangle(R.Left, R.Top - te, R.Right > W - 5 ? R.Right : R.Right + 1, R.Bottom);
                    y += 2;
                    break;
                case tpRight:
                    if (L0 < R.Left) te = 0;
                    c.Rectangle(R.Left - te, R.Top, R.Right, R.Bottom > H - 5 ? R.Bottom : R.Bottom + 1);
                    break;
                }
                if (!FTabSheet3D && !FTabSplitLine) e = openEdge ? 1 : 0;
            }
        } else {
            // 8.5 the tab bitmap.
            const int length = (pos == tpLeft || pos == tpRight) ? R.Bottom + FTabOverlap - R.Top + 3
                                                                 : R.Right + FTabOverlap - R.Left + 2;
            const bool defer = active && hasBackActive;
            switch (pos) {
            case tpLeft:
                x -= 2;
                y -= 3;
                if (!defer) DrawVerticalSlices(*FTabBackGround, c, R.Left, R.Top, length);
                break;
            case tpTop:
                if (!defer) DrawHorizontalSlices(*FTabBackGround, c, R.Left - 1, R.Top - 2, length);
                break;
            case tpBottom:
                y += 3;
                if (!defer) DrawHorizontalSlices(*FTabBackGround, c, R.Left - 2, R.Top - 1, length);
                break;
            case tpRight:
                x -= TabHeight() / 3;
                y -= 3;
                if (!defer) DrawVerticalSlices(*FTabBackGround, c, R.Left - 1, R.Top - 2, length);
                break;
            }
        }

        // 8.6 font and margins.
        TFont font;
        font.Assign(active ? FActiveFont.get() : &c.Font());
        if (pos == tpLeft) {
            font.SetEscapement(-2700);  // reads upward from the origin
            font.SetOrientation(30);
        } else if (pos == tpRight) {
            font.SetEscapement(-900);  // reads downward
            font.SetOrientation(30);
        }
        c.SetFont(font);
        if (pos == tpLeft) {
            x += FTabMargin->LeftMargin();
            y -= FTabMargin->TopMargin();
            if (hasBackActive) y += FTabOverlap + 3;
        } else {
            x += FTabMargin->LeftMargin();
            y += FTabMargin->TopMargin();
        }

        if (hasBack && active && hasBackActive) {
            deferred = {page, R, x, y};
            if (active) c.SetFont(Font());
            continue;
        }
        finishTab(page, active, tabR, R, x, y, 0);
    }

    // 9. The active tab drawn over its own bitmap, last.
    if (deferred.page) {
        const TRect R = deferred.R;
        const TRect tabR = GetPageTabRect(deferred.page);
        const bool lowered = FLowerActive >= 1;
        const int length = (pos == tpLeft || pos == tpRight) ? R.Bottom + FTabOverlap - R.Top + 3
                                                             : R.Right + FTabOverlap - R.Left + 2;
        int y = deferred.y;
        switch (pos) {
        case tpLeft: DrawVerticalSlices(*FTabBackGroundActive, c, R.Left + (lowered ? 1 : 0), R.Top, length); break;
        case tpTop: DrawHorizontalSlices(*FTabBackGroundActive, c, R.Left - 2, R.Top - (lowered ? 1 : 2), length); break;
        case tpBottom:
            DrawHorizontalSlices(*FTabBackGroundActive, c, R.Left - 2, R.Top - (lowered ? 3 : 1), length);
            y -= 2;
            break;
        case tpRight: DrawVerticalSlices(*FTabBackGroundActive, c, R.Left - (lowered ? 3 : 1), R.Top - 2, length); break;
        }
        TFont font;
        font.Assign(FActiveFont.get());
        if (pos == tpLeft) {
            font.SetEscapement(-2700);
            font.SetOrientation(30);
        } else if (pos == tpRight) {
            font.SetEscapement(-900);
            font.SetOrientation(30);
        }
        c.SetFont(font);
        finishTab(deferred.page, true, tabR, R, deferred.x, y, FTabOverlap);
    }

    // 10. Hover border.
    if (FHoverTab >= 0 && FHoverTab < PageCount() && FTabHoverBorder != clNone && FPages[size_t(FHoverTab)] != FActivePage) {
        TRect R = GetPageTabRect(FPages[size_t(FHoverTab)]);
        if (!IsRectEmpty(R)) {
            c.Pen().SetStyle(psSolid);
            c.Pen().SetColor(FTabHoverBorder);
            switch (pos) {
            case tpLeft:
                R.Left -= 1;
                R.Top -= 2;
                if (R.Bottom > H - 5) R.Bottom -= 1;
                Poly(c, {{R.Right - 1, R.Top + 2}, {R.Left, R.Top + 2}, {R.Left, R.Bottom}, {R.Right, R.Bottom}});
                break;
            case tpTop:
                R.Top -= 1;
                if (R.Right > W - 5) R.Right -= 1;
                Poly(c, {{R.Left, R.Bottom - 2}, {R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom - 1}});
                break;
            case tpBottom:
                if (R.Right > W - 5) R.Right -= 1;
                Poly(c, {{R.Left, R.Top + 1}, {R.Left, R.Bottom}, {R.Right, R.Bottom}, {R.Right, R.Top}});
                break;
            case tpRight:
                R.Left += 1;
                if (R.Bottom > H - 5) R.Bottom -= 1;
                Poly(c, {{R.Left, R.Top}, {R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left - 1, R.Bottom}});
                break;
            }
        }
    }
    c.Brush().SetStyle(bsSolid);
}
