#include "grid/ExgDD.h"

#include "framework/Encoding.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

// Names every call it gets, with what came.
class TRecordingTarget : public TEXGDropTarget {
public:
    std::vector<std::string> Calls;

protected:
    void DropText(TPoint, const String& T) override { Calls.push_back("text:" + StringToUtf8(T)); }
    void DropStream(TPoint, std::unique_ptr<TMemoryStream> S) override {
        Calls.push_back("stream:" + std::string(S->Bytes()));
    }
    void DropCol(TPoint, int C) override { Calls.push_back("col:" + std::to_string(C)); }
    void DropRTF(TPoint, const String& T) override { Calls.push_back("rtf:" + StringToUtf8(T)); }
    void DropFiles(TPoint, TStringList& L) override { Calls.push_back("files:" + std::to_string(L.Count())); }
    void DropURL(TPoint, const String& U) override { Calls.push_back("url:" + StringToUtf8(U)); }
};

std::vector<CLIPFORMAT> Listed(IEnumFORMATETC& E) {
    std::vector<CLIPFORMAT> v;
    FORMATETC f;
    Cardinal n = 0;
    while (E.Next(1, &f, &n) == S_OK) v.push_back(f.cfFormat);
    return v;
}

// Enters and drops the object with the keys, as the drag loop would.
Cardinal EnterAndDrop(TEXGDropTarget& T, const std::shared_ptr<IDataObject>& D, Cardinal Keys = 0,
                      Cardinal Allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE) {
    Cardinal e = Allowed;
    T.DragEnter(D, Keys, {0, 0}, e);
    Cardinal d = Allowed;
    T.Drop(D, Keys, {0, 0}, d);
    return d;
}

// An ANSI dropped-files block with the names, as older programs give it.
ByteString AnsiDropFiles(const std::vector<String>& Names) {
    ByteString b(20, '\0');
    b[0] = 20;  // where the names start
    for (const String& n : Names) {
        b += StringToWindows1252(n);
        b.push_back('\0');
    }
    b.push_back('\0');
    return b;
}

}  // namespace

