#pragma once
// A grid of the given size on a 600 x 400 form, shown unless asked not to.

#include "grid/ExGrid.h"

#include "framework/Forms.h"

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
};
