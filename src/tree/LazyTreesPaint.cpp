// Painting: the shown rows from the scroll offset down, each with its tree
// lines, expand button, check box, state and normal images, selection,
// focus mark and the descendant's content; the empty-list message below.

#include "tree/LazyTrees_p.h"

#include "framework/ImgList.h"
#include "framework/Resources.h"
#include "framework/Themes.h"
#include "framework/Windows.h"
#include "tree/LazyTrees.Utils.h"

#include <algorithm>
#include <cmath>

namespace {

int MulDivRound(int A, int B, int C) { return C == 0 ? 0 : (A * B + (A * B >= 0 ? C / 2 : -C / 2)) / C; }

// Rows alternating 01010101 and 10101010: a checkerboard.
const Byte DottedPattern[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
const Byte SolidPattern[16] = {};

int Mod8(int V) { return ((V % 8) + 8) % 8; }

// The shaded buttons: a 9-pixel box with rounded corners, shaded from white at the top to a
// light grey-blue at the bottom, its sign dark.
void PaintShadedButton(TBitmap& Bitmap, bool Plus) {
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(9, 9);
    TCanvas& C = Bitmap.Canvas();
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(clWhite);
    C.FillRect(TRect{0, 0, 9, 9});
    for (int Y = 1; Y < 8; ++Y) {
        const int Step = (Y - 1) * 8;
        C.Brush().SetColor(RGB(Byte(255 - Step), Byte(255 - Step * 3 / 4), Byte(255 - Step / 3)));
        C.FillRect(TRect{1, Y, 8, Y + 1});
    }
    const TColor Frame = RGB(120, 152, 181);
    C.Brush().SetColor(Frame);
    C.FillRect(TRect{1, 0, 8, 1});
    C.FillRect(TRect{1, 8, 8, 9});
    C.FillRect(TRect{0, 1, 1, 8});
    C.FillRect(TRect{8, 1, 9, 8});
    C.Brush().SetColor(RGB(33, 33, 33));
    C.FillRect(TRect{2, 4, 7, 5});
    if (Plus) C.FillRect(TRect{4, 2, 5, 7});
}

const TResourceRegistrar ShadedButtons([] {
    RegisterBitmapResource(S("LT_XPBUTTONMINUS"), [](TBitmap& B) { PaintShadedButton(B, false); });
    RegisterBitmapResource(S("LT_XPBUTTONPLUS"), [](TBitmap& B) { PaintShadedButton(B, true); });
});

}  // namespace

void TBaseLazyTree::SetLineStyle(TLTLineStyle Value) {
    if (Value == FLineStyle) return;
    FLineStyle = Value;
    FLinePatternReady = false;
    InvalidateTree();
}

void TBaseLazyTree::SetLineMode(TLTLineMode Value) {
    if (Value == FLineMode) return;
    FLineMode = Value;
    InvalidateTree();
}

void TBaseLazyTree::DoGetLineStyle(const void*& Bits) {
    if (OnGetLineStyle) OnGetLineStyle(this, Bits);
}

void TBaseLazyTree::DoBeforeDrawTreeLine(PLazyNode Node, int Level, int& PosX) {
    if (OnBeforeDrawTreeLine) OnBeforeDrawTreeLine(this, Node, Level, PosX);
}

void TBaseLazyTree::DrawDottedHorzLine(TCanvas& Canvas, int Left, int Right, int Top) {
    PaintLinePattern(Canvas, TRect{std::min(Left, Right), Top, std::max(Left, Right) + 1, Top + 1},
                     FColors->BackGroundColor());
}

void TBaseLazyTree::DrawDottedVertLine(TCanvas& Canvas, int Top, int Bottom, int Left, bool UseSelectedBkColor) {
    const bool Focus = Focused() || FOptions->PaintOptions().Contains(toPopupMode);
    PaintLinePattern(Canvas, TRect{Left, std::min(Top, Bottom), Left + 1, std::max(Top, Bottom) + 1},
                     UseSelectedBkColor ? FColors->GetColor(Focus ? TLTColors::FocusedSelectionColor
                                                                  : TLTColors::UnfocusedSelectionColor)
                                        : FColors->BackGroundColor());
}

// The pattern keeps its phase in tree coordinates, so that scrolling does not make dotted lines crawl.
void TBaseLazyTree::PaintLinePattern(TCanvas& Canvas, const TRect& R, TColor Background) {
    if (!FLinePatternReady) {
        const void* Bits = FLineStyle == lsSolid ? SolidPattern : DottedPattern;
        if (FLineStyle == lsCustomStyle) DoGetLineStyle(Bits);
        std::copy_n(static_cast<const Byte*>(Bits ? Bits : DottedPattern), 16, FLinePattern);
        FLinePatternReady = true;
    }
    const TColor Line = ColorToRGB(Canvas.Font().Color()), Back = ColorToRGB(Background);
    for (int Y = R.Top; Y < R.Bottom; ++Y) {
        const Byte Row = FLinePattern[2 * Mod8(Y - FOffsetY)];
        for (int X = R.Left; X < R.Right; ++X)
            Canvas.SetPixels(X, Y, (Row >> (7 - Mod8(X + FLinePhaseX))) & 1 ? Back : Line);
    }
}

int TBaseLazyTree::BuildLineImage(PLazyNode Node, TLineImage& LineImage) {
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const bool ShowRoot = Paint.Contains(toShowRoot);
    int SelectLevel = 0;
    int Length = ShowRoot ? 1 : 0;
    for (PLazyNode Run = Node->Parent; Run && Run != FRoot; Run = Run->Parent) {
        ++Length;
        if (Run->States.Contains(vsSelected)) ++SelectLevel;
    }
    LineImage.assign(Length, ltNone);
    if (!Paint.Contains(toShowTreeLines) ||
        (Paint.Contains(toHideTreeLinesIfThemed) && FStates.Contains(tsUseThemes)) || Length == 0)
        return SelectLevel;
    auto HasNext = [this](PLazyNode Run) {
        for (PLazyNode S = Run->NextSibling; S; S = S->NextSibling)
            if (GetEffectivelyVisible(S)) return true;
        return false;
    };
    auto HasPrevious = [this](PLazyNode Run) {
        for (PLazyNode S = Run->PrevSibling; S; S = S->PrevSibling)
            if (GetEffectivelyVisible(S)) return true;
        return false;
    };
    int Entry = Length - 1;
    if (Paint.Contains(toChildrenAbove)) {
        const bool Far = Node->Parent != FRoot || HasNext(Node);
        LineImage[Entry] = HasPrevious(Node) ? (Far ? ltTopDownRight : ltTopRight) : (Far ? ltBottomRight : ltRight);
        for (PLazyNode Run = Node->Parent; Run != FRoot && --Entry >= 0; Run = Run->Parent)
            LineImage[Entry] = HasPrevious(Run) ? ltTopDown : ltNone;
    } else {
        PLazyNode Run = Node;
        if (Node->Parent != FRoot) {
            LineImage[Entry] = HasNext(Node) ? ltTopDownRight : ltTopRight;
            for (Run = Node->Parent; Run->Parent != FRoot; Run = Run->Parent)
                LineImage[--Entry] = HasNext(Run) ? ltTopDown : ltNone;
        }
        // Run is the top-level node or ancestor; its entry is the first one.
        if (ShowRoot) {
            const bool Next = HasNext(Run);
            if (Run == Node) {
                const bool Previous = HasPrevious(Run);
                LineImage[0] = Previous ? (Next ? ltTopDownRight : ltTopRight) : (Next ? ltBottomRight : ltRight);
            } else {
                LineImage[0] = Next ? ltTopDown : ltNone;
            }
        }
    }
    if (FStates.Contains(tsUseExplorerTheme) && Node->States.Contains(vsHasChildren))
        LineImage[Length - 1] = ltNone;
    return SelectLevel;
}

void TBaseLazyTree::DrawLineSegment(TCanvas& Canvas, int X, int Y, int H, int VAlign, TLTLineType Type,
                                    bool Reverse) {
    const int Half = int(std::nearbyint(FIndent / 2.0));
    const int Far = Reverse ? 0 : int(FIndent);
    const int Edge = Reverse ? X + int(FIndent) : X;
    switch (Type) {
    case ltBottomRight:
        DrawDottedVertLine(Canvas, Y + VAlign, Y + H, X + Half);
        DrawDottedHorzLine(Canvas, X + Half, X + Far, Y + VAlign);
        break;
    case ltTopDown: DrawDottedVertLine(Canvas, Y, Y + H, X + Half); break;
    case ltTopDownRight:
        DrawDottedVertLine(Canvas, Y, Y + H, X + Half);
        DrawDottedHorzLine(Canvas, X + Half, X + Far, Y + VAlign);
        break;
    case ltRight: DrawDottedHorzLine(Canvas, X + Half, X + Far, Y + VAlign); break;
    case ltTopRight:
        DrawDottedVertLine(Canvas, Y, Y + VAlign, X + Half);
        DrawDottedHorzLine(Canvas, X + Half, X + Far, Y + VAlign);
        break;
    case ltLeft: DrawDottedVertLine(Canvas, Y, Y + H, Edge); break;
    case ltLeftBottom:
        DrawDottedVertLine(Canvas, Y, Y + H, Edge);
        DrawDottedHorzLine(Canvas, X, X + int(FIndent), Y + H);
        break;
    case ltNone: break;
    }
}

int TBaseLazyTree::GetCheckImageIndex(TCheckType Type, TCheckState State, bool Enabled, bool Hot) {
    if (Type == ctNone) return -1;
    if (CheckStateIsDisabled(State)) {
        State = EnabledCheckState(State);
        Enabled = false;
    }
    if (Type == ctTriStateCheckBox) Type = ctCheckBox;
    // Rows: disabled, enabled, hot; columns: the six normal and pressed states.
    static const int Table[3][3][6] = {
        {{12, 12, 16, 16, 20, 20}, {9, 11, 13, 15, 17, 19}, {10, 11, 14, 15, 18, 19}},
        {{4, 4, 8, 8, 20, 20}, {1, 3, 5, 7, 17, 19}, {2, 3, 6, 7, 18, 19}},
        {{24, 24, 24, 24, 20, 20}, {21, 23, 21, 23, 17, 19}, {22, 23, 22, 23, 18, 19}}};
    int Kind = Type == ctCheckBox ? 0 : Type == ctRadioButton ? 1 : 2;
    int Row = !Enabled ? 0 : Hot ? 2 : 1;
    int Column = std::min<int>(State, 5);
    return Table[Kind][Row][Column];
}

int TBaseLazyTree::DoGetImageIndex(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                   TImageList*& List) {
    int Index = -1;
    Ghosted = false;
    List = Kind == ikState ? FStateImages : FImages;
    if (OnGetImageIndexEx) OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, List);
    else if (OnGetImageIndex) OnGetImageIndex(this, Node, Kind, Column, Ghosted, Index);
    if (!List) List = Kind == ikState ? FStateImages : FImages;
    return Index;
}