TEST(ExgDD, FormatListOfDraggedContent) {
    const std::vector<CLIPFORMAT> base{CF_TEXT, CF_UNICODETEXT, CF_RTF()};
    struct Case {
        bool Col, Cells;
        std::vector<CLIPFORMAT> Formats;
    } cases[] = {
        {false, false, base},
        {true, false, {CF_TEXT, CF_UNICODETEXT, CF_RTF(), CF_GRIDCOL()}},
        {false, true, {CF_TEXT, CF_UNICODETEXT, CF_RTF(), CF_GRIDCELLS()}},
        {true, true, {CF_TEXT, CF_UNICODETEXT, CF_RTF(), CF_GRIDCOL(), CF_GRIDCELLS()}},
    };
    for (const Case& c : cases) {
        TSourceEnumFormatEtc e(c.Col, c.Cells);
        EXPECT_EQ(Listed(e), c.Formats);
    }

    // Several at once, skipping, and a clone that goes on where it was made.
    TSourceEnumFormatEtc e(true, true);
    FORMATETC f[8];
    Cardinal n = 0;
    EXPECT_EQ(e.Next(2, f, &n), S_OK);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(f[1].cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(f[1].lindex, -1);
    EXPECT_EQ(f[1].tymed, TYMED_HGLOBAL);
    std::shared_ptr<IEnumFORMATETC> clone;
    ASSERT_EQ(e.Clone(clone), S_OK);
    EXPECT_EQ(Listed(*clone), (std::vector<CLIPFORMAT>{CF_RTF(), CF_GRIDCOL(), CF_GRIDCELLS()}));
    EXPECT_EQ(e.Next(8, f, &n), S_FALSE);
    EXPECT_EQ(n, 3u);
    e.Reset();
    EXPECT_EQ(e.Skip(4), S_OK);
    EXPECT_EQ(e.Skip(4), S_FALSE);
    EXPECT_EQ(e.Next(1, f, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
}

TEST(ExgDD, DropEffectTable) {
    struct Case {
        TShiftState Shift;
        Cardinal Allowed, Effect;
    } cases[] = {
        {{ssCtrl}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {{}, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
        {{}, DROPEFFECT_COPY, DROPEFFECT_COPY},
        {{ssCtrl}, DROPEFFECT_MOVE, DROPEFFECT_COPY},
        {{ssShift}, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
    };
    for (const Case& c : cases) EXPECT_EQ(DropEffectFor(c.Shift, c.Allowed), c.Effect);
    EXPECT_EQ(DragKeyShift(MK_CONTROL | MK_LBUTTON), (TShiftState{ssCtrl, ssLeft}));
}

TEST(ExgDD, DataObjectBlocksAndWhatTheTargetCalls) {
    SetDropRTFEnabled(false);
    TMemoryStream cells;
    cells.WriteBytes("CELLS");
    auto text = std::make_shared<TSourceDataObject>(u"a\u00E9\u03A9", nullptr, -1, u"{\\rtf1 a}");
    auto column = std::make_shared<TSourceDataObject>(String(), nullptr, 7, String());
    auto stream = std::make_shared<TSourceDataObject>(u"t", &cells, -1, String());

    // The blocks as other programs read them.
    ByteString b;
    ASSERT_TRUE(GetFormatBytes(*text, CF_TEXT, b));
    EXPECT_EQ(b, std::string("a\xE9?\0", 4));
    ASSERT_TRUE(GetFormatBytes(*text, CF_UNICODETEXT, b));
    EXPECT_EQ(b.size(), 8u);
    EXPECT_FALSE(GetFormatBytes(*text, CF_RTF(), b));
    ASSERT_TRUE(GetFormatBytes(*column, CF_GRIDCOL(), b));
    EXPECT_EQ(b, std::string("\x07\0\0\0", 4));
    EXPECT_FALSE(GetFormatBytes(*column, CF_UNICODETEXT, b));
    ASSERT_TRUE(GetFormatBytes(*stream, CF_GRIDCELLS(), b));
    EXPECT_EQ(b, std::string("\x05\0\0\0\0\0\0\0CELLS", 13));
    FORMATETC f;
    f.cfFormat = CF_UNICODETEXT;
    f.tymed = TYMED_ISTREAM;
    EXPECT_EQ(text->QueryGetData(f), DV_E_FORMATETC);
    std::shared_ptr<IEnumFORMATETC> none;
    EXPECT_EQ(text->EnumFormatEtc(DATADIR_SET, none), E_NOTIMPL);

    // A column drag lists text, so a target taking text takes it, as a column.
    TRecordingTarget t;
    EXPECT_EQ(EnterAndDrop(t, column), DROPEFFECT_MOVE);
    EXPECT_TRUE(t.DropFormats().Contains(dfCol));
    EXPECT_TRUE(t.DropFormats().Contains(dfText));
    // Rich text only while enabled; Ctrl copies.
    EXPECT_EQ(EnterAndDrop(t, text, MK_CONTROL), DROPEFFECT_COPY);
    SetDropRTFEnabled(true);
    EnterAndDrop(t, text);
    SetDropRTFEnabled(false);
    EnterAndDrop(t, stream);
    EXPECT_EQ(t.Calls, (std::vector<std::string>{"col:7", "text:a\xC3\xA9\xCE\xA9", "rtf:{\\rtf1 a}", "stream:CELLS"}));

    // A target that takes no text refuses a text drag and drops nothing.
    TRecordingTarget picky;
    picky.AcceptText = false;
    EXPECT_EQ(EnterAndDrop(picky, text), DROPEFFECT_NONE);
    EXPECT_TRUE(picky.Calls.empty());
}

TEST(ExgDD, FileListsAndLinks) {
    for (bool wide : {true, false}) {
        auto data = std::make_shared<TDataObject>();
        const std::vector<String> names{u"/tmp/a.csv", u"/tmp/b c.xlsx"};
        data->SetBytes(CF_HDROP, wide ? MakeDropFiles(names) : AnsiDropFiles(names));
        TEnumFormats f(data);
        ASSERT_TRUE(f.Files());
        EXPECT_EQ(f.FileNames().Count(), 2);
        EXPECT_EQ(f.FileNames().Strings(1), u"/tmp/b c.xlsx");
        TRecordingTarget t;
        t.AcceptText = false;
        // Files are read, not taken: a move would have their source delete them.
        EXPECT_EQ(EnterAndDrop(t, data), DROPEFFECT_COPY);
        EXPECT_EQ(t.Calls, std::vector<std::string>{"files:2"});
    }
    auto link = std::make_shared<TDataObject>();
    link->SetText(u"http://example.org/x");
    link->SetBytes(CF_URL(), "x");
    TRecordingTarget t;
    EnterAndDrop(t, link);
    EXPECT_EQ(t.Calls, (std::vector<std::string>{"text:http://example.org/x", "url:http://example.org/x"}));
    TEnumFormats f(link);
    EXPECT_EQ(f.Col(), -1);
    EXPECT_EQ(f.Stream(), nullptr);
    EXPECT_EQ(f.RTF(), u"");
}

TEST(ExgDD, DropSourceAnswers) {
    struct TSource : TEXGDropSource {
        int Stops = 0, Queries = 0;
        Cardinal Last = 99;
        void DragDropStop() override { ++Stops; }
        void CurrentEffect(Cardinal E) override { Last = E; }
        void QueryDrag() override { ++Queries; }
    } s;
    EXPECT_EQ(s.QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(s.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(s.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(s.Stops, 2);
    EXPECT_EQ(s.Queries, 3);
    EXPECT_EQ(s.GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_TRUE(s.NoAccept());
    s.GiveFeedback(DROPEFFECT_COPY);
    EXPECT_FALSE(s.NoAccept());
    EXPECT_EQ(s.Last, DROPEFFECT_COPY);
}
