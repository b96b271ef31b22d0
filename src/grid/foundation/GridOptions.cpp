#include "grid/foundation/GridOptions.h"

#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Stores Value and reports the change; with OnlyChanged nothing happens when it is the same.
template <class T, class Owner>
void StoreAndReport(Owner* Self, T& Field, const T& Value, bool OnlyChanged, void (Owner::*Report)()) {
    if (OnlyChanged && Field == Value) return;
    Field = Value;
    (Self->*Report)();
}

}  // namespace

// ---------------------------------------------------------------------------
// TSearchFooter

TSearchFooter::TSearchFooter(TPersistent* AOwner, bool InitDesign) : FOwner(AOwner) {
    if (InitDesign) {
        FFindNextCaption = u"Find &next";
        FFindPrevCaption = u"Find &previous";
        FMatchCaseCaption = u"Match case";
        FHighLightCaption = u"Highlight";
        FHintClose = u"Close";
        FHintFindPrev = u"Find previous occurrence";
        FHintHighlight = u"Highlight occurrences";
        FHintFindNext = u"Find next occurrence";
    }
}

TSearchFooter::~TSearchFooter() = default;

void TSearchFooter::DoChange() {
    if (OnChange) OnChange(this);
}

void TSearchFooter::SetShowFindPrev(bool Value) { StoreAndReport(this, FShowFindPrev, Value, true, &TSearchFooter::DoChange); }
void TSearchFooter::SetShowFindNext(bool Value) { StoreAndReport(this, FShowFindNext, Value, true, &TSearchFooter::DoChange); }
void TSearchFooter::SetFindNextCaption(const String& Value) { StoreAndReport(this, FFindNextCaption, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetFindPrevCaption(const String& Value) { StoreAndReport(this, FFindPrevCaption, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetColorTo(TColor Value) { StoreAndReport(this, FColorTo, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetColor(TColor Value) { StoreAndReport(this, FColor, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetVisible(bool Value) { StoreAndReport(this, FVisible, Value, true, &TSearchFooter::DoChange); }
void TSearchFooter::SetAutoThemeAdapt(bool Value) { StoreAndReport(this, FAutoThemeAdapt, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetShowClose(bool Value) { StoreAndReport(this, FShowClose, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetShowHighLight(bool Value) { StoreAndReport(this, FShowHighLight, Value, true, &TSearchFooter::DoChange); }
void TSearchFooter::SetShowMatchCase(bool Value) { StoreAndReport(this, FShowMatchCase, Value, true, &TSearchFooter::DoChange); }
void TSearchFooter::SetMatchCaseCaption(const String& Value) { StoreAndReport(this, FMatchCaseCaption, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetHintClose(const String& Value) { StoreAndReport(this, FHintClose, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetHintFindPrev(const String& Value) { StoreAndReport(this, FHintFindPrev, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetHintHighlight(const String& Value) { StoreAndReport(this, FHintHighlight, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetHintFindNext(const String& Value) { StoreAndReport(this, FHintFindNext, Value, false, &TSearchFooter::DoChange); }
void TSearchFooter::SetHighLightCaption(const String& Value) { StoreAndReport(this, FHighLightCaption, Value, false, &TSearchFooter::DoChange); }

void TSearchFooter::SetFont(const TFont& Value) {
    FFont.Assign(&Value);
    DoChange();
}

void TSearchFooter::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TSearchFooter*>(Source);
    if (!s) return;
    FShowFindPrev = s->FShowFindPrev;
    FShowFindNext = s->FShowFindNext;
    FFindNextCaption = s->FFindNextCaption;
    FFindPrevCaption = s->FFindPrevCaption;
    FColorTo = s->FColorTo;
    FColor = s->FColor;
    FVisible = s->FVisible;
    FShowClose = s->FShowClose;
    FShowHighLight = s->FShowHighLight;
    FShowMatchCase = s->FShowMatchCase;
    FMatchCaseCaption = s->FMatchCaseCaption;
    FHintClose = s->FHintClose;
    FHintFindPrev = s->FHintFindPrev;
    FHintHighlight = s->FHintHighlight;
    FHintFindNext = s->FHintFindNext;
    FSearchColumn = s->FSearchColumn;
    FSearchActiveColumnOnly = s->FSearchActiveColumnOnly;
    FSearchMatchStart = s->FSearchMatchStart;
    FSearchHiddenRows = s->FSearchHiddenRows;
    FHighLightCaption = s->FHighLightCaption;
    FAlwaysHighLight = s->FAlwaysHighLight;
    FSearchDirection = s->FSearchDirection;
    FFont.Assign(&s->FFont);
}

// ---------------------------------------------------------------------------
// TNavigation

void TNavigation::DoChange() {
    if (OnChange) OnChange(this);
}

void TNavigation::SetAdvanceInsert(bool Value) { StoreAndReport(this, FAdvanceInsert, Value, true, &TNavigation::DoChange); }
void TNavigation::SetAdvanceDirection(TAdvanceDirection Value) { StoreAndReport(this, FAdvanceDirection, Value, true, &TNavigation::DoChange); }

void TNavigation::SetAdvanceAuto(bool Value) {
    if (FAdvanceAuto == Value) return;
    FAdvanceAuto = Value;
    if (Value) SetAdvanceOnEnter(true);
}

void TNavigation::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TNavigation*>(Source);
    if (!s || s == this) return;
    const bool keepScroll = FKeepScrollOnSort;
    TNotifyEvent onChange = OnChange;
    *this = *s;
    FKeepScrollOnSort = keepScroll;
    OnChange = onChange;
}

// ---------------------------------------------------------------------------
// TMouseActions

void TMouseActions::DoChange() {
    if (OnChange) OnChange(this);
}

bool TMouseActions::IsDesigning() {
    bool designing = false;
    if (OnIsDesigning) OnIsDesigning(this, designing);
    return designing;
}

void TMouseActions::SetDisjunctRowSelect(bool Value) {
    FDisjunctRowSelect = Value;
    if (Value && IsDesigning()) FDisjunctColSelect = FDisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctColSelect(bool Value) {
    FDisjunctColSelect = Value;
    if (Value && IsDesigning()) FDisjunctRowSelect = FDisjunctCellSelect = false;
}

void TMouseActions::SetDisjunctCellSelect(bool Value) {
    FDisjunctCellSelect = Value;
    if (Value && IsDesigning()) FDisjunctRowSelect = FDisjunctColSelect = false;
}

void TMouseActions::SetHotmailRowSelect(bool Value) {
    FHotmailRowSelect = Value;
    if (Value) {
        SetDisjunctRowSelect(true);
        SetCheckAllCheck(true);
    }
    if (OnInvalidate) OnInvalidate(this);
}

void TMouseActions::SetWheelAction(TWheelAction Value) { StoreAndReport(this, FWheelAction, Value, true, &TMouseActions::DoChange); }

void TMouseActions::SetEditOnDblClickOnly(bool Value) {
    FEditOnDblClickOnly = Value;
    if (Value && OnDisableEdit) OnDisableEdit(this);
}

void TMouseActions::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TMouseActions*>(Source);
    if (!s || s == this) return;
    TPersistent* owner = FOwner;
    const bool sizeFixedRow = FSizeFixedRow, hotmail = FHotmailRowSelect, dblClick = FEditOnDblClickOnly;
    TStringList combo(FFixedComboValues);
    TNotifyEvent onChange = OnChange, onInvalidate = OnInvalidate, onDisableEdit = OnDisableEdit;
    TIsDesigningEvent onIsDesigning = OnIsDesigning;
    *this = *s;
    FOwner = owner;
    FSizeFixedRow = sizeFixedRow;
    FHotmailRowSelect = hotmail;
    FEditOnDblClickOnly = dblClick;
    FFixedComboValues = combo;
    OnChange = onChange;
    OnInvalidate = onInvalidate;
    OnDisableEdit = onDisableEdit;
    OnIsDesigning = onIsDesigning;
}

// ---------------------------------------------------------------------------
// TSyncGrid, TBands, TFocusHelper

void TSyncGrid::SetGrid(TStringGrid* Value) {
    if (Value == FOwner) return;
    FGrid = Value;
    // The owner hears of the other grid's end and lets go of it.
    if (Value && FOwner) Value->FreeNotification(FOwner);
}

void TSyncGrid::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TSyncGrid*>(Source);
    if (!s) return;
    SetGrid(s->FGrid);
    FScrollHorizontal = s->FScrollHorizontal;
    FScrollVertical = s->FScrollVertical;
    FSelectionRow = s->FSelectionRow;
    FSelectionColumn = s->FSelectionColumn;
    FMoveRow = s->FMoveRow;
    FMoveColumn = s->FMoveColumn;
}

void TBands::DoChange() {
    if (OnChange) OnChange(this);
}

void TBands::SetActive(bool Value) { StoreAndReport(this, FActive, Value, true, &TBands::DoChange); }

void TBands::SetPrimaryColor(TColor Value) {
    if (FPrimaryColor == Value) return;
    FPrimaryColor = Value;
    if (FActive) DoChange();
}

void TBands::SetSecondaryColor(TColor Value) {
    if (FSecondaryColor == Value) return;
    FSecondaryColor = Value;
    if (FActive) DoChange();
}

void TBands::SetPrimaryLength(int Value) {
    if (FPrimaryLength == Value) return;
    FPrimaryLength = Value;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    if (FActive) DoChange();
}

void TBands::SetSecondaryLength(int Value) {
    if (FSecondaryLength == Value) return;
    FSecondaryLength = Value;
    FTotalLength = FPrimaryLength + FSecondaryLength;
    if (FActive) DoChange();
}

void TBands::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TBands*>(Source);
    if (!s) return;
    FActive = s->FActive;
    FPrimaryColor = s->FPrimaryColor;
    FSecondaryColor = s->FSecondaryColor;
    FPrimaryLength = s->FPrimaryLength;
    FSecondaryLength = s->FSecondaryLength;
    FPrint = s->FPrint;
    FTotalLength = FPrimaryLength + FSecondaryLength;
}

void TFocusHelper::Assign(const TPersistent* Source) {
    if (const auto* s = dynamic_cast<const TFocusHelper*>(Source)) FEnabled = s->FEnabled;
}

// ---------------------------------------------------------------------------
// The focus frame's window

TGridFocusWindow::TGridFocusWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(Left(), Top(), 0, 0);
    SetColor(clRed);
}

void TGridFocusWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_DISABLED;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

// ---------------------------------------------------------------------------
// The alpha mask of the focus frame

TGridAlphaMask::TGridAlphaMask() { SetPixelFormat(pf32bit); }

void TGridAlphaMask::Assign(const TPersistent* Source) {
    if (const auto* s = dynamic_cast<const TGridAlphaMask*>(Source)) {
        if (s == this) return;
        auto& src = const_cast<TGridAlphaMask&>(*s);
        Opacity = s->Opacity;
        SetPixelFormat(pf32bit);
        SetSize(src.Width(), src.Height());
        for (int y = 0; y < Height(); ++y)
            std::memcpy(ScanLine(y), src.ScanLine(y), static_cast<size_t>(Width()) * 4);
    } else {
        TBitmap::Assign(Source);
    }
    SetPixelFormat(pf32bit);
}

void TGridAlphaMask::MergeMask(TBitmap& Mask, TBitmap& Bitmap, TColor) {
    if (Bitmap.PixelFormat() != pf24bit) return;
    // A mask of another size has no alpha for every pixel: nothing to merge.
    if (Mask.Width() != Bitmap.Width() || Mask.Height() != Bitmap.Height()) return;
    const int w = Bitmap.Width(), h = Bitmap.Height();
    SetPixelFormat(pf32bit);
    SetSize(w, h);
    // The mask's red channel, read from a 24-bit copy when it has another format.
    TBitmap converted;
    TBitmap* mask = &Mask;
    if (Mask.PixelFormat() != pf24bit) {
        converted.Assign(&Mask);
        converted.SetPixelFormat(pf24bit);
        mask = &converted;
    }
    // Rows are copied out first: 24-bit rows share one buffer per bitmap.
    std::vector<Byte> maskRow(static_cast<size_t>(w) * 3), colourRow(static_cast<size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        std::memcpy(maskRow.data(), mask->ScanLine(y), maskRow.size());
        std::memcpy(colourRow.data(), Bitmap.ScanLine(y), colourRow.size());
        auto* out = static_cast<Byte*>(ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const Byte alpha = maskRow[size_t(x) * 3 + 2];
            for (int ch = 0; ch < 3; ++ch)
                out[x * 4 + ch] = static_cast<Byte>(Round(colourRow[size_t(x) * 3 + ch] * alpha / 255.0));
            out[x * 4 + 3] = alpha;
        }
    }
}

void CreateRoundRectMask(TBitmap& Bitmap, int W, int H, int PenWidth, int Radius, double Blur) {
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(W, H);
    TCanvas& c = Bitmap.Canvas();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(clBlack);
    c.FillRect(Rect(0, 0, W, H));
    const int inset = 2 + PenWidth / 2;
    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(clWhite);
    if (PenWidth > 0) {
        c.Pen().SetWidth(PenWidth);
        c.Brush().SetColor(clBlack);
    } else {
        c.Pen().SetWidth(1);
        c.Brush().SetColor(clWhite);
    }
    c.RoundRect(inset, inset, W - inset, H - inset, Radius, Radius);
    c.Pen().SetWidth(1);
    if (Blur > 0) GaussianBlur(Bitmap, Blur);
}

namespace {

struct TBlurKernel {
    int Radius = 1;
    float Weights[21] = {};  // index k + 10 for k = -10 .. 10
    float At(int k) const { return Weights[k + 10]; }
};

TBlurKernel BuildBlurKernel(double Sigma) {
    TBlurKernel kernel;
    float sum = 0;
    for (int k = -10; k <= 10; ++k) {
        const double q = k / Sigma;
        kernel.Weights[k + 10] = static_cast<float>(std::exp(-q * q / 2));
        sum += kernel.Weights[k + 10];
    }
    for (float& w : kernel.Weights) w /= sum;
    // Drop the outer pairs while together they stay below half a step of an 8-bit channel.
    int half = 10;
    double removed = 0;
    while (removed < 1.0 / 510 && half > 1) {
        removed += 2 * kernel.At(half);
        --half;
    }
    kernel.Radius = half;
    float inner = 0;
    for (int k = -half; k <= half; ++k) inner += kernel.At(k);
    for (int k = -half; k <= half; ++k) kernel.Weights[k + 10] /= inner;
    return kernel;
}

Byte ClampToByte(double v) {
    if (v < 0) return 0;
    if (v > 255) return 255;
    return static_cast<Byte>(v);
}

// n pixels of 3 bytes each, Step bytes apart.
void BlurLine(const TBlurKernel& K, Byte* Line, int N, std::vector<Byte>& Scratch) {
    Scratch.resize(static_cast<size_t>(N) * 3);
    for (int a = 0; a < N; ++a) {
        for (int ch = 0; ch < 3; ++ch) {
            double sum = 0;
            for (int k = -K.Radius; k <= K.Radius; ++k) sum += K.At(k) * Line[std::clamp(a - k, 0, N - 1) * 3 + ch];
            Scratch[size_t(a) * 3 + ch] = ClampToByte(sum);
        }
    }
    std::memcpy(Line, Scratch.data(), Scratch.size());
}

}  // namespace

void GaussianBlur(TBitmap& Bitmap, double Sigma) {
    if (Bitmap.PixelFormat() != pf24bit) throw EInvalidOperation("Blur only works for 24-bit bitmaps");
    const int w = Bitmap.Width(), h = Bitmap.Height();
    if (w <= 0 || h <= 0) return;
    const TBlurKernel kernel = BuildBlurKernel(Sigma);
    const size_t stride = static_cast<size_t>(w) * 3;
    std::vector<Byte> pixels(stride * h), scratch;
    for (int y = 0; y < h; ++y) std::memcpy(&pixels[stride * y], Bitmap.ScanLine(y), stride);

    // Rows between 21 and H - 21 equal row 15 for the ring this blurs, and so do the columns.
    for (int y = 0; y < h; ++y) {
        if (y > 20 && y < h - 20)
            std::memcpy(&pixels[stride * y], &pixels[stride * 15], stride);
        else
            BlurLine(kernel, &pixels[stride * y], w, scratch);
    }
    std::vector<Byte> column(static_cast<size_t>(h) * 3);
    for (int x = 0; x < w; ++x) {
        if (x > 20 && x < w - 20) {
            for (int y = 0; y < h; ++y) std::memcpy(&pixels[stride * y + x * 3], &pixels[stride * y + 15 * 3], 3);
            continue;
        }
        for (int y = 0; y < h; ++y) std::memcpy(&column[size_t(y) * 3], &pixels[stride * y + x * 3], 3);
        BlurLine(kernel, column.data(), h, scratch);
        for (int y = 0; y < h; ++y) std::memcpy(&pixels[stride * y + x * 3], &column[size_t(y) * 3], 3);
    }
    for (int y = 0; y < h; ++y) std::memcpy(Bitmap.ScanLine(y), &pixels[stride * y], stride);
}
