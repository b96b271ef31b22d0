#pragma once
// The window parts every table editor shares: the title panel with the
// model's software code and the editor's title, the button panel at the
// bottom with its row of 110 x 28 buttons, and the colours of its columns.

#include "framework/Graphics.h"
#include "grid/ExCGrid.h"
#include "shell/Shell_Controls.h"

#include <cstdint>
#include <span>

// An editor window: centred, #F8F7ED, its fixed client size, the title
// panel (top, 69 high) with the software code and the editor's title, and
// the button panel (bottom, 40 high) with OK and Cancel (modal result
// Cancel) as its first two buttons.
class TTable_Editor_Form : public TForm {
public:
    TTable_Editor_Form(TComponent* AOwner, const String& name, int clientWidth, int clientHeight);
    TPanel* P_Title;
    TLabel* L_SW_Code;
    TLabel* L_SW_Desc;
    TPanel* P_Button;
    TFlatButton* Btn_OK;
    TFlatButton* Btn_Cancel;
};
// A borderless panel of the window, aligned, in the window's colour.
TPanel* Make_Editor_Panel(TForm* form, const String& name, TAlign align, int height);
// A button of the button panel at left, top 6.
TFlatButton* Make_Editor_Button(TPanel* P_Button, const String& name, int left);

class TPageControl;
class TTabSheet;
// The window's pages, "PageControl1", filling the window.
TPageControl* Make_Editor_Pages(TForm* form);
// A page of pages named name, owned by the window.
TTabSheet* Make_Tab_Sheet(TForm* form, TPageControl* pages, const String& name);

struct TTableDesc;

// A table's grid on parent, filling it: the header row and the numbering
// column fixed, rows and rows of 22 pixels, the columns of the table with
// their editors, choices, typing limits, widths and colours; the header bold;
// the user may size columns and select ranges.
TExColumnGrid* Make_Table_Grid(TWinControl* parent, const String& name, const TTableDesc& table, int rows);
// Headers from the text table: column 0 header0, the data columns theirs.
void Set_Headers(TExColumnGrid* grid, const TTableDesc& table, int header0);
// Shows every column, then hides the real columns listed (descending, so
// the real indices stay put while hiding).
void Show_Columns(TExColumnGrid* grid, std::span<const int> hidden);
// The grid shows, for the cell under the mouse, the hint that handler
// gives (the header hints of the editors).
void Show_Grid_Hints(TExColumnGrid* grid, TGridHintEvent handler);
// The choices "0" .. count - 1 of a drop-down column.
void Set_Number_Choices(TExColumnGrid* grid, int col, int count);

// A column colour written as #RRGGBB (Window_Colour: the window's own).
TColor Column_Colour(std::uint32_t rgb);
