#pragma once
// An offscreen column grid of 40 x 20 cells on a white form, rendered to a
// bitmap for pixel checks.

#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"

#include <functional>
#include <memory>

// An offscreen column grid of 40 x 20 cells, no scroll bars; another
// control holds the focus unless a test gives it to the grid.
struct PaintForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    TExColumnGrid* other;
    PaintForm() {
        form.SetBounds(0, 0, 600, 400);
        form.SetColor(clWhite);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(10, 10, 300, 200);
        g->SetScrollBars(ssNone);
        g->SetColor(clWhite);
        g->SetDefaultColWidth(40);
        g->SetDefaultRowHeight(20);
        g->SetFixedRowHeight(20);
        other = new TExColumnGrid(&form);
        other->SetParent(&form);
        other->SetBounds(320, 10, 100, 100);
        form.Show();
        other->SetFocus();
    }
    std::unique_ptr<TBitmap> Render() {
        auto b = std::make_unique<TBitmap>();
        RenderControlToBitmap(g, *b);
        return b;
    }
    // Client point (x, y) of the grid in the rendered window (border 2).
    static TColor At(const std::unique_ptr<TBitmap>& b, int x, int y) { return b->Canvas().Pixels(x + 2, y + 2); }
    // Some pixel of the client rectangle R passes the test.
    static bool AnyPixel(const std::unique_ptr<TBitmap>& b, TRect R, const std::function<bool(TColor)>& Test) {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (Test(At(b, x, y))) return true;
        return false;
    }
    // Some pixel of R is not white.
    static bool Inked(const std::unique_ptr<TBitmap>& b, TRect R) {
        return AnyPixel(b, R, [](TColor c) { return c != clWhite; });
    }
    // R of a equals R moved by Dx of b.
    static bool SameArea(const std::unique_ptr<TBitmap>& a, const std::unique_ptr<TBitmap>& b, TRect R, int Dx = 0) {
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (At(a, x, y) != At(b, x + Dx, y)) return false;
        return true;
    }
};
