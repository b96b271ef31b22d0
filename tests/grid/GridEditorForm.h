#pragma once
// A shown form with a column grid whose column 1 uses the editor kind under
// test, every cell of it holding Text; validations logged; the cell (1, 2)
// is current.

#include "grid/ExCGrid.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/ImgList.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <string>
#include <vector>

struct EditorForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    std::vector<std::string> log;

    EditorForm(TEditorType Kind, const String& Text) {
        form.SetBounds(0, 0, 500, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(1)->SetEditor(Kind);
        for (int r = 1; r < g->RowCount(); ++r) g->SetCellEx(1, r, Text);
        g->OnCellValidate = [this](TObject*, int, int r, String& v, bool&) {
            log.push_back("validate " + std::to_string(r) + " " + StringToUtf8(v));
        };
        form.Show();
        g->SetFocus();
        Click(1, 2);
    }
    void Click(int c, int r) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
    void Open() { SimulateKey(VK_F2); }
};

// Three 16 x 16 images, red, lime and blue, for the image cells and pickers.
inline void AddRedLimeBlue(TImageList& Images) {
    Images.SetWidth(16);
    Images.SetHeight(16);
    for (TColor col : {clRed, clLime, clBlue}) {
        TBitmap b(16, 16);
        b.Canvas().Brush().SetColor(col);
        b.Canvas().FillRect(Rect(0, 0, 16, 16));
        Images.Add(&b, nullptr);
    }
}
