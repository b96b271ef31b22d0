#include "tree/LazyTrees.ClipboardFormats.h"
#include "tree/TreeCheck.h"

#include "framework/DataTransfer.h"
#include "framework/Encoding.h"
#include "framework/SysUtils.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>

namespace {

// A string tree whose texts live in a map, with a fixed font and colours.
struct TextTree : TLazyStringTree {
    std::map<PLazyNode, String> Texts;
    TextTree() : TLazyStringTree(nullptr) {
        Font().SetName(u"Arial");
        Font().SetSize(9);
        Font().SetColor(clBlack);
        SetColor(clWhite);
        TreeOptions().SetPaintOptions({toShowButtons, toShowRoot, toShowTreeLines});
        TreeOptions().SetSelectionOptions({toMultiSelect});
        OnGetText = [this](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType Type, String& Text) {
            if (Type == ttNormal) Text = Texts[Node];
        };
    }
    PLazyNode Add(PLazyNode Parent, const String& Text) {
        PLazyNode Node = AddChild(Parent);
        Texts[Node] = Text;
        return Node;
    }
};

std::string Utf8(const String& S) { return StringToUtf8(S); }

TEST(LazyTreeExport, PlainTextIndentsOneSeparatorPerLevel) {
    TextTree Tree;
    EXPECT_EQ(Tree.ContentToText(tstAll, u'\t'), u"") << "an empty tree";
    PLazyNode A = Tree.Add(nullptr, u"a");
    PLazyNode B = Tree.Add(A, u"b;\"x\"");
    Tree.Add(B, u"c");
    Tree.Add(nullptr, u"d");
    Tree.FullExpand();
    Tree.OnBeforeNodeExport = [](TBaseLazyTree*, TLTExportType, PLazyNode) { return false; };  // text ignores it
    EXPECT_EQ(Utf8(Tree.ContentToText(tstAll, u'\t')), "a\r\n\tb;\"x\"\r\n\t\tc\r\nd\r\n");
    EXPECT_EQ(Tree.ContentToText(tstAll, u";"), Tree.ContentToUnicode(tstAll, u';'));
    EXPECT_EQ(Utf8(Tree.ContentToText(tstAll, u"--")), "a\r\n--b;\"x\"\r\n----c\r\nd\r\n");
    Tree.AddToSelection(B);
    EXPECT_EQ(Utf8(Tree.ContentToText(tstSelected, u'\t')), "\tb;\"x\"\r\n");
    std::vector<TLTOperationKind> Operations;
    Tree.OnStartOperation = [&](TBaseLazyTree*, TLTOperationKind K) { Operations.push_back(K); };
    Tree.ContentToText(tstAll, u'\t');
    EXPECT_EQ(Operations, std::vector<TLTOperationKind>{okExport});
}

TEST(LazyTreeExport, HTMLTableWithEscapedTexts) {
    TextTree Tree;
    PLazyNode Top = Tree.Add(nullptr, u"Top");
    PLazyNode Child = Tree.Add(Top, u"<b>&\"");
    Tree.Add(nullptr, u"Gone");
    Tree.FullExpand();
    Tree.OnBeforeNodeExport = [&](TBaseLazyTree*, TLTExportType, PLazyNode N) { return Tree.Texts[N] != u"Gone"; };
    const std::string Style =
        "font-family: 'Arial'; font-size: 9pt; font-style: normal; font-weight: normal; "
        "text-decoration: none; color: #000000";
    const std::string Head =
        "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><style type=\"text/css\">\r\n"
        ".default{" + Style + ";}\r\n"
        ".header{font-family: 'Tahoma'; font-size: 8pt; font-style: normal; font-weight: normal; "
        "text-decoration: none; color: #000000;}\r\n"  // the header's own font
        ".noborder{border-style: none;padding-left: 4px; padding-right: 4px;}\r\n"
        ".normalborder {vertical-align: top; border-right: none; border-left:none; border-top:none; "
        "border-bottom: none;border-width: thin; border-style: dotted;padding-left: 4px; padding-right: 4px;}"
        "</style>\r\n";
    const std::string Rows =
        " <tr class=\"default\">\r\n"
        " <td class=\"normalborder\"  height=\"18px\" align=left colspan=\"2\">Top</td> </tr>\r\n"
        " <tr class=\"default\">\r\n"
        " <td height=\"18px\" class=\"normalborder\">&nbsp;</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=left>&lt;b&gt;&amp;&quot;</td> </tr>\r\n";
    EXPECT_EQ(Utf8(Tree.ContentToHTML(tstAll, u"A&B")),
              Head +
                  "<table class=\"default\" style=\"border-collapse: collapse;\" bgcolor=#FFFFFF caption=\"A&amp;B\" "
                  "border=\"1\" frame=box cellspacing=\"0\">\r\n" +
                  Rows + "</table>");

    // A handler that changes the font gives the cell a style of its own.
    Tree.OnPaintText = [&](TBaseLazyTree*, TCanvas* C, PLazyNode N, TColumnIndex, TLSTTextType) {
        if (N == Child) C->Font().SetStyle({fsBold});
    };
    Tree.SetBorderStyle(TBaseLazyTree::bsNone);
    const std::string Html = Utf8(Tree.ContentToHTML(tstAll));
    EXPECT_NE(Html.find("bgcolor=#FFFFFF  cellspacing=\"0\">"), std::string::npos) << Html;
    EXPECT_NE(Html.find(" <td class=\"normalborder\"  style=\"{font-family: 'Arial'; font-size: 9pt; font-style: normal; "
                        "font-weight: bold; text-decoration: none; color: #000000;}\" height=\"18px\" align=left>"),
              std::string::npos)
        << Html;
}

TEST(LazyTreeExport, RTFEscapesEveryCharacter) {
    TextTree Tree;
    PLazyNode Top = Tree.Add(nullptr, u"Tp");
    PLazyNode Child = Tree.Add(Top, String(u"a\n") + Char(0x9000) + u"\r");
    Tree.FullExpand();
    Tree.OnPaintText = [&](TBaseLazyTree*, TCanvas* C, PLazyNode N, TColumnIndex, TLSTTextType) {
        if (N == Child) C->Font().SetStyle({fsBold, fsUnderline});
    };
    const std::string Paper = LocaleMeasurementSystem() == 0 ? "\\paperw16840\\paperh11907" : "\\paperw15840\\paperh12240";
    EXPECT_EQ(Tree.ContentToRTF(tstAll),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}" +
                  Paper + "\\margl720\\margr720\\margt720\\margb720\\uc1\\trowd\\trgaph70\\cellx" +
                  std::to_string(Tree.ClientWidth() * 15) +
                  "\\pard\\intbl\\f0\\cf1\\fs18 \\u84\\'3f\\u112\\'3f\\cell\\row\r\n"
                  "\\pard\\intbl\\tab \\ul\\b \\u97\\'3f{\\par}\\u-28672\\'3f\\ul0\\b0\\cell\\row\r\n"
                  "\\pard\\par}");
}

