#include "framework/DataTransfer.h"

#include "framework/Clipboard.h"
#include "framework/Encoding.h"
#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "support/Place.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ByteString BytesOf(IDataObject& d, CLIPFORMAT f) {
    ByteString b;
    EXPECT_TRUE(GetFormatBytes(d, f, b)) << f;
    return b;
}

FORMATETC Fmt(CLIPFORMAT f, Cardinal tymed = TYMED_HGLOBAL) {
    FORMATETC e;
    e.cfFormat = f;
    e.tymed = tymed;
    return e;
}

// A data object that renders its formats only when they are read, and
// counts the readings.
class TLazyData : public TDataObject {
public:
    int Rendered = 0;
    HRESULT GetData(const FORMATETC& Format, STGMEDIUM& Medium) override {
        ++Rendered;
        return TDataObject::GetData(Format, Medium);
    }
};

struct MemoryClipboard {
    MemoryClipboard() { UseMemoryClipboard(true); }
    ~MemoryClipboard() { UseMemoryClipboard(false); }
};

}  // namespace

TEST(DataTransfer, RegisteredFormatsIgnoreCaseAndKeepTheirName) {
    const CLIPFORMAT cells = RegisterClipboardFormat(u"TExStringGrid Cells");
    EXPECT_GE(cells, 0xC000);
    EXPECT_EQ(RegisterClipboardFormat(u"texstringgrid CELLS"), cells);
    const CLIPFORMAT col = RegisterClipboardFormat(u"Grid Column");
    EXPECT_NE(col, cells);
    EXPECT_EQ(RegisterClipboardFormat(u""), 0);
    String name;
    EXPECT_EQ(GetClipboardFormatName(cells, name), 19);
    EXPECT_EQ(name, u"TExStringGrid Cells");
    EXPECT_EQ(GetClipboardFormatName(CF_UNICODETEXT, name), 0);
    EXPECT_EQ(GetClipboardFormatName(0xFFFF, name), 0);
    EXPECT_EQ(FormatOfMimeType(MimeTypesOfFormat(cells).at(0)), cells);
    EXPECT_EQ(MimeTypesOfFormat(RegisterClipboardFormat(u"html format")).back(), u"text/html");
    EXPECT_EQ(FormatOfMimeType(u"text/uri-list"), CF_HDROP);
    EXPECT_EQ(FormatOfMimeType(u"image/x-unknown"), 0);
}

