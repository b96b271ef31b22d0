// Balloon hints of the cells and the smaller grid operations: the cell
// range as a floating snapshot, and the translucent focus window around
// the edited cell.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/GridOptions.h"
#include "grid/foundation/MarkupText.h"

#include "framework/BalloonTip.h"
#include "framework/Messages.h"
#include "framework/Windows.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Balloons

void TExGridTools::BalloonInit() {
    if (FBalloonTip) return;
    TBalloonSettings& b = FGrid.Balloon();
    FBalloonTip = new TBalloonTip(&FGrid);
    FBalloonTip->AddTool(&FGrid);
    FBalloonTip->SetTitle(u"ToolTipText", TTI_ERROR);
    if (b.InitialDelay() != -1) FBalloonTip->SetDelayTime(TTDT_INITIAL, b.InitialDelay());
    if (b.ReshowDelay() != -1) FBalloonTip->SetDelayTime(TTDT_RESHOW, b.ReshowDelay());
    if (b.AutoHideDelay() != -1) FBalloonTip->SetDelayTime(TTDT_AUTOPOP, b.AutoHideDelay());
    if (b.Transparency() > 0) FBalloonTip->SetOpacity(Byte(255 - b.Transparency()));
    FBalloonTip->OnGetText = [this](TBalloonTip*, TControl*, String& Title, String& Text, int& Icon) {
        TPoint p = FGrid.ScreenToClient(GetCursorPos());
        TGridCoord c = FGrid.MouseCoord(p.X, p.Y);
        if (c.X < 0 || c.Y < 0) {
            Text.clear();
            return;
        }
        BalloonText(FGrid.RealColIndex(c.X), c.Y, Title, Text, Icon);
    };
}

void TExGridTools::BalloonDone() {
    delete FBalloonTip;
    FBalloonTip = nullptr;
}

void TExGridTools::BalloonText(int ACol, int ARow, String& Title, String& Text, int& Icon) {
    String s = FGrid.GetCellEx(ACol, ARow);
    if (s.find(u"|\\") != String::npos) s = DecodeWideCellText(s);
    s = StripHTMLTags(s);
    size_t start = 0;
    while (start < s.size() && (s[start] == u'\t' || s[start] == u'\n' || s[start] == u'\r')) ++start;
    s.erase(0, start);
    for (Char& ch : s)
        if (ch == u'\t') ch = u' ';
    if (s.size() > 2048) s = s.substr(0, 2045) + u"...";
    Icon = TTI_INFO;
    Title = u" ";
    Text = s;
    if (OnCellBalloon) OnCellBalloon(&FGrid, ACol, ARow, Title, Text, Icon);
    if (Title.size() > 100) Title = Title.substr(0, 97) + u"...";
    if (FBalloonTip) {
        TBalloonSettings& b = FGrid.Balloon();
        FBalloonTip->SetMaxTipWidth(300);
        TColor text = b.TextColor() != clNone ? b.TextColor() : FBalloonTip->TipTextColor();
        TColor back = b.BackgroundColor() != clNone ? b.BackgroundColor() : FBalloonTip->TipBkColor();
        FBalloonTip->SetTipColors(back, text);
    }
}

// ---------------------------------------------------------------------------
// The floating snapshot of a cell range

TNoActiveForm::TNoActiveForm(TComponent* AOwner) : TForm(AOwner) {}

void TNoActiveForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.Style = 0x88800000;  // pop-up, disabled, bordered
}

void TNoActiveForm::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ACTIVATE || Message.Msg == WM_NCACTIVATE) {
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = 3;  // no activation
        return;
    }
    TForm::WndProc(Message);
}

