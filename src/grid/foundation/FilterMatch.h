#pragma once
// Matching a cell text against a typed filter condition: comparisons by
// number, date or text, negation and wildcards, joined left to right by
// "&" and "|" (";" and "^" as "|") with parenthesised groups.

#include "framework/DateUtils.h"
#include "framework/System.h"

#include <string_view>
#include <vector>

bool MatchFilterExpression(const String& Condition, const String& Value, bool CaseSensitive);
bool MatchConditionCase(const String& Piece, const String& Value, bool CaseSensitive);
bool MatchCondition(const String& Piece, const String& Value);
// The first character of S in Set outside double quotes (P 1-based); 0 and P -1 when none.
Char FindNextDelimiter(const std::vector<Char>& Set, const String& S, int& P);
String StripUnquotedSpaces(const String& S);
// 1-based position of the ")" that closes the first "("; 0 when none.
int MatchingParenPos(const String& S);
String NormalizeNumberText(const String& S);
// A date with an optional time, in the order of the short date format.
bool ParseDateByFormat(const String& S, TDateTime& Date);

// A filter expression prepared once for the many texts of a filter run. It
// answers as MatchFilterExpression does; a condition that is one pattern of
// plain characters, "*" and "?" (no operator, negation, quote or group)
// is matched directly instead of through the general evaluator.
class TFilterExpression {
public:
    TFilterExpression() = default;
    TFilterExpression(const String& Condition, bool CaseSensitive);
    const String& Condition() const { return FCondition; }
    bool CaseSensitive() const { return FCaseSensitive; }
    bool Match(std::u16string_view Value) const;

private:
    String FCondition;
    bool FCaseSensitive = true;
    bool FPlainPattern = false;
    String FPattern;          // the pattern, upper-cased when case does not count
    mutable String FUpper;    // the value upper-cased, kept to spare an allocation per value
};