TEST(DataTransfer, DataObjectsAnswerTheClassicCalls) {
    auto data = std::make_shared<TDataObject>();
    data->SetText(u"caf\u00E9");
    STGMEDIUM stream;
    stream.tymed = TYMED_ISTREAM;
    stream.pstm = std::make_shared<TStringStream>("streamed");
    const CLIPFORMAT custom = RegisterClipboardFormat(u"Grid Column");
    data->SetData(Fmt(custom, TYMED_ISTREAM), stream, true);
    EXPECT_EQ(stream.tymed, TYMED_NULL);  // released: the object holds it now

    EXPECT_EQ(data->QueryGetData(Fmt(CF_UNICODETEXT)), S_OK);
    EXPECT_EQ(data->QueryGetData(Fmt(CF_HDROP)), DV_E_FORMATETC);
    EXPECT_EQ(data->QueryGetData(Fmt(custom, TYMED_HGLOBAL)), DV_E_TYMED);
    FORMATETC thumbnail = Fmt(CF_TEXT);
    thumbnail.dwAspect = 2;
    EXPECT_EQ(data->QueryGetData(thumbnail), DV_E_DVASPECT);
    EXPECT_EQ(BytesOf(*data, CF_TEXT), ByteString("caf\xE9\0", 5));
    EXPECT_EQ(BytesOf(*data, custom), "streamed");
    String text;
    ASSERT_TRUE(GetTextData(*data, text));
    EXPECT_EQ(text, u"caf\u00E9");

    // The receiver's block is its own.
    STGMEDIUM m;
    ASSERT_EQ(data->GetData(Fmt(CF_TEXT), m), S_OK);
    static_cast<char*>(GlobalLock(m.hGlobal))[0] = 'X';
    GlobalUnlock(m.hGlobal);
    EXPECT_EQ(BytesOf(*data, CF_TEXT)[0], 'c');

    std::shared_ptr<IEnumFORMATETC> e;
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, e), E_NOTIMPL);
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, e), S_OK);
    FORMATETC got[4];
    Cardinal n = 0;
    EXPECT_EQ(e->Next(2, got, &n), S_OK);
    EXPECT_EQ(n, 2u);
    std::shared_ptr<IEnumFORMATETC> clone;
    e->Clone(clone);
    EXPECT_EQ(clone->Next(4, got, &n), S_FALSE);  // the clone goes on with the third
    ASSERT_EQ(n, 1u);
    EXPECT_EQ(got[0].cfFormat, custom);
    EXPECT_EQ(e->Skip(5), S_FALSE);
    EXPECT_EQ(e->Next(1, got, &n), S_FALSE);
    EXPECT_EQ(n, 0u);
    e->Reset();
    EXPECT_EQ(e->Next(1, got, &n), S_OK);
    EXPECT_EQ(got[0].cfFormat, CF_UNICODETEXT);

    // Advise: every change is told; once-only sinks hear it once.
    struct Sink : IAdviseSink {
        std::vector<std::pair<CLIPFORMAT, ByteString>> heard;
        void OnDataChange(const FORMATETC& f, const STGMEDIUM& m) override { heard.emplace_back(f.cfFormat, MediumBytes(m)); }
    };
    auto always = std::make_shared<Sink>(), once = std::make_shared<Sink>();
    Cardinal c1 = 0, c2 = 0;
    EXPECT_EQ(data->DAdvise(Fmt(CF_TEXT), 0, always, c1), S_OK);
    EXPECT_EQ(data->DAdvise(Fmt(CF_TEXT), ADVF_ONLYONCE | ADVF_NODATA, once, c2), S_OK);
    data->SetText(u"one");
    data->SetBytes(custom, "x");
    EXPECT_EQ(always->heard.size(), 3u);  // CF_UNICODETEXT and CF_TEXT, then the column
    EXPECT_EQ(always->heard[0].second, ByteString("caf\xE9\0", 5));  // before CF_TEXT changed
    EXPECT_EQ(always->heard[1].second, ByteString("one\0", 4));
    ASSERT_EQ(once->heard.size(), 1u);
    EXPECT_EQ(once->heard[0].second, "");
    EXPECT_EQ(data->DUnadvise(c2), OLE_E_NOCONNECTION);
    EXPECT_EQ(data->DUnadvise(c1), S_OK);
    std::vector<STATDATA> left;
    data->EnumDAdvise(left);
    EXPECT_TRUE(left.empty());
    EXPECT_EQ(GlobalAlloc(GHND, std::size_t(300) * 1024 * 1024), nullptr);
}

