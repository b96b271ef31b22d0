// Balloon hints of the cells and the smaller grid operations: the cell
// range as a floating snapshot, and the translucent focus window around
// the edited cell, and the quick-config box of a grid in a form designer.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/DropDownUtil.h"
#include "grid/foundation/GridColors.h"
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
        // A merged area shows the balloon of its base cell.
        int bc = c.X, br = c.Y;
        FGrid.ResolveBaseCell(c.X, c.Y, bc, br);
        // The mouse leaving this cell closes the balloon (see MouseMove).
        FGrid.FLastBalloonPos = {bc, br};
        BalloonText(FGrid.RealColIndex(bc), br, Title, Text, Icon);
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
    String ownTitle, ownText;
    TBalloonIcon ownIcon = biNone;
    if (FGrid.IsBalloon(ACol, ARow, ownTitle, ownText, ownIcon)) {
        Title = ownTitle;
        Text = ownText;
        Icon = int(ownIcon);
    }
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

TCustomForm* TExGridTools::SelectionToForm(const TGridRect& ARect) {
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
    TPoint at = FGrid.ClientToScreen(TPoint{R.Left, R.Top});
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
    TPoint at = FGrid.ClientToScreen(TPoint{r.Left, r.Top});
    FFocusWindow->SetBounds(at.X - 4, at.Y - 4, r.Right - r.Left + 9, r.Bottom - r.Top + 9);
}

void TExGridTools::HideFocusWindow() {
    if (FFocusWindow) FFocusWindow->SetVisible(false);
}

// ---------------------------------------------------------------------------
// The quick-config box of a grid in a form designer

namespace {

struct TLookEntry {
    const char16_t* Name;
    TGridLook Look;
};

// In menu order; the command of an entry is its look plus 1.
const TLookEntry LookEntries[] = {
    {u"Standard", glStandard},       {u"Soft", glSoft},           {u"Classic", glClassic},
    {u"GPK", glGPK},                 {u"ListView", glListView},   {u"Office 2007", glOffice2007},
    {u"Windows XP", glXP},           {u"Windows Vista", glVista}, {u"Windows 7", glWin7},
};

String LookName(TGridLook Look) {
    for (const TLookEntry& e : LookEntries)
        if (e.Look == Look) return e.Name;
    return u"Custom";
}

void DesignFont(TCanvas& C) {
    C.Font().SetName(u"Tahoma");
    C.Font().SetSize(8);
}

}  // namespace

int TExGridTools::DesignHelperChoiceAt(int X, int Y) {
    TCanvas& c = FGrid.Canvas();
    DesignFont(c);
    int th = c.TextHeight(u"gh"), l = th + 2, hb = 4 * th + 18;
    TRect r = FGrid.ClientRect();
    int top = r.Bottom - hb;
    int choice = -1;
    if (X > r.Right - 16 && Y > top && Y < top + 16) choice = 4;
    auto line = [&](int k) { return Y > top + k * l + 4 && Y < top + (k + 1) * l + 4; };
    if (X > r.Right - 150 && X < r.Right - 132 + c.TextWidth(u"Allow edit") && line(1)) choice = 1;
    if (X > r.Right - 150 && X < r.Right - 132 + c.TextWidth(u"Column numbers") && line(2)) choice = 2;
    if (X > r.Right - 150 && X < r.Right - 150 + c.TextWidth(u"Set look: " + LookName(FGrid.Look())) && line(3))
        choice = 3;
    return choice;
}

