// The string tree: cell texts asked from the owner on every use, painted
// after the images, measured for selection and scrolling, written as CSV.

#include "tree/LazyTrees_p.h"

#include "framework/Encoding.h"
#include "framework/Files.h"

#include <algorithm>
#include <cstring>

TCustomLazyStringTree::TCustomLazyStringTree(TComponent* AOwner) : TBaseLazyTree(AOwner), FDefaultText(S("Node")) {
    FInternalDataOffset = ReserveInternalData(sizeof(int));
}

// The width cache lies behind the owner's data area of every node but the root.
int TCustomLazyStringTree::CachedWidth(PLazyNode Node) const {
    if (!Node || Node == FRoot) return 0;
    int Width;
    std::memcpy(&Width, Node->RawData() + std::max(FNodeDataSize, 0) + FInternalDataOffset, sizeof Width);
    return Width;
}

void TCustomLazyStringTree::SetCachedWidth(PLazyNode Node, int Width) {
    if (!Node || Node == FRoot) return;
    std::memcpy(Node->RawData() + std::max(FNodeDataSize, 0) + FInternalDataOffset, &Width, sizeof Width);
}

void TCustomLazyStringTree::InvalidateNode(PLazyNode Node) {
    TBaseLazyTree::InvalidateNode(Node);
    if (!Node || Node == FRoot) return;
    SetCachedWidth(Node, 0);
    Node->States.Exclude(vsHeightMeasured);
}

void TCustomLazyStringTree::ReinitNode(PLazyNode Node, bool Recursive) {
    TBaseLazyTree::ReinitNode(Node, Recursive);
    SetCachedWidth(Node, 0);
}

void TCustomLazyStringTree::SetChildCount(PLazyNode Node, Cardinal NewChildCount) {
    TBaseLazyTree::SetChildCount(Node, NewChildCount);
    SetCachedWidth(Node, 0);
}

void TCustomLazyStringTree::TakeFontMetrics() {
    TBitmap Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas().Font().Assign(&Font());
    TTextMetric Metric{};
    Measure.Canvas().GetTextMetrics(Metric);
    FTextHeight = Metric.tmHeight;
    FEllipsisWidth = Measure.Canvas().TextWidth(S("..."));
    for (PLazyNode Run = FRoot->FirstChild; Run; Run = GetNextNoInit(Run)) SetCachedWidth(Run, 0);
}

void TCustomLazyStringTree::CreateWnd() {
    TBaseLazyTree::CreateWnd();
    TakeFontMetrics();
}

void TCustomLazyStringTree::CMFontChanged(TMessage& Message) {
    TBaseLazyTree::CMFontChanged(Message);
    TakeFontMetrics();
}

void TCustomLazyStringTree::DoGetText(TLSTGetCellTextEventArgs& E) {
    if (!E.Node->States.Contains(vsInitialized)) InitializeNode(E.Node);
    if (OnGetCellText) {
        OnGetCellText(this, E);
    } else if (OnGetText) {
        OnGetText(this, E.Node, E.Column, ttNormal, E.CellText);
        OnGetText(this, E.Node, E.Column, ttStatic, E.StaticText);
    }
}

String TCustomLazyStringTree::GetText(PLazyNode Node, TColumnIndex Column) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    TLSTGetCellTextEventArgs E(Node, Column);
    E.CellText = FDefaultText;
    DoGetText(E);
    return E.CellText;
}

String TCustomLazyStringTree::GetStaticText(PLazyNode Node, TColumnIndex Column) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    TLSTGetCellTextEventArgs E(Node, Column);
    DoGetText(E);
    return E.StaticText;
}

String TCustomLazyStringTree::GetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column) {
    TreeAssert(Node != nullptr, "Node must not be nil.");
    if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
    String Text;
    DoGetImageText(Node, Kind, Column, Text);
    return Text;
}

