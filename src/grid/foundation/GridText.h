#pragma once
// Text helpers of the grid and its data tools: the separators of the current
// format settings, character classes, search helpers, the kind of a cell
// text, cell references, URLs, proper case, short dates with two-digit
// years, date steps for series fill, and the OEM code page. Positions are
// 1-based, 0 meaning not found. No state is kept.

#include "framework/Classes.h"
#include "framework/DateUtils.h"
#include "framework/Graphics.h"
#include "framework/Grids.h"  // GridRectContains
#include "framework/System.h"

// The current format settings, read at every call.
Char GetTimeSeparatorChar();
Char GetDateSeparatorChar();
Char GetThousandSeparatorChar();
Char GetDecimalSeparatorChar();
String GetShortDateFormat();

// A character of the Unicode number categories (digits, letter numbers,
// other numbers such as superscripts and vulgar fractions).
bool IsDigitChar(Char Ch);
bool IsDigitOrMinus(Char Ch);
// A number character, the thousand or decimal separator, "e" or "E".
bool IsNumberChar(Char Ch);
// A number character, "-", ".", "e", "E" or "+".
bool IsFloatTextChar(Char Ch);
bool IsNumberSignChar(Char Ch);
// Blank, apostrophe, comma, "-" or ".".
bool IsWordBreakChar(Char Ch);

int CharPos(Char Ch, const String& S);
// As CharPos; P is written only when Ch is found.
int VarCharPos(Char Ch, const String& S, int& P);
// Position of Sub in S, also stored in P.
int VarPos(const String& Sub, const String& S, int& P);
// Position of Sub (expected in upper case) in the upper-case form of S.
int PosInUpperCase(const String& Sub, const String& S);
int WidePos(const String& Sub, const String& S);
int CountChar(Char Ch, const String& S);
inline int MaxOf(int A, int B) { return A > B ? A : B; }
inline int MinOf(int A, int B) { return A < B ? A : B; }
// Value held within Min..Max, a limit of 0 or less being no limit; Value
// itself when Min equals Max; Max wins when both apply.
int ClampToSizeLimits(int Value, int Min, int Max);

// The text before the first Delim, removed from S together with the
// delimiter's first character; empty text (S unchanged) when Delim is absent.
String CutBeforeDelimiter(String& S, const String& Delim);
// Line := the text before the first CR; that text, the CR and a following LF
// leave S, and S is cleared unless KeepRest. Without a CR, Line := S and S is cleared.
void CutFirstLine(String& S, bool KeepRest, String& Line);
// 1 when not MultiLine, else 1 plus the number of CRs.
int CountTextLines(const String& S, bool MultiLine);
String ConcatStrings(const TStringList& Lines);
void FillWithChar(String& S, Char Ch);
// First letter of each word upper case, the rest lower case; "Mc" names and
// Roman "II" / "III" endings are kept capitalised.
String ToProperCase(const String& S);

// 0 integer, 1 number with thousand or decimal separators, 2 not a number
// (the empty text too), 5 scientific notation.
int ClassifyNumberText(const String& S);
// The same with the locale's separators given (read once for many texts).
int ClassifyNumberText(std::u16string_view S, Char Thousand, Char Decimal);
// A displayed number ("1,234.50", "(12)", "$ -5") as text the number parser
// reads, with "." as the decimal point.
String DisplayToFloatText(const String& S);

// 0 plain, 1 markup (only with MarkupEnabled), 2 rich text, 3 formula, 5 wide-encoded.
int CellTextKind(std::u16string_view S, bool MarkupEnabled);
constexpr int MarkupTextKind = 1, RichTextKind = 2, FormulaTextKind = 3;
// "R<row>C<col>" in either case; Point.X the column, Point.Y the row.
bool ParseRowColReference(const String& S, TPoint& Point);

// The text holds "://" or "mailto:".
bool IsURLText(const String& S);
// Removes everything up to and including the first "://", else the first "mailto:".
void StripURLProtocol(String& S);
// With Prefix (upper case) found in the upper-case form of S: Dest := S with
// "<" and ">" escaped and the address starting at the prefix wrapped in an
// anchor; false (Dest untouched) otherwise.
bool MakeURLAnchor(const String& S, const String& Prefix, String& Dest);

// Month/day/year (day/month/year) with the first of "/", "." and "-" as the
// separator; a year below 26 is 20xx, 26..99 is 19xx, 100 and above is taken
// as written. 0 when there is no separator or a field is not a number; a
// date that does not exist raises EConvertError.
TDateTime ParseDateMDY(const String& S);
TDateTime ParseDateDMY(const String& S);
// DateSeparator twice, with at least one character before each.
bool LooksLikeDate(const String& S);
// Steps a date for a series fill: by Days, Years or Months when only that one
// is non-zero (months carry across years; the day is held at the end of a
// shorter month), else by Delta days. Never raises for a date within the
// encodable years.
TDateTime IncDateParts(SmallInt Years, SmallInt Months, SmallInt Days, TDateTime Date, double Delta);

// The text turned into OEM (code page 850) bytes carried as ANSI
// (Windows-1252) characters, and back.
void StringToOem(String& S);
void OemToString(String& S);

// The integer at the start of S read the lenient way: leading blanks, an
// optional sign, decimal digits or "$"/"0x" and hexadecimal digits; the value
// of the digits read before the first fault (0 when there are none).
int LeadingIntValue(const String& S);
