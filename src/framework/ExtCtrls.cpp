#include "framework/ExtCtrls.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"

#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

// ---------------------------------------------------------------------------
// TTimer
// ---------------------------------------------------------------------------
struct TTimer::TTimerImpl {
    QTimer Timer;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    EnsureControlLayer();
    FImpl = std::make_unique<TTimerImpl>();
    QObject::connect(&FImpl->Timer, &QTimer::timeout, [this] { Guarded([this] { Tick(); }); });
}

TTimer::~TTimer() { FImpl->Timer.stop(); }

void TTimer::SetEnabled(bool Value) {
    // Enabling a running timer again must not restart its interval.
    if (FEnabled == Value) return;
    FEnabled = Value;
    Update();
}

void TTimer::SetInterval(Cardinal Value) {
    FInterval = Value;
    Update();
}

void TTimer::Update() {
    if (FEnabled && FInterval > 0) FImpl->Timer.start(int(FInterval));
    else FImpl->Timer.stop();
}

void TTimer::Tick() {
    if (OnTimer) OnTimer(this);
}

// ---------------------------------------------------------------------------
// TPanel
// ---------------------------------------------------------------------------
TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 185;
    FHeight = 41;
    FParentColor = false;
    FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks};
}

void TPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    Invalidate();
}

void TPanel::SetBevelWidth(int Value) {
    FBevelWidth = Value;
    Invalidate();
}

void TPanel::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TPanel::CMTextChanged(TMessage& Message) { Invalidate(); }

void TPanel::Paint() {
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(Color());
    c.FillRect(r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        for (int i = 0; i < FBevelWidth; ++i) {
            if (cut != bvSpace) {
                TColor tl = cut == bvLowered ? clBtnShadow : clBtnHighlight;
                TColor br = cut == bvLowered ? clBtnHighlight : clBtnShadow;
                c.Pen().SetColor(tl);
                c.MoveTo(r.Left, r.Bottom - 1);
                c.LineTo(r.Left, r.Top);
                c.LineTo(r.Right - 1, r.Top);
                c.Pen().SetColor(br);
                c.LineTo(r.Right - 1, r.Bottom - 1);
                c.LineTo(r.Left - 1, r.Bottom - 1);
            }
            InflateRect(r, -1, -1);
        }
    };
    bevel(FBevelOuter);
    InflateRect(r, -FBorderWidth, -FBorderWidth);
    bevel(FBevelInner);
    if (!Text().empty()) {
        c.SetFont(Font());
        c.Brush().SetStyle(bsClear);
        unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
        flags |= FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
        c.DrawText(Text(), r, flags);
    }
}

// ---------------------------------------------------------------------------
// TShape, TBevel
// ---------------------------------------------------------------------------
TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 65;
    FHeight = 65;
    FPen.OnChange = [this](TObject*) { Invalidate(); };
    FBrush.OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType Value) {
    FShape = Value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas& c = Canvas();
    c.SetPen(FPen);
    c.SetBrush(FBrush);
    int pw = FPen.Width();
    int x = pw / 2, y = pw / 2;
    int w = FWidth - pw + 1, h = FHeight - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    if (w < h && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        y += (h - w) / 2;
        h = w;
    } else if (h < w && (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle)) {
        x += (w - h) / 2;
        w = h;
    }
    switch (FShape) {
    case stRectangle: case stSquare: c.Rectangle(x, y, x + w, y + h); break;
    case stRoundRect: case stRoundSquare: c.RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse: case stCircle: c.Ellipse(x, y, x + w, y + h); break;
    }
}

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 50;
    FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas& c = Canvas();
    TColor c1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor c2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    int w = FWidth, h = FHeight;
    auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
        c.Pen().SetColor(col);
        c.Pen().SetWidth(1);
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    switch (FShape) {
    case bsBox:
        line(c1, 0, h - 1, 0, 0);
        line(c1, 0, 0, w, 0);
        line(c2, w - 1, 0, w - 1, h);
        line(c2, 0, h - 1, w, h - 1);
        break;
    case bsFrame:
        line(c1, 0, 0, w - 1, 0);
        line(c1, 0, 0, 0, h - 1);
        line(c1, w - 2, 1, w - 2, h - 1);
        line(c1, 1, h - 2, w - 1, h - 2);
        line(c2, 1, 1, w - 2, 1);
        line(c2, 1, 1, 1, h - 2);
        line(c2, w - 1, 0, w - 1, h);
        line(c2, 0, h - 1, w, h - 1);
        break;
    case bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}

