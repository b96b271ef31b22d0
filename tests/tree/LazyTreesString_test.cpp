// The string tree's texts as they are drawn and measured: shortened with "..."
// in a column too narrow, wrapped in multiline rows, the static text beside the
// caption, the owner's drawing and measuring events, the opaque text ground,
// the drop target's text colour, and the CSV file with its heading.

#include "tree/LazyTrees.h"
#include "tree/LazyTrees.Utils.h"

#include "framework/Files.h"
#include "framework/Forms.h"
#include "framework/SysUtils.h"
#include "framework/Themes.h"
#include "support/TempDir.h"
#include "tree/TreePicture.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

// A string tree without border and scroll bars, so that the rendered picture is the client area;
// rows 18 high, top-level nodes only unless a test adds more. Texts come from Texts by node index.
struct TextTree {
    explicit TextTree(int Columns = 0, int ColumnWidth = 100)
        : tree(PlaceBareTree<TLazyStringTree>(form, 300, 200)) {
        for (int I = 0; I < Columns; ++I) tree->Header().Columns().Add()->SetWidth(ColumnWidth);
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode Node, TColumnIndex Column, TLSTTextType Type,
                                 String& Text) {
            auto& From = Type == ttNormal ? Texts : StaticTexts;
            auto Found = From.find({int(Node->Index), Column});
            if (Found != From.end()) Text = Found->second;
        };
        tree->OnDrawText = [this](TBaseLazyTree*, TCanvas*, PLazyNode Node, TColumnIndex Column, const String& Text,
                                  const TRect& R, bool& DefaultDraw) {
            Drawn[{int(Node->Index), Column}] = {Text, R};
            DefaultDraw = OwnerDraws.empty() || !OwnerDraws.count(int(Node->Index));
        };
        tree->SetRootNodeCount(3);
        form.Show();
    }
    ~TextTree() { SetThemeRenderer(trStyled); }
    PLazyNode Node(int Index) {
        PLazyNode Run = tree->GetFirst();
        while (Run && int(Run->Index) != Index) Run = tree->GetNextSibling(Run);
        return Run;
    }
    void Render() {
        Drawn.clear();
        RenderControlToBitmap(tree, picture);
    }
    TColor At(int X, int Y) { return picture.Canvas().Pixels(X, Y); }
    // The leftmost and rightmost x in the box whose pixel passes Test; (-1, -1) when none does.
    template <class Test> std::pair<int, int> Span(TRect Box, Test Passes) {
        int Low = -1, High = -1;
        for (int Y = Box.Top; Y < Box.Bottom; ++Y)
            for (int X = Box.Left; X < Box.Right; ++X)
                if (Passes(At(X, Y))) {
                    if (Low < 0 || X < Low) Low = X;
                    High = std::max(High, X);
                }
        return {Low, High};
    }
    int Measure(const String& Text) {
        TCanvas& C = tree->Canvas();
        C.Font().Assign(&tree->Font());
        return C.TextWidth(Text);
    }
    struct Output {
        String Text;
        TRect Rect;
    };
    Output& Out(int Index, TColumnIndex Column) { return Drawn[{Index, Column}]; }
    TForm form{nullptr};
    TLazyStringTree* tree;
    std::map<std::pair<int, TColumnIndex>, String> Texts, StaticTexts;
    std::map<std::pair<int, TColumnIndex>, Output> Drawn;
    std::set<int> OwnerDraws;
    TBitmap picture;
};

bool Ink(TColor C) { return GetRValue(C) < 128 && GetGValue(C) < 128 && GetBValue(C) < 128; }
bool Red(TColor C) { return GetRValue(C) > 150 && GetGValue(C) < 100 && GetBValue(C) < 100; }

// A top-level row's text area in a tree with the root shown: margin 4 and one indent of 18, then
// the text margin of 4.
constexpr int ContentLeft = 22, TextLeft = ContentLeft + 4;

}  // namespace

