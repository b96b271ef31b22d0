// The string tree's in-place editor: an edit box over the cell, kept sized to
// its text, whose text goes back to the tree when the edit ends.

#include "tree/LazyTreesEdit.h"
#include "tree/LazyTrees_p.h"

#include "framework/Messages.h"

namespace {
constexpr int MinimumEditWidth = 30;
}  // namespace

// ---------------------------------------------------------------------------
// The string tree's side
// ---------------------------------------------------------------------------

std::shared_ptr<ILTEditLink> TCustomLazyStringTree::DoCreateEditor(PLazyNode Node, TColumnIndex Column) {
    std::shared_ptr<ILTEditLink> Link = TBaseLazyTree::DoCreateEditor(Node, Column);
    if (!Link) Link = std::make_shared<TStringEditLink>();
    return Link;
}

void TCustomLazyStringTree::GetTextInfo(PLazyNode Node, TColumnIndex Column, TFont& AFont, TRect& R, String& Text) {
    TBaseLazyTree::GetTextInfo(Node, Column, AFont, R, Text);
    TCanvas& C = Canvas();
    C.Font().Assign(&AFont);
    DoPaintText(Node, C, Column, ttNormal);
    AFont.Assign(&C.Font());
    // Measured in the font the owner chose, which may differ from the tree's.
    TTextMetric Metric{};
    C.GetTextMetrics(Metric);
    Text = GetText(Node, Column);
    R = GetDisplayRect(Node, Column, true);
    if (FOptions->PaintOptions().Contains(toShowHorzGridLines)) --R.Bottom;
    const int Grow = (int(Metric.tmHeight) - (R.Bottom - R.Top)) / 2;
    R.Top -= Grow;
    R.Bottom += Grow;
}

void TCustomLazyStringTree::PlaceEditor() {
    if (!FEditLink || !FEditNode) return;
    TRect R = GetDisplayRect(FEditNode, true);
    FEditLink->SetBounds(R);
}

// ---------------------------------------------------------------------------
// The link
// ---------------------------------------------------------------------------

TStringEditLink::TStringEditLink() : FEdit(new TLTEdit(this)) {
    FEdit->SetVisible(false);
}

TStringEditLink::~TStringEditLink() {
    if (FEdit) {
        FEdit->FLink = nullptr;
        FEdit->Release();
    }
}

bool TStringEditLink::PrepareEdit(TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex Column) {
    auto* StringTree = dynamic_cast<TCustomLazyStringTree*>(Tree);
    if (!StringTree) return false;
    if (!FEdit) FEdit = new TLTEdit(this);
    FEdit->FLink = this;
    FEdit->FRefLink = shared_from_this();
    FTree = StringTree;
    FNode = Node;
    FColumn = Column;
    String Text;
    StringTree->GetTextInfo(Node, Column, FEdit->Font(), FTextBounds, Text);
    FEdit->Font().SetColor(clWindowText);
    FEdit->SetParent(Tree);
    // Multi-line nodes edit on many lines, scrolling vertically only.
    FEdit->SetMultiLine(StringTree->GetMultiline(Node));
    FEdit->HandleNeeded();
    FEdit->SetText(Text);
    FEdit->SetModified(false);
    // The box reads as its cell does; right to left the cell's justification is mirrored.
    const TLazyTreeColumns& Columns = StringTree->Header().Columns();
    const bool OwnColumn = Column >= 0 && Columns.IsValidColumn(Column);
    FEdit->SetBiDiMode(OwnColumn ? TBiDiMode(Columns[Column]->BiDiMode()) : StringTree->BiDiMode());
    FAlignment = OwnColumn ? Columns[Column]->Alignment() : StringTree->Alignment();
    if (FEdit->BiDiMode() != bdLeftToRight) FAlignment = ChangeBiDiModeAlignment(FAlignment);
    return true;
}

bool TStringEditLink::BeginEdit() {
    if (FStopping) return false;
    FEdit->Show();
    FEdit->SelectAll();
    FEdit->SetFocus();
    FEdit->FitToText();
    return true;
}

bool TStringEditLink::EndEdit() {
    if (FStopping) return false;
    FStopping = true;
    try {
        if (FEdit->Modified()) FTree->SetText(FNode, FColumn, FEdit->Text());
    } catch (...) {
        FStopping = false;
        throw;
    }
    FEdit->Hide();
    FEdit->DropLink();
    return true;
}

bool TStringEditLink::CancelEdit() {
    if (FStopping) return false;
    FStopping = true;
    FEdit->Hide();
    FTree->CancelEditNode();
    FEdit->DropLink();
    return true;
}

TRect TStringEditLink::GetBounds() { return FEdit->BoundsRect(); }

void TStringEditLink::ProcessMessage(TMessage& Message) { FEdit->Perform(Message.Msg, Message.WParam, Message.LParam); }

