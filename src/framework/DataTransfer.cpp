#include "framework/DataTransfer.h"

#include "framework/Components.h"
#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/Simulate.h"

#include "Controls_p.h"
#include "Graphics_p.h"
#include "QtApp_p.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

namespace {

constexpr std::size_t kMaxBlock = 256u * 1024 * 1024;
constexpr CLIPFORMAT kFirstRegistered = 0xC000;

QString Q(const String& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
String S16(const QString& s) { return String(reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())); }

String Folded(const String& s) {
    String f = s;
    for (auto& c : f)
        if (c >= u'a' && c <= u'z') c -= 32;
    return f;
}

// ---- registered formats ----

std::mutex g_formatsMutex;
std::vector<String> g_formatNames;        // index = format - 0xC000
std::map<String, CLIPFORMAT> g_formatIds;  // by folded name

}  // namespace

CLIPFORMAT RegisterClipboardFormat(const String& Name) {
    if (Name.empty()) return 0;
    std::lock_guard lock(g_formatsMutex);
    const String key = Folded(Name);
    if (auto it = g_formatIds.find(key); it != g_formatIds.end()) return it->second;
    if (g_formatNames.size() >= 0x3FFF) return 0;  // the numbers end at 0xFFFF
    const auto id = static_cast<CLIPFORMAT>(kFirstRegistered + g_formatNames.size());
    g_formatNames.push_back(Name);  // the first spelling is the name
    g_formatIds[key] = id;
    return id;
}

int GetClipboardFormatName(CLIPFORMAT Format, String& Name) {
    std::lock_guard lock(g_formatsMutex);
    if (Format < kFirstRegistered || Format - kFirstRegistered >= g_formatNames.size()) return 0;
    Name = g_formatNames[Format - kFirstRegistered];
    return static_cast<int>(Name.size());
}

// ---- global blocks ----

HGLOBAL GlobalAlloc(Cardinal, std::size_t Bytes) {
    if (Bytes > kMaxBlock) return nullptr;
    auto b = std::make_shared<TGlobalBlock>();
    b->Bytes.assign(Bytes, '\0');
    return b;
}

void* GlobalLock(const HGLOBAL& Block) {
    if (!Block) return nullptr;
    ++Block->LockCount;
    return Block->Bytes.data();
}

bool GlobalUnlock(const HGLOBAL& Block) {
    if (!Block || Block->LockCount == 0) return false;
    return --Block->LockCount > 0;
}

std::size_t GlobalSize(const HGLOBAL& Block) { return Block ? Block->Bytes.size() : 0; }

HGLOBAL GlobalFromBytes(std::string_view Bytes) {
    HGLOBAL b = GlobalAlloc(GHND, Bytes.size());
    if (b) b->Bytes.assign(Bytes);
    return b;
}

void ReleaseStgMedium(STGMEDIUM& Medium) { Medium = STGMEDIUM(); }

ByteString MediumBytes(const STGMEDIUM& Medium) {
    switch (Medium.tymed) {
    case TYMED_HGLOBAL: return Medium.hGlobal ? Medium.hGlobal->Bytes : ByteString();
    case TYMED_FILE: return ReadFileBytes(Medium.lpszFileName);
    case TYMED_ISTREAM: {
        if (!Medium.pstm) return {};
        const Int64 at = Medium.pstm->Position();
        Medium.pstm->SetPosition(0);
        ByteString all = Medium.pstm->ReadBytes(static_cast<int>(std::min<Int64>(Medium.pstm->Size(), kMaxBlock)));
        Medium.pstm->SetPosition(at);
        return all;
    }
    default: return {};
    }
}

// ---- enumerator and advise holder ----

namespace {

class TFormatEnumerator : public IEnumFORMATETC {
public:
    explicit TFormatEnumerator(std::vector<FORMATETC> f, std::size_t at = 0) : FFormats(std::move(f)), FIndex(at) {}
    HRESULT Next(Cardinal Count, FORMATETC* Entries, Cardinal* Fetched) override {
        Cardinal n = 0;
        while (n < Count && FIndex < FFormats.size()) Entries[n++] = FFormats[FIndex++];
        if (Fetched) *Fetched = n;
        return n == Count ? S_OK : S_FALSE;
    }
    HRESULT Skip(Cardinal Count) override {
        const bool all = FFormats.size() - FIndex >= Count;
        FIndex = all ? FIndex + Count : FFormats.size();
        return all ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        FIndex = 0;
        return S_OK;
    }
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) override {
        Enum = std::make_shared<TFormatEnumerator>(FFormats, FIndex);
        return S_OK;
    }

private:
    std::vector<FORMATETC> FFormats;
    std::size_t FIndex;
};

class TAdviseHolder : public IDataAdviseHolder {
public:
    HRESULT Advise(IDataObject* Data, const FORMATETC& Format, Cardinal Advf, std::shared_ptr<IAdviseSink> Sink,
                   Cardinal& Connection) override {
        if (!Sink) return E_INVALIDARG;
        STATDATA s;
        s.formatetc = Format;
        s.advf = Advf;
        s.pAdvSink = std::move(Sink);
        s.dwConnection = Connection = ++FLast;
        FSinks.push_back(s);
        (void)Data;
        return S_OK;
    }
    HRESULT Unadvise(Cardinal Connection) override {
        const auto it = std::find_if(FSinks.begin(), FSinks.end(), [&](const STATDATA& s) { return s.dwConnection == Connection; });
        if (it == FSinks.end()) return OLE_E_NOCONNECTION;
        FSinks.erase(it);
        return S_OK;
    }
    std::vector<STATDATA> EnumAdvise() override { return FSinks; }
    HRESULT SendOnDataChange(IDataObject& Data, Cardinal, Cardinal) override {
        // A copy: a sink may unadvise while it is told.
        const std::vector<STATDATA> sinks = FSinks;
        for (const STATDATA& s : sinks) {
            STGMEDIUM m;
            if (!(s.advf & ADVF_NODATA) && s.formatetc.cfFormat != 0) Data.GetData(s.formatetc, m);
            s.pAdvSink->OnDataChange(s.formatetc, m);
            if (s.advf & ADVF_ONLYONCE) Unadvise(s.dwConnection);
        }
        return S_OK;
    }

private:
    std::vector<STATDATA> FSinks;
    Cardinal FLast = 0;
};

}  // namespace

