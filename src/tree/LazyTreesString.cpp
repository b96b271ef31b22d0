// The string tree: cell texts asked from the owner on every use, painted
// after the images, measured for selection and scrolling, written as CSV.

#include "tree/LazyTrees_p.h"

#include "framework/Encoding.h"
#include "framework/Files.h"
#include "tree/LazyTrees.Utils.h"

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
    ForgetAllWidths();
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

namespace {

// The platform's formats of one line, vertically centred, and of word-wrapped lines broken as an
// edit control breaks them.
constexpr unsigned SingleLineFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr unsigned MultilineFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

unsigned AlignmentFormat(TAlignment Alignment) {
    return Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
}

}  // namespace

void TCustomLazyStringTree::ForgetAllWidths() {
    for (PLazyNode Run = FRoot->FirstChild; Run; Run = GetNextNoInit(Run)) SetCachedWidth(Run, 0);
}

void TCustomLazyStringTree::MainColumnSwitched() {
    TBaseLazyTree::MainColumnSwitched();
    ForgetAllWidths();
}

TSize TCustomLazyStringTree::MeasureCellText(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column,
                                             const String& Text) {
    TSize Size = Canvas.TextExtent(Text);
    if (Node->States.Contains(vsMultiline)) {
        // As wide as the lines laid out in the one-line width come out; the height stays one line's.
        TRect R{0, 0, Size.cx, 0};
        Canvas.DrawText(Text, R,
                        DT_CALCRECT | MultilineFormat | DT_END_ELLIPSIS | AlignmentFormat(FAlignment));
        Size.cx = R.Right - R.Left;
    }
    if (OnMeasureTextWidth) OnMeasureTextWidth(this, &Canvas, Node, Column, Text, Size.cx);
    if (OnMeasureTextHeight) OnMeasureTextHeight(this, &Canvas, Node, Column, Text, Size.cy);
    return Size;
}

int TCustomLazyStringTree::MeasureCellTextWidth(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column,
                                                const String& Text) {
    int Width = 2 * FTextMargin;
    if (!Text.empty()) {
        Canvas.Font().Assign(&Font());
        DoPaintText(Node, Canvas, Column, ttNormal);
        Width += MeasureCellText(Canvas, Node, Column, Text).cx;
    }
    return Width;
}

int TCustomLazyStringTree::MeasureStaticTextWidth(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column,
                                                  const String& Text) {
    if (Text.empty() || FAlignment == taCenter || Node->States.Contains(vsMultiline)) return 0;
    DoPaintText(Node, Canvas, Column, ttStatic);
    return MeasureCellText(Canvas, Node, Column, Text).cx + FTextMargin;
}

int TCustomLazyStringTree::QueryCellTextWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) {
    if (Column >= 0 && Node->States.Contains(vsMultiline) && FHeader->Columns().IsValidColumn(Column))
        return FHeader->Columns()[Column]->Width();
    TCanvas& On = Canvas ? *Canvas : this->Canvas();
    const TColumnIndex Main = FHeader->GetMainColumn();
    if (Column >= 0 && Column != Main) return MeasureCellTextWidth(On, Node, Column, GetText(Node, Column));
    // The main column's width is asked for on every scroll and hit test: it is kept per node.
    if (int Cached = CachedWidth(Node)) return Cached;
    const int Width = MeasureCellTextWidth(On, Node, Main, GetText(Node, Main));
    SetCachedWidth(Node, Width);
    return Width;
}

int TCustomLazyStringTree::QueryExtraCellWidth(PLazyNode Node, TColumnIndex Column, TCanvas* Canvas) {
    if (!FStringOptions.Contains(toShowStaticText)) return 0;
    return MeasureStaticTextWidth(Canvas ? *Canvas : this->Canvas(), Node, Column, GetStaticText(Node, Column));
}

int TCustomLazyStringTree::ComputeNodeHeight(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, String S) {
    if (S.empty()) S = GetText(Node, Column);
    const TBiDiMode BiDi = CellBiDiMode(Column);
    const unsigned Format = (Node->States.Contains(vsMultiline) ? MultilineFormat : SingleLineFormat) | DT_CALCRECT |
                            (BiDi != bdLeftToRight ? DT_RIGHT | DT_RTLREADING : 0u);
    TLTPaintInfo Info;
    Info.Canvas = &Canvas;
    Info.Node = Node;
    Info.Column = Column;
    Info.BidiMode = BiDi;
    if (Column <= NoColumn || !FHeader->Columns().IsValidColumn(Column)) {
        Info.CellRect = TRect{0, 0, ClientWidth(), 0};
    } else {
        Info.CellRect = TRect{FTextMargin + FMargin, 0, FHeader->Columns()[Column]->Width() - FTextMargin, 0};
        if (Column == FHeader->GetMainColumn()) {
            const TLTPaintOptions Paint = FOptions->PaintOptions();
            const int Levels = Paint.Contains(toFixedIndent)
                                   ? 1
                                   : int(GetNodeLevel(Node)) + (Paint.Contains(toShowRoot) ? 1 : 0);
            Info.CellRect.Left += int(FIndent) * Levels;
        }
    }
    SpanCellOverEmptyColumns(Info);
    Canvas.DrawText(S, Info.CellRect, Format);
    return Info.CellRect.Bottom - Info.CellRect.Top;
}