void TBaseLazyTree::FetchImageIndex(TLTPaintInfo& PaintInfo, TLTImageKind Kind, TLTImageInfoIndex InfoIndex,
                                    TImageList* DefaultImages) {
    TLTImageInfo& Image = PaintInfo.ImageInfo[InfoIndex];
    Image.Ghosted = false;
    TImageList* List = nullptr;
    Image.Index = DoGetImageIndex(PaintInfo.Node, Kind, PaintInfo.Column, Image.Ghosted, List);
    Image.Images = List ? List : DefaultImages;
}

void TBaseLazyTree::PlaceCellImage(TImageList* Images, bool RightToLeft, int VAlign, TRect& ContentRect,
                                   TLTImageInfo& ImageInfo) {
    if (RightToLeft) {
        ImageInfo.X = ContentRect.Right - Images->Width();
        ContentRect.Right -= Images->Width() + 2;
    } else {
        ImageInfo.X = ContentRect.Left - 1;
        ContentRect.Left += Images->Width() + 2;
    }
    ImageInfo.Y = ContentRect.Top + VAlign - Images->Height() / 2;
}

void TBaseLazyTree::DrawNodeImage(TLTPaintInfo& PaintInfo, TLTImageInfoIndex InfoIndex, bool DoOverlay) {
    TLTImageInfo& Image = PaintInfo.ImageInfo[InfoIndex];
    if (Image.Index < 0 || !Image.Images) return;
    PLazyNode Node = PaintInfo.Node;
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const TLTSelectionOptions Selection = FOptions->SelectionOptions();
    const bool CutNode = Node->States.Contains(vsCutOrCopy) && FStates.Contains(tsCutPending);
    const bool PaintFocused = Focused() || Paint.Contains(toGhostedIfUnfocused);
    TLTImageInfo& Overlay = PaintInfo.ImageInfo[iiOverlay];
    Overlay.Index = -1;
    if (DoOverlay) {
        FetchImageIndex(PaintInfo, ikOverlay, iiOverlay, FImages);
        // An overlay naming the image itself would only draw it twice.
        if (Overlay.Index == Image.Index && Overlay.Images == Image.Images) Overlay.Index = -1;
    }
    const bool Enabled = !Node->States.Contains(vsDisabled) && this->Enabled();
    const bool Selected = Node->States.Contains(vsSelected);
    Image.Images->SetBlendColor(Selected && !Image.Ghosted ? clDefault : Color());
    unsigned Style = ILD_TRANSPARENT;
    if (Overlay.Index >= 0 && Overlay.Index <= 14) Style |= INDEXTOOVERLAYMASK(unsigned(Overlay.Index) + 1) & ILD_OVERLAYMASK;
    if (Paint.Contains(toUseBlendedImages) && PaintFocused &&
        (Image.Ghosted || (Selected && !Selection.Contains(toFullRowSelect) && !FOptions->MiscOptions().Contains(toGridExtensions)) ||
         CutNode))
        Style |= ILD_BLEND25;
    if (Image.Images->ImageType() == itMask) Style |= ILD_MASK;
    DrawListImage(*Image.Images, Image.Index, *PaintInfo.Canvas, Image.X, Image.Y, Style, Enabled);
    // Past the fifteen overlay masks of a list the overlay is an image of its own.
    if (Overlay.Index >= 15 && Overlay.Images)
        DrawListImage(*Overlay.Images, Overlay.Index, *PaintInfo.Canvas, Image.X, Image.Y, Style & ~ILD_BLEND25, Enabled);
}

void TBaseLazyTree::DoGetImageText(PLazyNode Node, TLTImageKind Kind, TColumnIndex Column, String& ImageText) {
    if (OnGetImageText) OnGetImageText(this, Node, Kind, Column, ImageText);
}

bool TBaseLazyTree::ShowsCheck(PLazyNode Node) const {
    return FOptions->MiscOptions().Contains(toCheckSupport) && Node->CheckType != ctNone;
}

void TBaseLazyTree::DrawTreeLines(TCanvas& Canvas, PLazyNode Node, int Top, int Height, int VAlign, int Origin,
                                  bool Reverse) {
    TLineImage LineImage;
    BuildLineImage(Node, LineImage);
    const int FirstLevel = FOptions->PaintOptions().Contains(toShowRoot) ? 0 : 1;
    const bool Bands = FLineMode == lmBands;
    if (Bands) {
        // From the right: an open node's levels all keep their edge; otherwise a node's own
        // connector closes its band at the bottom and the levels left of it follow their neighbour.
        const bool Open = Node->States.Contains(vsExpanded) && !Node->States.Contains(vsAllChildrenHidden);
        TLineImage Band(LineImage.size(), ltNone);
        for (int Entry = int(LineImage.size()) - 1; Entry >= 0; --Entry) {
            switch (LineImage[Entry]) {
            case ltBottomRight:
            case ltTopDownRight:
            case ltRight:
            case ltTopRight: Band[Entry] = ltLeftBottom; break;
            case ltNone:
            case ltTopDown:
                Band[Entry] = Entry + 1 < int(LineImage.size()) &&
                                      (LineImage[Entry + 1] == ltNone || LineImage[Entry + 1] == ltTopRight)
                                  ? Band[Entry + 1]
                                  : ltLeft;
                break;
            default: Band[Entry] = ltNone; break;
            }
            if (Open) Band[Entry] = ltLeft;
        }
        LineImage.swap(Band);
    }
    Canvas.Font().SetColor(FColors->GetColor(Bands ? TLTColors::GridLineColor : TLTColors::TreeLineColor));
    // Right to left the levels run from the cell's right edge leftwards.
    const int Step = Reverse ? -int(FIndent) : int(FIndent);
    int X = Reverse ? Origin - int(FIndent) : Origin;
    for (int Entry = 0; Entry < int(LineImage.size()); ++Entry, X += Step) {
        DoBeforeDrawTreeLine(Node, Entry + FirstLevel, X);
        DrawLineSegment(Canvas, X, Top, Height - (Bands ? 1 : 0), VAlign - 1, LineImage[Entry], Reverse);
    }
}

