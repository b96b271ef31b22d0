// The header stream: the bytes of a header without columns, a round trip
// of a column layout, every older version, and damaged streams.

#include "tree/LazyTrees.h"

#include "framework/Forms.h"
#include "framework/Themes.h"

#include <gtest/gtest.h>

namespace {

// Little-endian bytes written by hand, as another program would.
struct Bytes {
    std::string Data;
    Bytes& I32(int V) {
        for (int I = 0; I < 4; ++I) Data.push_back(char((Cardinal(V) >> (8 * I)) & 0xFF));
        return *this;
    }
    Bytes& Wide(std::u16string_view Text) {
        I32(int(Text.size()));
        for (char16_t U : Text) Data.push_back(char(U & 0xFF)), Data.push_back(char(U >> 8));
        return *this;
    }
    Bytes& Utf8(std::string_view Text) {
        I32(int(Text.size()));
        Data += Text;
        return *this;
    }
    // One column record of a version: Text "A", no hint, width 70 (limits 0..500).
    Bytes& Column(int Version, Cardinal Options, bool CaptionAlignment = false) {
        Wide(u"A").Wide(u"").I32(70).I32(0).I32(500).I32(0).I32(-1).I32(0).I32(4).I32(3).I32(0).I32(int(Options));
        if (Version >= 1) I32(42).I32(taCenter);
        if (Version >= 2) I32(clRed);
        if (CaptionAlignment) I32(taRightJustify);
        return *this;
    }
    // The header fields that follow the columns block, up to the font.
    Bytes& HeaderFields() {
        I32(0).I32(clYellow).I32(24).I32(0x20A).I32(hsFlatButtons);
        return I32(clBlue).I32(-13).Utf8("Arial").I32(fpDefault).I32(1);
    }
};

struct StreamTree {
    StreamTree() {
        SetThemeRenderer(trClassic);
        form.SetBounds(50, 50, 400, 300);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 300, 200);
        form.Show();
    }
    ~StreamTree() { SetThemeRenderer(trStyled); }
    TLTHeader& H() { return tree->Header(); }
    TLazyTreeColumn& Col(int I) { return *H().Columns()[I]; }
    void Load(const std::string& Data) {
        TMemoryStream Stream;
        Stream.WriteBytes(Data);
        Stream.SetPosition(0);
        H().LoadFromStream(Stream);
    }
    std::string Save() {
        TMemoryStream Stream;
        H().SaveToStream(Stream);
        return std::string(Stream.Bytes());
    }
    TForm form{nullptr};
    TLazyStringTree* tree;
};

}  // namespace

TEST(LazyTreesHeaderStream, HeaderWithoutColumnsByteForByteAndBack) {
    StreamTree f;
    const std::string Expected = Bytes{}
                                     .I32(-1)
                                     .I32(6)
                                     .I32(0)    // no columns, so no position array
                                     .I32(50)   // default width
                                     .I32(0)    // auto-size column
                                     .I32(clBtnFace)
                                     .I32(19)
                                     .I32(0x20A)  // column resize, dragging, sort glyphs
                                     .I32(hsThickButtons)
                                     .I32(clWindowText)
                                     .I32(-11)
                                     .Utf8("Tahoma")
                                     .I32(fpDefault)
                                     .I32(0)
                                     .I32(-1)
                                     .I32(-1)
                                     .I32(sdAscending)
                                     .I32(0)
                                     .I32(10000)
                                     .I32(10)
                                     .I32(19)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .I32(0)
                                     .Data;
    EXPECT_EQ(f.Save(), Expected);

    StreamTree g;
    g.H().Columns().Add();
    g.H().SetBackground(clRed);
    g.H().SetHeight(30);
    g.H().Font().SetName(S("Arial"));
    g.H().SetMaxHeight(60);
    g.Load(Expected);
    EXPECT_EQ(g.H().ColumnCount(), 0);
    EXPECT_EQ(g.H().Background(), clBtnFace);
    EXPECT_EQ(g.H().Height(), 19);
    EXPECT_EQ(g.H().MaxHeight(), 10000);
    EXPECT_EQ(g.H().Font().Name(), S("Tahoma"));
    EXPECT_EQ(g.Save(), Expected);
}