std::shared_ptr<IEnumFORMATETC> CreateFormatEnumerator(std::vector<FORMATETC> Formats) {
    return std::make_shared<TFormatEnumerator>(std::move(Formats));
}

std::shared_ptr<IDataAdviseHolder> CreateDataAdviseHolder() { return std::make_shared<TAdviseHolder>(); }

// ---- TDataObject ----

HRESULT TDataObject::QueryGetData(const FORMATETC& Format) {
    if (Format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    for (const auto& [f, m] : FItems)
        if (f.cfFormat == Format.cfFormat) return (f.tymed & Format.tymed) ? S_OK : DV_E_TYMED;
    return DV_E_FORMATETC;
}

HRESULT TDataObject::GetData(const FORMATETC& Format, STGMEDIUM& Medium) {
    const HRESULT hr = QueryGetData(Format);
    if (FAILED(hr)) return hr;
    for (const auto& [f, m] : FItems)
        if (f.cfFormat == Format.cfFormat) {
            // The receiver gets its own copy of a block, as it may change or free it.
            Medium = m;
            if (m.tymed == TYMED_HGLOBAL && m.hGlobal) Medium.hGlobal = GlobalFromBytes(m.hGlobal->Bytes);
            return S_OK;
        }
    return DV_E_FORMATETC;
}

HRESULT TDataObject::GetDataHere(const FORMATETC& Format, STGMEDIUM& Medium) {
    STGMEDIUM m;
    const HRESULT hr = GetData(Format, m);
    if (FAILED(hr)) return hr;
    if (Medium.tymed != TYMED_HGLOBAL || !Medium.hGlobal || m.tymed != TYMED_HGLOBAL) return DV_E_TYMED;
    if (Medium.hGlobal->Bytes.size() < m.hGlobal->Bytes.size()) return E_OUTOFMEMORY;
    std::copy(m.hGlobal->Bytes.begin(), m.hGlobal->Bytes.end(), Medium.hGlobal->Bytes.begin());
    return S_OK;
}

HRESULT TDataObject::GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) {
    Out = In;
    Out.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TDataObject::SetData(const FORMATETC& Format, STGMEDIUM& Medium, bool Release) {
    if (Format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (Medium.tymed != TYMED_HGLOBAL && Medium.tymed != TYMED_FILE && Medium.tymed != TYMED_ISTREAM) return DV_E_TYMED;
    FORMATETC f = Format;
    f.tymed = Medium.tymed;
    STGMEDIUM m = Medium;
    if (!Release && m.tymed == TYMED_HGLOBAL && m.hGlobal) m.hGlobal = GlobalFromBytes(m.hGlobal->Bytes);
    if (Release) ReleaseStgMedium(Medium);
    auto it = std::find_if(FItems.begin(), FItems.end(), [&](const auto& i) { return i.first.cfFormat == f.cfFormat; });
    if (it != FItems.end())
        *it = {f, m};
    else
        FItems.emplace_back(f, m);
    if (FAdvise) FAdvise->SendOnDataChange(*this, 0, 0);
    return S_OK;
}

HRESULT TDataObject::EnumFormatEtc(Cardinal Direction, std::shared_ptr<IEnumFORMATETC>& Enum) {
    if (Direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> list;
    for (const auto& [f, m] : FItems) list.push_back(f);
    Enum = CreateFormatEnumerator(std::move(list));
    return S_OK;
}

HRESULT TDataObject::DAdvise(const FORMATETC& Format, Cardinal Advf, std::shared_ptr<IAdviseSink> Sink,
                             Cardinal& Connection) {
    if (!FAdvise) FAdvise = CreateDataAdviseHolder();
    return FAdvise->Advise(this, Format, Advf, std::move(Sink), Connection);
}

HRESULT TDataObject::DUnadvise(Cardinal Connection) {
    return FAdvise ? FAdvise->Unadvise(Connection) : OLE_E_NOCONNECTION;
}

HRESULT TDataObject::EnumDAdvise(std::vector<STATDATA>& Advises) {
    Advises = FAdvise ? FAdvise->EnumAdvise() : std::vector<STATDATA>();
    return S_OK;
}

void TDataObject::SetBytes(CLIPFORMAT Format, std::string_view Bytes) {
    FORMATETC f;
    f.cfFormat = Format;
    STGMEDIUM m;
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = GlobalFromBytes(Bytes);
    SetData(f, m, true);
}

void TDataObject::SetText(const String& Text) {
    SetBytes(CF_UNICODETEXT, StringToUtf16LE(Text) + ByteString(2, '\0'));
    SetBytes(CF_TEXT, StringToWindows1252(Text) + ByteString(1, '\0'));
}

bool GetFormatBytes(IDataObject& Data, CLIPFORMAT Format, ByteString& Bytes) {
    FORMATETC f;
    f.cfFormat = Format;
    f.tymed = TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_FILE;
    STGMEDIUM m;
    if (FAILED(Data.GetData(f, m))) return false;
    Bytes = MediumBytes(m);
    return true;
}

namespace {
// Text of a zero-ended block: up to the first zero.
String TextOfBlock(const ByteString& b, bool wide) {
    if (wide) {
        std::size_t n = 0;
        while (n + 1 < b.size() && (b[n] || b[n + 1])) n += 2;
        return Utf16LEToString(std::string_view(b).substr(0, n));
    }
    return Windows1252ToString(std::string_view(b).substr(0, std::min(b.find('\0'), b.size())));
}
}  // namespace

bool GetTextData(IDataObject& Data, String& Text) {
    ByteString b;
    if (GetFormatBytes(Data, CF_UNICODETEXT, b)) {
        Text = TextOfBlock(b, true);
        return true;
    }
    if (GetFormatBytes(Data, CF_TEXT, b)) {
        Text = TextOfBlock(b, false);
        return true;
    }
    return false;
}

// ---- file lists ----

ByteString MakeDropFiles(const std::vector<String>& FileNames, TPoint Point) {
    TMemoryStream s;
    s.WriteDWord(20);  // where the names start
    s.WriteDWord(static_cast<Cardinal>(Point.X));
    s.WriteDWord(static_cast<Cardinal>(Point.Y));
    s.WriteDWord(0);  // the point is in the client area
    s.WriteDWord(1);  // wide names
    for (const String& n : FileNames) s.WriteBytes(StringToUtf16LE(n) + ByteString(2, '\0'));
    s.WriteBytes(ByteString(2, '\0'));
    return ByteString(s.Bytes());
}

std::vector<String> DragQueryFiles(std::string_view b) {
    std::vector<String> names;
    if (b.size() < 20) return names;
    auto dword = [&](std::size_t at) {
        return static_cast<Cardinal>(static_cast<Byte>(b[at])) | static_cast<Cardinal>(static_cast<Byte>(b[at + 1])) << 8 |
               static_cast<Cardinal>(static_cast<Byte>(b[at + 2])) << 16 |
               static_cast<Cardinal>(static_cast<Byte>(b[at + 3])) << 24;
    };
    std::size_t at = dword(0) & ~1u;
    const bool wide = dword(16) != 0;
    while (at < b.size()) {
        std::size_t end = at;
        if (wide) {
            while (end + 1 < b.size() && (b[end] || b[end + 1])) end += 2;
            if (end + 1 >= b.size()) break;  // not ended: damaged
            if (end == at) break;
            names.push_back(Utf16LEToString(b.substr(at, end - at)));
            at = end + 2;
        } else {
            end = b.find('\0', at);
            if (end == std::string_view::npos || end == at) break;
            names.push_back(Windows1252ToString(b.substr(at, end - at)));
            at = end + 1;
        }
    }
    return names;
}

// ---- MIME types ----

namespace {

const char kOwnMime[] = "application/x-configurator-format;name=";

struct StandardMime {
    const char16_t* FormatName;  // registered name, or empty for a standard format
    CLIPFORMAT Standard;
    const char* Mime;
};
const StandardMime kStandardMimes[] = {
    {u"", CF_UNICODETEXT, "text/plain"},       {u"", CF_TEXT, "text/plain"},
    {u"HTML Format", 0, "text/html"},          {u"Rich Text Format", 0, "text/rtf"},
    {u"Rich Text Format", 0, "application/rtf"}, {u"CSV", 0, "text/csv"},
    {u"", CF_HDROP, "text/uri-list"},
};

CLIPFORMAT FormatOf(const StandardMime& m) { return m.Standard ? m.Standard : RegisterClipboardFormat(m.FormatName); }

// "HTML Format" blocks carry a header of byte offsets before the document.
ByteString HtmlOfBlock(const ByteString& block) {
    auto number = [&](const char* key) -> long {
        const std::size_t at = block.find(key);
        if (at == ByteString::npos) return -1;
        return std::strtol(block.c_str() + at + std::strlen(key), nullptr, 10);
    };
    const long start = number("StartHTML:"), end = number("EndHTML:");
    ByteString body = block.substr(0, std::min(block.find('\0'), block.size()));
    if (start >= 0 && end > start && static_cast<std::size_t>(end) <= body.size()) return body.substr(start, end - start);
    return body;
}

ByteString BlockOfHtml(const ByteString& html) {
    const ByteString head = "Version:0.9\r\nStartHTML:0000000000\r\nEndHTML:0000000000\r\n"
                            "StartFragment:0000000000\r\nEndFragment:0000000000\r\n";
    const std::size_t start = head.size(), end = start + html.size();
    char buf[256];
    std::snprintf(buf, sizeof buf,
                  "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\nEndFragment:%010zu\r\n",
                  start, end, start, end);
    return ByteString(buf) + html + ByteString(1, '\0');
}

// Plain text of the desktop's programs ends its lines with LF alone; ours,
// as the grid's rows, with CR LF.
QString DesktopLines(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }
QString OwnLines(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
        out += text[i];
    }
    return out;
}

// The bytes a MIME type carries for a format's block, and back.
QByteArray MimeBytesOf(CLIPFORMAT format, const String& mime, const ByteString& block) {
    if (format == CF_UNICODETEXT) return DesktopLines(Q(TextOfBlock(block, true))).toUtf8();
    if (format == CF_TEXT) return DesktopLines(Q(TextOfBlock(block, false))).toUtf8();
    if (format == CF_HDROP) {
        QByteArray list;
        for (const String& n : DragQueryFiles(block)) list += QUrl::fromLocalFile(Q(n)).toEncoded() + "\r\n";
        return list;
    }
    if (mime == u"text/html") return QByteArray::fromStdString(HtmlOfBlock(block));
    if (mime.rfind(u"text/", 0) == 0 || mime == u"application/rtf")  // text formats end with a zero byte
        return QByteArray::fromStdString(block.substr(0, std::min(block.find('\0'), block.size())));
    return QByteArray::fromStdString(block);
}

ByteString BlockOfMime(CLIPFORMAT format, const String& mime, const QByteArray& bytes) {
    if (format == CF_UNICODETEXT) return StringToUtf16LE(S16(OwnLines(QString::fromUtf8(bytes)))) + ByteString(2, '\0');
    if (format == CF_TEXT) return StringToWindows1252(S16(OwnLines(QString::fromUtf8(bytes)))) + ByteString(1, '\0');
    if (format == CF_HDROP) {
        std::vector<String> names;
        for (const QByteArray& line : bytes.split('\n')) {
            const QByteArray l = line.trimmed();
            if (l.isEmpty() || l.startsWith('#')) continue;
            const QUrl url = QUrl::fromEncoded(l);
            if (url.isLocalFile()) names.push_back(S16(url.toLocalFile()));
        }
        return MakeDropFiles(names);
    }
    if (mime == u"text/html") return BlockOfHtml(bytes.toStdString());
    if (mime.rfind(u"text/", 0) == 0 || mime == u"application/rtf") return bytes.toStdString() + ByteString(1, '\0');
    return bytes.toStdString();
}

}  // namespace

std::vector<String> MimeTypesOfFormat(CLIPFORMAT Format) {
    std::vector<String> list;
    String name;
    if (GetClipboardFormatName(Format, name) > 0) list.push_back(S(kOwnMime) + u"\"" + name + u"\"");
    for (const StandardMime& m : kStandardMimes)
        if (FormatOf(m) == Format && std::find(list.begin(), list.end(), S(m.Mime)) == list.end()) list.push_back(S(m.Mime));
    return list;
}

CLIPFORMAT FormatOfMimeType(const String& MimeType) {
    const String own = S(kOwnMime);
    if (MimeType.rfind(own, 0) == 0) {
        String name = MimeType.substr(own.size());
        if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') name = name.substr(1, name.size() - 2);
        return RegisterClipboardFormat(name);
    }
    for (const StandardMime& m : kStandardMimes)
        if (MimeType == S(m.Mime)) return FormatOf(m);
    return 0;
}

// ---- the clipboard ----

namespace {

// Offers a data object's formats to the desktop, rendered when asked for.
class TObjectMime : public QMimeData {
public:
    explicit TObjectMime(std::shared_ptr<IDataObject> d) : Data(std::move(d)) {}
    std::shared_ptr<IDataObject> Data;

    QStringList formats() const override {
        QStringList list;
        for (CLIPFORMAT f : Formats())
            for (const String& m : MimeTypesOfFormat(f))
                if (!list.contains(Q(m))) list << Q(m);
        return list;
    }
    bool hasFormat(const QString& mime) const override { return formats().contains(mime); }

protected:
    QVariant retrieveData(const QString& mime, QMetaType) const override {
        const String m = S16(mime);
        // Text: the Unicode form when there is one.
        std::vector<CLIPFORMAT> candidates;
        for (CLIPFORMAT f : Formats())
            for (const String& t : MimeTypesOfFormat(f))
                if (t == m) candidates.push_back(f);
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](CLIPFORMAT a, CLIPFORMAT b) { return a == CF_UNICODETEXT && b != CF_UNICODETEXT; });
        for (CLIPFORMAT f : candidates) {
            ByteString block;
            if (GetFormatBytes(*Data, f, block)) {
                const QByteArray bytes = MimeBytesOf(f, m, block);
                if (mime == QLatin1String("text/plain")) return QString::fromUtf8(bytes);
                return bytes;
            }
        }
        return {};
    }

private:
    // The formats the object can render now: a list may name more (text
    // of a drag that carries none), which another program would take for
    // empty content.
    std::vector<CLIPFORMAT> Formats() const {
        std::vector<CLIPFORMAT> list;
        std::shared_ptr<IEnumFORMATETC> e;
        if (!Data || FAILED(Data->EnumFormatEtc(DATADIR_GET, e)) || !e) return list;
        FORMATETC f;
        Cardinal n = 0;
        while (e->Next(1, &f, &n) == S_OK && n == 1) {
            if (std::find(list.begin(), list.end(), f.cfFormat) != list.end()) continue;
            FORMATETC any = f;
            any.tymed = TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_FILE;
            if (Data->QueryGetData(any) == S_OK) list.push_back(f.cfFormat);
        }
        return list;
    }
};

// Every format of an object, rendered now.
std::shared_ptr<TDataObject> Snapshot(IDataObject& data) {
    auto copy = std::make_shared<TDataObject>();
    std::shared_ptr<IEnumFORMATETC> e;
    if (FAILED(data.EnumFormatEtc(DATADIR_GET, e)) || !e) return copy;
    FORMATETC f;
    Cardinal n = 0;
    while (e->Next(1, &f, &n) == S_OK && n == 1) {
        ByteString b;
        if (GetFormatBytes(data, f.cfFormat, b)) copy->SetBytes(f.cfFormat, b);
    }
    return copy;
}

// What another program put on the clipboard or drags, in our formats. A
// list of links names files (CF_HDROP) and web addresses: these come as
// "UniformResourceLocator" (the first, ANSI, zero-ended) with their text.
std::shared_ptr<TDataObject> FromMime(const QMimeData& mime) {
    auto data = std::make_shared<TDataObject>();
    auto has = [&](CLIPFORMAT f) {
        ByteString dummy;
        return GetFormatBytes(*data, f, dummy);
    };
    QStringList links;
    // File managers give a file list also as text, which only restates it:
    // a drag of files is a drag of files, as on the desktops that have no
    // such text.
    const QList<QUrl> urls = mime.hasUrls() ? mime.urls() : QList<QUrl>();
    const bool files = std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
    auto restatesFiles = [&](const QString& text) {
        QStringList names;
        for (const QUrl& u : urls) names << u.toString() << QString::fromUtf8(u.toEncoded()) << u.toLocalFile();
        const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        return files && std::all_of(lines.begin(), lines.end(),
                                    [&](const QString& l) { return names.contains(l.trimmed()); });
    };
    for (const QString& type : mime.formats()) {
        const String t = S16(type);
        // "text/plain;charset=utf-8" is text as well.
        const bool plain = type.section(u';', 0, 0).trimmed() == QLatin1String("text/plain");
        const CLIPFORMAT f = plain ? CF_UNICODETEXT : FormatOfMimeType(t);
        if (!f || has(f)) continue;  // our own MIME type came first
        if (f == CF_HDROP) {
            for (const QUrl& url : urls)
                if (!url.isLocalFile() && url.isValid()) links << url.toString();
            const ByteString files = BlockOfMime(f, t, mime.data(type));
            if (!DragQueryFiles(files).empty()) data->SetBytes(f, files);
            continue;
        }
        const QByteArray bytes = plain ? mime.text().toUtf8() : mime.data(type);
        if (f == CF_UNICODETEXT && restatesFiles(QString::fromUtf8(bytes))) continue;
        data->SetBytes(f, BlockOfMime(f, plain ? S("text/plain") : t, bytes));
        if (f == CF_UNICODETEXT) data->SetBytes(CF_TEXT, BlockOfMime(CF_TEXT, t, bytes));
    }
    if (!links.isEmpty()) {
        data->SetBytes(RegisterClipboardFormat(u"UniformResourceLocator"),
                       StringToWindows1252(S16(links.first())) + ByteString(1, '\0'));
        if (!has(CF_UNICODETEXT)) data->SetText(S16(links.join(QLatin1String("\r\n"))));
    }
    return data;
}

struct ClipboardState {
    bool memory = false;
    std::shared_ptr<IDataObject> object;  // set by OleSetClipboard, until flushed or replaced
    std::shared_ptr<TDataObject> flushed;  // the memory clipboard's rendered content
    const QMimeData* offered = nullptr;    // our offer on the desktop's clipboard
};
ClipboardState& Board() {
    static ClipboardState s;
    return s;
}

QClipboard* Desktop() {
    EnsureQtApplication();
    return QGuiApplication::clipboard();
}

}  // namespace