void TBaseLazyTree::SetButtonStyle(TLTButtonStyle Value) {
    if (Value == FButtonStyle) return;
    FButtonStyle = Value;
    InvalidateTree();
}

void TBaseLazyTree::SetButtonFillMode(TLTButtonFillMode Value) {
    if (Value == FButtonFillMode) return;
    FButtonFillMode = Value;
    InvalidateTree();
}

// The transparent colour of the button pictures: with the explorer look they are drawn over the
// main column's colour, so that their edges blend with it.
TColor TBaseLazyTree::ButtonGroundColor() const {
    if (!(FStates.Contains(tsUseThemes) && FOptions->PaintOptions().Contains(toUseExplorerTheme) &&
          PlatformVersionAtLeast6))
        return TColor(0xFF00FF);
    const TLazyTreeColumns& Columns = FHeader->Columns();
    const TColumnIndex Main = FHeader->GetMainColumn();
    if (!Columns.IsValidColumn(Main) || Columns[Main]->Options().Contains(coParentColor))
        return FColors->BackGroundColor();
    return Columns[Main]->Color();
}

void TBaseLazyTree::RebuildButtons() {
    HTHEME Theme = FStates.Contains(tsUseThemes) ? OpenThemeData(this, S("TREEVIEW")) : HTHEME(0);
    TFinally Close{[Theme] {
        if (Theme) CloseThemeData(Theme);
    }};
    FButtonSize = 9;
    if (Theme) {
        TSize Part{};
        TRect Limit{0, 0, 100, 100};
        if (SUCCEEDED(GetThemePartSize(Theme, nullptr, TVP_GLYPH, GLPS_OPENED, &Limit, TS_TRUE, Part)))
            FButtonSize = std::clamp(int(Part.cx), 1, 100);
    }
    const int Size = FButtonSize;
    const TColor Transparent = ButtonGroundColor();
    for (TBitmap& B : FButtonBM) {
        B.SetSize(Size, Size);
        TCanvas& C = B.Canvas();
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(Transparent);
        C.FillRect(TRect{0, 0, Size, Size});
        B.SetTransparentColor(Transparent);
        B.SetTransparent(true);
    }
    if (OnPrepareButtonBitmaps) {
        TSize Asked{Size, Size};
        OnPrepareButtonBitmaps(this, FButtonBM[bpPlus], FButtonBM[bpPlusHot], FButtonBM[bpPlusSelectedHot],
                               FButtonBM[bpMinus], FButtonBM[bpMinusHot], FButtonBM[bpMinusSelectedHot], Asked);
        return;
    }
    const bool Explorer = FStates.Contains(tsUseExplorerTheme);
    const TRect All{0, 0, Size, Size};
    for (bool Plus : {false, true}) {
        const TLTButtonPicture Normal = Plus ? bpPlus : bpMinus;
        TCanvas& C = FButtonBM[Normal].Canvas();
        if (Theme) {
            const int State = Plus ? GLPS_CLOSED : GLPS_OPENED;
            DrawThemeBackground(Theme, C, TVP_GLYPH, State, All);
            // The explorer look lights the button up under the pointer; otherwise the hot ones are copies.
            for (int Copy : {1, 2})
                if (Explorer) DrawThemeBackground(Theme, FButtonBM[Normal + Copy].Canvas(), TVP_HOTGLYPH, State, All);
                else FButtonBM[Normal + Copy].Assign(&FButtonBM[Normal]);
            continue;
        }
        if (Explorer) continue;
        C.Pen().SetStyle(psSolid);
        C.Pen().SetWidth(1);
        C.Brush().SetStyle(bsSolid);
        if (FButtonStyle == bsTriangle) {
            C.Brush().SetColor(clBlack);
            C.Pen().SetColor(clBlack);
            if (Plus) C.Polygon({{2, 0}, {6, 4}, {2, 8}});
            else C.Polygon({{0, 2}, {8, 2}, {4, 6}});
        } else if (FButtonFillMode == fmShaded) {
            TBitmap Shaded;
            LoadBitmapResource(Shaded, S(Plus ? "LT_XPBUTTONPLUS" : "LT_XPBUTTONMINUS"));
            C.Draw(0, 0, Shaded);
        } else {
            C.Brush().SetColor(FButtonFillMode == fmWindowColor ? clWindow : FColors->BackGroundColor());
            if (FButtonFillMode == fmTransparent) C.Brush().SetStyle(bsClear);
            C.Pen().SetColor(FColors->GetColor(TLTColors::TreeLineColor));
            C.Rectangle(0, 0, Size, Size);
            C.Brush().SetStyle(bsSolid);
            C.Brush().SetColor(FColors->NodeFontColor());
            C.FillRect(TRect{2, Size / 2, Size - 2, Size / 2 + 1});
            if (Plus) C.FillRect(TRect{Size / 2, 2, Size / 2 + 1, Size - 2});
        }
        for (int Copy : {1, 2}) FButtonBM[Normal + Copy].Assign(&FButtonBM[Normal]);
    }
}

const TBitmap& TBaseLazyTree::ButtonBitmap(TLTButtonPicture Which) {
    const std::vector<std::uint32_t> Key{
        std::uint32_t(FButtonStyle), std::uint32_t(FButtonFillMode), std::uint32_t(OnPrepareButtonBitmaps ? 1 : 0),
        std::uint32_t(ColorToRGB(FColors->GetColor(TLTColors::TreeLineColor))),
        std::uint32_t(ColorToRGB(FColors->BackGroundColor())), std::uint32_t(ColorToRGB(FColors->NodeFontColor())),
        std::uint32_t(ColorToRGB(clWindow)), std::uint32_t(ColorToRGB(ButtonGroundColor())),
        std::uint32_t(FStates.Contains(tsUseThemes)) | std::uint32_t(FStates.Contains(tsUseExplorerTheme)) << 1,
        std::uint32_t(CurrentThemeRenderer())};
    if (Key != FButtonKey) {
        FButtonKey = Key;
        RebuildButtons();
    }
    return FButtonBM[Which];
}

void TBaseLazyTree::DrawNodeButton(TCanvas& Canvas, PLazyNode Node, int X, int Y) {
    const bool Hot = Node == FCurrentHotNode && FHotNodeButtonHit;
    const bool Minus = Node->States.Contains(vsExpanded);
    if (FStates.Contains(tsUseExplorerTheme)) {
        // The explorer look draws its glyph straight from the theme, hot under the pointer.
        if (HTHEME Theme = OpenThemeData(this, S("TREEVIEW"))) {
            const int Size = ButtonSize();
            DrawThemeBackground(Theme, Canvas, Hot ? TVP_HOTGLYPH : TVP_GLYPH, Minus ? GLPS_OPENED : GLPS_CLOSED,
                                TRect{X, Y, X + Size, Y + Size});
            CloseThemeData(Theme);
            return;
        }
    }
    const int Look = !Hot ? 0 : Node->States.Contains(vsSelected) ? 2 : 1;
    Canvas.Draw(X, Y, ButtonBitmap(TLTButtonPicture((Minus ? bpMinus : bpPlus) + Look)));
}

void TBaseLazyTree::DrawCheckImage(TCanvas& Canvas, PLazyNode Node, int X, int Y) {
    DrawCheckImage(Canvas, Node->CheckType, Node->CheckState, !Node->States.Contains(vsDisabled) && Enabled(),
                   Node == FCurrentHotNode, X, Y, Node->States.Contains(vsSelected));
}

void TBaseLazyTree::DrawCheckImage(TCanvas& Canvas, TCheckType Type, TCheckState State, bool Enabled, bool Hot,
                                   int X, int Y, bool Selected) {
    int Index = GetCheckImageIndex(Type, State, Enabled, Hot);
    if (Index < 0) return;
    TRect R{X, Y, X + CheckImageSize(), Y + CheckImageSize()};
    HTHEME Theme = FStates.Contains(tsUseThemes) && FCheckImageKind == ckSystemDefault
                       ? OpenThemeData(this, S("button"))
                       : HTHEME(0);
    if (Theme) {
        if (Index <= 8) DrawThemeBackground(Theme, Canvas, BP_RADIOBUTTON, Index, R);
        else if (Index <= 20) DrawThemeBackground(Theme, Canvas, BP_CHECKBOX, Index - 8, R);
        else DrawThemeBackground(Theme, Canvas, BP_PUSHBUTTON, Index - 20, R);
        CloseThemeData(Theme);
        // A themed push button carries the utility glyph.
        if (Index >= 21) UtilityImageList()->Draw(Canvas, X, Y, 4);
        return;
    }
    // Without a theme: the pictures of the kind in use. A selected node hands the list the selection
    // colour as its foreground; drawn transparently, without a blend style, the picture keeps its colours.
    TImageList* List = FCheckImageKind == ckCustom ? FCustomCheckImages : CheckImageListForKind(FCheckImageKind);
    if (!List || Index >= List->Count()) return;
    const bool Focus = Focused() || FOptions->PaintOptions().Contains(toPopupMode);
    const TColor Foreground =
        Selected ? FColors->GetColor(Focus ? TLTColors::FocusedSelectionColor : TLTColors::UnfocusedSelectionColor)
                 : List->BlendColor();
    // The lists' own "none" and "default" pass through; system colours become RGB values.
    auto ListColor = [](TColor C) { return C == clNone || C == clDefault ? C : ColorToRGB(C); };
    ImageList_DrawEx(*List, Index, Canvas, X, Y, 0, 0, ListColor(List->BkColor()), ListColor(Foreground),
                     ILD_TRANSPARENT);
}