// ---------------------------------------------------------------------------
// TImage
// ---------------------------------------------------------------------------
TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>()) {
    FWidth = 105;
    FHeight = 105;
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

void TImage::PictureChanged() {
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(FLeft, FTop, FPicture->Width(), FPicture->Height());
    if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(FTransparent);
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value) {
    FCenter = Value;
    Invalidate();
}

void TImage::SetProportional(bool Value) {
    FProportional = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    if (TGraphic* g = FPicture->Graphic()) g->SetTransparent(Value);
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged();
}

TCanvas& TImage::ImageCanvas() {
    TBitmap& bmp = FPicture->Bitmap();
    if (bmp.Empty()) bmp.SetSize(FWidth, FHeight);
    return bmp.Canvas();
}

TRect TImage::DestRect() {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = FWidth, ch = FHeight;
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            double xr = double(cw) / w, yr = double(ch) / h;
            double r = std::min(xr, yr);
            w = int(w * r);
            h = int(h * r);
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (FCenter) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Rect(x, y, x + w, y + h);
}

void TImage::Paint() {
    TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    TRect r = DestRect();
    if (r.Right - r.Left == g->Width() && r.Bottom - r.Top == g->Height()) Canvas().Draw(r.Left, r.Top, *g);
    else Canvas().StretchDraw(r, *g);
}

// ---------------------------------------------------------------------------
// TRadioGroup
// ---------------------------------------------------------------------------
TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner) {
    auto* items = new TNotifyingStrings;
    items->OnChanged = [this] { UpdateButtons(); };
    FItems.reset(items);
}

TRadioGroup::~TRadioGroup() { static_cast<TNotifyingStrings*>(FItems.get())->OnChanged = nullptr; }

void TRadioGroup::UpdateButtons() {
    FUpdating = true;
    while (int(FButtons.size()) > FItems->Count()) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    while (int(FButtons.size()) < FItems->Count()) {
        auto* b = new TRadioButton(this);
        b->SetParent(this);
        b->OnClick = [this, b](TObject*) {
            if (FUpdating) return;
            auto it = std::find(FButtons.begin(), FButtons.end(), b);
            if (it != FButtons.end() && b->Checked()) SetItemIndex(int(it - FButtons.begin()));
        };
        FButtons.push_back(b);
    }
    for (size_t i = 0; i < FButtons.size(); ++i) {
        FButtons[i]->SetCaption(FItems->Strings(int(i)));
        FButtons[i]->SetChecked(int(i) == FItemIndex);
    }
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    FUpdating = false;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) return;
    TCanvas measure;
    measure.SetFont(Font());
    int top = measure.TextHeight(u"0") + 1;
    int cols = std::max(1, FColumns);
    int rows = (int(FButtons.size()) + cols - 1) / cols;
    int colWidth = (FWidth - 10) / cols;
    int rowHeight = std::max(1, (FHeight - top - 4) / std::max(1, rows));
    for (size_t i = 0; i < FButtons.size(); ++i) {
        int col = int(i) / rows, row = int(i) % rows;
        FButtons[i]->SetBounds(8 + col * colWidth, top + row * rowHeight + (rowHeight - 17) / 2, colWidth - 4, 17);
    }
}

void TRadioGroup::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    if (Value == FItemIndex) return;
    FItemIndex = Value;
    FUpdating = true;
    for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetChecked(int(i) == Value);
    FUpdating = false;
    Click();
}