void UseMemoryClipboard(bool Value) {
    ClipboardState& b = Board();
    b.memory = Value;
    b.object.reset();
    b.flushed.reset();
    b.offered = nullptr;
}

HRESULT OleSetClipboard(std::shared_ptr<IDataObject> Data) {
    ClipboardState& b = Board();
    b.object = Data;
    b.flushed.reset();
    if (b.memory) return S_OK;
    if (!Data) {
        b.offered = nullptr;
        Desktop()->clear();
        return S_OK;
    }
    auto* mime = new TObjectMime(std::move(Data));
    b.offered = mime;
    Desktop()->setMimeData(mime);  // the clipboard owns it
    return S_OK;
}

HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& Data) {
    ClipboardState& b = Board();
    if (b.memory) {
        Data = b.object ? b.object : b.flushed ? std::static_pointer_cast<IDataObject>(b.flushed) : std::make_shared<TDataObject>();
        return S_OK;
    }
    const QMimeData* mime = Desktop()->mimeData();
    if (mime && mime == b.offered && b.object) {
        Data = b.object;
        return S_OK;
    }
    Data = mime ? FromMime(*mime) : std::make_shared<TDataObject>();
    return S_OK;
}

HRESULT OleFlushClipboard() {
    ClipboardState& b = Board();
    if (!b.object) return S_OK;
    std::shared_ptr<TDataObject> rendered = Snapshot(*b.object);
    if (b.memory) {
        b.flushed = rendered;
        b.object.reset();
        return S_OK;
    }
    if (Desktop()->mimeData() != b.offered) {  // somebody else's content by now
        b.object.reset();
        return S_OK;
    }
    // A plain copy of every MIME type, so nothing of ours is needed any more.
    TObjectMime offer(rendered);
    auto* plain = new QMimeData;
    for (const QString& type : offer.formats()) {
        if (type == QLatin1String("text/plain"))
            plain->setText(offer.text());
        else
            plain->setData(type, offer.data(type));
    }
    b.object.reset();
    b.offered = nullptr;
    Desktop()->setMimeData(plain);
    return S_OK;
}