int TBaseLazyTree::CheckImageSize() const {
    if (FCheckImageKind == ckCustom && FCustomCheckImages) return FCustomCheckImages->Width();
    return FCheckImageKind <= ckXP ? 16 : 13;
}

TImageList* TBaseLazyTree::CheckImageListForKind(TCheckImageKind Kind) {
    if (Kind == ckCustom) return nullptr;
    if (Kind <= ckXP) return DrawnCheckList(int(Kind));
    return Kind == ckSystemFlat ? SystemFlatCheckList() : SystemCheckList();
}

void TBaseLazyTree::PaintNode(TCanvas& Canvas, PLazyNode Node, int Top) {
    const int Height = int(Node->NodeHeight);
    const int Width = FOffscreen ? FOffscreen->Width : ClientWidth();
    const TRect Row{0, Top, Width, Top + Height};
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColors->BackGroundColor());
    Canvas.FillRect(Row);
    if (DoBeforeItemPaint(Canvas, Node, Row)) return;
    const bool UseBackground = BackgroundToShow() != nullptr;
    EraseItemBackground(Canvas, Node, Row, UseBackground);
    auto Finish = [&] {
        DoAfterItemPaint(Canvas, Node, Row);
        if (Node == FDropTargetNode && FOptions->PaintOptions().Contains(toShowDropmark) &&
            (!FOffscreen || FOffscreen->Options.Contains(poDrawDropMark)))
            DrawDropMark(Canvas, Node, Row);
    };
    FLinePhaseX = -ScrollOriginX();
    if (!FHeader->UseColumns()) {
        // Right to left the row's content hangs from the canvas's right end.
        PaintMainCell(Canvas, Node, Top, NoColumn, Row, CellRightToLeft(NoColumn) ? RowLeadX() : ScrollOriginX());
        Finish();
        return;
    }
    // Scrolling columns first, the fixed ones over them; each cell clipped to itself.
    const TLazyTreeColumns& Columns = FHeader->Columns();
    const TColumnIndex Main = FHeader->GetMainColumn();
    const bool VertLines = FOptions->PaintOptions().Contains(toShowVertGridLines) &&
                           (!FOffscreen || FOffscreen->Options.Contains(poGridLines));
    TRegion Saved;
    const bool HadClip = Canvas.GetClipRgn(Saved);
    for (bool Fixed : {false, true})
        for (TColumnIndex Index = Columns.GetFirstVisibleColumn(), Next; Index >= 0; Index = Next) {
            TLazyTreeColumn* Column = Columns[Index];
            Next = Columns.GetNextVisibleColumn(Index);
            if (Column->Options().Contains(coFixed) != Fixed) continue;
            if (FOffscreen && FOffscreen->Options.Contains(poMainOnly) && Column->Index() != Main) continue;
            // A text may run on into the empty cells after its own.
            TLTPaintInfo Span;
            Span.Canvas = &Canvas;
            Span.Node = Node;
            Span.Column = Index;
            Span.BidiMode = CellBiDiMode(Index);
            Span.CellRect = TRect{Column->Left(), Top, Column->Left() + Column->Width(), Top + Height};
            Next = SpanCellOverEmptyColumns(Span);
            const TRect Cell = Span.CellRect;
            if (Cell.Right <= 0 || Cell.Left >= Width) continue;
            FLinePhaseX = Fixed ? -FixedOriginX() : -ScrollOriginX();
            Canvas.IntersectClipRect(Cell.Left, Cell.Top, Cell.Right, Cell.Bottom);
            if (!Column->Options().Contains(coParentColor)) {
                Canvas.Brush().SetColor(Column->Color());
                Canvas.FillRect(Cell);
            } else if (Fixed) {
                // A fixed column covers what scrolled beneath it with the row's own ground.
                if (!UseBackground) {
                    Canvas.Brush().SetColor(FColors->BackGroundColor());
                    Canvas.FillRect(Cell);
                } else {
                    DrawBackgroundPicture(Canvas, BackgroundOrigin(), Cell);
                }
            }
            if (Column->Index() == Main)
                PaintMainCell(Canvas, Node, Top, Main, Cell, CellRightToLeft(Main) ? Cell.Right : Cell.Left);
            else PaintOtherCell(Canvas, Node, Column->Index(), Cell);
            // No line after the column that an auto-sized header stretches to the end, nor at the
            // window's right edge unless the column is fixed.
            if (VertLines &&
                !(FHeader->Options.Contains(hoAutoResize) && Column->Position() + 1 == Cardinal(Columns.Count())) &&
                (Cell.Right != ClientWidth() || Column->Options().Contains(coFixed)) &&
                !(CellRightToLeft(Column->Index()) && DoGetCellIsEmpty(Node, Column->Index()))) {
                const bool OnSelection = (!FOffscreen || FOffscreen->Options.Contains(poDrawSelection)) &&
                                         FOptions->SelectionOptions().Contains(toFullRowSelect) &&
                                         Node->States.Contains(vsSelected) &&
                                         !FOptions->PaintOptions().Contains(toUseBlendedSelection) &&
                                         !FStates.Contains(tsUseExplorerTheme);
                Canvas.Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
                DrawDottedVertLine(Canvas, Cell.Top, Cell.Bottom - 1, Cell.Right - 1, OnSelection);
            }
            Canvas.SelectClipRgn(HadClip ? &Saved : nullptr);
        }
    Finish();
}

void TBaseLazyTree::DrawDropMark(TCanvas& Canvas, PLazyNode, const TRect& R) {
    if (FLastDropMode != dmAbove && FLastDropMode != dmBelow) return;
    const TPenStyle OldPen = Canvas.Pen().Style();
    const TColor OldBrush = Canvas.Brush().Color();
    Canvas.Pen().SetStyle(psClear);
    Canvas.Brush().SetColor(FColors->GetColor(TLTColors::DropMarkColor));
    const int L = R.Left, T = R.Top, Rt = R.Right, B = R.Bottom;
    if (FLastDropMode == dmAbove)
        Canvas.Polygon({{L + 2, T}, {Rt - 2, T}, {Rt - 2, T + 6}, {Rt - 6, T + 2}, {L + 6, T + 2}, {L + 2, T + 6}});
    else
        Canvas.Polygon({{L + 2, B - 1}, {Rt - 2, B - 1}, {Rt - 2, B - 8}, {Rt - 7, B - 3}, {L + 7, B - 3}, {L + 2, B - 8}});
    Canvas.Brush().SetColor(OldBrush);
    Canvas.Pen().SetStyle(OldPen);
}

void TBaseLazyTree::PaintOtherCell(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const TRect& Cell) {
    TRect Content = Cell;
    if (DrawHorzGridLine(Canvas, Cell, Cell.Left, Cell.Right)) Content.Bottom -= 1;
    // The content stands after the margin, and after the state and normal images the column asks for;
    // right to left from the cell's right edge.
    const bool RightToLeft = CellRightToLeft(Column);
    if (RightToLeft) Content.Right = std::max(Content.Right - FMargin, Content.Left);
    else Content.Left = std::min(Content.Left + FMargin, Content.Right);
    TLTPaintInfo Info;
    Info.Canvas = &Canvas;
    Info.Node = Node;
    Info.Column = Column;
    Info.CellRect = TRect{Cell.Left, Cell.Top, Cell.Right, Content.Bottom};
    Info.ContentRect = Content;
    Info.Alignment = CellDisplayAlignment(Column);
    Info.BidiMode = CellBiDiMode(Column);
    Info.PaintOptions = CellPaintOptions(Node, Column);
    if (FetchCellImages(Info)) {
        TRect Place = Content;
        int VAlign = 0, VButton = 0;
        ComputeVerticalAlignment(Node, VAlign, VButton);
        for (TLTImageInfoIndex Kind : {iiState, iiNormal}) {
            TLTImageInfo& Image = Info.ImageInfo[Kind];
            if (Image.Index >= 0 && Image.Images) PlaceCellImage(Image.Images, RightToLeft, VAlign, Place, Image);
        }
        if (RightToLeft) Info.ContentRect.Right = std::max(Place.Right, Info.ContentRect.Left);
        else Info.ContentRect.Left = std::min(Place.Left, Info.ContentRect.Right);
    }
    Info.NodeWidth = QueryCellTextWidth(Node, Column, &Canvas);
    PaintMarksAndContent(Info, [&] {
        DrawNodeImage(Info, iiState, false);
        DrawNodeImage(Info, iiNormal, true);
    });
}

