#pragma once
// The small encodings with which the grid's files, clipboard and exports
// carry one cell text each: the escape of the grid's own text file, the
// wide-character encoding, the quoting of the two comma-separated dialects,
// the backslash escape of saved settings, the line-break forms of HTML and
// fixed-width output, and the header of the HTML clipboard format.

#include "framework/System.h"

// One cell per line of the grid's own text file: the encoded text holds no
// CR or LF and decodes to the original. A text whose line breaks are all CR
// LF pairs (and that holds no tab, #8 or #1) is written as the file always
// had it: CR as tab, LF as #8, #0 as #1; a text without CR, LF and #8 stays
// as it is; any other text starts with #8 and escapes CR, LF and #8 as #8
// followed by "r", "n" or "b".
String EncodeCellLineBreaks(const String& S);
// The original text; without MultiLine only its first line.
String DecodeCellLineBreaks(const String& S, bool MultiLine);

// "|\" followed by each character as two: its high byte, then its low byte.
String EncodeWideCellText(const String& W);
// The characters of such a text; any other text as it is. A last odd character is ignored.
String DecodeWideCellText(const String& S);

// Comma-separated values, standard dialect.
String DoubleQuoteChars(const String& S);
// CR LF pairs become #11, then the text is enclosed in double quotes.
void QuoteMultiLine(String& S);
void CRLFToLF(String& S);
// #11 becomes CR LF.
void LTToCRLF(String& S);
// Every pair Ch Ch becomes one Ch (four in a row become two).
String CollapseDoubledChar(Char Ch, const String& S);
// Position of the quote closing a quoted field (also stored in P), 0 when
// none: the last quote of an odd run, or a quote as the last character.
int FindQuoteEnd(Char Quote, const String& S, int& P);
int CountQuoteEnds(Char Quote, const String& S);

// The alternative dialect: line breaks as "~", an empty cell written as "^".
void CRLFToTilde(String& S);
void TildeToCRLF(String& S);

// CR as backslash-"n" (LF dropped), and back (to a lone CR).
String EscapeLineBreaks(const String& S);
String UnescapeLineBreaks(const String& S);

// CR as "<br>" (LF kept).
String CRToHTMLBreak(const String& S);
String StripCR(const String& S);
// CR as LF (CR LF becomes LF LF).
String CRToLF(const String& S);

// Wraps the HTML fragment in the header and page of the HTML clipboard
// format. Offsets count characters, one byte each as the writer puts them.
void MakeCFHTML(String& S);