TEST(LazyTreesString, ATextTooWideForItsColumnIsShortenedWithAnEllipsisByTheAlignment) {
    TextTree f(2);  // two columns of 100; the text has 100 - 4 - 4 - 22 = 70 pixels in the main one
    const String Long = S("Meter with a rather long name");
    f.Texts[{0, 0}] = Long;
    f.Texts[{0, 1}] = S("ok");
    TLazyTreeColumn* Main = f.tree->Header().Columns()[0];
    ASSERT_GT(f.Measure(Long), 70);
    f.Render();
    const TextTree::Output Got = f.Out(0, 0);
    EXPECT_EQ(Got.Rect, (TRect{TextLeft, 0, 96, 18}));
    EXPECT_EQ(Got.Text, ShortenToWidth(f.tree->Canvas(), Long, 70, f.tree->EllipsisWidth()));
    EXPECT_EQ(Got.Text.substr(Got.Text.size() - 3), S("..."));
    EXPECT_LE(f.Measure(Got.Text), 70);
    EXPECT_EQ(f.Out(0, 1).Text, S("ok"));  // fits: as it is

    // The owner's shortening wins when it says it is done; a shortened text is drawn from the left
    // even when centred, and against the right edge when right-justified.
    int Asked = 0;
    f.tree->OnShortenString = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex Column, const String& S,
                                  int Space, String& Result, bool& Done) {
        ++Asked;
        EXPECT_EQ(Column, 0);
        EXPECT_EQ(S, Long);
        EXPECT_EQ(Space, 70);
        Result = u"Cut";
        Done = true;
    };
    const int Cut = f.Measure(S("Cut"));
    struct Case {
        TAlignment Alignment;
        int First, Last;  // where the ink of "Cut" may start and end
    } Cases[] = {
        {taLeftJustify, TextLeft, TextLeft + Cut},
        {taCenter, TextLeft, TextLeft + Cut},
        {taRightJustify, 96 - Cut - 1, 96},
    };
    for (const Case& c : Cases) {
        Main->SetAlignment(c.Alignment);
        f.Render();
        EXPECT_EQ(f.Out(0, 0).Text, S("Cut"));
        const auto Ink0 = f.Span(TRect{ContentLeft, 0, 100, 18}, Ink);
        EXPECT_GE(Ink0.first, c.First) << c.Alignment;
        EXPECT_LE(Ink0.second, c.Last) << c.Alignment;
    }
    EXPECT_EQ(Asked, 3);
    // Done left false: the tree's own rule.
    f.tree->OnShortenString = [](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, const String&, int, String&,
                                 bool&) {};
    f.Render();
    EXPECT_EQ(f.Out(0, 0).Text, Got.Text);

    // A handler's bigger font makes a text that fits in the tree's font too wide.
    Main->SetAlignment(taLeftJustify);
    f.Texts[{1, 0}] = S("Meter 17");
    ASSERT_LT(f.Measure(S("Meter 17")), 70);
    f.tree->OnPaintText = [](TBaseLazyTree*, TCanvas* Canvas, PLazyNode Node, TColumnIndex, TLSTTextType) {
        if (Node->Index == 1) Canvas->Font().SetSize(Canvas->Font().Size() * 3);
    };
    f.Render();
    const String Shown = f.Out(1, 0).Text;
    EXPECT_NE(Shown, S("Meter 17"));
    EXPECT_EQ(Shown.substr(Shown.size() - 3), S("..."));
}

TEST(LazyTreesString, WithoutColumnsNoTextIsShortened) {
    TextTree f;
    const String Long = S("A meter whose name is far wider than the tree's window itself, and wider still");
    f.Texts[{0, -1}] = Long;
    ASSERT_GT(f.Measure(Long), 300);
    bool Asked = false;
    f.tree->OnShortenString = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, const String&, int, String&,
                                  bool&) { Asked = true; };
    f.Render();
    EXPECT_EQ(f.Out(0, -1).Text, Long);
    EXPECT_FALSE(Asked);
}