TEST(LazyTreesHeaderStream, ColumnLayoutComesBackAsSaved) {
    StreamTree f;
    TLazyTreeColumns& C = f.H().Columns();
    for (int I = 0; I < 3; ++I) C.Add()->SetText(S("Col") + String(1, char16_t(u'0' + I)));
    f.Col(0).SetMinWidth(0);
    f.Col(0).SetWidth(5);  // below a new column's minimum of 10
    f.Col(1).SetHint(S("second"));
    f.Col(1).SetWidth(120);
    f.Col(1).SetColor(clAqua);
    f.Col(1).SetOptions(f.Col(1).Options() + TLTColumnOptions{coUseCaptionAlignment, coFixed});
    f.Col(1).SetCaptionAlignment(taCenter);
    f.Col(2).SetLayout(TLazyTreeColumn::blGlyphBottom);
    f.Col(2).SetTag(77);
    f.Col(2).SetAlignment(taRightJustify);
    f.Col(2).SetPosition(0);
    f.H().SetMainColumn(2);
    f.H().SetSortColumn(1);
    f.H().SetSortDirection(sdDescending);
    f.H().Font().SetStyle({fsBold, fsItalic});
    f.H().FixedAreaConstraints().SetMaxWidthPercent(40);
    const std::string Saved = f.Save();

    StreamTree g;
    g.Load(Saved);
    ASSERT_EQ(g.H().ColumnCount(), 3);
    EXPECT_EQ(g.Col(0).Width(), 5);
    EXPECT_EQ(g.Col(0).MinWidth(), 0);
    EXPECT_EQ(g.Col(1).Hint(), S("second"));
    EXPECT_EQ(g.Col(1).Color(), clAqua);
    EXPECT_EQ(g.Col(1).CaptionAlignment(), taCenter);
    EXPECT_EQ(g.Col(1).Options(), f.Col(1).Options());
    EXPECT_TRUE(g.Col(0).Options().Contains(coParentColor));  // still follows the tree's colour
    EXPECT_EQ(g.Col(2).Layout(), TLazyTreeColumn::blGlyphBottom);
    EXPECT_EQ(g.Col(2).Tag(), 77);
    EXPECT_EQ(g.Col(2).Alignment(), taRightJustify);
    EXPECT_EQ(g.H().Columns().PositionToIndex(), (std::vector<TColumnIndex>{2, 0, 1}));
    EXPECT_EQ(g.Col(0).Left(), 0 + g.Col(2).Width());
    EXPECT_EQ(g.H().GetMainColumn(), 2);
    EXPECT_EQ(g.H().SortColumn, 1);
    EXPECT_EQ(g.H().SortDirection, sdDescending);
    EXPECT_EQ(g.H().Font().Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(g.H().FixedAreaConstraints().MaxWidthPercent(), 40);
    EXPECT_EQ(g.Save(), Saved);

    // The caption alignment travels only with its option.
    f.Col(1).SetOptions(f.Col(1).Options() - TLTColumnOptions{coUseCaptionAlignment});
    EXPECT_EQ(f.Save().size() + 4, Saved.size());
}

TEST(LazyTreesHeaderStream, OlderVersionsReadWhatTheyHold) {
    struct Case {
        int Version;
        Cardinal Options;  // as written
        Cardinal Expected;
        bool CaptionAlignmentWritten;
    };
    const Case Cases[] = {
        {-1, 0x7F, 0xEF, false},       // no parent colour bit yet: the later ones sat one place lower
        {1, 0x7F, 0xEF, false},
        {2, 0x1FF, 0xFF, false},       // one byte of options
        {3, 0x1FF, 0x1FF, false},
        {5, 0x40EF, 0x40EF, true},     // a caption alignment in the options is not read before version 6
        {6, 0x40EF, 0x40EF, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Version);
        Bytes B;
        if (C.Version >= 0) B.I32(-1).I32(C.Version);
        B.I32(1).Column(C.Version, C.Options, C.CaptionAlignmentWritten && C.Version >= 6).I32(0);
        if (C.Version >= 5) B.I32(66);  // older writers had no default width
        B.HeaderFields();
        if (C.Version >= 1) B.I32(0).I32(0).I32(sdDescending);
        if (C.Version >= 5) B.I32(0).I32(80).I32(12).I32(20).I32(0).I32(0).I32(0).I32(0);
        StreamTree f;
        ASSERT_NO_THROW(f.Load(B.Data));
        ASSERT_EQ(f.H().ColumnCount(), 1);
        EXPECT_EQ(f.Col(0).Options().Bits(), C.Expected);
        EXPECT_EQ(f.Col(0).Width(), 70);
        EXPECT_EQ(f.Col(0).Tag(), C.Version >= 1 ? 42 : 0);
        EXPECT_EQ(f.Col(0).Alignment(), C.Version >= 1 ? taCenter : taLeftJustify);
        const bool FollowsTree = C.Version < 2 || (C.Expected & (1u << coParentColor));
        EXPECT_EQ(f.Col(0).Color(), FollowsTree ? f.tree->Color() : clRed);
        EXPECT_EQ(f.Col(0).CaptionAlignment(), C.Version >= 6 ? taRightJustify : taLeftJustify);
        EXPECT_EQ(f.H().Columns().DefaultWidth(), C.Version >= 5 ? 66 : 50);
        // The header fields are found where they are whatever came before.
        EXPECT_EQ(f.H().Background(), clYellow);
        EXPECT_EQ(f.H().Height(), 24);
        EXPECT_EQ(f.H().Style(), hsFlatButtons);
        EXPECT_EQ(f.H().Font().Name(), S("Arial"));
        EXPECT_EQ(f.H().Font().Style(), TFontStyles{fsBold});
        EXPECT_EQ(f.H().SortDirection, C.Version >= 1 ? sdDescending : sdAscending);
        EXPECT_EQ(f.H().MaxHeight(), C.Version >= 5 ? 80 : 10000);
    }
}

TEST(LazyTreesHeaderStream, DamagedStreamsKeepTheHeaderSound) {
    // A position array that is not a permutation becomes the plain order.
    {
        StreamTree f;
        Bytes B;
        B.I32(-1).I32(6).I32(2).Column(6, 0xFF).Column(6, 0xFF).I32(1).I32(7).I32(50).HeaderFields();
        B.I32(0).I32(-1).I32(0).I32(0).I32(10000).I32(10).I32(19).I32(0).I32(0).I32(0).I32(0);
        f.Load(B.Data);
        ASSERT_EQ(f.H().ColumnCount(), 2);
        EXPECT_EQ(f.H().Columns().PositionToIndex(), (std::vector<TColumnIndex>{0, 1}));
        EXPECT_EQ(f.Col(1).Left(), 70);
    }
    const THeaderOptions Own{hoVisible, hoColumnResize, hoDrag};
    const struct {
        const char* What;
        std::string Data;
        bool BeforeOptions;
    } Cases[] = {
        {"more columns than bytes", Bytes{}.I32(-1).I32(6).I32(100000).Column(6, 0xFF).Data, true},
        {"a text longer than the stream", Bytes{}.I32(-1).I32(6).I32(1).I32(0x7FFFFFFF).Data, true},
        {"cut before the options", Bytes{}.I32(-1).I32(6).I32(0).I32(50).I32(0).I32(clRed).Data, true},
        // marker, version, empty columns block and the seven fields before the font name
        {"a font name longer than the stream",
         Bytes{}.I32(-1).I32(6).I32(0).I32(50).HeaderFields().Data.substr(0, 44) + Bytes{}.I32(1000).Data, false},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        StreamTree f;
        f.H().SetOptions(Own);
        f.H().Columns().Add();
        EXPECT_THROW(f.Load(C.Data), EReadError);
        EXPECT_EQ(f.H().ColumnCount(), 0);
        EXPECT_FALSE(f.H().States.Contains(hsLoading));
        const THeaderOptions Read{hoColumnResize, hoDrag, hoShowSortGlyphs};
        EXPECT_EQ(f.H().Options, C.BeforeOptions ? Own : Read);
    }
}

TEST(LazyTreesHeaderStream, ValuesNoWriterWritesAreStreamErrors) {
    // A version-6 stream of one column, every enumeration at its last value;
    // each case puts one field out of its range.
    struct Fields {
        int ColumnStyle = 1, Layout = 3, Margin = 4, Spacing = 3, BiDi = 3, Alignment = taCenter;
        int HeaderStyle = hsPlates, FontHeight = -13, Pitch = fpFixed, SortDirection = sdDescending;
    };
    auto Stream = [](const Fields& F) {
        Bytes B;
        B.I32(-1).I32(6).I32(1);
        B.Wide(u"A").Wide(u"").I32(70).I32(0).I32(500).I32(F.ColumnStyle).I32(-1).I32(F.Layout).I32(F.Margin);
        B.I32(F.Spacing).I32(F.BiDi).I32(0xFF).I32(0).I32(F.Alignment).I32(clRed);
        B.I32(0).I32(50);  // the position array, the default width
        B.I32(0).I32(clYellow).I32(24).I32(0x20A).I32(F.HeaderStyle);
        B.I32(clBlue).I32(F.FontHeight).Utf8("Arial").I32(F.Pitch).I32(1);
        B.I32(0).I32(0).I32(F.SortDirection);
        B.I32(0).I32(10000).I32(10).I32(19).I32(0).I32(0).I32(0).I32(0);
        return B.Data;
    };
    {
        StreamTree f;
        f.tree->TreeOptions().SetAutoOptions(f.tree->TreeOptions().AutoOptions() + TLTAutoOptions{toAutoChangeScale});
        f.Load(Stream({}));
        EXPECT_EQ(f.Col(0).Layout(), TLazyTreeColumn::blGlyphBottom);
        EXPECT_EQ(f.H().Style(), hsPlates);
        EXPECT_EQ(f.H().Font().Pitch(), fpFixed);
    }
    const struct {
        const char* What;
        void (*Spoil)(Fields&);
    } Cases[] = {
        {"column style", [](Fields& F) { F.ColumnStyle = 2; }},
        {"column layout", [](Fields& F) { F.Layout = 4; }},
        {"column bidi mode", [](Fields& F) { F.BiDi = 4; }},
        {"column alignment", [](Fields& F) { F.Alignment = 3; }},
        {"header style", [](Fields& F) { F.HeaderStyle = 3; }},
        {"font pitch", [](Fields& F) { F.Pitch = 0xFF; }},
        {"sort direction", [](Fields& F) { F.SortDirection = 2; }},
        {"column spacing near 2^31", [](Fields& F) { F.Spacing = 0x7FFFFFF0; }},
        {"column margin near 2^31", [](Fields& F) { F.Margin = 0x7FFFFFF0; }},
        {"font height of the smallest int", [](Fields& F) { F.FontHeight = int(0x80000000u); }},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        StreamTree f;
        f.tree->TreeOptions().SetAutoOptions(f.tree->TreeOptions().AutoOptions() + TLTAutoOptions{toAutoChangeScale});
        Fields F;
        C.Spoil(F);
        EXPECT_THROW(f.Load(Stream(F)), EReadError);
        EXPECT_FALSE(f.H().States.Contains(hsLoading));
        f.form.Repaint();  // what was read is painted without harm
    }
}

TEST(LazyTreesHeaderStream, ASortColumnReadSortsAnAutoSortingTree) {
    StreamTree Saved;
    for (int I = 0; I < 3; ++I) Saved.H().Columns().Add();
    Saved.H().SetSortColumn(2);
    StreamTree f;
    f.tree->SetRootNodeCount(3);
    f.tree->TreeOptions().SetAutoOptions(f.tree->TreeOptions().AutoOptions() + TLTAutoOptions{toAutoSort});
    std::vector<TColumnIndex> Compared;
    f.tree->OnCompareNodes = [&](TBaseLazyTree*, PLazyNode A, PLazyNode B, TColumnIndex Column, int& Result) {
        Compared.push_back(Column);
        Result = int(B->Index) - int(A->Index);
    };
    PLazyNode Last = f.tree->GetLastChild(nullptr);
    f.Load(Saved.Save());
    ASSERT_FALSE(Compared.empty());
    EXPECT_EQ(Compared.back(), 2);
    EXPECT_EQ(f.tree->GetFirst(), Last) << "reversed by the sort";
}
