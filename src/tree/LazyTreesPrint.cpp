// Painting the tree off screen: the whole tree printed page by page, and
// the selected nodes around the mouse as the picture of a drag.

#include "tree/LazyTrees_p.h"

#include "framework/Printers.h"
#include "framework/SysUtils.h"
#include "tree/LazyTrees.Utils.h"

#include <cmath>

TRect TBaseLazyTree::GetTreeRect() {
    return TRect{0, 0, std::max(ClientWidth(), RangeX()), std::max(ClientHeight(), RangeY())};
}

// The rows are painted by the screen's own row painting, shifted so that
// Window's corner lands at Target, with what the options leave out masked.
void TBaseLazyTree::PaintTree(TCanvas& TargetCanvas, TRect Window, TPoint Target, TLTInternalPaintOptions PaintOptions,
                              TPixelFormat) {
    if (FStates.Contains(tsPainting)) return;
    DoStateChange({tsPainting});
    const TOffscreenPaint Offscreen{PaintOptions, Target.X + (Window.Right - Window.Left), FOffsetX};
    const int KeptOffsetX = FOffsetX;
    const TOffscreenPaint* KeptOffscreen = FOffscreen;
    FOffsetX = Target.X - Window.Left;
    FOffscreen = &Offscreen;
    TRegion KeptClip;
    const bool HadClip = TargetCanvas.GetClipRgn(KeptClip);
    TFinally Done{[&] {
        FOffsetX = KeptOffsetX;
        FOffscreen = KeptOffscreen;
        TargetCanvas.SelectClipRgn(HadClip ? &KeptClip : nullptr);
        DoStateChange({}, {tsPainting});
    }};
    const TRect Area{Target.X, Target.Y, Target.X + (Window.Right - Window.Left),
                     Target.Y + (Window.Bottom - Window.Top)};
    TargetCanvas.IntersectClipRect(Area.Left, Area.Top, Area.Right, Area.Bottom);
    DoBeforePaint(TargetCanvas);
    const bool Measure = FOptions->MiscOptions().Contains(toVariableNodeHeight);
    const bool SelectedOnly = PaintOptions.Contains(poSelectedOnly);
    int Y = 0;
    const bool ShowFiltered = FOptions->PaintOptions().Contains(toShowFilteredNodes);
    for (PLazyNode Node = GetFirstVisible(nullptr, false); Node && Y < Window.Bottom;
         Node = GetNextVisible(Node, false)) {
        if (Node->States.Contains(vsFiltered) && !ShowFiltered) continue;
        if (Measure) MeasureItemHeight(&TargetCanvas, Node);
        const int Height = int(Node->NodeHeight);
        if (Y + Height > Window.Top) {
            // A drag picture shows the selected nodes and what lies below them.
            bool Paint = !SelectedOnly;
            for (PLazyNode Run = Node; !Paint && Run && Run != FRoot; Run = Run->Parent)
                Paint = Run->States.Contains(vsSelected);
            if (Paint) PaintNode(TargetCanvas, Node, Target.Y + Y - Window.Top);
        }
        Y += Height;
    }
    const int Below = std::max(Target.Y + Y - Window.Top, Area.Top);
    if (!SelectedOnly && Below < Area.Bottom) {
        PaintAreaBelow(TargetCanvas, TRect{Area.Left, Below, Area.Right, Area.Bottom});
    }
    DoAfterPaint(TargetCanvas);
}