TEST(LazyTreesString, TheOwnerDrawsATextItselfWhenItClearsDefaultDraw) {
    TextTree f;
    f.Texts[{0, -1}] = S("Bus 1");
    f.Texts[{1, -1}] = S("Bus 2");
    f.OwnerDraws = {1};
    f.Render();
    EXPECT_EQ(f.Out(1, -1).Text, S("Bus 2"));
    EXPECT_EQ(f.Out(1, -1).Rect.Top, 18);
    EXPECT_NE(f.Span(TRect{ContentLeft, 0, 300, 18}, Ink).first, -1);
    EXPECT_EQ(f.Span(TRect{ContentLeft, 18, 300, 36}, Ink).first, -1) << "the tree drew nothing";
}

TEST(LazyTreesString, AMultilineNodeIsWrappedInTheHeightItsTextNeeds) {
    TextTree f(1, 100);
    const String Text = S("one two three four five six seven");
    f.Texts[{0, 0}] = Text;
    f.Texts[{1, 0}] = Text;
    f.StaticTexts[{0, 0}] = S("(static)");
    f.tree->SetStringOptions(f.tree->StringOptions() + TLTStringOptions{toShowStaticText});
    f.tree->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode Node, TLazyNodeInitStates& States) {
        if (Node->Index == 0) States.Include(ivsMultiline);
    };
    f.tree->OnMeasureItem = [&](TBaseLazyTree*, TCanvas* Canvas, PLazyNode Node, int& Height) {
        Canvas->Font().Assign(&f.tree->Font());
        Height = f.tree->ComputeNodeHeight(*Canvas, Node, 0) + 4;
    };
    bool Shortened = false;
    f.tree->OnShortenString = [&](TBaseLazyTree*, TCanvas*, PLazyNode Node, TColumnIndex, const String&, int,
                                  String&, bool&) { Shortened |= Node->Index == 0; };
    // Switching variable heights on initialises the nodes again.
    f.tree->TreeOptions().SetMiscOptions(f.tree->TreeOptions().MiscOptions() + TLTMiscOptions{toVariableNodeHeight});
    PLazyNode Wrapped = f.Node(0), Single = f.Node(1);
    ASSERT_TRUE(f.tree->GetMultiline(Wrapped));
    const int Line = f.tree->TextHeight();
    ASSERT_GT(Line, 0);
    // The text has 100 - 4 - 4 - 4 - 18 = 70 pixels: it takes several lines; one line without the flag.
    const int Lines = (f.tree->GetNodeHeight(Wrapped) - 4) / Line;
    EXPECT_GE(Lines, 3);
    EXPECT_EQ(f.tree->GetNodeHeight(Single), Cardinal(Line + 4));
    // A multiline node fills its column; without a column the client width is the line's width.
    EXPECT_EQ(f.tree->QueryCellTextWidth(Wrapped, 0), 100);
    EXPECT_EQ(f.tree->ComputeNodeHeight(f.tree->Canvas(), Wrapped, NoColumn), Line);
    f.Render();
    EXPECT_FALSE(Shortened);
    // Ink on every line of the wrapped row, all of it inside the cell; no static text.
    const int Height = int(f.tree->GetNodeHeight(Wrapped));
    const int Top = (Height - Lines * Line) / 2;
    for (int L = 0; L < Lines; ++L)
        EXPECT_NE(f.Span(TRect{ContentLeft, Top + L * Line, 100, Top + (L + 1) * Line}, Ink).first, -1) << L;
    EXPECT_EQ(f.Span(TRect{100, 0, 300, Height}, Ink).first, -1);
    EXPECT_EQ(f.tree->QueryExtraCellWidth(Wrapped, 0), 0);
}