TEST(DataTransfer, DroppedFileListsHaveTheClassicLayout) {
    const ByteString block = MakeDropFiles({u"/tmp/a.csv", u"/tmp/\u00FC.txt"});
    const ByteString expected = ByteString("\x14\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\x01\0\0\0", 20) +
                                StringToUtf16LE(u"/tmp/a.csv") + ByteString(2, '\0') +
                                StringToUtf16LE(u"/tmp/\u00FC.txt") + ByteString(4, '\0');
    EXPECT_EQ(block, expected);
    EXPECT_EQ(DragQueryFiles(block), (std::vector<String>{u"/tmp/a.csv", u"/tmp/\u00FC.txt"}));
    const ByteString ansi = ByteString("\x15\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "\0\0\0\0" "a.txt\0b\xE9.txt\0\0", 35);
    EXPECT_EQ(DragQueryFiles(ansi), (std::vector<String>{u"a.txt", u"b\u00E9.txt"}));  // odd offset: rounded down
    // A block cut short gives the names that are whole, and reads nothing beyond.
    EXPECT_EQ(DragQueryFiles(block.substr(0, 20 + 22 + 6)), (std::vector<String>{u"/tmp/a.csv"}));
    EXPECT_TRUE(DragQueryFiles("short").empty());
}

namespace {

// Four formats of different kinds: Unicode text, HTML, RTF and a binary one.
std::shared_ptr<TLazyData> FourFormats() {
    auto d = std::make_shared<TLazyData>();
    d->SetBytes(CF_UNICODETEXT, StringToUtf16LE(u"a\tb\r\n\u00E4") + ByteString(2, '\0'));
    d->SetBytes(RegisterClipboardFormat(u"HTML Format"),
                "Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000130\r\nStartFragment:0000000105\r\n"
                "EndFragment:0000000130\r\n<table><tr><td>a</td></tr>" + ByteString(1, '\0'));
    d->SetBytes(RegisterClipboardFormat(u"Rich Text Format"), ByteString("{\\rtf1 a}") + ByteString(1, '\0'));
    d->SetBytes(RegisterClipboardFormat(u"TExStringGrid Cells"), ByteString("\x03\0\0\0\0\0\0\0TPF", 11));
    d->Rendered = 0;
    return d;
}

}  // namespace

TEST(DataTransfer, FourFormatsThroughTheMemoryClipboard) {
    MemoryClipboard memory;
    std::shared_ptr<TLazyData> source = FourFormats();
    ASSERT_EQ(OleSetClipboard(source), S_OK);
    EXPECT_EQ(source->Rendered, 0);  // nothing rendered before it is read
    EXPECT_EQ(OleIsCurrentClipboard(source), S_OK);
    std::shared_ptr<IDataObject> got;
    ASSERT_EQ(OleGetClipboard(got), S_OK);
    EXPECT_EQ(Clipboard().AsText(), u"a\tb\r\n\u00E4");
    EXPECT_EQ(source->Rendered, 1);

    ASSERT_EQ(OleFlushClipboard(), S_OK);
    EXPECT_EQ(OleIsCurrentClipboard(source), S_FALSE);
    std::weak_ptr<TLazyData> gone = source;
    std::shared_ptr<TLazyData> reference = FourFormats();
    source.reset();
    got.reset();
    EXPECT_TRUE(gone.expired());  // the clipboard let go of it
    ASSERT_EQ(OleGetClipboard(got), S_OK);
    for (CLIPFORMAT f : {CF_UNICODETEXT, RegisterClipboardFormat(u"HTML Format"), RegisterClipboardFormat(u"Rich Text Format"),
                         RegisterClipboardFormat(u"TExStringGrid Cells")})
        EXPECT_EQ(BytesOf(*got, f), BytesOf(*reference, f)) << f;

    Clipboard().SetAsText(u"plain");
    EXPECT_TRUE(Clipboard().HasText());
    OleSetClipboard(nullptr);
    EXPECT_FALSE(Clipboard().HasText());
}

TEST(DataTransfer, FourFormatsAndAFileListThroughTheDesktopClipboard) {
    std::shared_ptr<TLazyData> source = FourFormats();
    const CLIPFORMAT html = RegisterClipboardFormat(u"HTML Format");
    source->SetBytes(CF_HDROP, MakeDropFiles({u"/tmp/one file.txt", u"/tmp/\u00E9t\u00E9"}));
    ASSERT_EQ(OleSetClipboard(source), S_OK);
    std::shared_ptr<IDataObject> got;
    OleGetClipboard(got);
    EXPECT_EQ(got, source);  // ours while it is current
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    source.reset();
    // Now read as another program's content: through the MIME types.
    ASSERT_EQ(OleGetClipboard(got), S_OK);
    std::shared_ptr<TLazyData> reference = FourFormats();
    for (CLIPFORMAT f : {CF_UNICODETEXT, RegisterClipboardFormat(u"Rich Text Format"), RegisterClipboardFormat(u"TExStringGrid Cells")})
        EXPECT_EQ(BytesOf(*got, f), BytesOf(*reference, f)) << f;
    const ByteString h = BytesOf(*got, html);
    EXPECT_NE(h.find("StartHTML:"), ByteString::npos);
    EXPECT_NE(h.find("<table><tr><td>a</td></tr>"), ByteString::npos);
    EXPECT_EQ(DragQueryFiles(BytesOf(*got, CF_HDROP)), (std::vector<String>{u"/tmp/one file.txt", u"/tmp/\u00E9t\u00E9"}));
    EXPECT_EQ(BytesOf(*got, CF_TEXT), ByteString("a\tb\r\n\xE4\0", 7));
    EXPECT_EQ(Clipboard().AsText(), u"a\tb\r\n\u00E4");
}

// ---- drag and drop ----

namespace {

struct Log {
    std::vector<std::string> lines;
    void Add(const std::string& s) { lines.push_back(s); }
};

class TRecordingTarget : public IDropTarget {
public:
    TRecordingTarget(Log& log, std::string name, Cardinal answer) : FLog(log), FName(std::move(name)), FAnswer(answer) {}
    String Dropped;
    HRESULT DragEnter(const std::shared_ptr<IDataObject>&, Cardinal keys, TPoint, Cardinal& effect) override {
        effect = Answer(keys, effect);
        FLog.Add(FName + " enter " + std::to_string(effect));
        return S_OK;
    }
    HRESULT DragOver(Cardinal keys, TPoint, Cardinal& effect) override {
        effect = Answer(keys, effect);
        FLog.Add(FName + " over " + std::to_string(effect));
        return S_OK;
    }
    HRESULT DragLeave() override {
        FLog.Add(FName + " leave");
        return S_OK;
    }
    HRESULT Drop(const std::shared_ptr<IDataObject>& data, Cardinal keys, TPoint, Cardinal& effect) override {
        GetTextData(*data, Dropped);
        effect = Answer(keys, effect);
        FLog.Add(FName + " drop " + std::to_string(effect));
        return S_OK;
    }

private:
    // Copy with Ctrl, else move when allowed.
    Cardinal Answer(Cardinal keys, Cardinal allowed) const {
        if (FAnswer != DROPEFFECT_MOVE) return FAnswer;
        return (keys & MK_CONTROL) || !(allowed & DROPEFFECT_MOVE) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    Log& FLog;
    std::string FName;
    Cardinal FAnswer;
};

class TRecordingSource : public IDropSource {
public:
    explicit TRecordingSource(Log& log) : FLog(log) {}
    HRESULT QueryContinueDrag(bool escape, Cardinal keys) override {
        const HRESULT r = escape ? DRAGDROP_S_CANCEL : !(keys & MK_LBUTTON) ? DRAGDROP_S_DROP : S_OK;
        FLog.Add(std::string("query ") + (r == DRAGDROP_S_CANCEL ? "cancel" : r == DRAGDROP_S_DROP ? "drop" : "go on"));
        return r;
    }
    HRESULT GiveFeedback(Cardinal effect) override {
        FLog.Add("feedback " + std::to_string(effect));
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    Log& FLog;
};

}  // namespace

TEST(DataTransfer, ADragBetweenTwoWindowsOfTheProgram) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* left = Place<TWinControl>(&form, 0, 0, 100, 200);
    auto* right = Place<TWinControl>(&form, 100, 0, 100, 200);
    auto* inner = Place<TWinControl>(right, 10, 10, 50, 50);  // not registered: its parent takes the drop
    auto* refuses = Place<TWinControl>(&form, 200, 0, 100, 200);
    Log log;
    auto target = std::make_shared<TRecordingTarget>(log, "right", DROPEFFECT_MOVE);
    ASSERT_EQ(RegisterDragDrop(right, target), S_OK);
    EXPECT_EQ(RegisterDragDrop(right, target), DRAGDROP_E_ALREADYREGISTERED);
    ASSERT_EQ(RegisterDragDrop(refuses, std::make_shared<TRecordingTarget>(log, "link", DROPEFFECT_LINK)), S_OK);

    auto data = std::make_shared<TDataObject>();
    data->SetText(u"dragged");
    auto source = std::make_shared<TRecordingSource>(log);
    SimulateDrag({{TDragInput::Move, left, {5, 5}},
                  {TDragInput::Move, inner, {5, 5}},
                  {TDragInput::Move, right, {50, 80}, TShiftState{ssCtrl}},
                  {TDragInput::Move, refuses, {5, 5}},
                  {TDragInput::Move, right, {20, 20}},
                  {TDragInput::Release, right, {20, 20}}});
    Cardinal effect = 99;
    EXPECT_EQ(DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(target->Dropped, u"dragged");
    const std::vector<std::string> expected = {
        "query go on", "feedback 0",                                  // over the left window: no target
        "query go on", "right enter 2", "feedback 2",                 // into the right one
        "query go on", "right over 1", "feedback 1",                  // Ctrl: copy
        "query go on", "right leave", "link enter 4", "feedback 0",  // a link is not allowed
        "query go on", "link leave", "right enter 2", "feedback 2",  //
        "query drop", "right drop 2",
    };
    EXPECT_EQ(log.lines, expected);

    // Escape cancels and the target hears that the drag left.
    log.lines.clear();
    SimulateDrag({{TDragInput::Move, right, {20, 20}}, {TDragInput::Escape, right, {20, 20}}});
    EXPECT_EQ(DoDragDrop(data, source, DROPEFFECT_COPY, effect), DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"query go on", "right enter 1", "feedback 1", "query cancel", "right leave"}));

    // Without a button down and without a script, the source drops at once.
    log.lines.clear();
    EXPECT_EQ(DoDragDrop(data, source, DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"query drop"}));

    // A window that goes takes its registration with it.
    EXPECT_EQ(RevokeDragDrop(refuses), S_OK);
    EXPECT_EQ(RevokeDragDrop(refuses), DRAGDROP_E_NOTREGISTERED);
    delete right;
    EXPECT_EQ(RevokeDragDrop(right), DRAGDROP_E_NOTREGISTERED);
}

