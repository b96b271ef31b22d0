#pragma once
// The table of user-interface texts and the language files that override it.
//
// A language file ("<Language>.lng" in Language_Dir) holds lines of the form
//     STR20 = Update Device /#/ wizard button
// Everything else in it is ignored. A pilcrow (U+00B6) marks the ends of a
// text whose leading or trailing blanks matter: STR57 = ¶ / ¶

#include "framework/System.h"

#include <initializer_list>
#include <vector>

constexpr int Default_Texts_Count = 2000;
// The built-in English texts, by index; free slots hold a single blank.
extern const char16_t* const Default_Texts[Default_Texts_Count];

// Empties Lang_Table and fills it with the built-in texts.
void Load_Default_Texts();

// The text-table entry Index with "%1", "%2" ... replaced by the values in
// order; a translation may move the marks, and one that leaves a mark out
// only loses that value.
String Lang_Message(int Index, std::initializer_list<String> Values);

// One line of a language file: true and the entry when the line sets an
// index below tableSize, false when it is to be ignored.
bool Parse_Lang_Line(const String& line, int tableSize, int& index, String& text);

// The lines of a language file that sets every built-in text (free slots
// left out): loaded over any other language it brings the defaults back.
std::vector<String> Default_Lang_Lines();

// Applies every entry of the lines to Lang_Table, in order (a later line
// with the same index wins).
void Apply_Lang_Lines(const std::vector<String>& lines);

// Reads the file and applies its entries. A file that cannot be read leaves
// the table as it was: the program goes on with the texts loaded so far.
// Returns whether the file could be read.
bool Load_Lang_File(const String& path);

// The defaults, then "<Language_Name>.lng" from Language_Dir; when that file
// is missing Language_Name becomes "English" and "English.lng" is loaded when
// present.
void Load_Language();
