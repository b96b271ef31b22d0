#include "shell/ULanguage.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/TextFiles.h"
#include "shell/Globals.h"
#include "shell/UComon.h"

namespace {

constexpr Char Pilcrow = u'\u00B6';
const String Comment_Mark = u"/#/";


}  // namespace

String Lang_Message(int Index, std::initializer_list<String> Values) {
    const String& text = Lang_Table[Index];
    const std::vector<String> values(Values);
    // One pass, so that a value holding "%1" stays as it is.
    String out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            const size_t n = size_t(text[i + 1] - u'1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

void Load_Default_Texts() {
    Lang_Table.Clear();
    for (const char16_t* text : Default_Texts)
        Lang_Table.Add(text);
    Lang_Table_Size = Default_Texts_Count;
}

bool Parse_Lang_Line(const String& line, int tableSize, int& index, String& text) {
    const String s = Trim(line);
    if (s.rfind(u"STR", 0) != 0)
        return false;
    // The index lies between "STR" and the character just before the first
    // "=": that character is taken as the separator whatever it is, so
    // "STR12=abc" names entry 1.
    const std::size_t eq = s.find(u'=');
    if (eq == String::npos || eq < 5)
        return false;
    long long n = 0;
    if (!Read_Decimal(Trim(s.substr(3, eq - 4)), n) || n < 0 || n >= tableSize)
        return false;
    String t = Trim(s.substr(eq + 1));
    if (t.empty())
        return false;
    const std::size_t comment = t.find(Comment_Mark);
    if (comment != String::npos) {
        t = Trim(t.substr(0, comment));
        if (t.empty())
            return false;
    }
    if (t[0] == Pilcrow)
        t.erase(0, 1);
    const std::size_t end = t.find(Pilcrow);
    if (end != String::npos)
        t.erase(end);
    index = n;
    text = std::move(t);
    return true;
}

std::vector<String> Default_Lang_Lines() {
    std::vector<String> lines;
    for (int i = 0; i < Default_Texts_Count; ++i) {
        const String text = Default_Texts[i];
        if (Trim(text).empty()) continue;
        // Blanks at the ends would be trimmed away on reading: the pilcrows keep them.
        const bool mark = text != Trim(text);
        lines.push_back(u"STR" + IntToStr(i) + u" = " + (mark ? Pilcrow + text + Pilcrow : text));
    }
    return lines;
}

void Apply_Lang_Lines(const std::vector<String>& lines) {
    int index = 0;
    String text;
    for (const String& line : lines)
        if (Parse_Lang_Line(line, Lang_Table_Size, index, text))
            Lang_Table.Set(index, text);
}

bool Load_Lang_File(const String& path) {
    // Without a byte-order mark the file is Windows-1252 (0xB6 is the pilcrow).
    std::vector<String> lines;
    try {
        lines = ReadTextLines(path);
    } catch (const Exception&) {
        // An unreadable language file must not stop the start or the language
        // change: the texts loaded so far stay.
        return false;
    }
    Apply_Lang_Lines(lines);
    return true;
}

void Load_Language() {
    Load_Default_Texts();
    const String file = PathJoin(Language_Dir, Language_Name + u".lng");
    if (!Language_Name.empty() && FileExists(file)) {
        Load_Lang_File(file);
        return;
    }
    Language_Name = u"English";
    const String english = PathJoin(Language_Dir, u"English.lng");
    if (FileExists(english))
        Load_Lang_File(english);
}