TEST(DataTransfer, AScrollingTargetTellsTheSourceButTheDropEffectLeavesTheFlagOutAndThePictureFollows) {
    TForm form(nullptr);
    auto* list = Place<TWinControl>(&form, 0, 0, 100, 100);
    Log log;
    const Cardinal scrolling = DROPEFFECT_COPY | DROPEFFECT_SCROLL;
    ASSERT_EQ(RegisterDragDrop(list, std::make_shared<TRecordingTarget>(log, "list", scrolling)), S_OK);
    auto data = std::make_shared<TDataObject>();
    data->SetText(u"x");
    SimulateDrag({{TDragInput::Move, list, {1, 95}}, {TDragInput::Release, list, {1, 95}}});
    // The picture follows the pointer while the drag runs, and goes with it.
    struct Watcher : TRecordingSource {
        using TRecordingSource::TRecordingSource;
        std::vector<TRect> seen;
        HRESULT GiveFeedback(Cardinal effect) override {
            seen.push_back(DragPictureBounds());
            return TRecordingSource::GiveFeedback(effect);
        }
    };
    auto source = std::make_shared<Watcher>(log);
    TBitmap picture(30, 20);
    Cardinal effect = 0;
    EXPECT_EQ(DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, effect, &picture, {10, 5}), DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    const TPoint at = list->ClientToScreen({1, 95});
    ASSERT_EQ(source->seen.size(), 1u);
    EXPECT_EQ(source->seen[0], (TRect{at.X - 10, at.Y - 5, at.X + 20, at.Y + 15}));
    EXPECT_EQ(DragPictureBounds(), TRect{});
    const std::string flagged = std::to_string(scrolling);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"query go on", "list enter " + flagged, "feedback " + flagged,
                                                   "query drop", "list drop " + flagged}));
}
