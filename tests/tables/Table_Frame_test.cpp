#include "tables/Table_Frame.h"

#include "framework/Dialogs.h"
#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "support/StandInRowGrid.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

constexpr std::span<const char16_t* const> None;
// A small table: a required key, a column with a default, one without.
const TColumnDesc Columns[] = {
    {1, 0, TColKind::Normal, None, 0, 50, Window_Colour, u"Key", nullptr},
    {2, 0, TColKind::CheckBox, None, 0, 50, Window_Colour, u"Flag", u"N"},
    {3, 0, TColKind::Normal, None, 0, 50, Window_Colour, u"Note", u""},
};
const TTableDesc Trimmed = {u"Rows", u"row", 1, true, 3, Columns};
const TTableDesc Untrimmed = {u"Rows", u"row", 1, false, 3, Columns};

TXmlNode Container(TXmlDocument& doc, const char* xml) {
    doc.LoadFromUtf8(xml);
    return doc.DocumentElement().ChildNode(u"Rows");
}

}  // namespace

TEST(TableFrame, VersionCommentByEditorAndModel) {
    const struct {
        TTableEditor editor;
        int model;
        const char* comment;
    } cases[] = {
        {TTableEditor::CAN_Frames, 0, "SW_VERSION = 1.113"},   {TTableEditor::CAN_Frames, 34, "SW_VERSION = 1.000"},
        {TTableEditor::DeviceNet, 1, "SW_VERSION = 1.102"},    {TTableEditor::Modbus_Master, 1018, "SW_VERSION = 1.700"},
        {TTableEditor::Modbus_Master, 30, "SW_VERSION = 1.001"}, {TTableEditor::Modbus_TCP_Master, 19, "SW_VERSION = 1.505"},
        {TTableEditor::J1939, 14, "SW_VERSION = 1.100"},       {TTableEditor::NMEA_2000, 7, "SW_VERSION = 1.003"},
        {TTableEditor::CANopen, 33, "SW_VERSION = 1.001"},     {TTableEditor::CANopen, 24, "SW_VERSION = 1.508"},
        {TTableEditor::DMX, 29, "SW_VERSION = 1.000"},         {TTableEditor::SNMP, 17, "SW_VERSION = 1.100"},
        {TTableEditor::SNMP, 1018, "SW_VERSION = 1.700"},      {TTableEditor::SNMP, 33, "SW_VERSION = 1.001"},
        {TTableEditor::SNMP, 35, "SW_VERSION = 1.000"},        {TTableEditor::SNMP, 16, "SW_VERSION = 1.103"},
        {TTableEditor::SNMP, 99, "SW_VERSION = 1.202"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringToUtf8(Version_Comment(c.editor, c.model)), c.comment) << c.model;
}

TEST(TableFrame, RowMessageJoinsLeadRowDetailAndTheLimit) {
    const struct {
        const char* detail;
        int limit;
        const char* message;
    } cases[] = {
        {"!! [Modbus Read] Slave ID must be between 1 and 247", 0, "Error row 3!! [Modbus Read] Slave ID must be between 1 and 247"},
        {"!! Address must be between 0 and ", 1438, "Error row 3!! Address must be between 0 and 1438"},
        {"!! Size must be between 1 and ", 64, "Error row 3!! Size must be between 1 and 64"},
        {"!! Time must be between 1 and 1000000000 ms", 7, "Error row 3!! Time must be between 1 and 1000000000 ms"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringToUtf8(Row_Message(u"Error row ", 3, S(c.detail), c.limit)), c.message);
}

TEST(TableFrame, LoadTakesRowsByPositionWithDefaultsAndStopsAtAMissingRequiredAttribute) {
    StandInGrid grid(4, 4);  // rows 1..3
    grid.SetRow(3, "old|old|old");
    TXmlDocument doc;
    // Row names are not checked; an empty attribute stays empty; a fourth row has no place.
    Load_Rows(Container(doc, "<R><Rows><row Key='a' Flag='' Note='n'/><x Key=' '/><row Key='c' Flag='Y'/>"
                             "<row Key='d'/></Rows></R>"),
              grid, Trimmed);
    EXPECT_EQ(grid.Row(1), "a||n");
    EXPECT_EQ(grid.Row(2), " |N|");
    EXPECT_EQ(grid.Row(3), "c|Y|");

    StandInGrid partial(4, 4);
    try {
        Load_Rows(Container(doc, "<R><Rows><row Key='a'/><row Flag='Y'/><row Key='c'/></Rows></R>"), partial, Trimmed);
        FAIL() << "a missing required attribute must end the loading";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Could not convert variant of type (Null) into type (OleStr)");
    }
    EXPECT_EQ(partial.Row(1), "a|N|");
    EXPECT_EQ(partial.Row(3), "||");

    doc.LoadFromUtf8("<R><Other/></R>");
    EXPECT_THROW(Table_Element(doc.DocumentElement(), u"Rows"), EXmlError);
}

TEST(TableFrame, SavedFileHoldsTheRowsUpToTheFirstEmptyKeyInTheFixedForm) {
    StandInGrid grid(4, 4);
    Reset_Table(grid, Trimmed);
    EXPECT_EQ(grid.GetCellEx(0, 3), u"3");
    grid.SetRow(1, "a b|Y| x ");
    grid.SetRow(2, "  |N|");
    grid.SetRow(3, "after|Y|");  // below the end: neither saved nor checked
    TXmlDocument doc;
    Build_Table_Document(doc, u"Root", u"SW_VERSION = 1.000", {{Trimmed, grid}});
    EXPECT_EQ(doc.SaveToUtf8(),
              "<Root><Rows><row Key=\"a b\" Flag=\"Y\" Note=\" x \"/></Rows></Root>\r\n<!--SW_VERSION = 1.000-->\r\n");
    // Without trimming a key of blanks is a row.
    Build_Table_Document(doc, u"Root", u"v", {{Untrimmed, grid}});
    EXPECT_EQ(doc.DocumentElement().ChildNode(u"Rows").ChildCount(), 3);
    // An empty first key: the table element without rows.
    StandInGrid empty(4, 4);
    Build_Table_Document(doc, u"Root", u"v", {{Trimmed, grid, false}, {Untrimmed, empty}});
    EXPECT_EQ(doc.SaveToUtf8(), "<Root><Rows/><Rows/></Root>\r\n<!--v-->\r\n");
}

TEST(TableFrame, FailedShowIsReportedAndOkAsksBeforeReplacingTheFile) {
    Load_Default_Texts();
    TempDir dir;
    const String path = S(dir.file("T.xml"));
    dir.write("T.xml", "original");
    TScriptedDialogService dialogs;
    TShow_Guard guard;
    int steps = 0;
    EXPECT_FALSE(guard.Run([&] {
        ++steps;
        throw EConvertError(u"broken");
        ++steps;
    }));
    EXPECT_EQ(steps, 1);
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Text, u"broken");
    EXPECT_TRUE(guard.Incomplete());

    StandInGrid grid(3, 4);
    grid.SetRow(1, "k|Y|");
    auto build = [&](TXmlDocument& doc) { Build_Table_Document(doc, u"Root", u"v", {{Trimmed, grid}}); };
    dialogs.AnswerBox(IDNO);
    EXPECT_FALSE(Check_And_Save(guard, [] { return true; }, build, path));
    EXPECT_EQ(dialogs.Shown.back().Text,
              u"The file could not be read completely. Do you want to replace it with the rows shown?");
    EXPECT_EQ(dir.read("T.xml"), "original");
    dialogs.AnswerBox(IDYES);
    EXPECT_TRUE(Check_And_Save(guard, [] { return true; }, build, path));
    EXPECT_NE(dir.read("T.xml"), "original");

    // A clean show asks nothing; a failed check writes nothing.
    EXPECT_TRUE(guard.Run([] {}));
    const std::size_t shown = dialogs.Shown.size();
    EXPECT_FALSE(Check_And_Save(guard, [] { return false; }, build, S(dir.file("new.xml"))));
    EXPECT_EQ(dialogs.Shown.size(), shown);
    EXPECT_FALSE(FileExists(S(dir.file("new.xml"))));
}

TEST(TableFrame, FailedWriteShowsItsTextAndKeepsTheWindowOpen) {
    TempDir dir;
    TScriptedDialogService dialogs;
    TXmlDocument doc;
    doc.CreateRoot(u"Root");
    EXPECT_FALSE(Save_Table_File(doc, S(dir.file("missing/T.xml"))));
    ASSERT_EQ(dialogs.Shown.size(), 1u);
    EXPECT_EQ(dialogs.Shown[0].Icon, diError);
    EXPECT_FALSE(dialogs.Shown[0].Text.empty());
}

TEST(TableFrame, DeleteAsksWithTheRowNumberAndMovesOnlyOnYes) {
    TScriptedDialogService dialogs;
    StandInGrid grid(4, 4);
    Reset_Table(grid, Trimmed);
    grid.SetRow(1, "a|Y|1");
    grid.SetRow(2, "b|N|2");
    dialogs.AnswerBox(IDNO);
    EXPECT_FALSE(Confirm_Delete_Row(grid, 1, u"Are you sure to delete the Row number "));
    EXPECT_EQ(dialogs.Shown[0].Text, u"Are you sure to delete the Row number 1");
    EXPECT_EQ(grid.Row(1), "a|Y|1");
    dialogs.AnswerBox(IDYES);
    EXPECT_TRUE(Confirm_Delete_Row(grid, 1, u"Are you sure to delete the Row number "));
    EXPECT_EQ(grid.Row(1), "b|N|2");
    EXPECT_EQ(grid.Row(2), "||");
    EXPECT_EQ(grid.GetCellEx(0, 2), u"2");
}

TEST(TableFrame, ParGenNumbersFallBackToTheDefaultSilently) {
    TempDir dir;
    dir.write("P.xml", "<Par_Gen><PROFINET_NB_IN>x20</PROFINET_NB_IN><PROFINET_NB_OUT>abc</PROFINET_NB_OUT></Par_Gen>");
    dir.write("Bad.xml", "<Par_Gen><PROFINET_NB_IN>");
    const String path = S(dir.file("P.xml"));
    EXPECT_EQ(ParGen_Number(path, u"PROFINET_NB_IN", 7), 32);
    EXPECT_EQ(ParGen_Number(path, u"PROFINET_NB_OUT", 7), 7);
    EXPECT_EQ(ParGen_Number(path, u"MODBUS_MASTER_NB_IN", 7), 7);
    EXPECT_EQ(ParGen_Number(S(dir.file("none.xml")), u"PROFINET_NB_IN", 7), 7);
    // Not well-formed: a failure while showing, for the show guard to report.
    EXPECT_THROW(ParGen_Number(S(dir.file("Bad.xml")), u"PROFINET_NB_IN", 7), EXmlError);
}