TEST(LazyTreeExport, ClipboardBlocks) {
    TextTree Tree;
    for (CLIPFORMAT F : {CF_TEXT, CF_UNICODETEXT}) {
        HGLOBAL Empty = Tree.ContentToClipboard(F, tstAll);
        ASSERT_TRUE(Empty);
        EXPECT_EQ(GlobalSize(Empty), F == CF_TEXT ? 1u : 2u) << "the terminating NUL of an empty text";
    }
    EXPECT_FALSE(Tree.ContentToClipboard(CF_BITMAP, tstAll));
    PLazyNode A = Tree.Add(nullptr, u"caf\u00e9");
    Tree.Add(A, u"x,y");
    Tree.FullExpand();
    EXPECT_EQ(Tree.ContentToClipboard(CF_TEXT, tstAll)->Bytes, std::string("caf\xe9\r\n\tx,y\r\n\0", 13));
    EXPECT_EQ(GlobalSize(Tree.ContentToClipboard(CF_UNICODETEXT, tstAll)), 2u * 13) << "12 units and the NUL";
    TFormatSettings Semicolon = FormatSettings();
    Semicolon.ListSeparator = u';';
    {
        TFormatSettingsGuard Guard(Semicolon);
        EXPECT_EQ(Tree.ContentToClipboard(RegisterClipboardFormat(u"CSV"), tstAll)->Bytes,
                  std::string("caf\xe9\r\n;x,y\r\n\0", 13));
    }
    const std::string Rtf = Tree.ContentToRTF(tstAll);
    EXPECT_EQ(Tree.ContentToClipboard(RegisterClipboardFormat(u"Rich Text Format"), tstAll)->Bytes, Rtf + '\0');

    const std::string Fragment = Utf8(Tree.ContentToHTML(tstAll));
    const std::string Block = Tree.ContentToClipboard(RegisterClipboardFormat(u"HTML Format"), tstAll)->Bytes;
    const std::size_t L = Fragment.size();
    ASSERT_EQ(Block.size(), L + 301 + 1);
    EXPECT_EQ(Block.substr(0, 97),
              "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:" + std::string(8 - std::to_string(L + 301).size(), '0') +
                  std::to_string(L + 301) + "\r\nStartFragment:00000269\r\nEndFragment:" +
                  std::string(8 - std::to_string(L + 269).size(), '0') + std::to_string(L + 269) + "\r\n");
    EXPECT_EQ(Block.substr(97, 7), "<!DOCTY");
    EXPECT_EQ(Block.substr(269 - 20, 20), "<!--StartFragment-->");
    EXPECT_EQ(Block.substr(269, L), Fragment);
    EXPECT_EQ(Block.substr(L + 269, 32), "<!--EndFragment--></body></html>");
    EXPECT_EQ(Block.back(), '\0');
}

