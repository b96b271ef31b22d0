#pragma once
// A grid of the given size on a 600 x 400 form, shown unless asked not to.

#include "grid/ExGrid.h"

#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Windows.h"

template <class Grid = TExStringGrid>
struct GridOnForm {
    TForm form{nullptr};
    Grid* g;
    explicit GridOnForm(int Width = 400, int Height = 250, bool Show = true) {
        form.SetBounds(0, 0, 600, 400);
        g = new Grid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, Width, Height);
        if (Show) form.Show();
    }
    // Paints what is pending, so that what a change repaints can be read next.
    void Flush() { UpdateWindow(g->Handle()); }
    TRect Pending() {
        TRect r{};
        GetUpdateRect(g->Handle(), &r, false);
        return r;
    }
};

// Six rows n1..n6 grouped by column 2 into A (n1..n3) and B (n4..n6): A's
// header is row 1 with rows 2-4, B's header row 5 with rows 6-8.
inline void GroupSixRowsInTwo(TExStringGrid* g) {
    g->SetColCount(4);
    g->SetRowCount(7);
    const char16_t* groups[] = {u"A", u"A", u"A", u"B", u"B", u"B"};
    for (int r = 1; r <= 6; ++r) {
        g->SetCellEx(2, r, groups[r - 1]);
        g->SetCellEx(1, r, u"n" + IntToStr(r));
    }
    g->Group(2);
}