void TStringEditLink::SetBounds(TRect R) {
    if (FStopping || !FEdit) return;
    if (R.Left < 0) R.Left = 0;
    if (R.Right - R.Left < MinimumEditWidth) {
        if (FAlignment == taRightJustify) R.Left = R.Right - MinimumEditWidth;
        else R.Right = R.Left + MinimumEditWidth;
    }
    if (FTree && R.Right > FTree->ClientWidth()) R.Right = FTree->ClientWidth();
    FEdit->SetBoundsRect(R);

    // Where the text is laid out inside the box: the cell's text position.
    const bool Single = !FTree || !FTree->GetMultiline(FNode);
    int Offset = Single ? 2 : 0;
    if (FTree && FTree->TreeStates().Contains(tsUseThemes)) ++Offset;
    TRect Format = FEdit->ClientRect();
    const int Margin = FTree ? FTree->TextMargin() : 0;
    Format.Left -= Offset - Margin;
    Format.Right += Offset - Margin;
    Format.Top -= Offset;
    Format.Bottom += Offset;
    if (Single) {
        const int Down = FTextBounds.Top - FEdit->Top();
        Format.Top += Down;
        Format.Bottom += Down;
    }
    Format.Top = std::max(Format.Top, -1);
    Format.Left = std::max(Format.Left, -1);
    FEdit->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Format));
}

// ---------------------------------------------------------------------------
// The edit box
// ---------------------------------------------------------------------------

TLTEdit::TLTEdit(TStringEditLink* Link) : TCustomEdit(nullptr), FLink(Link) {
    SetShowHint(false);
    SetParentShowHint(false);
}

void TLTEdit::DropLink() {
    FLink = nullptr;
    FRefLink.reset();  // may free the link; the box stays until released
}

bool TLTEdit::SingleLine() const { return !MultiLine(); }

void TLTEdit::Release() {
    if (HandleAllocated()) PostMessage(Handle(), CM_RELEASE);
    else delete this;
}

void TLTEdit::FitToText() {
    if (!FLink || !FLink->FTree || !SingleLine()) return;
    TCustomLazyStringTree* Tree = FLink->FTree;
    if (Tree->TreeOptions().MiscOptions().Contains(toGridExtensions)) return;
    TCanvas& C = Tree->Canvas();
    C.Font().Assign(&Font());
    const TSize Extent = C.TextExtent(Text() + u"yG");
    const int Width = Extent.cx + 2 * Tree->TextMargin();
    const int TextHeight = Extent.cy + 2 * Tree->TextMargin();
    const int NewHeight = std::max(Height(), TextHeight);
    // A narrower box leaves the old one's edge behind.
    if (Width < this->Width()) Tree->Invalidate();
    TRect R = BoundsRect();
    R.Bottom = R.Top + NewHeight;
    if (FLink->FAlignment == taRightJustify) R.Left = R.Right - Width;
    else R.Right = R.Left + Width;
    FLink->SetBounds(R);
}

void TLTEdit::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_EXIT:
        if (FLink && !FLink->FStopping) {
            TCustomLazyStringTree* Tree = FLink->FTree;
            if (Tree->StringOptions().Contains(toAutoAcceptEditChange)) Tree->EndEditNode();
            else Tree->CancelEditNode();
        }
        break;
    case CM_RELEASE:
        delete this;
        return;
    case CN_COMMAND:
        if (Message.WParamHi() == EN_UPDATE && FLink && FLink->FTree && SingleLine()) {
            FitToText();
            return;
        }
        break;
    case WM_CHAR:
        if (Message.WParamLo() == VK_TAB || Message.WParamLo() == VK_ESCAPE) return;
        break;
    case WM_GETDLGCODE:
        TCustomEdit::WndProc(Message);
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
        return;
    case WM_DESTROY:
        if (FLink && !FLink->FStopping && FLink->FTree->StringOptions().Contains(toAutoAcceptEditChange) && Modified())
            FLink->FTree->SetText(FLink->FNode, FLink->FColumn, Text());
        DropLink();
        break;
    case CM_AUTOADJUST:
        FitToText();
        return;
    case WM_KEYDOWN:
        if (HandleKeyDown(Message)) return;
        break;
    default:
        break;
    }
    TCustomEdit::WndProc(Message);
}

bool TLTEdit::HandleKeyDown(TMessage& Message) {
    const Word Key = Message.WParamLo();
    const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    TCustomLazyStringTree* Tree = FLink ? FLink->FTree : nullptr;
    switch (Key) {
    case VK_TAB:
        if (Tree && Tree->IsEditing()) {
            PLazyNode Node = FLink->FNode;
            Tree->InvalidateNode(Node);
            PLazyNode Next = Tree->GetNextVisible(Node, true);
            Tree->EndEditNode();
            if (Next) {
                Tree->SetFocusedNode(Next);
                if (Tree->FocusedNode() == Next && Tree->CanEdit(Next, Tree->FocusedColumn()))
                    Tree->EditNode(Next, Tree->FocusedColumn());
            }
        }
        return true;
    case VK_RETURN:
        if (Tree && (SingleLine() || Ctrl)) {
            Tree->InvalidateNode(FLink->FNode);
            Tree->EndEditNode();
            Tree->SetFocus();
            return true;
        }
        // A multi-line box breaks the line as edit boxes do.
        return false;
    case VK_ESCAPE:
        if (Tree) {
            Tree->CancelEditNode();
            Tree->SetFocus();
        }
        return true;
    case VK_UP:
    case VK_DOWN:
        if (SingleLine()) Message.WParam = Key == VK_UP ? VK_LEFT : VK_RIGHT;
        return false;
    case 'A':
        if (Tree && Tree->IsEditing() && Ctrl && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0) {
            SelectAll();
            Message.WParam = 0;
        }
        return true;
    default:
        return false;
    }
}
