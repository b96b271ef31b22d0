#pragma once
// The small HTML-like markup of cell texts, hints and captions: colour
// names, hexadecimal colours, character entities and the in-text control
// tag, shared by the renderer and the text utilities.

#include "framework/Graphics.h"

#include <array>

struct TAccentedEntity {
    Char Character;
    const char16_t* Entity;
};

// The 55 accented letters and signs with their entity names.
extern const std::array<TAccentedEntity, 55> AccentedEntities;

// The highlight tag's background and text colour, shared by every renderer.
extern TColor HiLightBkColor;
extern TColor HiLightTextColor;

// Exact lower-case name ("clred", "clbtnface"); 0 (black) for an unknown name.
TColor HTMLColorNameToColor(const String& Name);
// "#RRGGBB"; missing digits give 0 for their component.
TColor HTMLHexToColor(const String& Text);
// Two upper-case hexadecimal digits; 0 for a shorter text.
int HexPairToByte(const String& Pair);
// 1-based, a to z folded; 0 when absent.
int PosIgnoreCase(const String& Sub, const String& Text);
bool ReplaceFirstIgnoreCase(const String& Find, const String& Replacement, String& Text);
// One left-to-right pass with exact letter case: nothing it produces is
// decoded again, so decoding what EncodeHTMLEntities made gives the original.
String DecodeHTMLEntities(const String& Text, bool WithAccents);
String EncodeHTMLEntities(const String& Text, bool WithAccents);
String SpacesToNbsp(const String& Text);
String LineBreaksToBR(const String& Text, bool WithBR);
// "<#name>" shows as "#name" instead of being taken for a tag.
String StripTemplateMarkers(const String& Text);

struct TControlTag {
    String Type;  // upper-cased
    String ID;
    String MaxLen;
    String Prop;  // entities decoded
    String Height;
    String Width;
    String Value;  // entities decoded
};
// TagText: a control tag without its leading "<".
TControlTag ParseControlTag(const String& TagText);

// The value between the first two double quotes after the first occurrence
// of Name in Tag at or after the 1-based position From; empty without quotes.
String MarkupTagAttribute(const String& Tag, const String& Name, int From);
// A whole number with nothing else but leading blanks; false otherwise.
bool MarkupValidInt(const String& Text, int& Value);
