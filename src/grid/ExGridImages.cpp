// Images of the grid's image list in cells, and the double click on a cell.
#include "grid/ExGrid.h"
#include "grid/foundation/PictureContainer.h"

#include "framework/ImgList.h"

void TExStringGrid::SetGridImages(TImageList* Value) {
    if (FGridImages && FGridImages != Value) FGridImages->RemoveFreeNotification(this);
    FGridImages = Value;
    // A freed image list must not be painted from.
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

void TExStringGrid::SetPictureContainer(TPictureContainer* Value) {
    if (FPictureContainer && FPictureContainer != Value) FPictureContainer->RemoveFreeNotification(this);
    FPictureContainer = Value;
    if (Value) Value->FreeNotification(this);
    Invalidate();
}

TCellGraphic* TExStringGrid::MakeOwnGraphic(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() + FNumHidden || ARow >= RowCount() + NumHiddenRows())
        throw Exception(u"Invalid cell");
    TCellProperties* p = GetCellProperties(ACol, ARow);
    auto* g = dynamic_cast<TCellGraphic*>(p->GraphicObject());
    if (!g) {
        g = new TCellGraphic;
        p->SetGraphicObject(g);
    }
    return g;
}

void TExStringGrid::RemoveOwnGraphic(int ACol, int ARow, TCellType Kind) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g || g->CellType != Kind) return;
    GetCellProperties(ACol, ARow)->SetGraphicObject(nullptr);
    delete g;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::AddImageIdx(int ACol, int ARow, int Idx, TCellHAlign HAlign, TCellVAlign VAlign) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = ctImageList;
    g->CellIndex = Idx;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveImageIdx(int ACol, int ARow) { RemoveOwnGraphic(ACol, ARow, ctImageList); }

int TExStringGrid::GetImageIdx(int ACol, int ARow) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    return g && g->CellType == ctImageList ? g->CellIndex : -1;
}

