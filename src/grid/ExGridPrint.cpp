// The grid's print settings.
#include "grid/ExGrid.h"

#include "framework/SysUtils.h"

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
