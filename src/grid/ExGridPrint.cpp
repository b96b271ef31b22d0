// The grid's print settings and the pieces of the page layout that do not
// draw: rotated text placement, page-number texts and the header and
// footer texts per position.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

#include <cmath>
#include <cstdlib>

TPrintSettings::TPrintSettings(TExStringGrid* AOwner)
    : FGrid(AOwner), FTitleLines(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()),
      FFixedFont(std::make_unique<TFont>()), FHeaderFont(std::make_unique<TFont>()),
      FFooterFont(std::make_unique<TFont>()) {}

TPrintSettings::~TPrintSettings() = default;

void TPrintSettings::SetTitleLines(const TStringList& Value) { FTitleLines->Assign(&Value); }

void TPrintSettings::SetFont(const TFont& Value) { FFont->Assign(&Value); }

void TPrintSettings::SetFixedFont(const TFont& Value) { FFixedFont->Assign(&Value); }

void TPrintSettings::SetHeaderFont(const TFont& Value) { FHeaderFont->Assign(&Value); }

void TPrintSettings::SetFooterFont(const TFont& Value) { FFooterFont->Assign(&Value); }

void TPrintSettings::Assign(const TPersistent* Source) {
    auto* s = dynamic_cast<const TPrintSettings*>(Source);
    if (!s) throw EConvertError(u"Invalid class typecast");
    FooterSize = s->FooterSize;
    HeaderSize = s->HeaderSize;
    Time = s->Time;
    Date = s->Date;
    DateFormat = s->DateFormat;
    PageNr = s->PageNr;
    Title = s->Title;
    TitleText = s->TitleText;
    FTitleLines->Assign(s->FTitleLines.get());
    FFont->Assign(s->FFont.get());
    FFixedFont->Assign(s->FFixedFont.get());
    FHeaderFont->Assign(s->FHeaderFont.get());
    FFooterFont->Assign(s->FFooterFont.get());
    Borders = s->Borders;
    BorderStyle = s->BorderStyle;
    Centered = s->Centered;
    RepeatFixedRows = s->RepeatFixedRows;
    RepeatFixedCols = s->RepeatFixedCols;
    LeftSize = s->LeftSize;
    RightSize = s->RightSize;
    ColumnSpacing = s->ColumnSpacing;
    RowSpacing = s->RowSpacing;
    TitleSpacing = s->TitleSpacing;
    Orientation = s->Orientation;
    PagePrefix = s->PagePrefix;
    PageSuffix = s->PageSuffix;
    PageNumberOffset = s->PageNumberOffset;
    MaxPagesOffset = s->MaxPagesOffset;
    FixedWidth = s->FixedWidth;
    FixedHeight = s->FixedHeight;
    UseFixedHeight = s->UseFixedHeight;
    UseFixedWidth = s->UseFixedWidth;
    FitToPage = s->FitToPage;
    JobName = s->JobName;
    PageNumSep = s->PageNumSep;
    NoAutoSize = s->NoAutoSize;
    NoAutoSizeRow = s->NoAutoSizeRow;
    PrintGraphics = s->PrintGraphics;
    UseDisplayFont = s->UseDisplayFont;
    UseDefaultOrientation = s->UseDefaultOrientation;
    BorderColor = s->BorderColor;
}

// ---------------------------------------------------------------------------
// Pieces of the page layout

namespace {

int Half(int V) { return V / 2; }  // truncates toward zero

}  // namespace

void PlaceRotatedBlock(TRect& R, TAlignment HAlign, TVAlignment VAlign, double Angle, int W, int H) {
    const double rad = Angle * 3.14159265358979323846 / 180;
    const int wc = std::abs(int(std::cos(rad) * W)), ws = std::abs(int(std::sin(rad) * W));
    const int hc = std::abs(int(std::cos(rad) * H)), hs = std::abs(int(std::sin(rad) * H));
    const int x1 = R.Left, y1 = R.Top, x2 = R.Right, y2 = R.Bottom;
    const int q = Angle <= 90 ? 0 : Angle <= 180 ? 1 : Angle <= 270 ? 2 : 3;
    // Per quadrant: left, right and centred x; top, bottom and centred y.
    const int xs[4][3] = {{x1, x2 - wc - hs, x1 + Half(x2 - x1 - hs - wc)},
                          {x1 + wc, x2 - hs, x2 - Half(x2 - x1 + hs - wc)},
                          {x1 + hs + wc, x2, x2 - Half(x2 - x1 - hs - wc)},
                          {x1 + hs, x2 - wc, x1 + Half(x2 - x1 + hs - wc)}};
    const int lift = Half(y1 + hc + ws - y2);
    const int ys[4][3] = {{y1 + ws, y2 - hc, y1 + ws - lift},
                          {y1 + ws + hc, y2, y1 + ws + hc - lift},
                          {y1 + hc, y2 - ws, y1 + hc - lift},
                          {y1, y2 - hc - ws, y1 - lift}};
    R.Left = xs[q][HAlign == taLeftJustify ? 0 : HAlign == taRightJustify ? 1 : 2];
    R.Top = ys[q][VAlign == vtaTop ? 0 : VAlign == vtaBottom ? 1 : 2];
}

String PrintPageNumber(const TPrintSettings& S, int PageIndex, int PageInStrip, int Strip, bool MultiStrip,
                       int Total) {
    if (MultiStrip) return IntToStr(PageInStrip + 1) + u"-" + IntToStr(Strip);
    String n = IntToStr(PageIndex + 1 + S.PageNumberOffset);
    if (!S.PageNumSep.empty() && Total > 1) n += S.PageNumSep + IntToStr(Total + S.MaxPagesOffset);
    return n;
}

std::array<String, 7> PrintPositionTexts(const TPrintSettings& S, const String& Time, const String& Date,
                                         const String& PageNumber, const String& Title) {
    std::array<String, 7> texts;
    auto add = [&](TPrintPosition P, const String& Item) {
        if (P == ppNone) return;
        String& t = texts[size_t(P)];
        t = P == ppTopLeft || P == ppBottomLeft ? Item + u" " + t : t + u" " + Item;
    };
    add(S.Time, Time);
    add(S.Date, Date);
    add(S.PageNr, S.PagePrefix + u" " + PageNumber + u" " + S.PageSuffix);
    add(S.Title, Title);
    return texts;
}
