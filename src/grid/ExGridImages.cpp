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

// The grid's shared graphics (a column's data boxes, the row check boxes) are
// never attached to a cell, so what a cell holds is its own.
bool TExStringGrid::RemoveCellGraphic(int ACol, int ARow) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    if (!g) return false;
    GetCellProperties(ACol, ARow)->SetGraphicObject(nullptr);
    delete g;
    if (!IsDestroying()) RepaintDisplCell(ACol, ARow);
    return true;
}

bool TExStringGrid::RemoveCellGraphicOfType(int ACol, int ARow, TCellType Kind) {
    return GetCellType(ACol, ARow) == Kind && RemoveCellGraphic(ACol, ARow);
}

std::intptr_t TExStringGrid::CellGraphicRef(int ACol, int ARow) {
    TCellGraphic* g = ACol >= 0 && ARow >= 0 ? GetCellGraphic(ACol, ARow) : nullptr;
    if (!g) return -1;
    switch (g->CellType) {
        case ctBitmap: return std::intptr_t(g->Bitmap());
        case ctIcon: return std::intptr_t(g->Icon());
        case ctImageList: return g->CellIndex;
        default: return -1;
    }
}

void TExStringGrid::AddImageIdx(int ACol, int ARow, int Idx, TCellHAlign HAlign, TCellVAlign VAlign) {
    TCellGraphic* g = CreateCellGraphic(ACol, ARow);
    g->CellType = ctImageList;
    g->CellIndex = Idx;
    g->CellHAlign = HAlign;
    g->CellVAlign = VAlign;
    RepaintDisplCell(ACol, ARow);
}

void TExStringGrid::RemoveImageIdx(int ACol, int ARow) { RemoveCellGraphicOfType(ACol, ARow, ctImageList); }

int TExStringGrid::GetImageIdx(int ACol, int ARow) {
    TCellGraphic* g = OwnGraphic(ACol, ARow);
    return g && g->CellType == ctImageList ? g->CellIndex : -1;
}