HRESULT OleIsCurrentClipboard(const std::shared_ptr<IDataObject>& Data) {
    ClipboardState& b = Board();
    if (!Data || Data != b.object) return S_FALSE;
    if (!b.memory && Desktop()->mimeData() != b.offered) return S_FALSE;
    return S_OK;
}

// ---- drag and drop ----

namespace {

// Registered targets; a window that goes takes its registration with it.
class TTargetRegistry : public TComponent {
public:
    TTargetRegistry() : TComponent(nullptr) {}
    // Keyed by the component: a removal notice names a component that may be
    // no window, or no longer one.
    std::map<TComponent*, std::shared_ptr<IDropTarget>> Targets;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        if (Operation == opRemove) Targets.erase(AComponent);
        TComponent::Notification(AComponent, Operation);
    }
};
TTargetRegistry& Registry() {
    static auto* r = new TTargetRegistry;  // lives as long as the program
    return *r;
}

std::deque<TDragStep>& Script() {
    static std::deque<TDragStep> steps;
    return steps;
}

bool g_dragging = false;

Cardinal KeyStateOf(TShiftState s) {
    Cardinal k = 0;
    if (s.Contains(ssLeft)) k |= MK_LBUTTON;
    if (s.Contains(ssRight)) k |= MK_RBUTTON;
    if (s.Contains(ssMiddle)) k |= MK_MBUTTON;
    if (s.Contains(ssShift)) k |= MK_SHIFT;
    if (s.Contains(ssCtrl)) k |= MK_CONTROL;
    if (s.Contains(ssAlt)) k |= MK_ALT;
    return k;
}

