#include "framework/ExtCtrls.h"

#include "framework/Controls_p.h"
#include "framework/Forms.h"
#include "framework/Graphics_p.h"

#include <QLabel>
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
    WidgetAs<QLabel>(this)->setText(ToQ(Value));
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
