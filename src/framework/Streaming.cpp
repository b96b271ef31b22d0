#include "framework/Streaming.h"

#include "framework/Classes.h"
#include "framework/Encoding.h"
#include "framework/SysUtils.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

const char kSignature[4] = {'T', 'P', 'F', '0'};

[[noreturn]] void InvalidFormat() { throw EReadError(u"Invalid stream format"); }
[[noreturn]] void InvalidValue() { throw EReadError(u"Invalid property value"); }

// Names compare as SameText does (ASCII letters without case), so tables of
// them can be looked up by hash instead of compared one by one.
constexpr char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view s) const {
        std::size_t h = 14695981039346656037ull;
        for (char16_t c : s) h = (h ^ static_cast<std::size_t>(Upper(c))) * 1099511628211ull;
        return h;
    }
};
struct TextEqual {
    using is_transparent = void;
    bool operator()(std::u16string_view a, std::u16string_view b) const {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (Upper(a[i]) != Upper(b[i])) return false;
        return true;
    }
};
// The first position of each name; later repeats are never found.
using TNameIndex = std::unordered_map<String, std::size_t, TextHash, TextEqual>;

TNameIndex IndexNames(const std::vector<String>& names) {
    TNameIndex index;
    for (std::size_t i = 0; i < names.size(); ++i) index.emplace(names[i], i);
    return index;
}

// ---- 10-byte extended floats, independent of the compiler's long double ----

void DoubleToExtended(double v, unsigned char out[10]) {
    std::memset(out, 0, 10);
    const bool negative = std::signbit(v);
    int exponent = 0;
    std::uint64_t mantissa = 0;
    if (std::isnan(v)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(v)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (v != 0) {
        int e = 0;
        const double m = std::frexp(std::fabs(v), &e);  // 0.5 <= m < 1
        mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));  // exact: 53 bits of 64
        exponent = e - 1 + 16383;
    }
    for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(mantissa >> (8 * i));
    out[8] = static_cast<unsigned char>(exponent & 0xFF);
    out[9] = static_cast<unsigned char>(((exponent >> 8) & 0x7F) | (negative ? 0x80 : 0));
}

double ExtendedToDouble(const unsigned char in[10]) {
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    const int exponent = in[8] | ((in[9] & 0x7F) << 8);
    const bool negative = (in[9] & 0x80) != 0;
    double v;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) ? std::nan("") : HUGE_VAL;
    else
        v = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
    return negative ? -v : v;
}

// Texts of names and values are nearly always ASCII, whose UTF-8 form is
// the text itself: written byte by byte without a conversion.
bool IsAscii(std::u16string_view s) {
    for (char16_t c : s)
        if (c >= 0x80) return false;
    return true;
}

// One object per thread, kept from use to use for its room; a use that starts
// while it is busy (an image written or read inside another's) gets one of
// its own.
template <class T>
class TPerThread {
public:
    TPerThread() {
        bool& busy = SpareBusy();
        if (busy) {
            FObject = &FOwn.emplace();
        } else {
            busy = true;
            FBusy = &busy;
            FObject = &Spare();
        }
    }
    ~TPerThread() {
        if (FBusy) *FBusy = false;
    }
    TPerThread(const TPerThread&) = delete;
    TPerThread& operator=(const TPerThread&) = delete;
    T& operator*() { return *FObject; }

private:
    static T& Spare() {
        thread_local T spare;
        return spare;
    }
    static bool& SpareBusy() {
        thread_local bool busy = false;
        return busy;
    }
    bool* FBusy = nullptr;
    std::optional<T> FOwn;
    T* FObject = nullptr;
};

// Where an image is put together before it goes out whole: appending is
// all it does.
class TImageSink : public TStream {
public:
    int Read(void*, int) override { return 0; }
    int Write(const void* buffer, int count) override {
        if (count <= 0) return 0;
        Bytes.append(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
        return count;
    }
    Int64 Seek(Int64 offset, TSeekOrigin origin) override {
        // Only where it stands and how long it is are ever asked.
        if (offset == 0 && origin != soBeginning) return static_cast<Int64>(Bytes.size());
        throw EWriteError(u"Stream write error");
    }
    Int64 Size() override { return static_cast<Int64>(Bytes.size()); }
    ByteString Bytes;
};

// A stream that keeps a copy of every byte read through it: the raw form of
// a value, checked now and decoded once the whole image is known to be sound.
class TCaptureStream : public TStream {
public:
    explicit TCaptureStream(TStream& source) : FSource(source) {}
    int Read(void* buffer, int count) override {
        const int n = FSource.Read(buffer, count);
        if (n > 0) Captured.append(static_cast<const char*>(buffer), static_cast<std::size_t>(n));
        return n;
    }
    int Write(const void*, int) override { return 0; }
    // Only the step back after a peek at the next value.
    Int64 Seek(Int64 offset, TSeekOrigin origin) override {
        if (origin != soCurrent || offset > 0 || -offset > static_cast<Int64>(Captured.size()))
            throw EReadError(u"Stream read error");
        Captured.resize(Captured.size() - static_cast<std::size_t>(-offset));
        return FSource.Seek(offset, soCurrent);
    }
    Int64 Size() override { return FSource.Size(); }
    ByteString Captured;

private:
    TStream& FSource;
};

Cardinal ReadCount(TReader& r) {
    const Cardinal n = r.Stream().ReadDWord();
    // A count beyond what the stream holds is damage, not a reason to allocate.
    const Int64 left = r.Stream().Size() - r.Stream().Position();
    if (left >= 0 && n > left) throw EReadError(u"Stream read error");
    return n;
}

void SkipValue(TReader& r, int depth = 0) {
    if (depth > 64) InvalidFormat();
    TStream& s = r.Stream();
    const TValueType t = r.ReadValue();
    switch (t) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: return;
    case vaList:
        while (!r.EndOfList()) SkipValue(r, depth + 1);
        r.ReadListEnd();
        return;
    case vaInt8: s.ReadBytes(1); return;
    case vaInt16: s.ReadBytes(2); return;
    case vaInt32:
    case vaSingle: s.ReadBytes(4); return;
    case vaExtended: s.ReadBytes(10); return;
    case vaCurrency:
    case vaDate:
    case vaInt64:
    case vaDouble: s.ReadBytes(8); return;
    case vaString:
    case vaIdent: r.ReadShortStr(); return;
    case vaBinary:
    case vaLString:
    case vaUTF8String: s.ReadBytes(static_cast<int>(ReadCount(r))); return;
    case vaWString: {
        const Cardinal n = s.ReadDWord();
        if (n > 0x3FFFFFFF) InvalidFormat();
        s.ReadBytes(static_cast<int>(n * 2));
        return;
    }
    case vaSet:
        while (!r.ReadShortStr().empty()) {
        }
        return;
    case vaCollection:
        while (!r.EndOfList()) {
            const TValueType n = r.NextValue();
            if (n == vaInt8 || n == vaInt16 || n == vaInt32) r.ReadInteger();  // the item's order value
            r.ReadListBegin();
            while (!r.EndOfList()) {
                r.ReadShortStr();
                SkipValue(r, depth + 1);
            }
            r.ReadListEnd();
        }
        r.ReadListEnd();
        return;
    }
    InvalidFormat();
}