// The registered window at or above a control.
TWinControl* TargetWindowOf(TControl* c) {
    for (; c; c = c->Parent()) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (w && Registry().Targets.count(w)) return w;
    }
    return nullptr;
}

// The innermost enabled control at a screen point.
TControl* ControlAtScreen(QPoint global, QWidget* w) {
    TControl* c = nullptr;
    for (; w && !c; w = w->parentWidget()) c = ControlOfWidget(w);
    while (auto* wc = dynamic_cast<TWinControl*>(c)) {
        TControl* child = wc->ControlAtPos(wc->ScreenToClient({global.x(), global.y()}), false, true);
        if (!child || child == c) break;
        c = child;
    }
    return c;
}

// One input of the drag: where the pointer is, over what, with which keys.
struct DragInput {
    bool escape = false;
    TControl* over = nullptr;  // the control under the pointer
    TWinControl* window = nullptr;  // the registered window at or above it
    TPoint screen;
    Cardinal keys = 0;
    bool outside = false;  // over no window of the program (another program's, the desktop)
    bool real = false;     // made by the mouse, not by a script

    void Locate(QPoint global) {
        screen = {global.x(), global.y()};
        QWidget* w = QApplication::widgetAt(global);
        outside = !w;
        over = ControlAtScreen(global, w);
        window = TargetWindowOf(over);
        real = true;
    }
};

Cardinal KeysOf(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
    Cardinal k = 0;
    if (b & Qt::LeftButton) k |= MK_LBUTTON;
    if (b & Qt::RightButton) k |= MK_RBUTTON;
    if (b & Qt::MiddleButton) k |= MK_MBUTTON;
    if (m & Qt::ShiftModifier) k |= MK_SHIFT;
    if (m & Qt::ControlModifier) k |= MK_CONTROL;
    if (m & Qt::AltModifier) k |= MK_ALT;
    return k;
}

