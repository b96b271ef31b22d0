#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// FNV-1a over every entry's UTF-16 code units (low byte first), each entry
// closed by 0xFF 0xFF: one number that changes with any blank or quote.
std::uint64_t Texts_Hash() {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    auto feed = [&h](unsigned byte) {
        h ^= byte;
        h *= 0x100000001b3ULL;
    };
    for (const char16_t* text : Default_Texts) {
        for (const char16_t* p = text; *p; ++p) {
            feed(*p & 0xFF);
            feed(*p >> 8);
        }
        feed(0xFF);
        feed(0xFF);
    }
    return h;
}

void Apply(std::initializer_list<const char*> lines) {
    std::vector<String> v;
    for (const char* l : lines)
        v.push_back(S(l));
    Apply_Lang_Lines(v);
}

}  // namespace

TEST(DefaultTexts, AllTwoThousandEntriesAreTheListedTexts) {
    Load_Default_Texts();
    ASSERT_EQ(Lang_Table.Count(), 2000);
    EXPECT_EQ(Lang_Table_Size, 2000);
    int listed = 0;
    for (int i = 0; i < 2000; ++i)
        if (Lang_Table[i] != u" ")
            ++listed;
    EXPECT_EQ(listed, 1356);
    EXPECT_EQ(Texts_Hash(), 0xc00e0a04d4a0108fULL);

    const struct {
        int index;
        const char* text;
    } spots[] = {
        {0, "Begin"},
        {9, "None Configuration Opened "},
        {10, "Use Step1 to open or create new configuration"},
        {11, "Opened Configuration of the Converter : "},
        {20, "Update Device"},
        {41, "OK"},
        {55, "Selected Language : "},
        {57, " / "},
        {68, " to "},
        {69, "?"},
        {88, " PROFINET "},
        {203, "N\u00B0"},
        {244, "!! Transmition Type must be \"On Data Change\" or \"On Timer\""},
        {642, " "},
        {973, "M-Bus network configuration already exists for this configuration. Do you want to continue?"},
        {1100, "Row Already used. Do you want to overwrite the values?"},
        {1101, "Error in the Copy values!!! Copy a valid row before Paste it"},
        {1102, "Error!!! Copy a valid row before Paste it"},
        // The description-file writers' refusals.
        {1104, "Error! %1 is %2 bytes, but the bus carries %3 to %4 bytes. The file was not written."},
        {1107, "!! Description must not be longer than 64 characters"},
        // The program's own messages: partly read files, files and programs that
        // cannot be made or started, the station names, the image builder, the
        // description-file writers and the diagnostics port.
        {1108, "The file could not be read completely. Do you want to replace it with the rows shown?"},
        {1113, "Error SNMP!! Name of Station must have at most 15 characters and no blanks"},
        {1114, "The image cannot be built: %1."},
        {1170, "The update job cannot be written: %1"},
        {1171, "The file \"%1\" has no element \"%2\"; the EDS file was not written."},
        {1195, "The diagnostics port %1 is not open."},
        {1198, "The table element \"%1\" is missing."},
        {1199, " "},
        {1934, "!! Community Name is not correct (allowed characters are \"a\"..\"z\", \"A\"..\"Z\" and \"0\"..\"9\")"},
        {1938, "Error!! The Descriptions must be all differents"},
        {1999, " "},
    };
    for (const auto& spot : spots)
        EXPECT_EQ(Lang_Table[spot.index], S(spot.text)) << spot.index;
}

// Messages with values: a language file may move the marks; a value that
// holds a mark stays as it is, and a mark left out only loses its value.
TEST(DefaultTexts, MessagesTakeTheirValuesWhereTheTextPutsThem) {
    Load_Default_Texts();
    EXPECT_EQ(Lang_Message(1116, {u"a.xml", u"3", u"\"Rows\"", u"has %2"}), u"\"a.xml\": row 3 of \"Rows\" has %2");
    Apply_Lang_Lines({u"STR1116 = %4 (Zeile %2 von %3 in %1)", u"STR1110 = Nicht zu schreiben"});
    EXPECT_EQ(Lang_Message(1116, {u"a.xml", u"3", u"T", u"fehlt"}), u"fehlt (Zeile 3 von T in a.xml)");
    EXPECT_EQ(Lang_Message(1110, {u"x"}), u"Nicht zu schreiben");
    Load_Default_Texts();
}