bool TCustomLazyStringTree::ShownSelected(const TLTPaintInfo& PaintInfo) const {
    if (!PaintInfo.PaintOptions.Contains(poDrawSelection) || !CellShowsSelection(PaintInfo.Column)) return false;
    PLazyNode Node = PaintInfo.Node;
    if (Node == DropTargetNode()) return LastDropMode() == dmOnNode || Node->States.Contains(vsSelected);
    return Node->States.Contains(vsSelected) && (Focused() || FOptions->PaintOptions().Contains(toPopupMode));
}

void TCustomLazyStringTree::PrepareTextFont(TLTPaintInfo& PaintInfo) {
    TCanvas& Canvas = *PaintInfo.Canvas;
    Canvas.Font().Assign(&Font());
    Canvas.Font().SetColor(Enabled() ? FColors->NodeFontColor() : FColors->GetColor(TLTColors::DisabledColor));
    // The explorer look marks hot and selected nodes with the theme instead.
    if (FStates.Contains(tsUseExplorerTheme)) return;
    if (FOptions->PaintOptions().Contains(toHotTrack) && PaintInfo.Node == FCurrentHotNode) {
        Canvas.Font().SetStyle(Canvas.Font().Style() + TFontStyles{fsUnderline});
        Canvas.Font().SetColor(FColors->GetColor(TLTColors::HotColor));
    }
    if (ShownSelected(PaintInfo)) Canvas.Font().SetColor(FColors->GetColor(TLTColors::SelectionTextColor));
}

void TCustomLazyStringTree::DrawCellText(TLTPaintInfo& PaintInfo, const String& Text) {
    TCanvas& Canvas = *PaintInfo.Canvas;
    PLazyNode Node = PaintInfo.Node;
    const TColumnIndex Column = PaintInfo.Column;
    const bool Disabled = Node->States.Contains(vsDisabled) || !Enabled();
    PrepareTextFont(PaintInfo);
    TRect R = PaintInfo.ContentRect;
    R.Left += FTextMargin;
    R.Right -= FTextMargin;
    Canvas.SetTextFlags(0);
    String Shown = Text;
    unsigned Format;
    if (Node->States.Contains(vsMultiline)) {
        DoPaintText(Node, Canvas, Column, ttNormal);
        const int Height = ComputeNodeHeight(Canvas, Node, Column);
        if (Disabled) Canvas.Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        // Wrapped lines that end in "..." where the row is too low.
        Format = MultilineFormat | DT_END_ELLIPSIS | AlignmentFormat(PaintInfo.Alignment);
        // Lines lower than the row are centred in it.
        if (Height < R.Bottom - R.Top) {
            const int Inflate = (Height - (R.Bottom - R.Top)) / 2;
            R.Top -= Inflate;
            R.Bottom += Inflate;
        }
    } else {
        ClearFontChanged();
        int EllipsisWidth = FEllipsisWidth;
        DoPaintText(Node, Canvas, Column, ttNormal);
        if (FontChanged()) {
            // Measured in the handler's font for this paint.
            EllipsisWidth = 0;
            PaintInfo.NodeWidth = Canvas.TextWidth(Text) + 2 * FTextMargin;
        }
        if (Disabled) Canvas.Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        Format = SingleLineFormat;
        if (Column >= 0 && PaintInfo.NodeWidth - 2 * FTextMargin > R.Right - R.Left) {
            Shown = DoShortenString(Canvas, Node, Column, Text, R.Right - R.Left, EllipsisWidth);
            // A shortened text fills its cell: a centred one starts at the left.
            if (PaintInfo.Alignment == taRightJustify) Format |= DT_RIGHT;
        } else {
            Format |= AlignmentFormat(PaintInfo.Alignment);
        }
    }
    if (PaintInfo.BidiMode != bdLeftToRight) Format |= DT_RTLREADING;
    Canvas.SetBkMode(Canvas.TextFlags() & ETO_OPAQUE ? OPAQUE : TRANSPARENT);
    DoDrawText(PaintInfo, Shown, R, Format);
}