// Waits for the next real mouse or key input of the drag.
// Watches the whole program's input while it lives.
class TDragWatch : public QObject {
public:
    explicit TDragWatch(Cardinal startKeys) : keys(startKeys) { qApp->installEventFilter(this); }
    ~TDragWatch() override { qApp->removeEventFilter(this); }
    QEventLoop loop;
    DragInput input;
    Cardinal keys;

    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* m = static_cast<QMouseEvent*>(e);
            keys = KeysOf(m->buttons(), m->modifiers());
            Take(m->globalPosition().toPoint(), false);
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            keys = KeysOf(QGuiApplication::mouseButtons(), k->modifiers());
            Take(QCursor::pos(), e->type() == QEvent::KeyPress && k->key() == Qt::Key_Escape);
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: return true;  // the drag owns the mouse
        default: return false;
        }
    }

private:
    void Take(QPoint global, bool escape) {
        input.escape = escape;
        input.keys = keys;
        input.Locate(global);
        loop.exit(0);
    }
};

// Where the pointer is now and which keys are down.
DragInput CurrentInput(TDragWatch& watch, bool escape) {
    DragInput in;
    const QPoint global = QCursor::pos();
    Qt::KeyboardModifiers m = QGuiApplication::queryKeyboardModifiers();
    in.keys = 0;
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) in.keys |= MK_LBUTTON;
    if (m & Qt::ShiftModifier) in.keys |= MK_SHIFT;
    if (m & Qt::ControlModifier) in.keys |= MK_CONTROL;
    in.escape = escape;
    in.Locate(global);
    watch.keys = in.keys;
    return in;
}

DragInput NextInput(TDragWatch& watch, int& idleTurns) {
    auto& script = Script();
    if (!script.empty()) {
        const TDragStep step = script.front();
        script.pop_front();
        DragInput in;
        in.escape = step.Input == TDragInput::Escape;
        TShiftState shift = step.Shift;
        if (step.Input == TDragInput::Move || step.Input == TDragInput::Escape) shift.Include(ssLeft);
        if (step.Input == TDragInput::Release) shift.Exclude(ssLeft);
        in.keys = KeyStateOf(shift);
        in.over = step.Over;
        in.window = TargetWindowOf(step.Over);
        in.screen = step.Over ? step.Over->ClientToScreen(step.Point) : step.Point;
        watch.keys = in.keys;
        idleTurns = 0;
        return in;
    }
    // Without a button down no mouse input will come to end the drag: the
    // state as it is lets the source drop, and a source that still goes on
    // is cancelled at the next turn.
    if ((!(QGuiApplication::mouseButtons() & Qt::LeftButton) && !(watch.keys & MK_LBUTTON)) || idleTurns > 0)
        return CurrentInput(watch, idleTurns++ > 0);
    watch.loop.exec();
    return watch.input;
}

}  // namespace

namespace {

Cardinal EffectsOf(Qt::DropActions a) {
    Cardinal e = DROPEFFECT_NONE;
    if (a & Qt::CopyAction) e |= DROPEFFECT_COPY;
    if (a & Qt::MoveAction) e |= DROPEFFECT_MOVE;
    if (a & Qt::LinkAction) e |= DROPEFFECT_LINK;
    return e;
}

Qt::DropAction ActionOf(Cardinal e) {
    return (e & DROPEFFECT_MOVE) ? Qt::MoveAction : (e & DROPEFFECT_COPY) ? Qt::CopyAction
         : (e & DROPEFFECT_LINK) ? Qt::LinkAction : Qt::IgnoreAction;
}

// Drags of other programs (the desktop's own drag) over a registered
// window, told to its target like ours: a file manager's text/uri-list
// arrives as CF_HDROP.
class TForeignDrops : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        const auto t = e->type();
        if (t != QEvent::DragEnter && t != QEvent::DragMove && t != QEvent::DragLeave && t != QEvent::Drop) return false;
        auto* window = dynamic_cast<TWinControl*>(ControlOfWidget(watched));
        auto it = window ? Registry().Targets.find(window) : Registry().Targets.end();
        if (it == Registry().Targets.end()) return false;
        const std::shared_ptr<IDropTarget> target = it->second;
        if (t == QEvent::DragLeave) {
            FData.reset();
            target->DragLeave();
            return true;
        }
        auto* d = static_cast<QDropEvent*>(e);
        const QPoint global = static_cast<QWidget*>(watched)->mapToGlobal(d->position().toPoint());
        const Cardinal keys = KeysOf(d->buttons(), d->modifiers());
        const Cardinal ok = EffectsOf(d->possibleActions());
        Cardinal effect = ok;
        if (t == QEvent::DragEnter || !FData) {
            const auto* ours = dynamic_cast<const TObjectMime*>(d->mimeData());
            FData = ours ? ours->Data : (d->mimeData() ? std::shared_ptr<IDataObject>(FromMime(*d->mimeData())) : nullptr);
            if (!FData) return false;
        }
        // A handler's error (a dropped file that does not load, say) is
        // reported here: it must not unwind through the toolkit's event loop.
        bool failed = true;
        Guarded([&] {
            if (t == QEvent::DragEnter)
                target->DragEnter(FData, keys, {global.x(), global.y()}, effect);
            else if (t == QEvent::DragMove)
                target->DragOver(keys, {global.x(), global.y()}, effect);
            else
                target->Drop(FData, keys, {global.x(), global.y()}, effect);
            failed = false;
        });
        if (t == QEvent::Drop) FData.reset();
        if (failed) effect = DROPEFFECT_NONE;
        effect &= ok;
        d->setDropAction(ActionOf(effect));
        // The enter is taken in any case, so that the moves that follow come here.
        if (effect != DROPEFFECT_NONE || t == QEvent::DragEnter)
            d->accept();
        else
            d->ignore();
        return true;
    }

private:
    std::shared_ptr<IDataObject> FData;
};