TEST(LazyTreesString, TheStaticTextStandsBesideTheCaptionAndCountsInTheContentWidth) {
    TextTree f;
    f.Texts[{0, -1}] = S("Bus");
    f.StaticTexts[{0, -1}] = S("(3 meters)");
    f.tree->OnPaintText = [](TBaseLazyTree*, TCanvas* Canvas, PLazyNode, TColumnIndex, TLSTTextType Type) {
        if (Type == ttStatic) Canvas->Font().SetColor(clRed);
    };
    PLazyNode Bus = f.Node(0);
    const int Caption = f.Measure(S("Bus")), Static = f.Measure(S("(3 meters)"));
    EXPECT_EQ(f.tree->QueryExtraCellWidth(Bus, NoColumn), 0) << "not without toShowStaticText";
    f.Render();
    EXPECT_EQ(f.Span(TRect{0, 0, 300, 18}, Red).first, -1);

    f.tree->SetStringOptions(f.tree->StringOptions() + TLTStringOptions{toShowStaticText});
    EXPECT_EQ(f.tree->QueryExtraCellWidth(Bus, NoColumn), Static + 4);
    f.Render();
    const auto Text = f.Span(TRect{0, 0, 300, 18}, Ink), Extra = f.Span(TRect{0, 0, 300, 18}, Red);
    ASSERT_NE(Text.first, -1);
    ASSERT_NE(Extra.first, -1);
    // After the caption's width and both its margins, and one margin more.
    EXPECT_GE(Extra.first, ContentLeft + Caption + 3 * 4);
    EXPECT_LE(Extra.first, ContentLeft + Caption + 3 * 4 + 2);
    EXPECT_LT(Text.second, Extra.first);

    // Right-justified, the caption stands at the right edge and the static text before it.
    f.tree->SetAlignment(taRightJustify);
    f.Render();
    const auto RightText = f.Span(TRect{0, 0, 300, 18}, Ink), RightExtra = f.Span(TRect{0, 0, 300, 18}, Red);
    EXPECT_GE(RightText.first, 300 - 4 - Caption - 1);
    EXPECT_LE(RightText.second, 300 - 4);
    ASSERT_NE(RightExtra.first, -1);
    EXPECT_LT(RightExtra.second, RightText.first);
    EXPECT_LE(RightExtra.first, ContentLeft + 2);

    // Centred: neither painted nor measured.
    f.tree->SetAlignment(taCenter);
    EXPECT_EQ(f.tree->QueryExtraCellWidth(Bus, NoColumn), 0);
    f.Render();
    EXPECT_EQ(f.Span(TRect{0, 0, 300, 18}, Red).first, -1);
}

TEST(LazyTreesString, MeasuringEventsReplaceTheTextsExtent) {
    TextTree f;
    f.Texts[{0, -1}] = S("Bus");
    PLazyNode Bus = f.Node(0);
    const int Natural = f.tree->QueryCellTextWidth(Bus, NoColumn);
    EXPECT_EQ(Natural, f.Measure(S("Bus")) + 8);
    int HeightAsked = 0;
    f.tree->OnMeasureTextWidth = [](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, const String& Text,
                                    int& Extent) {
        if (Text == S("Bus")) Extent = 50;
    };
    f.tree->OnMeasureTextHeight = [&](TBaseLazyTree*, TCanvas*, PLazyNode, TColumnIndex, const String&,
                                      int& Extent) { HeightAsked = Extent; };
    EXPECT_EQ(f.tree->QueryCellTextWidth(Bus, NoColumn), Natural) << "kept until the node changes";
    f.tree->InvalidateNode(Bus);
    EXPECT_EQ(f.tree->QueryCellTextWidth(Bus, NoColumn), 50 + 8);
    EXPECT_EQ(HeightAsked, f.tree->TextHeight());
    const TRect R = f.tree->GetDisplayRect(Bus, true);
    EXPECT_EQ(R.Right - R.Left, 58);
}