void TCustomLazyStringTree::DrawStaticText(TLTPaintInfo& PaintInfo, const String& Text) {
    TCanvas& Canvas = *PaintInfo.Canvas;
    PLazyNode Node = PaintInfo.Node;
    Canvas.Font().Assign(&Font());
    if (FOptions->SelectionOptions().Contains(toFullRowSelect)) {
        const bool Selected = Node->States.Contains(vsSelected);
        const bool DropTarget = Node == DropTargetNode();
        if ((DropTarget && (LastDropMode() == dmOnNode || Selected)) ||
            (Selected && (Focused() || FOptions->PaintOptions().Contains(toPopupMode))))
            Canvas.Font().SetColor(FColors->GetColor(TLTColors::SelectionTextColor));
        else if (Selected || DropTarget)
            Canvas.Font().SetColor(FColors->NodeFontColor());
    }
    Canvas.SetTextFlags(0);
    DoPaintText(Node, Canvas, PaintInfo.Column, ttStatic);
    if (Node->States.Contains(vsDisabled) || !Enabled())
        Canvas.Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
    // Beside the caption: after it, or before it when the cell is right-justified.
    TRect R = PaintInfo.ContentRect;
    if (PaintInfo.Alignment == taRightJustify) R.Right -= PaintInfo.NodeWidth + FTextMargin;
    else R.Left += PaintInfo.NodeWidth + FTextMargin;
    Canvas.SetBkMode(Canvas.TextFlags() & ETO_OPAQUE ? OPAQUE : TRANSPARENT);
    Canvas.DrawText(Text, R, SingleLineFormat);
}

String TCustomLazyStringTree::DoShortenString(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const String& S,
                                              int Width, int EllipsisWidth) {
    bool Done = false;
    String Result;
    if (OnShortenString) OnShortenString(this, &Canvas, Node, Column, S, Width, Result, Done);
    if (!Done) Result = ShortenToWidth(Canvas, S, Width, EllipsisWidth);
    return Result;
}

void TCustomLazyStringTree::DoDrawText(TLTPaintInfo& PaintInfo, const String& Text, const TRect& CellRect,
                                       unsigned Format) {
    bool DefaultDraw = true;
    if (OnDrawText) OnDrawText(this, PaintInfo.Canvas, PaintInfo.Node, PaintInfo.Column, Text, CellRect, DefaultDraw);
    if (!DefaultDraw) return;
    TRect R = CellRect;
    PaintInfo.Canvas->DrawText(Text, R, Format);
}

void TCustomLazyStringTree::PaintCellContent(TLTPaintInfo& PaintInfo) {
    TCanvas& Canvas = *PaintInfo.Canvas;
    PLazyNode Node = PaintInfo.Node;
    // A handler that changes the font is noticed through the canvas's change notice.
    HookCanvasFontChange(Canvas);
    TFinally Unhook{[&] { UnhookCanvasFontChange(Canvas); }};
    TLSTGetCellTextEventArgs E(Node, PaintInfo.Column);
    E.CellText = FDefaultText;
    DoGetText(E);
    if (!E.CellText.empty()) DrawCellText(PaintInfo, E.CellText);
    if (!E.StaticText.empty() && FStringOptions.Contains(toShowStaticText) && FAlignment != taCenter &&
        !Node->States.Contains(vsMultiline))
        DrawStaticText(PaintInfo, E.StaticText);
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
    if (IncludeHeading) {
        for (int Column = 0; Column < Columns; ++Column) {
            if (Column > 0) Out += u',';
            Out += Quote(FHeader->Columns()[Column]->GetText());
        }
        Out += S("\r\n");
    }
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
    // A right-to-left text does not run on into the cells at its right.
    if (!FOptions->AutoOptions().Contains(toAutoSpanColumns) || !FHeader->UseColumns() ||
        PaintInfo.BidiMode != bdLeftToRight)
        return TBaseLazyTree::SpanCellOverEmptyColumns(PaintInfo);
    const TLazyTreeColumns& Columns = FHeader->Columns();
    TColumnIndex Next = Columns.GetNextVisibleColumn(PaintInfo.Column);
    for (; Next >= 0 && DoGetCellIsEmpty(PaintInfo.Node, Next) && !CellRightToLeft(Next);
         Next = Columns.GetNextVisibleColumn(Next))
        PaintInfo.CellRect.Right += Columns[Next]->Width();
    return Next;
}

bool TCustomLazyStringTree::DoGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) {
    if (!GetText(Node, Column).empty()) return false;
    return TBaseLazyTree::DoGetCellIsEmpty(Node, Column);
}