TForm* TExGridTools::SelectionToForm(TGridRect ARect) {
    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(FGrid.Width(), FGrid.Height());
    FGrid.PaintTo(picture.Canvas(), 0, 0);
    TRect a = FGrid.CellRect(std::min(ARect.Left, ARect.Right), std::min(ARect.Top, ARect.Bottom));
    TRect b = FGrid.CellRect(std::max(ARect.Left, ARect.Right), std::max(ARect.Top, ARect.Bottom));
    int w = b.Right - a.Left + 1, h = b.Bottom - a.Top + 1;
    auto* image = new TBitmap;
    image->SetPixelFormat(pf24bit);
    image->SetSize(w, h);
    image->Canvas().CopyRect(Rect(0, 0, w, h), picture.Canvas(), Rect(a.Left + 1, a.Top + 1, a.Left + 1 + w, a.Top + 1 + h));
    TCanvas& c = image->Canvas();
    c.Pen().SetColor(FGrid.GridFixedLineColor());
    if (std::min(ARect.Left, ARect.Right) == 0 && FGrid.FixedCols() > 0 && FGrid.Options().Contains(goFixedHorzLine)) {
        c.MoveTo(0, 0);
        c.LineTo(0, h);
    }
    if (std::min(ARect.Top, ARect.Bottom) == 0 && FGrid.FixedRows() > 0 && FGrid.Options().Contains(goFixedVertLine)) {
        c.MoveTo(0, 0);
        c.LineTo(w, 0);
    }
    auto* form = new TNoActiveForm(&FGrid);
    form->SetBorderStyle(bsNone);
    form->SetFormStyle(fsStayOnTop);
    form->SetClientWidth(w);
    form->SetClientHeight(h);
    auto* view = new TImage(form);
    view->SetParent(form);
    view->SetAlign(alClient);
    view->Picture().SetGraphic(image);
    delete image;
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(192);
    return form;
}

// ---------------------------------------------------------------------------
// The focus window around the edited cell

void TExGridTools::ShowFocusWindow(TRect R) {
    if (!FFocusWindow) FFocusWindow = new TGridFocusWindow(&FGrid);
    FFocusWindow->SetVisible(false);
    int w = R.Right - R.Left + 9, h = R.Bottom - R.Top + 9;
    TBitmap mask;
    CreateRoundRectMask(mask, w, h, 5, 3, 4);
    TBitmap colour;
    colour.SetPixelFormat(pf24bit);
    colour.SetSize(w, h);
    colour.Canvas().Brush().SetColor(TColor(0xFDD397));
    colour.Canvas().FillRect(Rect(0, 0, w, h));
    TGridAlphaMask alpha;
    alpha.SetSize(w, h);
    alpha.MergeMask(mask, colour, clNone);
    alpha.Opacity = 230;
    TPoint at = FGrid.ClientToScreen(TPoint(R.Left, R.Top));
    FFocusWindow->SetBounds(at.X - 4, at.Y - 4, w, h);
    HWND wnd = FFocusWindow->Handle();
    SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    TSize size{w, h};
    TPoint origin{0, 0};
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = alpha.Opacity;
    blend.AlphaFormat = AC_SRC_ALPHA;
    UpdateLayeredWindow(wnd, nullptr, &size, &alpha, &origin, clNone, &blend, ULW_ALPHA);
    // The cell itself stays visible and takes clicks.
    TRegion whole(Rect(0, 0, w, h)), hole(Rect(4, 4, 4 + R.Right - R.Left, 4 + R.Bottom - R.Top)), frame;
    frame.Combine(whole, hole, RGN_DIFF);
    SetWindowRgn(wnd, &frame, true);
    FFocusWindow->SetVisible(true);
}

void TExGridTools::MoveFocusWindow() {
    if (!FFocusWindow || !FFocusWindow->Visible()) return;
    TRect r = FGrid.CellRect(FGrid.Col(), FGrid.Row());
    TPoint at = FGrid.ClientToScreen(TPoint(r.Left, r.Top));
    FFocusWindow->SetBounds(at.X - 4, at.Y - 4, r.Right - r.Left + 9, r.Bottom - r.Top + 9);
}

void TExGridTools::HideFocusWindow() {
    if (FFocusWindow) FFocusWindow->SetVisible(false);
}
