#pragma once
// The string tree's default in-place editor: a link that drives an edit box
// laid over the cell and writes the edited text back through SetText.

#include "tree/LazyTrees.h"

#include "framework/StdCtrls.h"
class TLTEdit;

class TStringEditLink : public ILTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;
    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) override;
    TRect GetBounds() override;
    void SetBounds(TRect R) override;
    void ProcessMessage(TMessage& Message);
    TLTEdit* Edit() const { return FEdit; }
    bool Stopping() const { return FStopping; }

private:
    friend class TLTEdit;
    TLTEdit* FEdit = nullptr;
    TCustomLazyStringTree* FTree = nullptr;
    PLazyNode FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    TAlignment FAlignment = taLeftJustify;
    TRect FTextBounds;
    bool FStopping = false;
};

// The size-adjust message of the tree library: the editor fits its text.
constexpr Cardinal CM_AUTOADJUST = 0xB7D5;

class TLTEdit : public TCustomEdit {
public:
    explicit TLTEdit(TStringEditLink* Link);
    // Single-line nodes: the box grows or shrinks to its text plus margins.
    virtual void FitToText();
    // Frees the box once pending messages are handled; at once without a window.
    virtual void Release();

protected:
    void WndProc(TMessage& Message) override;

private:
    friend class TStringEditLink;
    void DropLink();
    bool SingleLine() const;
    // The editor's keys; true when the box's own handling is skipped.
    bool HandleKeyDown(TMessage& Message);
    std::shared_ptr<ILTEditLink> FRefLink;
    TStringEditLink* FLink;
};