TEST(LazyTreeExport, CopiedNodesReachTheClipboardAsText) {
    UseMemoryClipboard(true);
    {
        TextTree Tree;
        for (const char16_t* Name : {u"Unicode text", u"HTML Format", u"Lazy Tree Data"})
            EXPECT_GE(Tree.ClipboardFormats().Add(Name), 0) << Utf8(Name);
        EXPECT_EQ(Tree.ClipboardFormats().Add(u"Windows bitmap"), -1);
        PLazyNode A = Tree.Add(nullptr, u"one");
        Tree.Add(A, u"two");
        Tree.Add(nullptr, u"three");
        Tree.FullExpand();
        Tree.AddToSelection(A);
        Tree.CopyToClipboard();
        std::shared_ptr<IDataObject> Data;
        ASSERT_EQ(OleGetClipboard(Data), S_OK);
        String Text;
        ASSERT_TRUE(GetTextData(*Data, Text));
        EXPECT_EQ(Utf8(Text), "one\r\n") << "the cut-copy set: the marked nodes only";
        ByteString Html;
        EXPECT_TRUE(GetFormatBytes(*Data, RegisterClipboardFormat(u"HTML Format"), Html));
        EXPECT_NE(Html.find(">one</td>"), std::string::npos);
        Tree.FlushClipboard();
        ASSERT_EQ(OleGetClipboard(Data), S_OK);
        ASSERT_TRUE(GetTextData(*Data, Text));
        EXPECT_EQ(Utf8(Text), "one\r\n") << "rendered once, kept after the flush";
    }
    UseMemoryClipboard(false);
}

TEST(LazyTreeExport, CustomExportFiresTheEventsOnly) {
    TextTree Tree;
    PLazyNode A = Tree.Add(nullptr, u"a");
    Tree.Add(nullptr, u"b");
    Tree.SetCheckType(A, ctCheckBox);
    Tree.SetCheckState(A, csCheckedNormal);
    Tree.TreeOptions().SetExportMode(emChecked);
    std::string Log;
    Tree.OnBeforeTreeExport = [&](TBaseLazyTree*, TLTExportType K) { Log += K == etCustom ? "[" : "?"; };
    Tree.OnAfterTreeExport = [&](TBaseLazyTree*, TLTExportType) { Log += "]"; };
    Tree.OnBeforeNodeExport = [&](TBaseLazyTree*, TLTExportType, PLazyNode N) { Log += "<" + Utf8(Tree.Texts[N]); return false; };
    Tree.OnNodeExport = [&](TBaseLazyTree*, TLTExportType, PLazyNode) { Log += "="; return true; };
    Tree.OnAfterNodeExport = [&](TBaseLazyTree*, TLTExportType, PLazyNode) { Log += ">"; return true; };
    Tree.ContentToCustom(tstAll);
    EXPECT_EQ(Log, "[<a=>]");
}