void TBaseLazyTree::Print(TPrinter* Printer, bool PrintHeader) {
    if (!Printer) return;
    BeginUpdate();
    TFont KeptFont;
    KeptFont.Assign(&Font());
    const TColor KeptColor = Color();
    bool ColorChanged = false;
    TFinally Done{[&] {
        if (ColorChanged) SetColor(KeptColor);
        Font().Assign(&KeptFont);
        // A print that failed leaves no half document behind.
        if (Printer->Printing()) Printer->Abort();
        EndUpdate();
    }};

    const TRect TreeRect = GetTreeRect();
    const int HeaderHeight = FHeader->Options.Contains(hoVisible) && PrintHeader ? FHeader->Height() : 0;
    TBitmap Image;
    Image.SetPixelFormat(pf32bit);
    Image.SetSize(TreeRect.Right - TreeRect.Left, TreeRect.Bottom - TreeRect.Top + HeaderHeight);

    // The printed tree shows no selection and no focus on white.
    ColorChanged = true;
    SetColor(clWhite);
    if (HeaderHeight > 0)
        FHeader->Columns().PaintHeader(Image.Canvas(), TRect{0, 0, Image.Width(), HeaderHeight}, TPoint{0, 0});
    PaintTree(Image.Canvas(), TRect{0, 0, Image.Width(), Image.Height()}, TPoint{0, HeaderHeight}, {poGridLines},
              pf32bit);
    SetColor(KeptColor);
    ColorChanged = false;

    Printer->BeginDoc();
    TCanvas& Paper = Printer->Canvas();
    Paper.Font().Assign(&Font());
    TBitmap Measure;
    Measure.SetSize(1, 1);
    Measure.Canvas().Font().Assign(&Font());
    const double Scale = double(Paper.TextHeight(u"Tj")) / std::max(1, Measure.Canvas().TextHeight(u"Tj"));
    const int PageW = std::max<int>(1, int(Round(Printer->PageWidth() / Scale)));
    const int PageH = std::max<int>(1, int(Round(Printer->PageHeight() / Scale)));
    // Whole pages: an image exactly two pages wide prints two columns, not a third blank one.
    const int HPages = std::max(1, (Image.Width() + PageW - 1) / PageW);
    const int VPages = std::max(1, (Image.Height() + PageH - 1) / PageH);
    TBitmap Page;
    Page.SetSize(PageW, PageH);
    for (int V = 0; V < VPages; ++V)
        for (int H = 0; H < HPages; ++H) {
            Page.Canvas().Brush().SetStyle(bsSolid);
            Page.Canvas().Brush().SetColor(clWhite);
            Page.Canvas().FillRect(TRect{0, 0, PageW, PageH});
            Page.Canvas().CopyRect(TRect{0, 0, PageW, PageH}, Image.Canvas(),
                                   TRect{H * PageW, V * PageH, H * PageW + PageW, V * PageH + PageH});
            StretchDrawBitmap(Printer->Canvas(), TRect{0, 0, Printer->PageWidth(), Printer->PageHeight() - 1}, Page);
            if (H < HPages - 1 || V < VPages - 1) Printer->NewPage();
        }
    Font().Assign(&KeptFont);
    Printer->EndDoc();
}

void TBaseLazyTree::PrepareDragImage(TPoint HotSpot, const std::shared_ptr<IDataObject>& DataObject) {
    if (!DragPictureWanted()) return;
    const TPoint T{HotSpot.X - FOffsetX, HotSpot.Y - FOffsetY};
    const int HW = DragWidth / 2, HH = DragHeight / 2;
    TRect ImageRect{T.X - HW, T.Y - HH, T.X + HW, T.Y + HH};
    // Clipped at the canvas's corner, so that the hot spot stays at the picture's centre.
    const TRect Window{std::max(ImageRect.Left, 0), std::max(ImageRect.Top, 0), ImageRect.Right, ImageRect.Bottom};
    const TPoint Target{Window.Left - ImageRect.Left, Window.Top - ImageRect.Top};
    TBitmap Picture;
    Picture.SetPixelFormat(pf32bit);
    Picture.SetSize(ImageRect.Right - ImageRect.Left, ImageRect.Bottom - ImageRect.Top);
    Picture.Canvas().Brush().SetStyle(bsSolid);
    Picture.Canvas().Brush().SetColor(FColors->BackGroundColor());
    Picture.Canvas().FillRect(TRect{0, 0, Picture.Width(), Picture.Height()});
    TLTInternalPaintOptions Options{poDrawSelection, poSelectedOnly};
    if (DragImageKind == diMainColumnOnly) Options.Include(poMainOnly);
    PaintTree(Picture.Canvas(), Window, Target, Options, pfDevice);
    const TPoint ImagePosition = ClientToScreen(TPoint{ImageRect.Left + FOffsetX, ImageRect.Top + FOffsetY});
    FDragImage->ColorKey = FColors->BackGroundColor();
    FDragImage->PrepareDrag(Picture, ImagePosition, ClientToScreen(HotSpot), DataObject);
}