TForeignDrops& ForeignDrops() {
    static auto* f = new TForeignDrops;  // lives as long as the program
    return *f;
}

}  // namespace

HRESULT RegisterDragDrop(TWinControl* Window, std::shared_ptr<IDropTarget> Target) {
    if (!Window) return DRAGDROP_E_INVALIDHWND;
    if (!Target) return E_INVALIDARG;
    TTargetRegistry& r = Registry();
    if (r.Targets.count(Window)) return DRAGDROP_E_ALREADYREGISTERED;
    r.Targets[Window] = std::move(Target);
    Window->FreeNotification(&r);
    if (QWidget* w = WidgetOf(Window)) {
        w->setAcceptDrops(true);
        w->installEventFilter(&ForeignDrops());
    }
    return S_OK;
}

HRESULT RevokeDragDrop(TWinControl* Window) {
    TTargetRegistry& r = Registry();
    if (!r.Targets.erase(Window)) return DRAGDROP_E_NOTREGISTERED;
    Window->RemoveFreeNotification(&r);
    if (QWidget* w = WidgetOf(Window)) {
        w->removeEventFilter(&ForeignDrops());
        w->setAcceptDrops(false);
    }
    return S_OK;
}

bool DragDropRunning() { return g_dragging; }

namespace {

// The picture that follows the pointer: a window that never takes the
// mouse or the focus.
class TDragPicture : public QWidget {
public:
    TDragPicture(const QImage& image, TPoint hotspot)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput), FImage(image),
          FHotspot(hotspot) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(image.size());
    }
    void Follow(TPoint screen) {
        move(screen.X - FHotspot.X, screen.Y - FHotspot.Y);
        if (!isVisible()) show();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, FImage); }

private:
    QImage FImage;
    TPoint FHotspot;
};

TDragPicture* g_picture = nullptr;

}  // namespace