void TCustomLazyStringTree::DoNewText(PLazyNode Node, TColumnIndex Column, const String& Text) {
    if (OnNewText) OnNewText(this, Node, Column, Text);
    if (FUpdateCount == 0) UpdateScrollBars(true);
}

void TCustomLazyStringTree::SetText(PLazyNode Node, TColumnIndex Column, const String& Value) {
    DoNewText(Node, Column, Value);
    InvalidateNode(Node);
}

void TCustomLazyStringTree::SetDefaultText(const String& Value) {
    if (FDefaultText == Value) return;
    FDefaultText = Value;
    if (!IsLoading()) InvalidateTree();
}

void TCustomLazyStringTree::SetStringOptions(TLTStringOptions Value) {
    if (FStringOptions == Value) return;
    bool Repaint = FStringOptions.Contains(toShowStaticText) != Value.Contains(toShowStaticText);
    FStringOptions = Value;
    if (Repaint && !IsLoading()) InvalidateTree();
}

void TCustomLazyStringTree::DoPaintText(PLazyNode Node, TCanvas& Canvas, TColumnIndex Column, TLSTTextType TextType) {
    if (OnPaintText) OnPaintText(this, &Canvas, Node, Column, TextType);
}

int TCustomLazyStringTree::QueryCellTextWidth(PLazyNode Node) {
    if (int Cached = CachedWidth(Node)) return Cached;
    const TColumnIndex Main = FHeader->GetMainColumn();
    String Text = GetText(Node, Main);
    int Width = 2 * FTextMargin;
    if (!Text.empty()) {
        TCanvas& C = Canvas();
        C.Font().Assign(&Font());
        DoPaintText(Node, C, Main, ttNormal);
        Width += C.TextWidth(Text);
    }
    SetCachedWidth(Node, Width);
    return Width;
}