bool TBaseLazyTree::DrawHorzGridLine(TCanvas& Canvas, const TRect& Cell, int Left, int Right) {
    if (!FOptions->PaintOptions().Contains(toShowHorzGridLines) ||
        (FOffscreen && !FOffscreen->Options.Contains(poGridLines)))
        return false;
    Canvas.Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
    DrawDottedHorzLine(Canvas, Left, Right, Cell.Bottom - 1);
    return true;
}

// Asks for the cell's state and normal images; whether it shows any.
bool TBaseLazyTree::FetchCellImages(TLTPaintInfo& Info) {
    if (FStateImages) FetchImageIndex(Info, ikState, iiState, FStateImages);
    if (FImages) FetchImageIndex(Info, GetSelected(Info.Node) ? ikSelected : ikNormal, iiNormal, FImages);
    auto Shows = [&](TLTImageInfoIndex Kind) {
        return Info.ImageInfo[Kind].Index >= 0 && Info.ImageInfo[Kind].Images;
    };
    return Shows(iiState) || Shows(iiNormal);
}

// Proportionally the share is of the room the images (or the button) leave, so that a row's pictures
// never reach past its edges.
void TBaseLazyTree::ComputeVerticalAlignment(PLazyNode Node, int& VAlign, int& VButtonAlign) {
    const int Height = int(Node->NodeHeight);
    const int Align = Node->Align;
    if (FNodeAlignment == naFromBottom) {
        VAlign = Height - Align;
    } else if (FNodeAlignment == naFromTop) {
        VAlign = Align;
    } else if (FImages || FStateImages) {
        const int ImageHeight = FImages ? FImages->Height() : FStateImages->Height();
        VAlign = MulDivRound(Height - ImageHeight, Align, 100) + ImageHeight / 2;
    } else if (FOptions->PaintOptions().Contains(toShowButtons)) {
        VAlign = MulDivRound(Height - ButtonSize(), Align, 100) + ButtonSize() / 2;
    } else {
        VAlign = MulDivRound(Height, Align, 100);
    }
    const int Button = ButtonSize();
    VButtonAlign = VAlign - Button / 2 - Button % 2;
}

void TBaseLazyTree::SetNodeAlignment(TLTNodeAlignment Value) {
    if (Value == FNodeAlignment) return;
    FNodeAlignment = Value;
    if (!IsLoading()) InvalidateTree();
}

void TBaseLazyTree::SetVerticalAlignment(PLazyNode Node, Byte Value) {
    if (!Node || Node == FRoot) return;
    Value = std::min<Byte>(Value, 100);
    if (Node->Align == Value) return;
    Node->Align = Value;
    if (GetFullyVisible(Node) && !GetEffectivelyFiltered(Node)) InvalidateNode(Node);
}

void TBaseLazyTree::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    if (!IsLoading()) InvalidateTree();
}

// ---------------------------------------------------------------------------
// The background picture
// ---------------------------------------------------------------------------

void TBaseLazyTree::SetBackground(const TPicture& Value) {
    if (&Value != FBackground.get()) FBackground->Assign(&Value);
    InvalidateTree();
}

void TBaseLazyTree::SetBackgroundOffsetX(int Value) {
    if (Value == FBackgroundOffsetX) return;
    FBackgroundOffsetX = Value;
    InvalidateTree();
}

void TBaseLazyTree::SetBackgroundOffsetY(int Value) {
    if (Value == FBackgroundOffsetY) return;
    FBackgroundOffsetY = Value;
    InvalidateTree();
}

const TBitmap* TBaseLazyTree::BackgroundToShow() const {
    if (!FOptions->PaintOptions().Contains(toShowBackground)) return nullptr;
    if (FOffscreen && !FOffscreen->Options.Contains(poBackground)) return nullptr;
    // Only a bitmap is drawn; any other kind of picture counts as none.
    const auto* Bitmap = dynamic_cast<const TBitmap*>(FBackground->Graphic());
    return Bitmap && !Bitmap->Empty() ? Bitmap : nullptr;
}

// On the screen the canvas is the client area; an off-screen paint moves the tree to its target,
// while the picture stays where the window shows it.
TPoint TBaseLazyTree::BackgroundOrigin() const {
    return FOffscreen ? TPoint{FOffscreen->ScrollX - FOffsetX, 0} : TPoint{0, 0};
}

void TBaseLazyTree::DrawStaticBackground(const TBitmap& Source, TCanvas& Canvas, TPoint Origin, const TRect& R) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(Color());
    Canvas.FillRect(R);
    const TRect Picture{FBackgroundOffsetX, FBackgroundOffsetY, FBackgroundOffsetX + Source.Width(),
                        FBackgroundOffsetY + Source.Height()};
    const TRect Area{R.Left + Origin.X, R.Top + Origin.Y, R.Right + Origin.X, R.Bottom + Origin.Y};
    const TRect Part{std::max(Picture.Left, Area.Left), std::max(Picture.Top, Area.Top),
                     std::min(Picture.Right, Area.Right), std::min(Picture.Bottom, Area.Bottom)};
    if (Part.Left >= Part.Right || Part.Top >= Part.Bottom) return;
    const TRect Target{Part.Left - Origin.X, Part.Top - Origin.Y, Part.Right - Origin.X, Part.Bottom - Origin.Y};
    if (Source.Transparent()) {
        // Through the picture's mask: the control's colour stays where the picture is transparent.
        const int Saved = Canvas.SaveDC();
        Canvas.IntersectClipRect(Target.Left, Target.Top, Target.Right, Target.Bottom);
        Canvas.Draw(Target.Left - (Part.Left - Picture.Left), Target.Top - (Part.Top - Picture.Top), Source);
        Canvas.RestoreDC(Saved);
        return;
    }
    Canvas.CopyRect(Target, const_cast<TBitmap&>(Source).Canvas(),
                    TRect{Part.Left - Picture.Left, Part.Top - Picture.Top, Part.Right - Picture.Left,
                          Part.Bottom - Picture.Top});
}

void TBaseLazyTree::DrawBackgroundPicture(TCanvas& Canvas, TPoint Origin, const TRect& R) {
    const TBitmap& Picture = *BackgroundToShow();
    if (FOptions->PaintOptions().Contains(toStaticBackground)) DrawStaticBackground(Picture, Canvas, Origin, R);
    else DrawTiledBackground(Picture, Canvas, Origin, R);
}

void TBaseLazyTree::DrawTiledBackground(const TBitmap& Source, TCanvas& Canvas, TPoint Origin, const TRect& R) {
    const int Width = Source.Width(), Height = Source.Height();
    if (Width <= 0 || Height <= 0) return;
    auto Wrap = [](int Value, int Size) { return ((Value % Size) + Size) % Size; };
    TCanvas& From = const_cast<TBitmap&>(Source).Canvas();
    int SourceY = Wrap(R.Top + Origin.Y + FBackgroundOffsetY, Height);
    for (int Top = R.Top; Top < R.Bottom; SourceY = 0) {
        const int RowHeight = std::min(R.Bottom - Top, Height - SourceY);
        int SourceX = Wrap(R.Left + Origin.X + FBackgroundOffsetX, Width);
        for (int X = R.Left; X < R.Right; SourceX = 0) {
            const int TileWidth = std::min(Width - SourceX, R.Right - X);
            Canvas.CopyRect(TRect{X, Top, X + TileWidth, Top + RowHeight}, From,
                            TRect{SourceX, SourceY, SourceX + TileWidth, SourceY + RowHeight});
            X += Width - SourceX;
        }
        Top += Height - SourceY;
    }
}

