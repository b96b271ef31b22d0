// The grid's own cursors, drawn anew: the panning cursors (a resting mark
// and one arrow for each of the eight directions) and the cursors that
// offer to select a row, a column or the whole grid.
#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/Resources.h"

#include <cmath>

namespace {

constexpr int CursorSize = 32;
constexpr TColor See = clFuchsia;  // the see-through colour of the pictures

struct TGridCursor {
    TCursor Index;
    const char16_t* Name;
    int DX, DY;  // the arrow's direction; 0, 0: no arrow
    bool PanMark;  // the round mark of panning at the centre
};

// Cursor numbers as the grid uses them.
constexpr TGridCursor GridCursors[] = {
    {8000, u"EXGPAN", 0, 0, true},         {8001, u"EXGPANDOWN", 0, 1, true},
    {8002, u"EXGPANLEFT", -1, 0, true},    {8003, u"EXGPANRIGHT", 1, 0, true},
    {8004, u"EXGPANUP", 0, -1, true},      {8005, u"EXGPANUPRIGHT", 1, -1, true},
    {8006, u"EXGPANUPLEFT", -1, -1, true}, {8007, u"EXGPANDOWNRIGHT", 1, 1, true},
    {8008, u"EXGPANDOWNLEFT", -1, 1, true}, {8010, u"EXGSELROW", 1, 0, false},
    {8011, u"EXGSELCOL", 0, 1, false},     {8012, u"EXGSELALL", 1, 1, false},
};

void PaintCursor(TCursorResource& C, const TGridCursor& G) {
    C.Image.SetSize(CursorSize, CursorSize);
    C.Image.SetTransparentColor(See);
    TCanvas& c = C.Image.Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(See);
    c.FillRect(Rect(0, 0, CursorSize, CursorSize));
    const int m = CursorSize / 2;
    c.Pen().SetColor(clBlack);
    if (G.PanMark) {
        c.Brush().SetColor(clWhite);
        c.Ellipse(m - 4, m - 4, m + 5, m + 5);
        c.Brush().SetColor(clBlack);
        c.Rectangle(m - 1, m - 1, m + 2, m + 2);
    }
    if (G.DX == 0 && G.DY == 0) {
        C.HotSpot = {m, m};
        return;
    }
    // An arrow from near the centre towards the edge: a shaft and a head.
    const double len = std::hypot(G.DX, G.DY);
    const double ux = G.DX / len, uy = G.DY / len;
    const int from = G.PanMark ? 7 : -9, to = 14;
    const TPoint tip{m + int(std::lround(ux * to)), m + int(std::lround(uy * to))};
    const TPoint tail{m + int(std::lround(ux * from)), m + int(std::lround(uy * from))};
    c.Pen().SetWidth(3);
    c.MoveTo(tail.X, tail.Y);
    c.LineTo(tip.X, tip.Y);
    c.Pen().SetWidth(1);
    const TPoint base{tip.X - int(std::lround(ux * 6)), tip.Y - int(std::lround(uy * 6))};
    const TPoint side{int(std::lround(-uy * 5)), int(std::lround(ux * 5))};
    c.Brush().SetColor(clBlack);
    c.Polygon({tip, TPoint{base.X + side.X, base.Y + side.Y}, TPoint{base.X - side.X, base.Y - side.Y}});
    C.HotSpot = G.PanMark ? TPoint{m, m} : tip;
}

const TResourceRegistrar Registrar([] {
    for (const TGridCursor& g : GridCursors)
        RegisterCursorResource(g.Name, [g](TCursorResource& C) { PaintCursor(C, g); });
});

}  // namespace

void UseGridCursors() {
    static const bool once = [] {
        for (const TGridCursor& g : GridCursors) Screen->SetCursors(g.Index, g.Name);
        return true;
    }();
    (void)once;
}