void TRadioGroup::SetColumns(int Value) {
    FColumns = std::clamp(Value, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::WMSize(TWMSize& Message) {
    TGroupBox::WMSize(Message);
    ArrangeButtons();
}

// ---------------------------------------------------------------------------
// TLinkLabel
// ---------------------------------------------------------------------------
TLinkLabel::TLinkLabel(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 53;
    FHeight = 17;
    FParentColor = true;
    HandleNeeded();
}

void TLinkLabel::CreateWnd() {
    auto* w = new THostWidget<QLabel>(this);
    AttachWidget(this, w, false);
    w->setTextFormat(Qt::RichText);
    w->setOpenExternalLinks(false);
    w->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    w->setText(ToQ(FText));
    QObject::connect(w, &QLabel::linkActivated, ContextOf(this), [this](const QString& link) {
        Guarded([&] { LinkClicked(FromQ(link)); });
    });
}

void TLinkLabel::SetText(const String& Value) {
    if (FText == Value) return;
    FText = Value;
    auto* w = WidgetAs<QLabel>(this);
    w->setText(ToQ(Value));
    // A link label sizes itself to its text, so that none of it is cut.
    const QSize size = w->sizeHint();
    SetBounds(Left(), Top(), size.width(), size.height());
    Perform(CM_TEXTCHANGED);
}

void TLinkLabel::LinkClicked(const String& Link) {
    if (OnLinkClick) OnLinkClick(this, Link, sltURL);
}

// ---------------------------------------------------------------------------
// TSpeedButton
// ---------------------------------------------------------------------------
TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FWidth = 23;
    FHeight = 22;
    FControlStyle = {csCaptureMouse, csDoubleClicks};
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (FDown == Value) return;
    if (FDown && !FAllowAllUp) {
        // The last one down of a group stays down unless all may be up.
        bool otherDown = false;
        if (FParent)
            for (int i = 0; i < FParent->ControlCount(); ++i)
                if (auto* s = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
                    s && s != this && s->FGroupIndex == FGroupIndex && s->FDown)
                    otherDown = true;
        if (!otherDown && !Value) return;
    }
    FDown = Value;
    if (Value && FParent)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* s = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
                s && s != this && s->FGroupIndex == FGroupIndex && s->FDown) {
                s->FDown = false;
                s->Invalidate();
            }
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value) {
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft && Enabled()) {
        FPressed = true;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FPressed) return;
    FPressed = false;
    if (PtInRect(ClientRect(), {X, Y})) {
        if (FGroupIndex != 0) SetDown(!FDown || !FAllowAllUp ? true : false);
        Click();
    }
    Invalidate();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
    FHot = true;
    if (FFlat) Invalidate();
    TGraphicControl::CMMouseEnter(Message);
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
    FHot = false;
    if (FFlat) Invalidate();
    TGraphicControl::CMMouseLeave(Message);
}

void TSpeedButton::Paint() {
    TCanvas& c = Canvas();
    TRect r = ClientRect();
    bool down = FDown || FPressed;
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(down && FDown ? clBtnHighlight : Color());
    c.FillRect(r);
    if (!FFlat || FHot || down) {
        TRect e = r;
        c.DrawEdge(e, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    int offset = down ? 1 : 0;
    int gw = 0, gh = 0;
    if (!FGlyph->Empty()) {
        gw = FGlyph->Width() / FNumGlyphs;
        gh = FGlyph->Height();
    }
    c.SetFont(Font());
    c.Brush().SetStyle(bsClear);
    String text = Text();
    int tw = text.empty() ? 0 : c.TextWidth(StripHotkey(text));
    int total = gw + (gw && tw ? 4 : 0) + tw;
    int x = (FWidth - total) / 2 + offset;
    if (gw > 0) {
        int column = !Enabled() && FNumGlyphs > 1 ? 1 : (down && FNumGlyphs > 2 ? 2 : 0);
        TBitmap part(gw, gh);
        part.Canvas().CopyRect(Rect(0, 0, gw, gh), FGlyph->Canvas(), Rect(column * gw, 0, column * gw + gw, gh));
        part.SetTransparent(true);
        c.Draw(x, (FHeight - gh) / 2 + offset, part);
        x += gw + 4;
    }
    if (tw > 0) {
        if (!Enabled()) c.Font().SetColor(clGrayText);
        TRect t = Rect(x, offset, x + tw + 1, FHeight + offset);
        c.DrawText(text, t, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    }
}

// ---------------------------------------------------------------------------
// TSplitter
// ---------------------------------------------------------------------------
TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 3;
    FHeight = 100;
    FAlign = alLeft;
    FCursor = crHSplit;
    FControlStyle = {csCaptureMouse};
}

void TSplitter::SetBeveled(bool Value) {
    FBeveled = Value;
    Invalidate();
}

TControl* TSplitter::ResizeControl() const {
    if (!FParent) return nullptr;
    // The visible sibling aligned to the same side whose edge touches ours.
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != FAlign) continue;
        switch (FAlign) {
        case alLeft: if (c->Left() + c->Width() == FLeft) return c; break;
        case alRight: if (c->Left() == FLeft + FWidth) return c; break;
        case alTop: if (c->Top() + c->Height() == FTop) return c; break;
        case alBottom: if (c->Top() == FTop + FHeight) return c; break;
        default: break;
        }
    }
    return nullptr;
}