// ---- colour names ----

struct ColorName {
    TColor Color;
    const char16_t* Name;
};

const ColorName kColorNames[] = {
    {clBlack, u"clBlack"}, {clMaroon, u"clMaroon"}, {clGreen, u"clGreen"}, {clOlive, u"clOlive"},
    {clNavy, u"clNavy"}, {clPurple, u"clPurple"}, {clTeal, u"clTeal"}, {clGray, u"clGray"},
    {clSilver, u"clSilver"}, {clRed, u"clRed"}, {clLime, u"clLime"}, {clYellow, u"clYellow"},
    {clBlue, u"clBlue"}, {clFuchsia, u"clFuchsia"}, {clAqua, u"clAqua"}, {clWhite, u"clWhite"},
    {clMoneyGreen, u"clMoneyGreen"}, {clSkyBlue, u"clSkyBlue"}, {clCream, u"clCream"}, {clMedGray, u"clMedGray"},
    {clActiveBorder, u"clActiveBorder"}, {clActiveCaption, u"clActiveCaption"},
    {clAppWorkSpace, u"clAppWorkSpace"}, {clBackground, u"clBackground"}, {clBtnFace, u"clBtnFace"},
    {clBtnHighlight, u"clBtnHighlight"}, {clBtnShadow, u"clBtnShadow"}, {clBtnText, u"clBtnText"},
    {clCaptionText, u"clCaptionText"}, {clDefault, u"clDefault"},
    {clGradientActiveCaption, u"clGradientActiveCaption"}, {clGradientInactiveCaption, u"clGradientInactiveCaption"},
    {clGrayText, u"clGrayText"}, {clHighlight, u"clHighlight"}, {clHighlightText, u"clHighlightText"},
    {clHotLight, u"clHotLight"}, {clInactiveBorder, u"clInactiveBorder"}, {clInactiveCaption, u"clInactiveCaption"},
    {clInactiveCaptionText, u"clInactiveCaptionText"}, {clInfoBk, u"clInfoBk"}, {clInfoText, u"clInfoText"},
    {clMenu, u"clMenu"}, {clMenuBar, u"clMenuBar"}, {clMenuHighlight, u"clMenuHighlight"},
    {clMenuText, u"clMenuText"}, {clNone, u"clNone"}, {clScrollBar, u"clScrollBar"},
    {cl3DDkShadow, u"cl3DDkShadow"}, {cl3DLight, u"cl3DLight"}, {clWindow, u"clWindow"},
    {clWindowFrame, u"clWindowFrame"}, {clWindowText, u"clWindowText"},
};

// The colour a name spelled exactly as in the table above gives, found by
// its bytes as an image has them; other spellings go through IdentToColor.
bool ColorOfRawName(std::string_view raw, TColor& color) {
    struct TNames {
        std::vector<std::string> Spelled;
        std::unordered_map<std::string_view, TColor> Colors;  // views of Spelled
        TNames() {
            Spelled.reserve(std::size(kColorNames));
            for (const ColorName& c : kColorNames) {
                const std::u16string_view name = c.Name;
                Colors.emplace(Spelled.emplace_back(name.begin(), name.end()), c.Color);
            }
        }
    };
    static const TNames names;
    const auto it = names.Colors.find(raw);
    if (it == names.Colors.end()) return false;
    color = it->second;
    return true;
}

// ---- graphics: their pixels as the "Data" property ----

// The graphic kinds a picture can hold, by the class name its data names.
struct GraphicKind {
    const char16_t* Name;
    bool Sized;  // its data starts with the 4-byte size of the file image
    std::function<TGraphic*()> Make;
    std::function<bool(const TGraphic*)> Is;
};
template <class T>
GraphicKind Kind(const char16_t* name, bool sized) {
    return {name, sized, [] { return new T; }, [](const TGraphic* g) { return dynamic_cast<const T*>(g) != nullptr; }};
}
const std::vector<GraphicKind>& GraphicKinds() {
    static const std::vector<GraphicKind> kinds = {
        Kind<TBitmap>(u"TBitmap", true),       Kind<TIcon>(u"TIcon", false),     Kind<TJPEGImage>(u"TJPEGImage", true),
        Kind<TPngImage>(u"TPngImage", false), Kind<TGIFImage>(u"TGIFImage", false),
    };
    return kinds;
}

void WriteGraphicData(TStream& s, const TGraphic& g, bool sized) {
    const ByteString image = g.SaveToBytes();
    if (sized) s.WriteDWord(static_cast<Cardinal>(image.size()));
    s.WriteBytes(image);
}

void ReadGraphicData(TStream& s, TGraphic& g, bool sized) {
    Int64 n = s.Size() - s.Position();
    if (sized) {
        const Cardinal size = s.ReadDWord();
        if (size > n - 4) throw EReadError(u"Stream read error");
        n = size;
    }
    try {
        g.LoadFromBytes(s.ReadBytes(static_cast<int>(n)));
    } catch (const EInvalidGraphic& e) {
        throw EReadError(e.Message());
    }
}

std::vector<TStreamClass> GraphicClasses() {
    std::vector<TStreamClass> list;
    for (const GraphicKind& k : GraphicKinds()) {
        TStreamClass c;
        c.ClassName = k.Name;
        const bool sized = k.Sized;
        c.DefineProperties = [sized](TPersistent& o, TFiler& filer) {
            auto& g = static_cast<TGraphic&>(o);
            filer.DefineBinaryProperty(
                u"Data", [&g, sized](TStream& s) { ReadGraphicData(s, g, sized); },
                [&g, sized](TStream& s) { WriteGraphicData(s, g, sized); }, !g.Empty());
        };
        list.push_back(std::move(c));
    }
    TStreamClass picture;
    picture.ClassName = u"TPicture";
    picture.DefineProperties = [](TPersistent& o, TFiler& filer) {
        auto& p = static_cast<TPicture&>(o);
        filer.DefineBinaryProperty(
            u"Data",
            [&p](TStream& s) {
                TReader r(s);
                const String name = r.ReadShortStr();
                if (name.empty()) return;
                for (const GraphicKind& k : GraphicKinds())
                    if (name == k.Name) {
                        std::unique_ptr<TGraphic> g(k.Make());
                        ReadGraphicData(s, *g, k.Sized);
                        p.SetGraphic(g.get());
                        return;
                    }
                throw EReadError(u"Class " + name + u" not found");
            },
            [&p](TStream& s) {
                TWriter w(s);
                const TGraphic* g = p.Graphic();
                for (const GraphicKind& k : GraphicKinds())
                    if (g && k.Is(g)) {
                        w.WriteShortStr(k.Name);
                        WriteGraphicData(s, *g, k.Sized);
                        return;
                    }
                w.WriteShortStr(String());
            },
            p.Graphic() != nullptr && !p.Graphic()->Empty());
    };
    list.push_back(std::move(picture));
    return list;
}