void TExGridTools::PaintDesignHelper(TCanvas& C) {
    if (!FGrid.IsDesigning() || !ShowDesignHelper) return;
    DesignFont(C);
    int th = C.TextHeight(u"gh"), hb = 4 * th + 18;
    TRect client = FGrid.ClientRect();
    TRect box = Rect(client.Right - 150, client.Bottom - hb, client.Right, client.Bottom);
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(clInfoBk);
    C.Pen().SetColor(TColor(0x808080));
    C.Font().SetColor(TColor(0x800000));
    C.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
    C.Brush().SetStyle(bsClear);
    C.TextOut(box.Left + 4, box.Top + 4, u"Quick config [v" + FGrid.GetVersionString() + u"]");
    DrawResourceBitmapTransparent(C, clInfoBk, Rect(box.Right - 16, box.Top + 2, box.Right, box.Top + 18), u"EXGCLOSE");
    auto entry = [&](int Choice, int X, int Y, const String& Text) {
        TFontStyles st = C.Font().Style();
        if (FLastDesignChoice == Choice) st.Include(fsUnderline);
        else st.Exclude(fsUnderline);
        C.Font().SetStyle(st);
        C.TextOut(X, Y, Text);
    };
    auto check = [&](int Y, bool On) {
        C.Brush().SetStyle(bsSolid);
        C.Brush().SetColor(clWindow);
        C.Rectangle(box.Left + 4, Y, box.Left + 20, Y + 16);
        if (On) {
            C.MoveTo(box.Left + 7, Y + 8);
            C.LineTo(box.Left + 11, Y + 12);
            C.LineTo(box.Left + 17, Y + 4);
        }
        C.Brush().SetStyle(bsClear);
    };
    check(box.Top + th + 4, FGrid.Options().Contains(goEditing));
    entry(1, box.Left + 22, box.Top + th + 6, u"Allow edit");
    check(box.Top + 2 * th + 6, ShowColNrs);
    entry(2, box.Left + 22, box.Top + 2 * th + 8, u"Column numbers");
    entry(3, box.Left + 4, box.Top + 3 * th + 10, u"Set look: " + LookName(FGrid.Look()));
}

bool TExGridTools::DesignHitTest(int X, int Y) {
    if (!FGrid.IsDesigning() || !ShowDesignHelper) return false;
    int choice = DesignHelperChoiceAt(X, Y);
    if (choice != FLastDesignChoice) {
        TRect r = FGrid.ClientRect();
        TRect area = Rect(r.Right - 150, r.Bottom - 70, r.Right, r.Bottom);
        if (FGrid.HandleAllocated()) InvalidateRect(FGrid.Handle(), &area, false);
        FLastDesignChoice = choice;
    }
    return choice >= 1 && choice <= 4;
}

TPopupMenu& TExGridTools::DesignLookMenu() {
    if (!FLookMenu) {
        FLookMenu = new TPopupMenu(&FGrid);
        for (const TLookEntry& e : LookEntries) {
            auto* item = new TMenuItem(FLookMenu);
            item->SetCaption(e.Name);
            TGridLook look = e.Look;
            item->OnClick = [this, look](TObject*) { FGrid.SetLook(look); };
            FLookMenu->Items().Add(item);
        }
    }
    for (int i = 0; i < FLookMenu->Items().Count(); ++i)
        FLookMenu->Items().Items(i)->Checked = LookEntries[i].Look == FGrid.Look();
    return *FLookMenu;
}

void TExGridTools::DesignHelperClick(int X, int Y) {
    if (!FGrid.IsDesigning() || !ShowDesignHelper) return;
    int choice = DesignHelperChoiceAt(X, Y);
    switch (choice) {
        case 1: {
            TGridOptions o = FGrid.Options();
            if (o.Contains(goEditing)) o.Exclude(goEditing);
            else o.Include(goEditing);
            FGrid.SetOptions(o);
            break;
        }
        case 2:
            ShowColNrs = !ShowColNrs;
            FGrid.InvalidateGrid();
            break;
        case 3: {
            TPoint at = FGrid.ClientToScreen(TPoint{X, Y});
            DesignLookMenu().Popup(at.X, at.Y);
            break;
        }
        case 4:
            ShowDesignHelper = false;
            FGrid.InvalidateGrid();
            return;
        default: return;
    }
    // The designer notices a change when the form's size moves.
    if (auto* form = dynamic_cast<TCustomForm*>(FGrid.Owner())) {
        form->SetWidth(form->Width() - 1);
        form->SetWidth(form->Width() + 1);
    }
}

// ---------------------------------------------------------------------------
// Key-up handling

void TExStringGrid::KeyUp(Word& Key, TShiftState Shift) { FTools->KeyUp(Key, Shift); }