TEST(LazyTreesString, AnOpaqueTextFlagFillsTheGroundBehindTheText) {
    TextTree f;
    f.Texts[{0, -1}] = S("Bus 1");
    f.Texts[{1, -1}] = S("Bus 2");
    f.tree->OnPaintText = [](TBaseLazyTree*, TCanvas* Canvas, PLazyNode Node, TColumnIndex, TLSTTextType) {
        Canvas->Brush().SetColor(clYellow);
        if (Node->Index == 0) Canvas->SetTextFlags(ETO_OPAQUE);
    };
    f.Render();
    auto Yellow = [](TColor C) { return C == ColorToRGB(clYellow); };
    const auto Filled = f.Span(TRect{0, 0, 300, 18}, Yellow);
    EXPECT_NE(Filled.first, -1);
    EXPECT_GE(Filled.first, TextLeft);
    EXPECT_EQ(f.Span(TRect{0, 18, 300, 36}, Yellow).first, -1) << "transparent without the flag";
}

TEST(LazyTreesString, TheDropTargetShowsItsTextInTheSelectionTextColour) {
    TextTree f;
    f.Texts[{0, -1}] = S("Bus 1");
    f.Texts[{1, -1}] = S("Bus 2");
    f.tree->OnDragOver = [](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Cardinal&,
                            bool& Accept) { Accept = true; };
    auto Data = f.tree->CreateDataObject(false);
    auto Target = f.tree->DragManager();
    Cardinal Effect = DROPEFFECT_COPY;
    const TPoint OnSecond = f.tree->ClientToScreen(TPoint{40, 18 + 9});
    Target->DragEnter(Data, MK_LBUTTON, OnSecond, Effect);
    Effect = DROPEFFECT_COPY;
    Target->DragOver(MK_LBUTTON, OnSecond, Effect);
    ASSERT_EQ(f.tree->DropTargetNode(), f.Node(1));
    ASSERT_EQ(f.tree->LastDropMode(), dmOnNode);
    ASSERT_FALSE(f.tree->GetSelected(f.Node(1)));
    // A colour that neither the ground nor the plain text has.
    f.tree->Colors().SetColor(TLTColors::SelectionTextColor, clLime);
    f.Render();
    const TColor Selection = ColorToRGB(clLime);
    auto InSelectionColour = [&](TColor C) { return C == Selection; };
    EXPECT_NE(f.Span(TRect{TextLeft, 18, 100, 36}, InSelectionColour).first, -1);
    EXPECT_EQ(f.Span(TRect{TextLeft, 0, 100, 18}, InSelectionColour).first, -1);
    EXPECT_NE(f.Span(TRect{TextLeft, 0, 100, 18}, Ink).first, -1);
    Target->DragLeave();
}

TEST(LazyTreesString, ACSVFileWithHeadingStartsWithTheColumnCaptions) {
    TextTree f(2);
    f.tree->Header().Columns()[0]->SetText(S("Meter"));
    f.tree->Header().Columns()[1]->SetText(S("Say \"hi\""));
    f.Texts[{0, 0}] = S("M1");
    f.Texts[{0, 1}] = S("");
    f.Texts[{1, 0}] = S("M2");
    f.Texts[{1, 1}] = S("a,b");
    f.Texts[{2, 0}] = S("M3");
    f.Texts[{2, 1}] = S("x");
    TempDir Dir;
    const String File = Utf8ToString(Dir.file("tree.csv"));
    ASSERT_TRUE(f.tree->SaveToCSVFile(File, true));
    EXPECT_EQ(ReadFileBytes(File),
              "\"Meter\",\"Say \"\"hi\"\"\"\r\n\"M1\",\" \"\r\n\"M2\",\"a,b\"\r\n\"M3\",\"x\"\r\n");
    ASSERT_TRUE(f.tree->SaveToCSVFile(File, false));
    EXPECT_EQ(ReadFileBytes(File), "\"M1\",\" \"\r\n\"M2\",\"a,b\"\r\n\"M3\",\"x\"\r\n");
}