// Three columns shown as Name, Note, Size over three levels; Note has a colour of its own.
struct ColumnTextTree : TextTree {
    std::map<PLazyNode, std::array<String, 3>> Cells;
    ColumnTextTree() {
        for (const char16_t* Caption : {u"Name", u"Size", u"Note"}) Header().Columns().Add()->SetText(Caption);
        Header().Columns()[0]->SetWidth(100);
        Header().Columns()[1]->SetAlignment(taRightJustify);
        Header().Columns()[2]->SetWidth(60);
        Header().Columns()[2]->SetColor(clYellow);
        Header().Columns()[2]->SetPosition(1);
        OnGetText = [this](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TLSTTextType Type, String& Text) {
            if (Type == ttNormal && Column >= 0) Text = Cells[Node][std::size_t(Column)];
        };
        PLazyNode A = Row(nullptr, u"a", u"1", u"n1");
        PLazyNode B = Row(A, u"b", u"22", u"say \"hi\"\tnow");
        Row(B, u"c", u"333", u"");
        Row(nullptr, u"d", u"4", u"q\"q");
        FullExpand();
    }
    PLazyNode Row(PLazyNode Parent, const String& Name, const String& Size, const String& Note) {
        PLazyNode Node = Add(Parent, Name);
        Cells[Node] = {Name, Size, Note};
        return Node;
    }
};

// The RTF escape of each unit of an ASCII text.
std::string RtfUnits(std::string_view Text) {
    std::string R;
    for (char C : Text) R += "\\u" + std::to_string(int(C)) + "\\'3f";
    return R;
}

std::string Hex(TColor Color) {
    const auto RGB = Cardinal(ColorToRGB(Color));
    char Buffer[8];
    std::snprintf(Buffer, sizeof Buffer, "#%02X%02X%02X", RGB & 0xFF, (RGB >> 8) & 0xFF, (RGB >> 16) & 0xFF);
    return Buffer;
}

