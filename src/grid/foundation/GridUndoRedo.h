#pragma once
// The undo companion of a base grid: it records changes of cell text, one
// at a time or as bracketed sequences, and writes them back through the
// grid's SetCellEx. Items 0 .. Level - 1 are done; a new change drops the
// undone ones, so Redo only ever re-applies what Undo took back.

#include "framework/Components.h"

#include <functional>

class TBaseGrid;

// One change (both flags false) or a sequence marker (column and row -1,
// empty texts, one flag set).
class TUndoRedoItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Row = 0;
    int Col = 0;
    String Value;      // the text after the change
    String OrigValue;  // the text before it
    bool SequenceStart = false;
    bool SequenceStop = false;
    bool IsMarker() const { return SequenceStart || SequenceStop; }
    void Assign(const TPersistent* Source) override;
};

class TUndoRedoCollection : public TCollection {
public:
    TUndoRedoCollection();
    TUndoRedoItem* Item(int Index) const { return ItemsAs<TUndoRedoItem>(Index); }
};

using TExGridUndoRedoEvent = std::function<void(TObject* Sender, TBaseGrid* Grid, int Col, int Row,
                                                const String& OrigValue, const String& NewValue)>;

class TExGridUndoRedo : public TComponent {
public:
    explicit TExGridUndoRedo(TComponent* AOwner);
    ~TExGridUndoRedo() override;

    // Records a change without touching the grid; with MaxLevel > 0 the
    // oldest item goes when the list is full.
    virtual void RegisterChange(int ACol, int ARow, const String& OldValue, const String& NewValue);
    virtual void StartSequence();
    virtual void StopSequence();

    bool CanUndo() const { return FLevel > 0; }
    bool CanRedo() const { return FLevel < FItems.Count(); }
    // Takes back the last done change or sequence (its cells in reverse order).
    void Undo();
    // Applies the first undone change or sequence again.
    void Redo();
    void Reset();

    TUndoRedoCollection& Items() { return FItems; }
    TBaseGrid* Grid() const { return FGrid; }
    void SetGrid(TBaseGrid* Value);
    int Level() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }
    int MaxLevel() const { return FMaxLevel; }
    void SetMaxLevel(int Value) { FMaxLevel = Value; }

    // Fired before each cell is written back, with the text it shows and the text to come.
    TExGridUndoRedoEvent OnUndo;
    TExGridUndoRedoEvent OnRedo;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void DropUndone();
    TUndoRedoItem* Append();
    void Apply(const TUndoRedoItem& Item, bool Undoing);

    TUndoRedoCollection FItems;
    TBaseGrid* FGrid = nullptr;
    int FLevel = 0;
    int FMaxLevel = 0;
};