void TSplitter::CMMouseEnter(TMessage& Message) {
    // The cursor follows the direction the splitter moves in.
    const TCursor wanted = Vertical() ? crHSplit : crVSplit;
    if (FCursor == crHSplit || FCursor == crVSplit) SetCursor(wanted);
    TGraphicControl::CMMouseEnter(Message);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !FParent) return;
    FControl = ResizeControl();
    if (!FControl) return;
    FStartPos = Vertical() ? FLeft + X : FTop + Y;
    FStartSize = Vertical() ? FControl->Width() : FControl->Height();
    // The room the resized control may take: what the other controls along
    // this axis leave, less MinSize for the rest.
    const TRect client = FParent->ClientRect();
    int used = 0;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (!c->Visible()) continue;
        if (Vertical() && (c->Align() == alLeft || c->Align() == alRight)) used += c->Width();
        if (!Vertical() && (c->Align() == alTop || c->Align() == alBottom)) used += c->Height();
    }
    const int extent = Vertical() ? client.Right - client.Left : client.Bottom - client.Top;
    FMaxSize = std::max(FStartSize, FStartSize + (extent - used) - FMinSize);
    FMoved = false;
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FControl || !MouseCapture()) return;
    const int pos = Vertical() ? FLeft + X : FTop + Y;
    int delta = pos - FStartPos;
    if (FAlign == alRight || FAlign == alBottom) delta = -delta;
    const int size = std::clamp(FStartSize + delta, std::min(FMinSize, FStartSize), FMaxSize);
    const int now = Vertical() ? FControl->Width() : FControl->Height();
    if (size == now) return;
    TControl* c = FControl;
    if (Vertical()) {
        if (FAlign == alRight) c->SetBounds(c->Left() + c->Width() - size, c->Top(), size, c->Height());
        else c->SetWidth(size);
    } else {
        if (FAlign == alBottom) c->SetBounds(c->Left(), c->Top() + c->Height() - size, c->Width(), size);
        else c->SetHeight(size);
    }
    FMoved = true;
    if (FParent) FParent->Realign();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    const bool moved = FMoved;
    FControl = nullptr;
    FMoved = false;
    if (moved && OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
    TCanvas& c = Canvas();
    const TRect r = ClientRect();
    c.Brush().SetColor(Color());
    c.FillRect(r);
    if (!FBeveled) return;
    c.Pen().SetColor(clBtnHighlight);
    if (Vertical()) {
        c.MoveTo(r.Left, r.Top);
        c.LineTo(r.Left, r.Bottom);
        c.Pen().SetColor(clBtnShadow);
        c.MoveTo(r.Right - 1, r.Top);
        c.LineTo(r.Right - 1, r.Bottom);
    } else {
        c.MoveTo(r.Left, r.Top);
        c.LineTo(r.Right, r.Top);
        c.Pen().SetColor(clBtnShadow);
        c.MoveTo(r.Left, r.Bottom - 1);
        c.LineTo(r.Right, r.Bottom - 1);
    }
}

// ---------------------------------------------------------------------------
// TScrollBox
// ---------------------------------------------------------------------------
struct TScrollBox::TBars {
    QPointer<QScrollBar> Bar[2];  // horizontal, vertical
};

namespace {
constexpr int kBarSize = 17;  // the classic scroll bar width
}

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner), FBars(std::make_unique<TBars>()) {
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csAcceptsControls};
    HandleNeeded();
}

TScrollBox::~TScrollBox() = default;

void TScrollBox::CreateWnd() {
    auto* w = new THostWidget<QWidget>(this);
    AttachWidget(this, w, false);
    for (int b = 0; b < 2; ++b) {
        auto* bar = new QScrollBar(b == 0 ? Qt::Horizontal : Qt::Vertical, w);
        bar->hide();
        FBars->Bar[b] = bar;
        QObject::connect(bar, &QScrollBar::valueChanged, ContextOf(this), [this, b](int v) {
            if (!FUpdating) Guarded([&] { ScrollTo(b, v); });
        });
    }
}

void TScrollBox::SetAutoScroll(bool Value) {
    FAutoScroll = Value;
    UpdateScrollBars();
}