TEST(LazyTreeExport, ColumnsLineUpUnderTheirHeadings) {
    ColumnTextTree Tree;
    // Plain text pads the main column to the deepest level and quotes texts holding the separator.
    EXPECT_EQ(Utf8(Tree.ContentToText(tstAll, u'\t')),
              "Name\t\t\tNote\tSize\r\n"
              "a\t\t\tn1\t1\r\n"
              "\tb\t\t\"say \"\"hi\"\"\tnow\"\t22\r\n"
              "\t\tc\t\t333\r\n"
              "d\t\t\tq\"q\t4\r\n");

    const std::string Face = Hex(clBtnFace);
    const std::string Html = Utf8(Tree.ContentToHTML(tstAll));
    const std::string Heading =
        "<tr class=\"header\" style=\"padding-left: 4px; padding-right: 4px;\">\r\n"
        "<th height=\"19px\" align=left colspan=\"3\" bgcolor=" + Face + " width=\"100px\">Name</th>"
        "<th height=\"19px\" align=left bgcolor=" + Face + " width=\"60px\">Note</th>"
        "<th height=\"19px\" align=right bgcolor=" + Face + " width=\"50px\">Size</th></tr>\r\n";
    const std::string RowB =
        " <tr class=\"default\">\r\n"
        " <td height=\"18px\" class=\"normalborder\">&nbsp;</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=left colspan=\"2\">b</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=left bgcolor=#FFFF00>say &quot;hi&quot;\tnow</td>"
        " <td class=\"normalborder\"  height=\"18px\" align=right>22</td> </tr>\r\n";
    EXPECT_NE(Html.find("cellspacing=\"0\">\r\n" + Heading + " <tr class=\"default\">"), std::string::npos) << Html;
    EXPECT_NE(Html.find(RowB), std::string::npos) << Html;
    EXPECT_EQ(Html.substr(Html.size() - 8), "</table>");
    // A main column with a colour of its own paints the indentation cells too.
    Tree.Header().Columns()[0]->SetColor(clAqua);
    EXPECT_NE(Utf8(Tree.ContentToHTML(tstAll))
                  .find(" <tr class=\"default\">\r\n"
                        "<td class=\"noborder\" width=\"18\" height=\"18px\" bgcolor=#00FFFF>&nbsp;</td>"
                        "<td class=\"noborder\" width=\"18\" height=\"18px\" bgcolor=#00FFFF>&nbsp;</td>"
                        " <td class=\"normalborder\"  height=\"18px\" align=left bgcolor=#00FFFF>c</td>"),
              std::string::npos);
    Tree.Header().Columns()[0]->SetOptions(Tree.Header().Columns()[0]->Options() + TLTColumnOptions{coParentColor});

    // RTF: one cell edge per visible column in twips, the headings in the header font.
    const std::string Paper = LocaleMeasurementSystem() == 0 ? "\\paperw16840\\paperh11907" : "\\paperw15840\\paperh12240";
    auto Row = [](std::string_view Name, std::string_view Note, std::string_view Size, std::string Tabs) {
        // the blank after the level tabs, then the text's own
        return "\\pard\\intbl" + Tabs + (Tabs.empty() ? "" : " ") + " " + RtfUnits(Name) + "\\cell\\pard\\intbl" +
               (Note.empty() ? "" : " " + RtfUnits(Note)) + "\\cell\\pard\\intbl\\qr " + RtfUnits(Size) +
               "\\cell\\row\r\n";
    };
    Tree.Cells[Tree.GetFirst()->FirstChild][2] = u"x";
    EXPECT_EQ(Tree.ContentToRTF(tstAll),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Tahoma;}{\\f1 Arial;}}"
              "{\\colortbl;\\red0\\green0\\blue0;}" +
                  Paper + "\\margl720\\margr720\\margt720\\margb720\\uc1\\trowd\\trgaph70\\cellx1500\\cellx2400\\cellx3150" +
                  "\\pard\\intbl\\ql\\f0\\cf1\\fs16 " + RtfUnits("Name") + "\\cell\\ql " + RtfUnits("Note") +
                  "\\cell\\qr " + RtfUnits("Size") + "\\cell\\row" +
                  "\\pard\\intbl\\f1\\fs18 " + RtfUnits("a") + "\\cell\\pard\\intbl " + RtfUnits("n1") +
                  "\\cell\\pard\\intbl\\qr " + RtfUnits("1") + "\\cell\\row\r\n" +
                  Row("b", "x", "22", "\\tab") + Row("c", "", "333", "\\tab\\tab") + Row("d", "q\"q", "4", "") +
                  "\\pard\\par}");
}

TEST(LazyTreeExport, HeadingEventsFollowTheVisibleColumns) {
    ColumnTextTree Tree;
    Tree.Header().Columns()[1]->SetOptions(Tree.Header().Columns()[1]->Options() - TLTColumnOptions{coVisible});
    std::string Log;
    auto Column = [&](const char* Mark) {
        return [&Log, Mark](TBaseLazyTree*, TLTExportType, TLazyTreeColumn* C) { Log += Mark + Utf8(C->GetText()); };
    };
    Tree.OnBeforeHeaderExport = [&](TBaseLazyTree*, TLTExportType) { Log += "["; };
    Tree.OnAfterHeaderExport = [&](TBaseLazyTree*, TLTExportType) { Log += "]"; };
    Tree.OnBeforeColumnExport = Column("<");
    Tree.OnColumnExport = Column("=");
    Tree.OnAfterColumnExport = Column(">");
    Tree.ContentToCustom(tstAll);
    EXPECT_EQ(Log, "") << "a hidden header exports no headings";
    Tree.Header().SetOptions(Tree.Header().Options + THeaderOptions{hoVisible});
    Tree.ContentToCustom(tstAll);
    EXPECT_EQ(Log, "[<Name=Name>Name<Note=Note>Note]");
    Log.clear();
    Tree.ContentToHTML(tstAll);
    EXPECT_EQ(Log, "[<Name>Name<Note>Note]");
    EXPECT_EQ(Utf8(Tree.ContentToText(tstAll, u",")).substr(0, 12), "Name,,,Note\r");
}

}  // namespace
