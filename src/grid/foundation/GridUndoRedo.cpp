#include "grid/foundation/GridUndoRedo.h"

#include "grid/foundation/BaseGrid.h"

void TUndoRedoItem::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TUndoRedoItem*>(Source);
    if (!s) {
        TCollectionItem::Assign(Source);
        return;
    }
    Row = s->Row;
    Col = s->Col;
    Value = s->Value;
    OrigValue = s->OrigValue;
    SequenceStart = s->SequenceStart;
    SequenceStop = s->SequenceStop;
}

TUndoRedoCollection::TUndoRedoCollection() : TCollection([](TCollection* c) { return new TUndoRedoItem(c); }) {}

TExGridUndoRedo::TExGridUndoRedo(TComponent* AOwner) : TComponent(AOwner) {}

TExGridUndoRedo::~TExGridUndoRedo() {
    if (FGrid && FGrid->UndoRedo() == this) FGrid->SetUndoRedo(nullptr);
}

void TExGridUndoRedo::SetGrid(TBaseGrid* Value) {
    if (FGrid == Value) return;
    if (FGrid) RemoveFreeNotification(FGrid);
    FGrid = Value;
    if (FGrid) FreeNotification(FGrid);
}

void TExGridUndoRedo::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent == FGrid) FGrid = nullptr;
    TComponent::Notification(AComponent, Operation);
}

void TExGridUndoRedo::DropUndone() {
    while (FItems.Count() > FLevel) FItems.Delete(FItems.Count() - 1);
}

TUndoRedoItem* TExGridUndoRedo::Append() {
    DropUndone();
    return static_cast<TUndoRedoItem*>(FItems.Add());
}

void TExGridUndoRedo::RegisterChange(int ACol, int ARow, const String& OldValue, const String& NewValue) {
    DropUndone();
    if (FMaxLevel > 0 && FItems.Count() >= FMaxLevel) FItems.Delete(0);
    TUndoRedoItem* item = Append();
    item->Col = ACol;
    item->Row = ARow;
    item->Value = NewValue;
    item->OrigValue = OldValue;
    FLevel = FItems.Count();
}

void TExGridUndoRedo::StartSequence() {
    TUndoRedoItem* item = Append();
    item->Col = item->Row = -1;
    item->SequenceStart = true;
    FLevel = FItems.Count();
}

void TExGridUndoRedo::StopSequence() {
    TUndoRedoItem* item = Append();
    item->Col = item->Row = -1;
    item->SequenceStop = true;
    FLevel = FItems.Count();
}

void TExGridUndoRedo::Reset() {
    FItems.Clear();
    FLevel = 0;
}

void TExGridUndoRedo::Apply(const TUndoRedoItem& Item, bool Undoing) {
    // A marker met alone (a sequence left open or cut by MaxLevel) writes nothing.
    if (Item.IsMarker() || !FGrid) return;
    const String& text = Undoing ? Item.OrigValue : Item.Value;
    const TExGridUndoRedoEvent& event = Undoing ? OnUndo : OnRedo;
    if (event) event(this, FGrid, Item.Col, Item.Row, FGrid->GetCellEx(Item.Col, Item.Row), text);
    FGrid->UndoWriteCell(Item.Col, Item.Row, text);
    FGrid->SetCol(FGrid->DisplColIndex(Item.Col));
    FGrid->SetRow(Item.Row);
}

void TExGridUndoRedo::Undo() {
    if (!FGrid || FLevel <= 0 || FItems.Count() < FLevel) return;
    const TUndoRedoItem* item = FItems.Item(FLevel - 1);
    if (item->SequenceStop) {
        --FLevel;
        while (FLevel > 0 && !FItems.Item(FLevel - 1)->SequenceStart) {
            Apply(*FItems.Item(FLevel - 1), true);
            --FLevel;
        }
        if (FLevel > 0) --FLevel;
        FGrid->Invalidate();
    } else {
        Apply(*item, true);
        if (!item->IsMarker()) FGrid->RepaintCell(FGrid->Col(), item->Row);
        --FLevel;
    }
}

void TExGridUndoRedo::Redo() {
    if (!FGrid || FLevel >= FItems.Count()) return;
    ++FLevel;
    const TUndoRedoItem* item = FItems.Item(FLevel - 1);
    if (item->SequenceStart) {
        if (FLevel < FItems.Count()) ++FLevel;
        while (FLevel < FItems.Count() && !FItems.Item(FLevel - 1)->SequenceStop) {
            Apply(*FItems.Item(FLevel - 1), false);
            ++FLevel;
        }
        // A sequence left open: its last change is applied too.
        if (FLevel == FItems.Count() && !FItems.Item(FLevel - 1)->IsMarker()) Apply(*FItems.Item(FLevel - 1), false);
        FGrid->Invalidate();
    } else {
        Apply(*item, false);
    }
}