// The marks first: what the cell shows stands on the selection.
void TBaseLazyTree::PaintMarksAndContent(TLTPaintInfo& Info, const std::function<void()>& Decorations) {
    DrawCellSelection(Info, 0, FOffscreen ? FOffscreen->Width : ClientWidth());
    Decorations();
    PaintCellContent(Info);
    DoAfterCellPaint(*Info.Canvas, Info.Node, Info.Column, Info.CellRect);
}

void TBaseLazyTree::DrawCellSelection(TLTPaintInfo& PaintInfo, int WindowLeft, int WindowWidth) {
    TCanvas& Canvas = *PaintInfo.Canvas;
    PLazyNode Node = PaintInfo.Node;
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const bool FullRow = FOptions->SelectionOptions().Contains(toFullRowSelect);
    const bool GridExtensions = FOptions->MiscOptions().Contains(toGridExtensions);
    const bool Focus = Focused() || Paint.Contains(toPopupMode);
    // The owner may narrow the part the selection and focus marks cover, also of a full row.
    TRect Content = FullRow ? PaintInfo.CellRect : PaintInfo.ContentRect;
    DoBeforeCellPaint(Canvas, Node, PaintInfo.Column, cpmPaint, PaintInfo.CellRect, Content);
    TRect SelRect = Content;
    if (!GridExtensions && !FullRow) {
        const int Width = PaintInfo.NodeWidth;
        const TAlignment Alignment = PaintInfo.Alignment;
        if (Alignment == taRightJustify) {
            if (Width < SelRect.Right - SelRect.Left) SelRect.Left = SelRect.Right - Width;
        } else if (Alignment == taCenter) {
            if (Width < SelRect.Right - SelRect.Left) {
                SelRect.Left = (SelRect.Left + SelRect.Right - Width) / 2;
                SelRect.Right = SelRect.Left + Width;
            }
        } else {
            SelRect.Right = std::min(SelRect.Right, SelRect.Left + Width);
        }
    }
    if (GridExtensions) SelRect = PaintInfo.CellRect;
    const bool MarkedCell = CellShowsSelection(PaintInfo.Column);
    const bool DrawSelection = !FOffscreen || FOffscreen->Options.Contains(poDrawSelection);
    // The explorer look takes its item marks from the theme: over the selection's own rectangle, or
    // with a full row over the whole width of the tree.
    const bool Explorer = FStates.Contains(tsUseExplorerTheme);
    HTHEME Theme = Explorer ? OpenThemeData(this, S("Explorer::TreeView")) : HTHEME(0);
    TFinally CloseTheme{[Theme] {
        if (Theme) CloseThemeData(Theme);
    }};
    TRect ThemeRect = PaintInfo.CellRect;
    if (Theme && FullRow && !GridExtensions) {
        const int Origin = ScrollOriginX();
        ThemeRect = TRect{Origin, PaintInfo.CellRect.Top, Origin + RangeX(), PaintInfo.CellRect.Bottom};
        if (!FHeader->UseColumns()) ThemeRect.Right = std::max(ThemeRect.Right, ClientWidth());
        if (Paint.Contains(toShowVertGridLines)) ThemeRect.Right -= 1;
    }
    auto Themed = [&](int State, const TRect& R) {
        DrawThemeBackground(Theme, Canvas, TVP_TREEITEM, State, FullRow && !GridExtensions ? ThemeRect : R);
    };
    const bool HotTracked =
        Paint.Contains(toHotTrack) && Node == FCurrentHotNode && (FullRow || PaintInfo.Column == FCurrentHotColumn);
    auto Mark = [&](TLTColors::Index Fill, TLTColors::Index Border, TRect R, int ThemeState) {
        if (R.Left >= R.Right || R.Top >= R.Bottom) return;
        if (Theme) {
            Themed(ThemeState, R);
            return;
        }
        if (MMXAvailable && Paint.Contains(toUseBlendedSelection)) {
            // The blend works in the window's device pixels.
            OffsetRect(R, -WindowLeft, 0);
            R.Left = std::max(R.Left, 0);
            R.Right = std::min(R.Right, WindowWidth);
            if (R.Left < R.Right) BlendRectWithColor(Canvas, R, FColors->GetColor(Fill), SelectionBlendFactor);
            return;
        }
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FColors->GetColor(Fill));
        Canvas.Pen().SetStyle(psSolid);
        Canvas.Pen().SetWidth(1);
        Canvas.Pen().SetColor(FColors->GetColor(Border));
        Canvas.RoundRect(R.Left, R.Top, R.Right, R.Bottom, SelectionCurveRadius, SelectionCurveRadius);
    };
    const bool Selected = Node->States.Contains(vsSelected) && !Paint.Contains(toAlwaysHideSelection) &&
                          (Focus || !Paint.Contains(toHideSelection));
    if (DrawSelection && MarkedCell) {
        if (Node == FDropTargetNode && (FLastDropMode == dmOnNode || Selected)) {
            Mark(TLTColors::DropTargetColor, TLTColors::DropTargetBorderColor,
                 GridExtensions || FullRow ? PaintInfo.CellRect : SelRect, TREIS_SELECTED);
        } else if (Selected && !(Theme && HotTracked)) {
            // Under the explorer look a hot selected node gets its mark below, in the hot state.
            Mark(Focus ? TLTColors::FocusedSelectionColor : TLTColors::UnfocusedSelectionColor,
                 Focus ? TLTColors::FocusedSelectionBorderColor : TLTColors::UnfocusedSelectionBorderColor, SelRect,
                 Focus ? TREIS_SELECTED : TREIS_SELECTEDNOTFOCUS);
        }
    }
    if (Theme && HotTracked && SelRect.Left < SelRect.Right)
        Themed(Node->States.Contains(vsSelected) && !Paint.Contains(toAlwaysHideSelection) ? TREIS_HOTSELECTED
                                                                                          : TREIS_HOT,
               SelRect);
    if (MarkedCell && Node == FFocusedNode && Focus && !Paint.Contains(toHideFocusRect) &&
        (!FOffscreen || FOffscreen->Options.Contains(poDrawFocusRect))) {
        if (Theme && PlatformVersionAtLeast6) {
            // The themed focus: the hot-and-selected state over a selected node, the items view's
            // focus part over another.
            if (Node->States.Contains(vsSelected)) {
                Themed(TREIS_HOTSELECTED, SelRect);
            } else if (HTHEME Items = OpenThemeData(this, S("Explorer::ItemsView"))) {
                DrawThemeBackground(Items, Canvas, LVP_FOCUS, 1, FullRow && !GridExtensions ? ThemeRect : SelRect);
                CloseThemeData(Items);
            }
        } else {
            TRect FocusRect = Explorer && FullRow && !FOptions->SelectionOptions().Contains(toExtendedFocus)
                                  ? ThemeRect
                              : GridExtensions ? PaintInfo.CellRect
                                               : SelRect;
            if (Explorer) InflateRect(FocusRect, -1, -1);
            Canvas.Brush().SetColor(FColors->BackGroundColor());
            Canvas.DrawFocusRect(FocusRect);
        }
    }
}

