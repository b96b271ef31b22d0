// Balloon hints of the cells and the smaller grid operations: the cell
// range as a floating snapshot.
#include "grid/ExGrid.h"

#include "grid/foundation/CellCodecs.h"
#include "grid/foundation/MarkupText.h"

#include "framework/BalloonTip.h"

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