// ---- fonts: the settings a form keeps of them ----

TStreamClass FontClass() {
    TStreamClass c;
    c.ClassName = u"TFont";
    c.Properties = {
        OrdinalProperty<TFont>(u"Charset", pkInteger, [](TFont& f) { return f.Charset(); },
                               [](TFont& f, Int64 v) { f.SetCharset(TFontCharset(v)); }, {}, DEFAULT_CHARSET),
        OrdinalProperty<TFont>(u"Color", pkColor, [](TFont& f) { return f.Color(); },
                               [](TFont& f, Int64 v) { f.SetColor(TColor(v)); }, {}, clWindowText),
        OrdinalProperty<TFont>(u"Height", pkInteger, [](TFont& f) { return f.Height(); },
                               [](TFont& f, Int64 v) { f.SetHeight(int(v)); }),
        StringProperty<TFont>(u"Name", [](TFont& f) { return f.Name(); }, [](TFont& f, const String& v) { f.SetName(v); }),
        OrdinalProperty<TFont>(u"Orientation", pkInteger, [](TFont& f) { return f.Orientation(); },
                               [](TFont& f, Int64 v) { f.SetOrientation(int(v)); }, {}, 0),
        OrdinalProperty<TFont>(u"Pitch", pkEnumeration, [](TFont& f) { return f.Pitch(); },
                               [](TFont& f, Int64 v) { f.SetPitch(TFontPitch(v)); },
                               {u"fpDefault", u"fpVariable", u"fpFixed"}, fpDefault),
        OrdinalProperty<TFont>(u"Style", pkSet, [](TFont& f) { return Int64(f.Style().Bits()); },
                               [](TFont& f, Int64 v) {
                                   TFontStyles Styles;
                                   for (int i = fsBold; i <= fsStrikeOut; ++i)
                                       if (v & (Int64(1) << i)) Styles.Include(TFontStyle(i));
                                   f.SetStyle(Styles);
                               },
                               {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"}, 0),
    };
    return c;
}

// ---- the class registry ----

std::mutex g_classesMutex;
std::map<String, TStreamClass>& Classes() {
    static std::map<String, TStreamClass> classes = [] {
        std::map<String, TStreamClass> m;
        TStreamClass list;
        list.ClassName = u"TStringList";
        list.DefineProperties = [](TPersistent& o, TFiler& filer) {
            auto& sl = static_cast<TStringList&>(o);
            filer.DefineProperty(
                u"Strings",
                [&sl](TReader& r) {
                    sl.Clear();
                    r.ReadListBegin();
                    while (!r.EndOfList()) sl.Add(r.ReadString());
                    r.ReadListEnd();
                },
                [&sl](TWriter& w) {
                    w.WriteListBegin();
                    for (int i = 0; i < sl.Count(); ++i) w.WriteString(sl.Strings(i));
                    w.WriteListEnd();
                },
                sl.Count() > 0);
        };
        m[list.ClassName] = std::move(list);
        for (TStreamClass& c : GraphicClasses()) m[c.ClassName] = std::move(c);
        m[u"TFont"] = FontClass();
        return m;
    }();
    return classes;
}

const TStreamClass& ClassOf(const String& name) {
    const TStreamClass* c = FindStreamClass(name);
    if (!c) throw EReadError(u"Class " + name + u" not found");
    return *c;
}

// Each registration changes the tables; what readers derived from them
// (name lookups, the classes of nested objects) is then derived anew.
std::atomic<unsigned> g_registryGeneration{0};

// What reading needs of a class table, derived once per table: its
// properties by name (the last of a name wins, as a search through the
// list finds it), the identifier index of each enumeration or set, and the
// table of each nested object (null when not registered).
// A name as the bytes an image spells it with. Only ASCII names are
// compared so: an image's names are read as ASCII or not at all.
struct TRawName {
    std::string Bytes;
    bool Ascii = false;
    bool Is(std::string_view raw) const { return Ascii && Bytes == raw; }
};

TRawName RawNameOf(const String& name) {
    TRawName n;
    n.Ascii = IsAscii(name);
    if (n.Ascii) n.Bytes.assign(name.begin(), name.end());
    return n;
}

struct TClassIndex {
    TNameIndex Properties;
    bool UniqueNames = true;  // no two properties share a name
    std::vector<TNameIndex> Idents;
    std::vector<char> UniqueIdents;  // per property: no two of its identifiers share a name
    std::vector<const TStreamClass*> Nested;
    // The names and identifiers as raw bytes, per property, for reading
    // images in memory without widening every name first.
    std::vector<TRawName> RawNames;
    std::vector<std::vector<TRawName>> RawIdents;
};

struct TReadCache {
    unsigned Generation = 0;
    std::unordered_map<String, const TStreamClass*> Classes;
    std::unordered_map<const TStreamClass*, std::unique_ptr<TClassIndex>> Indexes;

    void Refresh() {
        const unsigned g = g_registryGeneration.load(std::memory_order_acquire);
        if (g == Generation) return;
        Classes.clear();
        Indexes.clear();
        Generation = g;
    }
};

// Per thread, so that reading takes no lock once the tables are known.
TReadCache& ReadCache() {
    thread_local TReadCache cache;
    cache.Refresh();
    return cache;
}

// The table of a class, null when none is registered; known tables are
// found without the registry's lock.
const TStreamClass* CachedFindClass(const String& name) {
    TReadCache& cache = ReadCache();
    const auto it = cache.Classes.find(name);
    if (it != cache.Classes.end() && it->second) return it->second;
    const TStreamClass* c = FindStreamClass(name);
    if (c) cache.Classes[name] = c;
    return c;
}

const TStreamClass& CachedClassOf(const String& name) {
    TReadCache& cache = ReadCache();
    const auto it = cache.Classes.find(name);
    if (it != cache.Classes.end() && it->second) return *it->second;
    const TStreamClass& c = ClassOf(name);
    cache.Classes[name] = &c;
    return c;
}

const TClassIndex& IndexOf(const TStreamClass& cls) {
    TReadCache& cache = ReadCache();
    std::unique_ptr<TClassIndex>& slot = cache.Indexes[&cls];
    if (slot) return *slot;
    auto index = std::make_unique<TClassIndex>();
    for (std::size_t i = 0; i < cls.Properties.size(); ++i) index->Properties[cls.Properties[i].Name] = i;
    index->UniqueNames = index->Properties.size() == cls.Properties.size();
    for (const TPropertyInfo& p : cls.Properties) {
        index->Idents.push_back(IndexNames(p.Idents));
        index->UniqueIdents.push_back(index->Idents.back().size() == p.Idents.size());
        index->Nested.push_back(p.Kind == pkObject ? FindStreamClass(p.ObjectClass) : nullptr);
        index->RawNames.push_back(RawNameOf(p.Name));
        auto& idents = index->RawIdents.emplace_back();
        for (const String& id : p.Idents) idents.push_back(RawNameOf(id));
    }
    slot = std::move(index);
    return *slot;
}

// ---- defined properties ----

struct Defined {
    String Name;
    bool Binary = false;
    std::function<void(TReader&)> Read;
    std::function<void(TWriter&)> Write;
    std::function<void(TStream&)> ReadBin;
    std::function<void(TStream&)> WriteBin;
    bool HasData = false;
};

class TCollectFiler : public TFiler {
public:
    void DefineProperty(const String& Name, std::function<void(TReader&)> ReadData,
                        std::function<void(TWriter&)> WriteData, bool HasData) override {
        Defined d;
        d.Name = Name;
        d.Read = std::move(ReadData);
        d.Write = std::move(WriteData);
        d.HasData = HasData;
        List.push_back(std::move(d));
    }
    void DefineBinaryProperty(const String& Name, std::function<void(TStream&)> ReadData,
                              std::function<void(TStream&)> WriteData, bool HasData) override {
        Defined d;
        d.Name = Name;
        d.Binary = true;
        d.ReadBin = std::move(ReadData);
        d.WriteBin = std::move(WriteData);
        d.HasData = HasData;
        List.push_back(std::move(d));
    }
    std::vector<Defined> List;
};

std::vector<Defined> DefinedOf(TPersistent& o, const TStreamClass& cls) {
    TCollectFiler filer;
    if (cls.DefineProperties) cls.DefineProperties(o, filer);
    return std::move(filer.List);
}

// ---- writing ----

void WriteProperties(TWriter& w, TPersistent& o, const TStreamClass& cls, const String& prefix) {
    String name;
    for (const TPropertyInfo& p : cls.Properties) {
        if (p.Stored && !p.Stored(o)) continue;
        // The names of a nested object's properties carry its path.
        const String& pname = prefix.empty() ? p.Name : (name.assign(prefix).append(p.Name), name);
        switch (p.Kind) {
        case pkObject:
            if (TPersistent* inner = p.GetObject(o)) WriteProperties(w, *inner, CachedClassOf(p.ObjectClass), pname + u".");
            break;
        case pkString: {
            const String v = p.GetStr(o);
            if (v.empty()) break;
            w.WriteShortStr(pname);
            w.WriteString(v);
            break;
        }
        case pkFloat: {
            const double v = p.GetFloat(o);
            if (v == 0) break;
            w.WriteShortStr(pname);
            w.WriteFloat(v);
            break;
        }
        default: {
            const Int64 v = p.GetOrd(o);
            if (p.Default && *p.Default == v) break;
            w.WriteShortStr(pname);
            String ident;
            if (p.Kind == pkBoolean)
                w.WriteBoolean(v != 0);
            else if (p.Kind == pkEnumeration) {
                if (v < 0 || v >= static_cast<Int64>(p.Idents.size())) throw EWriteError(u"Invalid property value");
                w.WriteIdent(p.Idents[static_cast<std::size_t>(v)]);
            } else if (p.Kind == pkSet) {
                std::vector<String> members;
                for (std::size_t i = 0; i < p.Idents.size() && i < 64; ++i)
                    if (v & (Int64(1) << i)) members.push_back(p.Idents[i]);
                w.WriteSet(members);
            } else if (p.Kind == pkColor && ColorToIdent(static_cast<TColor>(v), ident))
                w.WriteIdent(ident);
            else
                w.WriteInteger(v);
        }
        }
    }
    if (!cls.DefineProperties) return;
    for (Defined& d : DefinedOf(o, cls)) {
        if (!d.HasData) continue;
        w.WriteShortStr(prefix + d.Name);
        if (d.Binary) {
            TMemoryStream data;
            d.WriteBin(data);
            w.WriteBinary(data.Bytes());
        } else {
            d.Write(w);
        }
    }
}

// ---- reading: checks every value into an action, then applies them all ----

using Action = std::function<void()>;

Action ResolvePublished(const TPropertyInfo& p, const TNameIndex& idents, TPersistent& o, const ByteString& raw) {
    TStringStream s(raw);
    TReader r(s);
    Action act;
    switch (p.Kind) {
    case pkString: {
        String v = r.ReadString();
        act = [&p, &o, v] { p.SetStr(o, v); };
        break;
    }
    case pkFloat: {
        const double v = r.ReadFloat();
        act = [&p, &o, v] { p.SetFloat(o, v); };
        break;
    }
    case pkBoolean: {
        const bool v = r.ReadBoolean();
        act = [&p, &o, v] { p.SetOrd(o, v ? 1 : 0); };
        break;
    }
    case pkEnumeration: {
        const auto found = idents.find(r.ReadIdent());
        if (found == idents.end()) InvalidValue();
        const std::size_t i = found->second;
        act = [&p, &o, i] { p.SetOrd(o, static_cast<Int64>(i)); };
        break;
    }
    case pkSet: {
        Int64 mask = 0;
        for (const String& m : r.ReadSet()) {
            const auto found = idents.find(m);
            if (found == idents.end() || found->second >= 64) InvalidValue();
            mask |= Int64(1) << found->second;
        }
        act = [&p, &o, mask] { p.SetOrd(o, mask); };
        break;
    }
    case pkColor: {
        Int64 v;
        if (r.NextValue() == vaIdent) {
            TColor c;
            if (!IdentToColor(r.ReadIdent(), c)) InvalidValue();
            v = c;
        } else {
            v = r.ReadInteger();
        }
        act = [&p, &o, v] { p.SetOrd(o, v); };
        break;
    }
    case pkInteger: {
        const Int64 v = r.ReadInteger();
        act = [&p, &o, v] { p.SetOrd(o, v); };
        break;
    }
    case pkObject: InvalidValue();  // an object has no value of its own
    }
    if (s.Position() != s.Size()) InvalidValue();
    return act;
}

// Finds what a property path names, starting at the root object; the action
// that stores the raw value there, or EReadError. Without a root only the
// names and published values are checked (the action does nothing): a name
// the published tables do not know may then still be one the class defines
// for each object, which is found out when it is set.
Action Resolve(TPersistent* root, const TStreamClass& rootClass, const String& path, const ByteString& raw,
               std::vector<std::vector<Defined>>& keep) {
    static TPersistent unchecked;  // stands in for a missing root; its actions are never run
    TPersistent* o = root;
    const TStreamClass* cls = &rootClass;
    std::u16string_view rest = path;
    for (;;) {
        const TClassIndex& index = IndexOf(*cls);
        const std::size_t dot = rest.find(u'.');
        const auto at = index.Properties.find(rest.substr(0, dot));
        const std::size_t i = at == index.Properties.end() ? 0 : at->second;
        const TPropertyInfo* found = at == index.Properties.end() ? nullptr : &cls->Properties[i];
        if (found && dot != String::npos) {
            if (found->Kind != pkObject) break;
            TPersistent* inner = o ? found->GetObject(*o) : nullptr;
            if (o && !inner) break;
            if (!index.Nested[i]) throw EReadError(u"Class " + found->ObjectClass + u" not found");
            o = inner;
            cls = index.Nested[i];
            rest = rest.substr(dot + 1);
            continue;
        }
        if (found && found->Kind != pkObject) return ResolvePublished(*found, index.Idents[i], o ? *o : unchecked, raw);
        if (found) break;
        if (!o) {
            if (cls->DefineProperties) return [] {};
            break;
        }
        keep.push_back(DefinedOf(*o, *cls));
        for (Defined& d : keep.back()) {
            if (!TextEqual()(d.Name, rest)) continue;
            TStringStream s(raw);
            TReader r(s);
            if (d.Binary) {
                if (r.NextValue() != vaBinary) InvalidValue();
                const ByteString bytes = r.ReadBinary();
                return [&d, bytes] {
                    TStringStream data(bytes);
                    d.ReadBin(data);
                };
            }
            return [&d, raw] {
                TStringStream data(raw);
                TReader reader(data);
                d.Read(reader);
            };
        }
        break;
    }
    throw EReadError(u"Property " + path + u" does not exist");
}

}  // namespace

// ---- TWriter ----

void TWriter::Put(const void* Buffer, std::size_t Count) {
    if (Count > static_cast<std::size_t>(std::numeric_limits<int>::max())) throw EWriteError("Stream write error");
    if (FDirect) FDirect->append(static_cast<const char*>(Buffer), Count);
    else FStream.WriteBuffer(Buffer, static_cast<int>(Count));
}

void TWriter::PutBytes(std::string_view Bytes) { Put(Bytes.data(), Bytes.size()); }

void TWriter::PutByte(Byte Value) {
    if (FDirect) FDirect->push_back(static_cast<char>(Value));
    else FStream.WriteByte(Value);
}

// Count bytes of Value, lowest first.
void TWriter::PutLittle(UInt64 Value, int Count) {
    Byte b[8];
    for (int k = 0; k < Count; ++k) b[k] = static_cast<Byte>(Value >> (8 * k));
    Put(b, static_cast<std::size_t>(Count));
}

void TWriter::WriteValue(TValueType value) { PutByte(value); }

void TWriter::WriteShortStr(const String& text) {
    if (IsAscii(text)) {
        char bytes[256];
        const std::size_t n = std::min<std::size_t>(text.size(), 255);
        bytes[0] = static_cast<char>(n);
        for (std::size_t i = 0; i < n; ++i) bytes[i + 1] = static_cast<char>(text[i]);
        Put(bytes, n + 1);
        return;
    }
    std::string bytes = StringToUtf8(text);
    if (bytes.size() > 255) bytes.resize(255);
    PutByte(static_cast<Byte>(bytes.size()));
    PutBytes(bytes);
}

void TWriter::WriteInteger(Int64 value) {
    if (value >= -128 && value <= 127) {
        WriteValue(vaInt8);
        PutByte(static_cast<Byte>(value));
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(vaInt16);
        PutLittle(static_cast<UInt64>(value), 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        PutLittle(static_cast<UInt64>(value), 4);
    } else {
        WriteValue(vaInt64);
        PutLittle(static_cast<UInt64>(value), 8);
    }
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteIdent(const String& ident) {
    WriteValue(vaIdent);
    WriteShortStr(ident);
}

void TWriter::WriteString(const String& text) {
    if (text.size() < 256 && IsAscii(text)) {
        char bytes[257];
        bytes[0] = static_cast<char>(vaString);
        bytes[1] = static_cast<char>(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) bytes[i + 2] = static_cast<char>(text[i]);
        Put(bytes, text.size() + 2);
        return;
    }
    const std::string utf8 = StringToUtf8(text);
    if (!text.empty() && utf8.size() >= 2 * text.size()) {
        WriteValue(vaWString);
        PutLittle(static_cast<Cardinal>(text.size()), 4);
        PutBytes(StringToUtf16LE(text));
        return;
    }
    bool high = false;
    for (unsigned char c : utf8) high = high || c >= 128;
    if (high)
        WriteValue(vaUTF8String);
    else if (utf8.size() >= 256)
        WriteValue(vaLString);
    else {
        WriteValue(vaString);
        PutByte(static_cast<Byte>(utf8.size()));
        PutBytes(utf8);
        return;
    }
    PutLittle(static_cast<Cardinal>(utf8.size()), 4);
    PutBytes(utf8);
}

void TWriter::WriteFloat(double value) {
    unsigned char ext[10];
    DoubleToExtended(value, ext);
    WriteValue(vaExtended);
    Put(ext, 10);
}

void TWriter::WriteSet(const std::vector<String>& members) {
    WriteValue(vaSet);
    for (const String& m : members) WriteShortStr(m);
    PutByte(0);
}

void TWriter::WriteBinary(std::string_view bytes) {
    WriteValue(vaBinary);
    PutLittle(static_cast<Cardinal>(bytes.size()), 4);
    PutBytes(bytes);
}

// ---- TReader ----

TValueType TReader::ReadValue() {
    const Byte b = FStream.ReadByte();
    if (b > vaDouble) InvalidFormat();
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
    const TValueType t = ReadValue();
    FStream.Seek(-1, soCurrent);
    return t;
}

String TReader::ReadShortStr() {
    const Byte n = FStream.ReadByte();
    char bytes[255];
    FStream.ReadBuffer(bytes, n);
    // Names are nearly always ASCII, which needs no decoding.
    bool ascii = true;
    for (int i = 0; i < n; ++i) ascii = ascii && static_cast<unsigned char>(bytes[i]) < 0x80;
    if (ascii) return String(bytes, bytes + n);
    return Utf8ToString(std::string_view(bytes, n));
}

Int64 TReader::ReadInteger() {
    switch (ReadValue()) {
    case vaInt8: return static_cast<std::int8_t>(FStream.ReadByte());
    case vaInt16: return static_cast<std::int16_t>(FStream.ReadWord());
    case vaInt32: return static_cast<std::int32_t>(FStream.ReadDWord());
    case vaInt64: return FStream.ReadInt64();
    default: InvalidValue();
    }
}

bool TReader::ReadBoolean() {
    switch (ReadValue()) {
    case vaTrue: return true;
    case vaFalse: return false;
    default: InvalidValue();
    }
}

String TReader::ReadIdent() {
    switch (ReadValue()) {
    case vaIdent: return ReadShortStr();
    case vaFalse: return u"False";
    case vaTrue: return u"True";
    case vaNil: return u"nil";
    case vaNull: return u"Null";
    default: InvalidValue();
    }
}

String TReader::ReadString() {
    switch (ReadValue()) {
    case vaString: return Windows1252ToString(FStream.ReadBytes(FStream.ReadByte()));
    case vaLString: return Windows1252ToString(FStream.ReadBytes(static_cast<int>(ReadCount(*this))));
    case vaUTF8String: return Utf8ToString(FStream.ReadBytes(static_cast<int>(ReadCount(*this))));
    case vaWString: {
        const Cardinal n = FStream.ReadDWord();
        if (n > 0x3FFFFFFF) InvalidFormat();
        return Utf16LEToString(FStream.ReadBytes(static_cast<int>(n * 2)));
    }
    default: InvalidValue();
    }
}

double TReader::ReadFloat() {
    const TValueType t = NextValue();
    switch (t) {
    case vaExtended: {
        ReadValue();
        unsigned char ext[10];
        FStream.ReadBuffer(ext, 10);
        return ExtendedToDouble(ext);
    }
    case vaDouble: {
        ReadValue();
        const UInt64 bits = static_cast<UInt64>(FStream.ReadInt64());
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    case vaSingle: {
        ReadValue();
        const Cardinal bits = FStream.ReadDWord();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    default: return static_cast<double>(ReadInteger());
    }
}

std::vector<String> TReader::ReadSet() {
    if (ReadValue() != vaSet) InvalidValue();
    std::vector<String> members;
    for (String m = ReadShortStr(); !m.empty(); m = ReadShortStr()) members.push_back(m);
    return members;
}

ByteString TReader::ReadBinary() {
    if (ReadValue() != vaBinary) InvalidValue();
    return FStream.ReadBytes(static_cast<int>(ReadCount(*this)));
}

void TReader::ReadListBegin() {
    if (ReadValue() != vaList) InvalidValue();
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::ReadListEnd() {
    if (ReadValue() != vaNull) InvalidValue();
}

// ---- collections ----

void TWriter::WriteCollection(TCollection& Collection, const String& ItemClass) {
    const TStreamClass* cls = FindStreamClass(ItemClass);
    if (!cls) throw EWriteError(u"Class " + ItemClass + u" not found");
    WriteValue(vaCollection);
    for (int i = 0; i < Collection.Count(); ++i) {
        WriteListBegin();
        WriteProperties(*this, *Collection.Items(i), *cls, String());
        WriteListEnd();
    }
    WriteListEnd();
}

void TReader::ReadCollection(TCollection& Collection, const String& ItemClass) {
    const TStreamClass& cls = ClassOf(ItemClass);
    std::vector<std::vector<std::pair<String, ByteString>>> items;
    while (!EndOfList()) {
        const TValueType n = NextValue();
        if (n == vaInt8 || n == vaInt16 || n == vaInt32) ReadInteger();  // an item's order value: not used
        ReadListBegin();
        auto& item = items.emplace_back();
        while (!EndOfList()) {
            String name = ReadShortStr();
            TCaptureStream capture(FStream);
            TReader cr(capture);
            SkipValue(cr);
            item.emplace_back(std::move(name), std::move(capture.Captured));
        }
        ReadListEnd();
    }
    ReadListEnd();
    std::vector<std::vector<Defined>> unused;
    for (const auto& item : items)
        for (const auto& [name, raw] : item) Resolve(nullptr, cls, name, raw, unused);
    // What only setting a value finds wrong (a property the items define for
    // themselves) brings the items back as they were written before.
    std::optional<TMemoryStream> before(std::in_place);
    try {
        TWriter(*before).WriteCollection(Collection, ItemClass);
    } catch (const EWriteError&) {
        before.reset();
    }
    auto fill = [&] {
        Collection.Clear();
        for (const auto& item : items) {
            TCollectionItem* added = Collection.Add();
            std::vector<std::vector<Defined>> keep;
            for (const auto& [name, raw] : item) Resolve(added, cls, name, raw, keep)();
        }
    };
    Collection.BeginUpdate();
    try {
        fill();
    } catch (...) {
        if (before) {
            TStringStream again(ByteString(before->Bytes()));
            TReader r(again);
            r.ReadValue();
            try {
                r.ReadCollection(Collection, ItemClass);
            } catch (...) {
                // the first failure is the one reported
            }
        }
        Collection.EndUpdate();
        throw;
    }
    Collection.EndUpdate();
}

// ---- registry ----

void RegisterStreamClass(TStreamClass Class) {
    std::lock_guard lock(g_classesMutex);
    Classes()[Class.ClassName] = std::move(Class);
    g_registryGeneration.fetch_add(1, std::memory_order_release);
}

const TStreamClass* FindStreamClass(const String& ClassName) {
    std::lock_guard lock(g_classesMutex);
    auto& m = Classes();
    const auto it = m.find(ClassName);
    return it == m.end() ? nullptr : &it->second;
}

// ---- images ----

void WriteComponentImage(TStream& Stream, TComponent& Component) {
    const String className = Component.ClassName();
    const TStreamClass* cls = CachedFindClass(className);
    if (!cls) throw EWriteError(u"Class " + className + u" not found");
    // Built whole first: a failure leaves the stream as it was.
    TPerThread<TImageSink> sink;
    TImageSink& image = *sink;
    image.Bytes.clear();
    TWriter w(image, image.Bytes);
    image.WriteBytes(std::string_view(kSignature, 4));
    w.WriteShortStr(className);
    w.WriteShortStr(Component.Name());
    WriteProperties(w, Component, *cls, String());
    image.WriteByte(0);  // end of the properties
    image.WriteByte(0);  // end of the (empty) child list
    Stream.WriteBytes(image.Bytes);
}

namespace {

// An image held in memory whose properties are all published ones, each
// with a value of its kind, is read straight from the bytes: the common
// image, read to the same effect as below (every value checked before any
// is set, the name set before the values). Anything else, faults included,
// is left to the general reading, which says what is wrong.
class TMemoryImage {
public:
    // Ready for the image at the start of Bytes; what an earlier image left
    // behind keeps only its room.
    void Reset(std::string_view Bytes) {
        FB = Bytes;
        FP = 0;
        FLevels.clear();
        FSettings.clear();
    }
    std::size_t Used() const { return FP; }

    // Checks the whole image and takes its values; nothing is set yet.
    bool Parse(TComponent& Component, const String& ClassName, const TStreamClass& Class) {
        if (!Has(4) || std::memcmp(FB.data(), kSignature, 4) != 0) return false;
        FP = 4;
        std::string_view className;
        if (!Short(className) || !SameAscii(className, ClassName)) return false;
        std::u16string_view name;
        if (!Ascii(name)) return false;
        FName.assign(name);
        for (;;) {
            std::string_view path;
            if (!Short(path)) return false;
            if (path.empty()) break;
            if (!Resolve(Component, Class, path, FSettings.emplace_back())) return false;
        }
        return Byte() == 0;  // child components are not part of these images
    }

    // The name, then the values in the order of the image.
    void Apply(TComponent& Component) {
        Component.SetName(FName);
        for (TSetting& set : FSettings) {
            switch (set.Property->Kind) {
            case pkString: set.Property->SetStr(*set.Object, set.Text); break;
            case pkFloat: set.Property->SetFloat(*set.Object, set.Float); break;
            default: set.Property->SetOrd(*set.Object, set.Ord); break;
            }
        }
    }

private:
    struct TSetting {
        const TPropertyInfo* Property = nullptr;
        TPersistent* Object = nullptr;
        Int64 Ord = 0;
        double Float = 0;
        String Text;
    };

    bool Has(std::size_t N) const { return FP + N <= FB.size(); }
    int Byte() { return Has(1) ? static_cast<unsigned char>(FB[FP++]) : -1; }
    bool Bytes(std::size_t N, std::string_view& Out) {
        if (!Has(N)) return false;
        Out = FB.substr(FP, N);
        FP += N;
        return true;
    }
    bool Unsigned(int N, UInt64& V) {
        std::string_view b;
        if (!Bytes(std::size_t(N), b)) return false;
        V = 0;
        for (int i = N - 1; i >= 0; --i) V = (V << 8) | static_cast<unsigned char>(b[std::size_t(i)]);
        return true;
    }
    // A short string's bytes as they stand.
    bool Short(std::string_view& Out) {
        const int n = Byte();
        return n >= 0 && Bytes(std::size_t(n), Out);
    }
    // Bytes of ASCII only, as a view of a buffer of this reader.
    bool Widen(std::string_view Raw, std::u16string_view& Out) {
        for (std::size_t i = 0; i < Raw.size(); ++i) {
            if (static_cast<unsigned char>(Raw[i]) >= 0x80) return false;
            FText[i] = char16_t(Raw[i]);
        }
        Out = std::u16string_view(FText, Raw.size());
        return true;
    }
    // A short string of ASCII only, as a view of a buffer of this reader.
    bool Ascii(std::u16string_view& Out) {
        std::string_view b;
        return Short(b) && Widen(b, Out);
    }
    static bool SameAscii(std::string_view Raw, std::u16string_view Text) {
        if (Raw.size() != Text.size()) return false;
        for (std::size_t i = 0; i < Raw.size(); ++i)
            if (static_cast<unsigned char>(Raw[i]) >= 0x80 || char16_t(Raw[i]) != Text[i]) return false;
        return true;
    }
    bool Integer(int Type, Int64& V) {
        UInt64 u = 0;
        switch (Type) {
        case vaInt8: if (!Unsigned(1, u)) return false; V = static_cast<std::int8_t>(u); return true;
        case vaInt16: if (!Unsigned(2, u)) return false; V = static_cast<std::int16_t>(u); return true;
        case vaInt32: if (!Unsigned(4, u)) return false; V = static_cast<std::int32_t>(u); return true;
        case vaInt64: if (!Unsigned(8, u)) return false; V = static_cast<Int64>(u); return true;
        default: return false;
        }
    }
    bool Ident(int Type, const TNameIndex& Idents, std::size_t& Index) {
        std::string_view raw;
        switch (Type) {
        case vaIdent: if (!Short(raw)) return false; break;
        case vaFalse: raw = "False"; break;
        case vaTrue: raw = "True"; break;
        case vaNil: raw = "nil"; break;
        case vaNull: raw = "Null"; break;
        default: return false;
        }
        // Written as the table spells them: found by a plain look along it.
        if (FUniqueIdents)
            for (std::size_t k = 0; k < FRawIdents->size(); ++k)
                if ((*FRawIdents)[k].Is(raw)) {
                    Index = k;
                    return true;
                }
        std::u16string_view id;
        if (!Widen(raw, id)) return false;
        const auto found = Idents.find(id);
        if (found == Idents.end()) return false;
        Index = found->second;
        return true;
    }
    // The property a path segment names in a class. Images list the
    // properties in the order of the table, and a nested object's ones one
    // after the other under its name: the one after the last found, then the
    // last found itself, are tried first.
    bool Find(const TClassIndex& Index, std::size_t Next, std::string_view Segment, std::size_t& At) {
        if (Index.UniqueNames) {
            const std::size_t n = Index.RawNames.size();
            if (Next < n && Index.RawNames[Next].Is(Segment)) {
                At = Next;
                return true;
            }
            if (Next > 0 && Next <= n && Index.RawNames[Next - 1].Is(Segment)) {
                At = Next - 1;
                return true;
            }
        }
        std::u16string_view name;
        if (!Widen(Segment, name)) return false;
        const auto at = Index.Properties.find(name);
        if (at == Index.Properties.end()) return false;
        At = at->second;
        return true;
    }
    bool Resolve(TPersistent& Root, const TStreamClass& RootClass, std::string_view Path, TSetting& Set) {
        TPersistent* o = &Root;
        const TStreamClass* cls = &RootClass;
        for (;;) {
            TLevel& level = Level(*cls);
            const TClassIndex& index = *level.Index;
            const std::size_t dot = Path.find('.');
            std::size_t i = 0;
            if (!Find(index, level.Next, Path.substr(0, dot), i)) return false;
            level.Next = i + 1;
            const TPropertyInfo& p = cls->Properties[i];
            if (dot != std::string_view::npos) {
                if (p.Kind != pkObject || !index.Nested[i]) return false;
                o = p.GetObject(*o);
                if (!o) return false;
                cls = index.Nested[i];
                Path = Path.substr(dot + 1);
                continue;
            }
            Set.Property = &p;
            Set.Object = o;
            FUniqueIdents = index.UniqueIdents[i];
            FRawIdents = &index.RawIdents[i];
            return Value(p, index.Idents[i], Set);
        }
    }
    bool Value(const TPropertyInfo& P, const TNameIndex& Idents, TSetting& Set) {
        const int type = Byte();
        std::string_view b;
        UInt64 n = 0;
        switch (P.Kind) {
        case pkString:
            switch (type) {
            case vaString: {
                const int len = Byte();
                if (len < 0 || !Bytes(std::size_t(len), b)) return false;
                Set.Text = Windows1252ToString(b);
                return true;
            }
            case vaLString:
            case vaUTF8String:
                if (!Unsigned(4, n) || !Bytes(n, b)) return false;
                Set.Text = type == vaLString ? Windows1252ToString(b) : Utf8ToString(b);
                return true;
            case vaWString:
                if (!Unsigned(4, n) || n > 0x3FFFFFFF || !Bytes(n * 2, b)) return false;
                Set.Text = Utf16LEToString(b);
                return true;
            default: return false;
            }
        case pkFloat: {
            unsigned char ext[10];
            switch (type) {
            case vaExtended:
                if (!Bytes(10, b)) return false;
                std::memcpy(ext, b.data(), 10);
                Set.Float = ExtendedToDouble(ext);
                return true;
            case vaDouble: {
                if (!Unsigned(8, n)) return false;
                std::memcpy(&Set.Float, &n, 8);
                return true;
            }
            case vaSingle: {
                if (!Unsigned(4, n)) return false;
                const Cardinal bits = Cardinal(n);
                float f;
                std::memcpy(&f, &bits, 4);
                Set.Float = f;
                return true;
            }
            default: {
                Int64 v = 0;
                if (!Integer(type, v)) return false;
                Set.Float = static_cast<double>(v);
                return true;
            }
            }
        }
        case pkBoolean:
            if (type != vaTrue && type != vaFalse) return false;
            Set.Ord = type == vaTrue ? 1 : 0;
            return true;
        case pkEnumeration: {
            std::size_t i = 0;
            if (!Ident(type, Idents, i)) return false;
            Set.Ord = static_cast<Int64>(i);
            return true;
        }
        case pkSet: {
            if (type != vaSet) return false;
            Int64 mask = 0;
            for (;;) {
                std::u16string_view m;
                if (!Ascii(m)) return false;
                if (m.empty()) break;
                const auto found = Idents.find(m);
                if (found == Idents.end() || found->second >= 64) return false;
                mask |= Int64(1) << found->second;
            }
            Set.Ord = mask;
            return true;
        }
        case pkColor: {
            if (type == vaIdent) {
                std::string_view raw;
                if (!Short(raw)) return false;
                TColor c;
                if (!ColorOfRawName(raw, c)) {
                    std::u16string_view id;
                    if (!Widen(raw, id) || !IdentToColor(String(id), c)) return false;
                }
                Set.Ord = c;
                return true;
            }
            return Integer(type, Set.Ord);
        }
        case pkInteger: return Integer(type, Set.Ord);
        case pkObject: return false;
        }
        return false;
    }

    // The index of each class met in this image, and where its next property is expected.
    struct TLevel {
        const TStreamClass* Class = nullptr;
        const TClassIndex* Index = nullptr;
        std::size_t Next = 0;
    };
    TLevel& Level(const TStreamClass& Class) {
        for (TLevel& l : FLevels)
            if (l.Class == &Class) return l;
        FLevels.push_back({&Class, &IndexOf(Class), 0});
        return FLevels.back();
    }

    std::string_view FB;
    std::size_t FP = 0;
    char16_t FText[256];
    std::vector<TLevel> FLevels;
    bool FUniqueIdents = false;
    const std::vector<TRawName>* FRawIdents = nullptr;  // those of the property whose value is read
    String FName;
    std::vector<TSetting> FSettings;
};

}  // namespace

void ReadComponentImage(TStream& Stream, TComponent& Component) {
    const String className = Component.ClassName();
    const TStreamClass& cls = CachedClassOf(className);
    if (auto* memory = dynamic_cast<TMemoryStream*>(&Stream)) {
        const Int64 at = memory->Position();
        const std::string_view bytes = memory->Bytes();
        if (at >= 0 && static_cast<std::size_t>(at) <= bytes.size()) {
            TPerThread<TMemoryImage> reader;
            TMemoryImage& image = *reader;
            image.Reset(bytes.substr(static_cast<std::size_t>(at)));
            if (image.Parse(Component, className, cls)) {
                memory->SetPosition(at + static_cast<Int64>(image.Used()));
                image.Apply(Component);
                return;
            }
        }
    }
    const Int64 start = Stream.Position();
    try {
        TReader r(Stream);
        char sig[4];
        Stream.ReadBuffer(sig, 4);
        if (std::memcmp(sig, kSignature, 4) != 0) InvalidFormat();
        if (r.ReadShortStr() != className) InvalidFormat();
        const String name = r.ReadShortStr();
        std::vector<std::pair<String, ByteString>> values;
        for (String prop = r.ReadShortStr(); !prop.empty(); prop = r.ReadShortStr()) {
            TCaptureStream capture(Stream);
            TReader cr(capture);
            SkipValue(cr);
            values.emplace_back(prop, std::move(capture.Captured));
        }
        if (Stream.ReadByte() != 0) InvalidFormat();  // child components are not part of these images

        std::vector<std::vector<Defined>> keep;
        keep.reserve(values.size());
        // Defined properties read their own data (a picture's file image) and
        // may still refuse it: they go first, before any plain setting changes.
        std::vector<Action> defined, published;
        for (const auto& [path, raw] : values) {
            const std::size_t before = keep.size();
            Action a = Resolve(&Component, cls, path, raw, keep);
            (keep.size() > before ? defined : published).push_back(std::move(a));
        }
        for (Action& a : defined) a();
        Component.SetName(name);
        for (Action& a : published) a();
    } catch (const EReadError&) {
        Stream.SetPosition(start);
        throw;
    }
}

// ---- colours ----

bool ColorToIdent(TColor Color, String& Ident) {
    for (const ColorName& c : kColorNames)
        if (c.Color == Color) {
            Ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToColor(const String& Ident, TColor& Color) {
    static const auto names = [] {
        std::unordered_map<std::u16string_view, TColor, TextHash, TextEqual> m;
        for (const ColorName& c : kColorNames) m.emplace(c.Name, c.Color);
        return m;
    }();
    const auto it = names.find(std::u16string_view(Ident));
    if (it == names.end()) return false;
    Color = it->second;
    return true;
}

String ColorToString(TColor Color) {
    String ident;
    if (ColorToIdent(Color, ident)) return ident;
    static const char16_t kHex[] = u"0123456789ABCDEF";
    String s = u"$";
    for (int shift = 28; shift >= 0; shift -= 4) s += kHex[(static_cast<Cardinal>(Color) >> shift) & 0xF];
    return s;
}

TColor StringToColor(const String& Text) {
    TColor c;
    if (IdentToColor(Text, c)) return c;
    Int64 v;
    if (TryStrToInt64(Text, v) && v >= INT32_MIN && v <= static_cast<Int64>(UINT32_MAX)) return static_cast<TColor>(v);
    throw EConvertError(u"'" + Text + u"' is not a valid colour");
}