void TBaseLazyTree::PaintMainCell(TCanvas& Canvas, PLazyNode Node, int Top, TColumnIndex Column, const TRect& Row,
                                  int Origin) {
    const int Height = int(Node->NodeHeight);
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const bool ShowRoot = Paint.Contains(toShowRoot);
    const int IndentSize = int(GetNodeLevel(Node)) + (ShowRoot ? 1 : 0);
    const int Offset = int(FIndent) * (Paint.Contains(toFixedIndent) ? 1 : IndentSize);
    // Right to left Origin is the cell's right edge and everything is laid out from there leftwards.
    const bool RightToLeft = CellRightToLeft(Column);

    TLTPaintInfo Info;
    Info.Canvas = &Canvas;
    Info.Node = Node;
    Info.Column = Column;
    Info.CellRect = Row;
    Info.Alignment = CellDisplayAlignment(Column);
    Info.BidiMode = CellBiDiMode(Column);
    Info.PaintOptions = CellPaintOptions(Node, Column);
    FetchCellImages(Info);
    int VAlign = 0, VButton = 0;
    ComputeVerticalAlignment(Node, VAlign, VButton);

    // With bands the line starts after the indentation, below the band of the node's own level.
    const bool Bands = FLineMode == lmBands;
    const bool GridLine = RightToLeft ? DrawHorzGridLine(Canvas, Row, Row.Left, Bands ? Origin - Offset - 1 : Row.Right)
                                      : DrawHorzGridLine(Canvas, Row, Bands ? Origin + Offset : Row.Left, Row.Right);
    if (GridLine) Info.CellRect.Bottom -= 1;
    const bool Check = ShowsCheck(Node);
    TRect Place{Row.Left, Top, Row.Right, Row.Bottom};
    int CheckX = 0;
    if (RightToLeft) {
        Place.Right = Origin - FMargin - Offset;
        CheckX = Place.Right - CheckImageSize();
        if (Check) Place.Right -= CheckImageSize() + 2;
    } else {
        Place.Left = Origin + FMargin + Offset;
        CheckX = Place.Left - 1;
        if (Check) Place.Left += CheckImageSize() + 2;
    }
    for (TLTImageInfoIndex Kind : {iiState, iiNormal}) {
        TLTImageInfo& Image = Info.ImageInfo[Kind];
        if (Image.Index >= 0 && Image.Images) PlaceCellImage(Image.Images, RightToLeft, VAlign, Place, Image);
    }
    auto Decorations = [&] {
        if (Paint.Contains(toShowTreeLines)) DrawTreeLines(Canvas, Node, Top, Height, VAlign, Origin, RightToLeft);
        if (Paint.Contains(toShowButtons) && Node->States.Contains(vsHasChildren) &&
            !(Node->States.Contains(vsAllChildrenHidden) && FOptions->AutoOptions().Contains(toAutoHideButtons))) {
            const int Size = ButtonSize();
            const int ButtonX = int(std::nearbyint((int(FIndent) - Size) / 2.0)) + (IndentSize - 1) * int(FIndent) + 1;
            if (IndentSize > 0)
                DrawNodeButton(Canvas, Node, RightToLeft ? Origin - ButtonX - Size : Origin + ButtonX, Top + VButton);
        }
        if (Check) DrawCheckImage(Canvas, Node, CheckX, Top + VAlign - CheckImageSize() / 2);
        DrawNodeImage(Info, iiState, false);
        DrawNodeImage(Info, iiNormal, true);
    };
    // The content has the rest of the cell; the marks fit it to the content's width by the alignment.
    Info.ContentRect = RightToLeft ? TRect{Row.Left, Top, std::max(Place.Right, Row.Left), Info.CellRect.Bottom}
                                   : TRect{std::min(Place.Left, Row.Right), Top, Row.Right, Info.CellRect.Bottom};
    Info.NodeWidth = QueryCellTextWidth(Node, Column, &Canvas);
    PaintMarksAndContent(Info, Decorations);
}

TAlignment TBaseLazyTree::CellTextAlignment(TColumnIndex Column) const {
    return FHeader->Columns().IsValidColumn(Column) ? FHeader->Columns()[Column]->Alignment() : FAlignment;
}

TLTInternalPaintOptions TBaseLazyTree::CellPaintOptions(PLazyNode Node, TColumnIndex Column) const {
    TLTInternalPaintOptions Options =
        FOffscreen ? FOffscreen->Options
                   : TLTInternalPaintOptions{poBackground,    poColumnColor,  poDrawFocusRect,
                                             poDrawSelection, poDrawDropMark, poGridLines};
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    if (Paint.Contains(toAlwaysHideSelection) || (!Focused() && Paint.Contains(toHideSelection)))
        Options.Exclude(poDrawSelection);
    if (Paint.Contains(toHideFocusRect)) Options.Exclude(poDrawFocusRect);
    // The cell being edited shows the editor, not a selection.
    if (FStates.Contains(tsEditing) && Node == FFocusedNode && (Column == FEditColumn || !FHeader->UseColumns()))
        Options.Exclude(poDrawSelection);
    return Options;
}

void TBaseLazyTree::Paint() {
    TCanvas& Target = Canvas();
    if (FStates.Contains(tsPainting)) return;
    DoStateChange({tsPainting});
    TFinally Done{[this] { DoStateChange({}, {tsPainting}); }};
    DoBeforePaint(Target);
    int Top = 0;
    PLazyNode Node = GetNodeAt(0, 0, &Top);
    const bool Measure = FOptions->MiscOptions().Contains(toVariableNodeHeight);
    while (Node && Top < ClientHeight()) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (Measure) MeasureItemHeight(&Target, Node);
        if (!(Node->States.Contains(vsFiltered) && !FOptions->PaintOptions().Contains(toShowFilteredNodes))) {
            PaintNode(Target, Node, Top);
            Top += int(Node->NodeHeight);
        }
        Node = GetNextVisible(Node, false);
    }
    // The area below the last row, unless the owner paints it.
    const TRect Below{0, std::max(Top, 0), ClientWidth(), ClientHeight()};
    if (Below.Top < Below.Bottom) PaintAreaBelow(Target, Below);
    if (FStates.Contains(tsDrawSelecting)) {
        TRect Band = FNewSelRect;
        OffsetRect(Band, ScrollOriginX(), FOffsetY);
        DrawSelectionRectangle(Target, 0, Band, ClientRect());
    }
    if (!GetFirstVisibleNoInit() && !EmptyListMessage.empty()) {
        // The message stands two pixels in from the corner, in the disabled colour.
        Target.Font().Assign(&Font());
        Target.Font().SetColor(FColors->GetColor(TLTColors::DisabledColor));
        Target.Brush().SetStyle(bsClear);
        TRect R = ClientRect();
        R.Left += 2;
        R.Top += 2;
        Target.DrawText(EmptyListMessage, R, DT_NOPREFIX | DT_WORDBREAK);
    }
    DoAfterPaint(Target);
}

// Below the last row, unless the owner paints it: the columns' colours, with full-length grid lines
// when asked for, and the tree's ground after them.
void TBaseLazyTree::PaintAreaBelow(TCanvas& Canvas, const TRect& Area) {
    if (DoPaintBackground(Canvas, Area)) return;
    if (BackgroundToShow()) {
        // The area's own place on the canvas is the picture's origin here.
        DrawBackgroundPicture(Canvas, TPoint{0, 0}, Area);
        return;
    }
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(FColors->BackGroundColor());
    Canvas.FillRect(Area);
    if (!FHeader->UseColumns()) return;
    const TLTPaintOptions Paint = FOptions->PaintOptions();
    const bool Lines = (!FOffscreen || FOffscreen->Options.Contains(poGridLines)) &&
                       Paint.Contains(toFullVertGridLines) && Paint.Contains(toShowVertGridLines);
    const TLazyTreeColumns& Columns = FHeader->Columns();
    TRegion Saved;
    const bool HadClip = Canvas.GetClipRgn(Saved);
    Canvas.IntersectClipRect(Area.Left, Area.Top, Area.Right, Area.Bottom);
    Canvas.Font().SetColor(FColors->GetColor(TLTColors::GridLineColor));
    // The scrolling columns first, the fixed ones over them, as in the rows.
    for (bool Fixed : {false, true})
        for (TColumnIndex Index = Columns.GetFirstVisibleColumn(); Index >= 0;
             Index = Columns.GetNextVisibleColumn(Index)) {
            TLazyTreeColumn* Column = Columns[Index];
            if (Column->Options().Contains(coFixed) != Fixed) continue;
            TRect Strip{Column->Left(), Area.Top, Column->Left() + Column->Width(), Area.Bottom};
            if (Strip.Right <= Area.Left || Strip.Left >= Area.Right) continue;
            FLinePhaseX = Fixed ? -FixedOriginX() : -ScrollOriginX();
            if (Lines && !(FHeader->Options.Contains(hoAutoResize) && Index == Columns.Count() - 1)) {
                DrawDottedVertLine(Canvas, Strip.Top, Strip.Bottom - 1, Strip.Right - 1);
                --Strip.Right;
            }
            Canvas.Brush().SetColor(Column->Options().Contains(coParentColor) ? FColors->BackGroundColor()
                                                                               : Column->Color());
            Canvas.FillRect(Strip);
        }
    Canvas.SelectClipRgn(HadClip ? &Saved : nullptr);
}

void TBaseLazyTree::EraseItemBackground(TCanvas& Canvas, PLazyNode Node, const TRect& Row, bool UseBackground) {
    TColor Color = FColors->BackGroundColor();
    TItemEraseAction Action = eaDefault;
    DoBeforeItemErase(Canvas, Node, Row, Color, Action);
    if (Action == eaColor) {
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(Color);
        Canvas.FillRect(Row);
    } else if (Action == eaDefault && UseBackground) {
        DrawBackgroundPicture(Canvas, BackgroundOrigin(), Row);
    }
    DoAfterItemErase(Canvas, Node, Row);
}

void TBaseLazyTree::DoBeforePaint(TCanvas& Canvas) {
    if (OnBeforePaint) OnBeforePaint(this, &Canvas);
}