TRect DragPictureBounds() {
    if (!g_picture || !g_picture->isVisible()) return {};
    const QRect r = g_picture->geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

namespace {

// Other programs take part in a drag through the desktop's protocol (XDND),
// which the toolkit's own drag speaks; the platforms without a desktop
// (offscreen) have no other programs to meet.
bool DesktopDrags() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// The rest of a drag whose pointer left the program's windows, carried on
// by the toolkit's drag. Targets of this program still hear of it as of any
// drag from outside (TForeignDrops, with the same data object). The source
// is asked to go on while the drag runs and hears of the effect the target
// chose; the release ends it.
HRESULT DesktopDrag(const std::shared_ptr<IDataObject>& Data, const std::shared_ptr<IDropSource>& Source,
                    Cardinal OkEffects, Cardinal& Effect, const QImage& Picture, TPoint Hotspot) {
    auto* offer = new TObjectMime(Data);
    const QPointer<QMimeData> kept(offer);
    // The toolkit keeps the drag after its end: a target fetches the data
    // only once it has the drop.
    auto* drag = new QDrag(qApp);
    drag->setMimeData(offer);
    if (!Picture.isNull()) {
        drag->setPixmap(QPixmap::fromImage(Picture));
        drag->setHotSpot({Hotspot.X, Hotspot.Y});
    }
    QObject context;  // ends the connections with this call
    QObject::connect(drag, &QDrag::actionChanged, &context,
                     [&](Qt::DropAction a) { Source->GiveFeedback(EffectsOf(a) & OkEffects); });
    bool cancelled = false;
    QTimer ask;
    ask.setInterval(30);
    QObject::connect(&ask, &QTimer::timeout, &context, [&] {
        const Cardinal keys = KeysOf(QGuiApplication::mouseButtons(), QGuiApplication::queryKeyboardModifiers());
        if (!cancelled && Source->QueryContinueDrag(false, keys | MK_LBUTTON) == DRAGDROP_S_CANCEL) {
            cancelled = true;
            QDrag::cancel();
        }
    });
    ask.start();
    Qt::DropActions actions;
    if (OkEffects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
    if (OkEffects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
    if (OkEffects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
    const Qt::DropAction done = drag->exec(actions, ActionOf(OkEffects));
    ask.stop();
    // What the target fetches from now on no longer depends on the source,
    // which may change or free its content as soon as it hears of a move.
    if (auto* o = dynamic_cast<TObjectMime*>(kept.data())) o->Data = Snapshot(*Data);
    if (cancelled) return DRAGDROP_S_CANCEL;
    Source->QueryContinueDrag(false, KeysOf(Qt::NoButton, QGuiApplication::queryKeyboardModifiers()));
    Effect = EffectsOf(done) & OkEffects;
    Source->GiveFeedback(Effect);
    return DRAGDROP_S_DROP;
}

}  // namespace

HRESULT DoDragDrop(std::shared_ptr<IDataObject> Data, std::shared_ptr<IDropSource> Source, Cardinal OkEffects,
                   Cardinal& Effect, const TBitmap* Picture, TPoint Hotspot) {
    Effect = DROPEFFECT_NONE;
    if (!Data || !Source || g_dragging) return E_INVALIDARG;
    EnsureQtApplication();
    g_dragging = true;
    std::unique_ptr<TDragPicture> picture;
    if (Picture && !Picture->Empty()) picture = std::make_unique<TDragPicture>(BitmapImage(*Picture), Hotspot);
    g_picture = picture.get();
    struct Done {
        ~Done() {
            g_dragging = false;
            g_picture = nullptr;
        }
    } done;
    auto watch = std::make_unique<TDragWatch>(Script().empty() && !(QGuiApplication::mouseButtons() & Qt::LeftButton) ? 0 : MK_LBUTTON);
    int idleTurns = 0;

    TWinControl* current = nullptr;
    std::shared_ptr<IDropTarget> target;  // held while over it, even if revoked meanwhile
    Cardinal effect = DROPEFFECT_NONE;
    // The target's answer, limited to what the source allows (scrolling is a flag beside it).
    auto limit = [&](Cardinal e) { return (e & OkEffects & ~DROPEFFECT_SCROLL) | (e & DROPEFFECT_SCROLL); };
    for (;;) {
        const DragInput in = NextInput(*watch, idleTurns);
        if (picture) picture->Follow(in.screen);
        const HRESULT q = Source->QueryContinueDrag(in.escape, in.keys);
        if (q == DRAGDROP_S_CANCEL) {
            if (target) target->DragLeave();
            return DRAGDROP_S_CANCEL;
        }
        if (q == DRAGDROP_S_DROP) {
            // The drop goes where the pointer is now.
            if (in.window != current && target) {
                target->DragLeave();
                target.reset();
            }
            if (!target) return DRAGDROP_S_DROP;
            Cardinal e = OkEffects;
            target->Drop(Data, in.keys, in.screen, e);
            Effect = limit(e) & ~DROPEFFECT_SCROLL;
            return DRAGDROP_S_DROP;
        }
        if (in.outside && in.real && (in.keys & MK_LBUTTON) && DesktopDrags()) {
            // Out of the program with the button held: on to other programs.
            if (target) target->DragLeave();
            Source->GiveFeedback(DROPEFFECT_NONE);
            watch.reset();  // the toolkit's drag takes the input now
            const QImage image = picture ? BitmapImage(*Picture) : QImage();
            picture.reset();
            g_picture = nullptr;
            return DesktopDrag(Data, Source, OkEffects, Effect, image, Hotspot);
        }
        if (in.window != current) {
            if (target) target->DragLeave();
            current = in.window;
            target.reset();
            effect = DROPEFFECT_NONE;
            if (current) {
                target = Registry().Targets[current];
                Cardinal e = OkEffects;
                if (FAILED(target->DragEnter(Data, in.keys, in.screen, e))) e = DROPEFFECT_NONE;
                effect = limit(e);
            }
        } else if (target) {
            Cardinal e = OkEffects;
            if (FAILED(target->DragOver(in.keys, in.screen, e))) e = DROPEFFECT_NONE;
            effect = limit(e);
        }
        Source->GiveFeedback(effect);
    }
}

void SimulateDrag(const std::vector<TDragStep>& Steps) {
    auto& script = Script();
    script.insert(script.end(), Steps.begin(), Steps.end());
}

// ---- the framework's own drag ----

namespace {

TControl* g_dragSource = nullptr;

LRESULT SendDrag(TControl* target, TDragMessage msg, TDragObject* object, TPoint screen) {
    TDragRec rec;
    rec.Pos = screen;
    rec.Source = object;
    rec.Target = target;
    object->DragPos = screen;
    object->DragTarget = target;
    return target->Perform(CM_DRAG, static_cast<WPARAM>(msg), reinterpret_cast<LPARAM>(&rec));
}

}  // namespace

TObject* TDragControlObject::SourceForEvents() { return Control; }

bool TControl::Dragging() const { return g_dragSource == this; }

void TControl::BeginDrag(bool Immediate, int Threshold) {
    if (g_dragSource) return;
    EnsureQtApplication();
    if (Threshold < 0) Threshold = DragThreshold;
    g_dragSource = this;
    struct Done {
        ~Done() { g_dragSource = nullptr; }
    } done;
    TDragObject* object = nullptr;
    std::unique_ptr<TDragObject> own;
    TDragDockObject* dock = nullptr;  // a dock client's drag: sites take it (Docking.cpp)
    if (FDragKind == dkDock) {
        auto d = DoStartDock();
        dock = d.get();
        own = std::move(d);
    } else {
        DoStartDrag(object);
    }
    if (own) object = own.get();
    if (!object) {
        own = std::make_unique<TDragControlObject>(this);
        object = own.get();
    }
    TDragWatch watch(MK_LBUTTON);  // the press that began it
    int idleTurns = 0;
    const TPoint start = GetCursorPos();
    bool started = Immediate;
    TControl* current = nullptr;
    bool accepted = false;
    // Ends the drag: a drop on the control that takes it, or nothing.
    auto finish = [&](bool drop, TPoint at) {
        TControl* target = nullptr;
        if (current && drop && accepted) {
            object->Dropped = true;
            SendDrag(current, dmDragDrop, object, at);
            target = current;
        } else if (current) {
            object->Cancelling = !drop;
            SendDrag(current, dmDragLeave, object, at);
        }
        const TPoint p = target ? target->ScreenToClient(at) : at;
        if (dock) DoEndDock(target, p.X, p.Y, drop, at);
        else DoEndDrag(target, p.X, p.Y);
    };
    for (;;) {
        const DragInput in = NextInput(watch, idleTurns);
        if (in.escape) return finish(false, in.screen);
        const bool released = !(in.keys & MK_LBUTTON);
        if (!started) {
            const bool far = std::abs(in.screen.X - start.X) > Threshold || std::abs(in.screen.Y - start.Y) > Threshold;
            if (released || !far) {
                if (released) return finish(false, in.screen);
                continue;
            }
            started = true;
        }
        TControl* over = dock ? DockSiteAt(*dock, in.over, in.screen) : in.over;
        if (over != current) {
            if (current) SendDrag(current, dmDragLeave, object, in.screen);
            current = over;
            accepted = current && SendDrag(current, dmDragEnter, object, in.screen) != 0;
        } else if (current && !released) {
            accepted = SendDrag(current, dmDragMove, object, in.screen) != 0;
        }
        if (released) return finish(true, in.screen);
    }
}

void TControl::CMDrag(TMessage& Message) {
    auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
    if (!rec || !rec->Source) return;
    if (auto* dock = dynamic_cast<TDragDockObject*>(rec->Source)) return DockMessage(*dock, Message);
    const TPoint p = ScreenToClient(rec->Pos);
    TObject* source = rec->Source->SourceForEvents();
    switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        static const TDragState states[] = {dsDragEnter, dsDragLeave, dsDragMove};
        bool accept = false;
        DragOver(source, p.X, p.Y, states[Message.WParam], accept);
        Message.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop: DragDrop(source, p.X, p.Y); break;
    default: break;
    }
}

void TControl::DoStartDrag(TDragObject*& DragObject) {
    if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = false;
    if (OnDragOver) {
        Accept = true;
        OnDragOver(this, Source, X, Y, State, Accept);
    }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
    if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
    if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}