void TCustomLazyStringTree::PaintCellContent(TLTPaintInfo& PaintInfo) {
    TCanvas& Canvas = *PaintInfo.Canvas;
    PLazyNode Node = PaintInfo.Node;
    const TRect& ContentRect = PaintInfo.ContentRect;
    const TColumnIndex Column = PaintInfo.Column;
    const bool Selected = Node->States.Contains(vsSelected) &&
                          (Focused() || FOptions->PaintOptions().Contains(toPopupMode)) &&
                          !FOptions->PaintOptions().Contains(toAlwaysHideSelection) && CellShowsSelection(Column);
    TLSTGetCellTextEventArgs E(Node, Column);
    E.CellText = FDefaultText;
    DoGetText(E);
    bool Enabled = this->Enabled() && !Node->States.Contains(vsDisabled);
    auto Prepare = [&] {
        Canvas.Font().Assign(&Font());
        Canvas.Font().SetColor(Enabled ? FColors->NodeFontColor() : FColors->GetColor(TLTColors::DisabledColor));
        // The explorer look marks the hot node with the theme instead.
        if (FOptions->PaintOptions().Contains(toHotTrack) && Node == FCurrentHotNode &&
            !FStates.Contains(tsUseExplorerTheme)) {
            Canvas.Font().SetStyle(Canvas.Font().Style() + TFontStyles{fsUnderline});
            Canvas.Font().SetColor(FColors->GetColor(TLTColors::HotColor));
        }
        if (Selected) Canvas.Font().SetColor(FColors->GetColor(TLTColors::SelectionTextColor));
    };
    Canvas.Brush().SetStyle(bsClear);
    TRect R = ContentRect;
    R.Left += FTextMargin;
    R.Right -= FTextMargin;
    int TextWidth = 0;
    if (!E.CellText.empty()) {
        Prepare();
        HookCanvasFontChange(Canvas);
        {
            TFinally Unhook([&] { UnhookCanvasFontChange(Canvas); });
            ClearFontChanged();
            DoPaintText(Node, Canvas, Column, ttNormal);
        }
        if (!Enabled) Canvas.Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        TextWidth = Canvas.TextWidth(E.CellText);
        // A handler's own font gives the text another width than the one measured before.
        if (FontChanged()) PaintInfo.NodeWidth = TextWidth + 2 * FTextMargin;
        TRect T{R.Left, R.Top, std::max(R.Right, R.Left + TextWidth), R.Bottom};
        // The main column places its content box itself; another column's text follows its alignment.
        unsigned Align = DT_LEFT;
        if (Column != FHeader->GetMainColumn() && FHeader->Columns().IsValidColumn(Column) && TextWidth < R.Right - R.Left)
            Align = FHeader->Columns()[Column]->Alignment() == taCenter         ? DT_CENTER
                    : FHeader->Columns()[Column]->Alignment() == taRightJustify ? DT_RIGHT
                                                                                 : DT_LEFT;
        Canvas.DrawText(E.CellText, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | Align);
    }
    if (!E.StaticText.empty() && FStringOptions.Contains(toShowStaticText) &&
        !Node->States.Contains(vsMultiline)) {
        Canvas.Font().Assign(&Font());
        DoPaintText(Node, Canvas, Column, ttStatic);
        TRect T{ContentRect.Left + TextWidth + 3 * FTextMargin, R.Top, ClientWidth(), R.Bottom};
        Canvas.DrawText(E.StaticText, T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    Canvas.Brush().SetStyle(bsSolid);
}

String TCustomLazyStringTree::Path(PLazyNode Node, TColumnIndex Column, Char Delimiter) {
    String Result(1, Delimiter);
    if (!Node || Node == FRoot) return Result;
    Result.clear();
    for (PLazyNode Run = Node; Run && Run != FRoot; Run = Run->Parent) Result = GetText(Run, Column) + Delimiter + Result;
    return Result;
}

int TCustomLazyStringTree::DoIncrementalSearch(PLazyNode Node, const String& Text) {
    if (OnIncrementalSearch) return TBaseLazyTree::DoIncrementalSearch(Node, Text);
    String Cell = GetText(Node, FFocusedColumn);
    return Cell.compare(0, Text.size(), Text) == 0 ? 0 : 1;
}

bool TCustomLazyStringTree::SaveToCSVFile(const String& FileNameWithPath, bool IncludeHeading) {
    if (FileNameWithPath.empty()) return false;
    const int Columns = FHeader->ColumnCount();
    String Out;
    auto Quote = [](const String& Text) {
        String Q(1, u'"');
        for (Char C : Text) {
            if (C == u'"') Q += u'"';
            Q += C;
        }
        return Q + u'"';
    };
    if (IncludeHeading) Out += S("\r\n");
    for (PLazyNode Run = FRoot->FirstChild; Run; Run = Run->NextSibling) {
        for (int Column = 0; Column < Columns; ++Column) {
            if (Column > 0) Out += u',';
            String Text = GetText(Run, Column);
            Out += Quote(Text.empty() ? S(" ") : Text);
        }
        Out += S("\r\n");
    }
    WriteFileAtomic(FileNameWithPath, StringToWindows1252(Out));
    return true;
}

bool TCustomLazyStringTree::TCaselessLess::operator()(const String& A, const String& B) const {
    return AnsiCompareText(A, B) < 0;
}

// The caption as the owner gives it, without initialisation or default text.
String TCustomLazyStringTree::SelectionCaption(PLazyNode Node) {
    String Text;
    OnGetText(this, Node, 0, ttNormal, Text);
    return Text;
}

bool TCustomLazyStringTree::AddToSelection(PLazyNode Node) {
    bool Result = TBaseLazyTree::AddToSelection(Node);
    if (FOptions->SelectionOptions().Contains(toRestoreSelection) && OnGetText && GetSelected(Node) &&
        !FStates.Contains(tsPreviouslySelectedLocked)) {
        if (!FPreviouslySelected) FPreviouslySelected = std::make_unique<std::set<String, TCaselessLess>>();
        if (FSelectionCount == 1) FPreviouslySelected->clear();
        FPreviouslySelected->insert(SelectionCaption(Node));
    }
    return Result;
}

void TCustomLazyStringTree::RemoveFromSelection(PLazyNode Node) {
    TBaseLazyTree::RemoveFromSelection(Node);
    if (!FPreviouslySelected || GetSelected(Node)) return;
    if (FSelectionCount == 0) FPreviouslySelected->clear();
    else if (OnGetText) FPreviouslySelected->erase(SelectionCaption(Node));
}

PLazyNode TCustomLazyStringTree::AddChild(PLazyNode Parent, void* UserData) {
    PLazyNode Node = TBaseLazyTree::AddChild(Parent, UserData);
    if (FOptions->SelectionOptions().Contains(toRestoreSelection) && FPreviouslySelected && OnGetText) {
        if (FPreviouslySelected->count(SelectionCaption(Node))) {
            DoStateChange({tsPreviouslySelectedLocked});
            TFinally Unlock{[this] { DoStateChange({}, {tsPreviouslySelectedLocked}); }};
            AddToSelection(Node);
        }
        if (FSelectionCount > 0 && FUpdateCount == 0) ScrollIntoView(GetFirstSelected(), true, false);
    }
    return Node;
}

namespace {
constexpr Cardinal CaptionChunk = 3;
}

void TCustomLazyStringTree::WriteStreamNode(TStream& Stream, PLazyNode Node) {
    TBaseLazyTree::WriteStreamNode(Stream, Node);
    if (!FStringOptions.Contains(toSaveCaptions) || Node == FRoot || !Node->States.Contains(vsInitialized)) return;
    String Text = GetText(Node, FHeader->MainColumn);
    if (Text.empty()) return;
    Stream.WriteDWord(CaptionChunk);
    Stream.WriteDWord(Cardinal(2 * Text.size()));
    for (Char C : Text) {
        Byte Pair[2] = {Byte(C & 0xFF), Byte(C >> 8)};
        Stream.WriteBuffer(Pair, 2);
    }
}

bool TCustomLazyStringTree::ReadStreamChunk(TStream& Stream, int Version, PLazyNode Node, Cardinal ChunkType,
                                            Cardinal ChunkSize) {
    if (ChunkType != CaptionChunk) return TBaseLazyTree::ReadStreamChunk(Stream, Version, Node, ChunkType, ChunkSize);
    String Text(ChunkSize / 2, u'\0');
    for (Char& C : Text) {
        Byte Pair[2];
        Stream.ReadBuffer(Pair, 2);
        C = Char(Pair[0] | Pair[1] << 8);
    }
    // An odd last byte belongs to no character: it is passed over.
    if (ChunkSize % 2) Stream.Seek(1, soCurrent);
    SetText(Node, FHeader->MainColumn, Text);
    return true;
}

TColumnIndex TCustomLazyStringTree::SpanCellOverEmptyColumns(TLTPaintInfo& PaintInfo) {
    if (!FOptions->AutoOptions().Contains(toAutoSpanColumns) || !FHeader->UseColumns())
        return TBaseLazyTree::SpanCellOverEmptyColumns(PaintInfo);
    const TLazyTreeColumns& Columns = FHeader->Columns();
    TColumnIndex Next = Columns.GetNextVisibleColumn(PaintInfo.Column);
    for (; Next >= 0 && DoGetCellIsEmpty(PaintInfo.Node, Next); Next = Columns.GetNextVisibleColumn(Next))
        PaintInfo.CellRect.Right += Columns[Next]->Width();
    return Next;
}

bool TCustomLazyStringTree::DoGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) {
    if (!GetText(Node, Column).empty()) return false;
    return TBaseLazyTree::DoGetCellIsEmpty(Node, Column);
}