TRect TScrollBox::ClientRect() const {
    TRect r = TWinControl::ClientRect();
    if (FBars && FBars->Bar[1] && !FBars->Bar[1]->isHidden()) r.Right -= kBarSize;
    if (FBars && FBars->Bar[0] && !FBars->Bar[0]->isHidden()) r.Bottom -= kBarSize;
    return r;
}

int TScrollBox::Page(int Bar) const {
    const TRect r = ClientRect();
    return Bar == 0 ? r.Right - r.Left : r.Bottom - r.Top;
}

void TScrollBox::ScrollBy(int DeltaX, int DeltaY) {
    if (DeltaX == 0 && DeltaY == 0) return;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() + DeltaX, c->Top() + DeltaY, c->Width(), c->Height());
    }
    EnableAlign();
    Invalidate();
}

void TScrollBox::ScrollTo(int Bar, int Value) {
    const int limit = std::max(0, FRange[Bar] - Page(Bar));
    Value = std::clamp(Value, 0, limit);
    const int delta = FPos[Bar] - Value;
    if (delta == 0) return;
    FPos[Bar] = Value;
    ScrollBy(Bar == 0 ? delta : 0, Bar == 1 ? delta : 0);
    if (QScrollBar* bar = FBars->Bar[Bar]) {
        FUpdating = true;
        bar->setValue(Value);
        FUpdating = false;
    }
}

void TScrollBox::UpdateScrollBars() {
    if (FUpdating || !FBars->Bar[0]) return;
    FUpdating = true;
    // The children's extent in unscrolled coordinates.
    int extent[2] = {0, 0};
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        extent[0] = std::max(extent[0], c->Left() + c->Width() + FPos[0]);
        extent[1] = std::max(extent[1], c->Top() + c->Height() + FPos[1]);
    }
    FRange[0] = extent[0];
    FRange[1] = extent[1];
    // A bar shows when its range passes the client size; one bar takes room
    // from the other direction, so decide twice.
    bool show[2] = {false, false};
    for (int pass = 0; pass < 2; ++pass) {
        const int w = FWidth - (show[1] ? kBarSize : 0), h = FHeight - (show[0] ? kBarSize : 0);
        show[0] = FAutoScroll && FRange[0] > w;
        show[1] = FAutoScroll && FRange[1] > h;
    }
    for (int b = 0; b < 2; ++b) {
        QScrollBar* bar = FBars->Bar[b];
        bar->setVisible(show[b]);
    }
    const int w = FWidth - (show[1] ? kBarSize : 0), h = FHeight - (show[0] ? kBarSize : 0);
    FBars->Bar[0]->setGeometry(0, h, w, kBarSize);
    FBars->Bar[1]->setGeometry(w, 0, kBarSize, h);
    FUpdating = false;
    for (int b = 0; b < 2; ++b) {
        QScrollBar* bar = FBars->Bar[b];
        const int page = b == 0 ? w : h;
        FUpdating = true;
        bar->setRange(0, std::max(0, FRange[b] - page));
        bar->setPageStep(page);
        bar->setSingleStep(8);
        FUpdating = false;
        // A range that shrank below the position scrolls back.
        ScrollTo(b, show[b] ? FPos[b] : 0);
    }
}

void TScrollBox::ScrollInView(TControl* Control) {
    if (!Control) return;
    // The control's rectangle in this box's client coordinates.
    TPoint o = ScreenToClient(Control->ClientToScreen({0, 0}));
    const TRect client = ClientRect();
    int dx = 0, dy = 0;
    if (o.X < 0) dx = o.X;
    else if (o.X + Control->Width() > client.Right) dx = std::min(o.X, o.X + Control->Width() - client.Right);
    if (o.Y < 0) dy = o.Y;
    else if (o.Y + Control->Height() > client.Bottom) dy = std::min(o.Y, o.Y + Control->Height() - client.Bottom);
    if (dx) ScrollTo(0, FPos[0] + dx);
    if (dy) ScrollTo(1, FPos[1] + dy);
}

bool TScrollBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (TWinControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
    const int bar = Shift.Contains(ssShift) ? 0 : 1;
    if (FRange[bar] <= Page(bar)) return false;
    ScrollTo(bar, FPos[bar] - WheelDelta / 120 * 3 * 8);
    return true;
}

void TScrollBox::Resize() {
    TWinControl::Resize();
    UpdateScrollBars();
}