TEST(LanguageFile, LinesSetEntriesByTheIndexAndSeparatorRule) {
    const struct {
        const char* line;
        int index;  // -1: the line is ignored
        const char* text;
    } cases[] = {
        {"STR20 = Update Device", 20, "Update Device"},
        {"STR20 = Update Device /#/ wizard button", 20, "Update Device"},
        {"STR12=abc", 1, "abc"},  // the character before "=" never belongs to the index
        {"STR5=abc", -1, ""},
        {"STR5 =abc", 5, "abc"},
        {"STR1999 = last", 1999, "last"},
        {"STR2000 = beyond", -1, ""},
        {"STR-1 = negative", -1, ""},
        {"str5 = lower case", -1, ""},
        {" \t STR5 = leading blanks", 5, "leading blanks"},
        {"STR5 = Text /#/ note", 5, "Text"},
        {"STR5 = /#/ note", -1, ""},
        {"STR5 = ", -1, ""},
        {"STRx5 = letters", -1, ""},
        {"STR5 no equals sign", -1, ""},
        {"STR11 = \u00B6Opened Configuration of the Converter : \u00B6", 11, "Opened Configuration of the Converter : "},
        {"STR57 = \u00B6 / \u00B6", 57, " / "},
        {"STR5 = \u00B6\u00B6", 5, ""},
        {"STR5 = \u00B6", 5, ""},
        {"STR5 = a \u00B6 b", 5, "a "},
        {"STR5 = a = b", 5, "a = b"},
        {"Title of the file", -1, ""},
    };
    for (const auto& c : cases) {
        int index = -1;
        String text;
        const bool taken = Parse_Lang_Line(S(c.line), 2000, index, text);
        EXPECT_EQ(taken, c.index >= 0) << c.line;
        if (taken && c.index >= 0) {
            EXPECT_EQ(index, c.index) << c.line;
            EXPECT_EQ(text, S(c.text)) << c.line;
        }
    }
}

TEST(LanguageFile, LaterLinesWinAndUnnamedIndicesKeepTheDefaults) {
    Load_Default_Texts();
    Apply({"STR17 = Neue Konfiguration", "STR18 = first", "STR18 = second", "STR5 = /#/ only a note", "STR2000 = x"});
    EXPECT_EQ(Lang_Table[17], u"Neue Konfiguration");
    EXPECT_EQ(Lang_Table[18], u"second");
    EXPECT_EQ(Lang_Table[5], u"Step 5");
    EXPECT_EQ(Lang_Table[19], u"Set Communication");
    EXPECT_EQ(Lang_Table.Count(), 2000);
}

#include "ShellState.h"

TEST(LanguageFile, FilesAreDecodedByTheirMarkOrAsWindows1252) {
    ExeFolder exe;
    // Windows-1252: 0xB6 is the pilcrow, 0xE9 an e with acute accent; CR, LF and CR LF line ends.
    exe.dir.write("LANGUAGE/Francais.lng", "Titre\r\nSTR9 = \xB6" "Aucune configuration \xB6\rSTR17 = Nouvelle cr\xE9" "ation\nSTR18 = x");
    exe.dir.write("LANGUAGE/Utf8.lng", "\xEF\xBB\xBFSTR17 = Neue Konfiguration \xC2\xB6 /#/ c\r\n");
    std::string utf16le = "\xFF\xFE";
    for (char16_t c : std::u16string(u"STR17 = \u043A\r\n")) {
        utf16le += char(c & 0xFF);
        utf16le += char(c >> 8);
    }
    exe.dir.write("LANGUAGE/Utf16.lng", utf16le);
    Language_Name = u"Francais";
    Load_Language();
    EXPECT_EQ(Lang_Table[9], u"Aucune configuration ");
    EXPECT_EQ(Lang_Table[17], u"Nouvelle cr\u00E9ation");
    EXPECT_EQ(Lang_Table[18], u"x");
    EXPECT_EQ(Lang_Table[10], u"Use Step1 to open or create new configuration");

    Language_Name = u"Utf8";
    Load_Language();
    EXPECT_EQ(Lang_Table[17], u"Neue Konfiguration ");
    EXPECT_EQ(Lang_Table[9], u"None Configuration Opened ");  // defaults first

    Language_Name = u"Utf16";
    Load_Language();
    EXPECT_EQ(Lang_Table[17], u"\u043A");
}

TEST(LanguageFile, AMissingLanguageFallsBackToEnglishThenToTheBuiltInTexts) {
    ExeFolder exe;
    Language_Name = u"Deleted";
    Load_Language();
    EXPECT_EQ(Language_Name, u"English");
    EXPECT_EQ(Lang_Table[17], u"New Configuration");

    exe.dir.write("LANGUAGE/English.lng", "STR17 = New Project\n");
    Language_Name = u"";
    Load_Language();
    EXPECT_EQ(Language_Name, u"English");
    EXPECT_EQ(Lang_Table[17], u"New Project");
    EXPECT_EQ(Lang_Table.Count(), 2000);
}

TEST(LanguageFile, TheEnglishFileBringsEveryDefaultTextBack) {
    ExeFolder exe;
    String english;
    for (const String& line : Default_Lang_Lines()) english += line + u"\r\n";
    exe.dir.write("LANGUAGE/English.lng", "\xEF\xBB\xBF" + StringToUtf8(english));
    exe.dir.write("LANGUAGE/Other.lng", "STR9 = Nichts\nSTR11 = x\nSTR17 = Neu\n");
    Language_Name = u"Other";
    Load_Language();
    ASSERT_EQ(Lang_Table[17], u"Neu");
    Load_Lang_File(Utf8ToString(exe.dir.file("LANGUAGE/English.lng")));
    for (int i = 0; i < Default_Texts_Count; ++i)
        EXPECT_EQ(Lang_Table[i], String(Default_Texts[i])) << i;
    EXPECT_EQ(Lang_Table[9], u"None Configuration Opened ");  // the trailing blank kept
}