void TExGridTools::KeyUp(Word& Key, TShiftState Shift) {
    const Word key = Key;
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (arrow || key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_INSERT || key == VK_DELETE)
        FGrid.SearchInc.clear();
    FGrid.TBaseGrid::KeyUp(Key, Shift);
    const bool tab = key == VK_TAB && FGrid.Options().Contains(goTabs);
    if (FGrid.Navigation().AlwaysEdit() && (arrow || tab) && !FGrid.EditorMode() &&
        FGrid.IsEditable(FGrid.RealColIndex(FGrid.Col()), FGrid.Row()))
        FGrid.ShowInplaceEdit();
    const TGridRect s = FGrid.Selection();
    const TGridRect old = KeyDownSelection;
    const bool moved = s.Left != old.Left || s.Top != old.Top || s.Right != old.Right || s.Bottom != old.Bottom;
    // Keys that move the cursor through the grid's general key handling report the new selection
    // (Home and End, which the grid moves itself, do not).
    const bool page = key == VK_PRIOR || key == VK_NEXT;
    const bool all = key == 'A' && Shift.Contains(ssCtrl);
    if ((arrow || page || all || key == VK_TAB) && moved) FGrid.SelectionChanged(s.Left, s.Top, s.Right, s.Bottom);

    if (!FGrid.MouseActions().DisjunctCellSelect() || FGrid.Options().Contains(goEditing)) return;
    if (Shift.Contains(ssShift) && moved) {
        for (int c = std::min(old.Left, old.Right); c <= std::max(old.Left, old.Right); ++c)
            for (int r = std::min(old.Top, old.Bottom); r <= std::max(old.Top, old.Bottom); ++r)
                FGrid.SetSelectedCells(c, r, false);
        for (int c = std::min(s.Left, s.Right); c <= std::max(s.Left, s.Right); ++c)
            for (int r = std::min(s.Top, s.Bottom); r <= std::max(s.Top, s.Bottom); ++r)
                if (c != FGrid.Col() || r != FGrid.Row()) FGrid.SetSelectedCells(c, r, true);
    }
    if (key != VK_SPACE) return;
    const TPoint b = FGrid.BaseCell(FGrid.RealColIndex(FGrid.Col()), FGrid.Row());
    const int bc = FGrid.DisplColIndex(b.X), br = b.Y;
    if (bc < FGrid.FixedCols() || br < FGrid.FixedRows()) return;
    bool canSelect = true;
    if (FGrid.OnSelectCell) FGrid.OnSelectCell(&FGrid, bc, br, canSelect);
    if (!canSelect) return;
    if (Shift.Contains(ssCtrl)) {
        FGrid.SetSelectedCells(bc, br, !FGrid.SelectedCells(bc, br));
    } else {
        FGrid.ClearSelectedCells();
        FGrid.SetSelectedCells(bc, br, true);
    }
    if (s.Left != s.Right || s.Top != s.Bottom)
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                if (c != bc || r != br) FGrid.SetSelectedCells(c, r, true);
    FGrid.RepaintCell(FGrid.Col(), FGrid.Row());
}

// ---------------------------------------------------------------------------
// The client area that no cell covers

void TExGridTools::PaintEmptyArea(TCanvas& C) {
    const TBackGround& bg = FBackGround;
    const bool gradient = bg.Display() == bdGradientHorz || bg.Display() == bdGradientVert;
    TBitmap& bmp = FBackGround.Bitmap();
    if (gradient ? bg.ColorTo() == clNone : bmp.Empty()) return;
    TGridDrawInfo d;
    FGrid.CalcDrawInfo(d);
    const TRect client = FGrid.ClientRect();
    int bottom = client.Bottom;
    if (FSearchFooter->Visible()) bottom -= 32;
    if (FGrid.FloatingFooter().Visible()) bottom -= FGrid.FloatingFooter().Height();
    const bool right = d.Horz.GridBoundary < client.Right;
    const bool below = d.Vert.GridBoundary < bottom;
    if (!right && !below) return;
    TRegion area;
    if (right) area = TRegion(TRect{d.Horz.GridBoundary, client.Top, client.Right, bottom});
    if (below) {
        const TRegion rows(TRect{client.Left, d.Vert.GridBoundary, client.Right, bottom});
        if (right) area.Combine(TRegion(area), rows, RGN_OR);
        else area = rows;
    }
    const int saved = C.SaveDC();
    C.SelectClipRgn(&area);
    if (bmp.Empty()) {
        DrawSteppedGradient(C, bg.Color(), bg.ColorTo(), 128, client, bg.Display() == bdGradientHorz);
    } else if (bg.Display() != bdTile) {
        C.Draw(client.Left + bg.Left(), client.Top + bg.Top(), bmp);
    } else if (bg.Cells() != bcFixed) {
        // Normal cells only: the tiles start where the scrolling cells do.
        const bool normal = bg.Cells() == bcNormal;
        const int x0 = normal ? d.Horz.FixedBoundary : client.Left;
        const int y0 = normal ? d.Vert.FixedBoundary : client.Top;
        for (int y = y0; y < bottom; y += bmp.Height())
            for (int x = x0; x < client.Right; x += bmp.Width()) C.Draw(x, y, bmp);
    }
    C.RestoreDC(saved);
}