void TBaseLazyTree::DoAfterPaint(TCanvas& Canvas) {
    if (OnAfterPaint) OnAfterPaint(this, &Canvas);
}

bool TBaseLazyTree::DoBeforeItemPaint(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect) {
    bool Custom = false;
    if (OnBeforeItemPaint) OnBeforeItemPaint(this, &Canvas, Node, ItemRect, Custom);
    return Custom;
}

void TBaseLazyTree::DoAfterItemPaint(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect) {
    if (OnAfterItemPaint) OnAfterItemPaint(this, &Canvas, Node, ItemRect);
}

void TBaseLazyTree::DoBeforeItemErase(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect, TColor& Color,
                                      TItemEraseAction& EraseAction) {
    if (OnBeforeItemErase) OnBeforeItemErase(this, &Canvas, Node, ItemRect, Color, EraseAction);
}

void TBaseLazyTree::DoAfterItemErase(TCanvas& Canvas, PLazyNode Node, const TRect& ItemRect) {
    if (OnAfterItemErase) OnAfterItemErase(this, &Canvas, Node, ItemRect);
}

void TBaseLazyTree::DoBeforeCellPaint(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, TLTCellPaintMode Mode,
                                      const TRect& CellRect, TRect& ContentRect) {
    if (!OnBeforeCellPaint) return;
    Canvas.Font().Assign(&Font());
    OnBeforeCellPaint(this, &Canvas, Node, Column, Mode, CellRect, ContentRect);
}

void TBaseLazyTree::DoAfterCellPaint(TCanvas& Canvas, PLazyNode Node, TColumnIndex Column, const TRect& CellRect) {
    if (OnAfterCellPaint) OnAfterCellPaint(this, &Canvas, Node, Column, CellRect);
}

bool TBaseLazyTree::DoPaintBackground(TCanvas& Canvas, const TRect& R) {
    bool Handled = false;
    if (OnPaintBackground) OnPaintBackground(this, &Canvas, R, Handled);
    return Handled;
}

void TBaseLazyTree::DrawSelectionRectangle(TCanvas& Canvas, int WindowLeft, const TRect& SelectionRect,
                                           const TRect& TargetRect) {
    TRect Band{std::min(SelectionRect.Left, SelectionRect.Right), std::min(SelectionRect.Top, SelectionRect.Bottom),
               std::max(SelectionRect.Left, SelectionRect.Right), std::max(SelectionRect.Top, SelectionRect.Bottom)};
    if ((DrawSelectionMode == smBlendedRectangle || FStates.Contains(tsUseThemes)) && MMXAvailable) {
        TRect Target = TargetRect;
        Target.Left += WindowLeft;
        Target.Right += WindowLeft;
        TRect Blend{std::max(Band.Left, Target.Left), std::max(Band.Top, Target.Top),
                    std::min(Band.Right, Target.Right), std::min(Band.Bottom, Target.Bottom)};
        if (Blend.Left >= Blend.Right || Blend.Top >= Blend.Bottom) return;
        Blend.Left -= WindowLeft;
        Blend.Right -= WindowLeft;
        BlendRectWithColor(Canvas, Blend, FColors->GetColor(TLTColors::SelectionRectangleBlendColor),
                           SelectionBlendFactor);
        Canvas.Brush().SetStyle(bsSolid);
        Canvas.Brush().SetColor(FColors->GetColor(TLTColors::SelectionRectangleBorderColor));
        Canvas.FrameRect(Band);
        return;
    }
    // The classic band: a dotted rectangle drawn white on black.
    TColor OldText = Canvas.Font().Color();
    TColor OldBack = Canvas.BkColor();
    Canvas.Font().SetColor(clWhite);
    Canvas.SetBkColor(clBlack);
    Canvas.DrawFocusRect(Band);
    Canvas.Font().SetColor(OldText);
    Canvas.SetBkColor(OldBack);
}

bool TBaseLazyTree::CellShowsSelection(TColumnIndex Column) const {
    if (Column < 0 || FOptions->SelectionOptions().Contains(toFullRowSelect)) return true;
    return Column == FFocusedColumn || (FFocusedColumn < 0 && Column == FHeader->GetMainColumn());
}

TColumnIndex TBaseLazyTree::SpanCellOverEmptyColumns(TLTPaintInfo& PaintInfo) {
    return FHeader->Columns().GetNextVisibleColumn(PaintInfo.Column);
}

bool TBaseLazyTree::DoGetCellIsEmpty(PLazyNode Node, TColumnIndex Column) {
    bool IsEmpty = true;
    if (OnGetCellIsEmpty) OnGetCellIsEmpty(this, Node, Column, IsEmpty);
    return IsEmpty;
}

void TBaseLazyTree::HookCanvasFontChange(TCanvas& Canvas) {
    if (FFontHooked) return;
    FFontHooked = true;
    FOldFontChange = Canvas.Font().OnChange;
    Canvas.Font().OnChange = [this](TObject* Sender) { HandleFontChange(Sender); };
}

void TBaseLazyTree::UnhookCanvasFontChange(TCanvas& Canvas) {
    if (!FFontHooked) return;
    Canvas.Font().OnChange = FOldFontChange;
    FOldFontChange = nullptr;
    FFontHooked = false;
}

void TBaseLazyTree::HandleFontChange(TObject* Sender) {
    FFontChanged = true;
    if (FOldFontChange) FOldFontChange(Sender);
}

void TBaseLazyTree::GetBorderInset(TPoint& Inset) {
    Inset = TPoint{0, 0};
    if (!HandleAllocated()) return;
    const Cardinal Style = WindowStyle(this);
    const LPARAM ExStyle = GetWindowLong(Handle(), GWL_EXSTYLE);
    if (Style & WS_BORDER) {
        Inset.X -= 1;
        Inset.Y -= 1;
    }
    if (Style & WS_DLGFRAME) {
        Inset.X -= GetSystemMetrics(SM_CXDLGFRAME);
        Inset.Y -= GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (ExStyle & WS_EX_CLIENTEDGE) {
        Inset.X -= GetSystemMetrics(SM_CXEDGE);
        Inset.Y -= GetSystemMetrics(SM_CYEDGE);
    }
}

void TBaseLazyTree::PaintBevelBorder(TCanvas& Frame) {
    if (BevelKind() == bkNone && BorderWidth() == 0) return;
    TPoint Inset;
    GetBorderInset(Inset);
    TRect R{0, 0, Width(), Height()};
    InflateRect(R, Inset.X, Inset.Y);
    const TRect Outer = R;
    TRegion Saved;
    const bool HadClip = Frame.GetClipRgn(Saved);
    if (BevelKind() != bkNone) {
        auto Cut = [](TBevelCut C, unsigned Sunken, unsigned Raised) {
            return C == bvLowered ? Sunken : C == bvRaised ? Raised : 0u;
        };
        const unsigned Edge = Cut(BevelInner(), BDR_SUNKENINNER, BDR_RAISEDINNER) |
                              Cut(BevelOuter(), BDR_SUNKENOUTER, BDR_RAISEDOUTER);
        const TBevelEdges Edges = BevelEdges();
        unsigned Flags = (Edges.Contains(beLeft) ? BF_LEFT : 0u) | (Edges.Contains(beTop) ? BF_TOP : 0u) |
                         (Edges.Contains(beRight) ? BF_RIGHT : 0u) | (Edges.Contains(beBottom) ? BF_BOTTOM : 0u);
        if (BevelKind() == bkSoft) Flags |= BF_SOFT;
        else if (BevelKind() == bkFlat) Flags |= BF_FLAT;
        if (!FCtl3D) Flags |= BF_MONO;
        TRect Drawn = R;
        if (Edge) Frame.DrawEdge(Drawn, Edge, Flags);
        const int Size = (BevelInner() != bvNone ? BevelWidth() : 0) + (BevelOuter() != bvNone ? BevelWidth() : 0);
        if (Edges.Contains(beLeft)) R.Left += Size;
        if (Edges.Contains(beTop)) R.Top += Size;
        if (Edges.Contains(beRight)) R.Right -= Size;
        if (Edges.Contains(beBottom)) R.Bottom -= Size;
    }
    // The band inside the bevel in the border colour.
    Frame.IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
    InflateRect(R, -BorderWidth(), -BorderWidth());
    Frame.ExcludeClipRect(R.Left, R.Top, R.Right, R.Bottom);
    Frame.Brush().SetStyle(bsSolid);
    Frame.Brush().SetColor(FColors->GetColor(TLTColors::BorderColor));
    Frame.FillRect(Outer);
    Frame.SelectClipRgn(HadClip ? &Saved : nullptr);
}
