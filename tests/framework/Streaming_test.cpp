#include "framework/Streaming.h"

#include "framework/Classes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

enum TAlign { taLeftJustify, taRightJustify, taCenter };

// A nested object as a cell's look would carry it.
class TLook : public TPersistent {
public:
    TColor BrushColor = clWindow;
    TColor FontColor = clBlack;
    TAlign Alignment = taLeftJustify;
    int FontStyle = 0;  // bits over fsBold..fsStrikeOut
    String FontName;
    double Value = 0;
    TStringList Items;
    ByteString Picture;  // written through a defined binary property
    TBitmap Bitmap;
    TPicture Image;
};

class TCarrier : public TComponent {
public:
    TCarrier() : TComponent(nullptr) {}
    String ClassName() const override { return u"TCarrierIO"; }
    int Col = 0;
    int Row = 0;
    String Cell;
    bool HasProp = false;
    TLook Look;
};

void RegisterCarriers() {
    static const bool done = [] {
        TStreamClass look;
        look.ClassName = u"TLook";
        look.Properties = {
            OrdinalProperty<TLook>(u"BrushColor", pkColor, [](TLook& o) { return o.BrushColor; },
                                   [](TLook& o, Int64 v) { o.BrushColor = TColor(v); }),
            OrdinalProperty<TLook>(u"FontColor", pkColor, [](TLook& o) { return o.FontColor; },
                                   [](TLook& o, Int64 v) { o.FontColor = TColor(v); }, {}, clBlack),
            OrdinalProperty<TLook>(u"Alignment", pkEnumeration, [](TLook& o) { return o.Alignment; },
                                   [](TLook& o, Int64 v) { o.Alignment = TAlign(v); },
                                   {u"taLeftJustify", u"taRightJustify", u"taCenter"}),
            OrdinalProperty<TLook>(u"FontStyle", pkSet, [](TLook& o) { return o.FontStyle; },
                                   [](TLook& o, Int64 v) { o.FontStyle = int(v); },
                                   {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"}),
            StringProperty<TLook>(u"FontName", [](TLook& o) { return o.FontName; },
                                  [](TLook& o, const String& v) { o.FontName = v; }),
            FloatProperty<TLook>(u"Value", [](TLook& o) { return o.Value; }, [](TLook& o, double v) { o.Value = v; }),
            ObjectProperty<TLook>(u"Items", u"TStringList", [](TLook& o) { return &o.Items; }),
            ObjectProperty<TLook>(u"Bitmap", u"TBitmap", [](TLook& o) { return &o.Bitmap; }),
            ObjectProperty<TLook>(u"Image", u"TPicture", [](TLook& o) { return &o.Image; }),
        };
        look.DefineProperties = [](TPersistent& p, TFiler& filer) {
            auto& o = static_cast<TLook&>(p);
            filer.DefineBinaryProperty(
                u"Data", [&o](TStream& s) { o.Picture = s.ReadBytes(int(s.Size())); },
                [&o](TStream& s) { s.WriteBytes(o.Picture); }, !o.Picture.empty());
        };
        RegisterStreamClass(look);

        TStreamClass carrier;
        carrier.ClassName = u"TCarrierIO";
        carrier.Properties = {
            OrdinalProperty<TCarrier>(u"Col", pkInteger, [](TCarrier& o) { return o.Col; },
                                      [](TCarrier& o, Int64 v) { o.Col = int(v); }),
            OrdinalProperty<TCarrier>(u"Row", pkInteger, [](TCarrier& o) { return o.Row; },
                                      [](TCarrier& o, Int64 v) { o.Row = int(v); }),
            StringProperty<TCarrier>(u"Cell", [](TCarrier& o) { return o.Cell; },
                                     [](TCarrier& o, const String& v) { o.Cell = v; }),
            OrdinalProperty<TCarrier>(u"HasProp", pkBoolean, [](TCarrier& o) { return o.HasProp; },
                                      [](TCarrier& o, Int64 v) { o.HasProp = v != 0; }),
            ObjectProperty<TCarrier>(u"Look", u"TLook", [](TCarrier& o) { return &o.Look; }),
        };
        RegisterStreamClass(carrier);
        return true;
    }();
    (void)done;
}

ByteString ImageOf(TCarrier& c) {
    TMemoryStream s;
    WriteComponentImage(s, c);
    return ByteString(s.Bytes());
}

ByteString B(std::initializer_list<int> bytes) {
    ByteString s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}
ByteString Str(const char* name) { return static_cast<char>(std::strlen(name)) + ByteString(name); }

}  // namespace

TEST(Streaming, ASmallImageHasTheExactBytesOfTheFormat) {
    RegisterCarriers();
    TCarrier c;
    c.Col = 200;   // past Int8
    c.Row = -1;
    c.Cell = u"ab";
    c.Look.BrushColor = 0x123456;  // no name: an integer
    c.Look.Value = 1.0;
    const ByteString expected =
        "TPF0" + Str("TCarrierIO") + B({0}) +                       //
        Str("Col") + B({vaInt16, 200, 0}) + Str("Row") + B({vaInt8, 0xFF}) + Str("Cell") + B({vaString, 2}) + "ab" +
        Str("HasProp") + B({vaFalse}) +                                               //
        Str("Look.BrushColor") + B({vaInt32, 0x56, 0x34, 0x12, 0}) +                    //
        Str("Look.Alignment") + B({vaIdent}) + Str("taLeftJustify") +                 //
        Str("Look.FontStyle") + B({vaSet, 0}) +                                        //
        Str("Look.Value") + B({vaExtended, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}) + B({0, 0});
    EXPECT_EQ(ImageOf(c), expected);
}

// A writer that appends straight to the bytes of its stream writes what one
// going through the stream writes, value for value.
TEST(Streaming, AWriterAppendingDirectlyWritesTheBytesOfOneThroughItsStream) {
    const auto writeAll = [](TWriter& w) {
        for (Int64 v : {0LL, 127LL, -128LL, 128LL, -129LL, 32767LL, -32768LL, 32768LL, -32769LL, 2147483647LL,
                        -2147483648LL, 2147483648LL, -2147483649LL, 0x123456789ALL})
            w.WriteInteger(v);
        for (const String& t : {String(), String(u"ab"), String(255, u'x'), String(256, u'y'), String(u"K\u00FCche"),
                                String(u"\u4E2D\u6587"), String(u"\U0001F600")})
            w.WriteString(t);
        w.WriteShortStr(u"Name");
        w.WriteShortStr(String(300, u'z'));
        w.WriteShortStr(u"\u00E4");
        w.WriteIdent(u"taCenter");
        w.WriteBoolean(true);
        w.WriteBoolean(false);
        w.WriteFloat(-1234.5625);
        w.WriteSet({u"fsBold", u"fsItalic"});
        w.WriteBinary(std::string_view("\0\1\xFF", 3));
        w.WriteListBegin();
        w.WriteListEnd();
    };
    TStringStream through;
    TWriter plain(through);
    writeAll(plain);
    TStringStream unused;
    ByteString direct;
    TWriter appending(unused, direct);
    writeAll(appending);
    EXPECT_EQ(direct, through.DataString());
    EXPECT_EQ(unused.Size(), 0);
}

TEST(Streaming, EveryKindOfValueRoundTripsByteForByte) {
    RegisterCarriers();
    TCarrier c;
    c.SetName(u"Carrier1");
    c.Col = 70000;
    c.Row = 3;
    c.HasProp = true;
    c.Look.BrushColor = clNone;
    c.Look.FontColor = clRed;
    c.Look.Alignment = taCenter;
    c.Look.FontStyle = 0b1010;
    c.Look.FontName = String(300, u'x');  // a long string
    c.Look.Value = -1234.5625;
    c.Look.Items.Add(u"K\u00FCche");     // UTF-8
    c.Look.Items.Add(u"\u4E2D\u6587");   // UTF-16: its UTF-8 form is three times as long
    c.Look.Items.Add(u"");
    c.Look.Picture = ByteString("\0\1\2\xFF", 4);
    c.Cell = u"line1\r\nline2";
    c.Look.Bitmap.SetSize(3, 2);
    c.Look.Bitmap.Canvas().SetPixels(1, 1, clRed);
    TBitmap icon(4, 4);
    icon.Canvas().SetPixels(2, 3, clBlue);
    c.Look.Image.SetGraphic(&icon);
    const ByteString first = ImageOf(c);

    TCarrier back;
    TStringStream in(first);
    ReadComponentImage(in, back);
    EXPECT_EQ(in.Position(), in.Size());
    EXPECT_EQ(back.Name(), u"Carrier1");
    EXPECT_EQ(back.Col, 70000);
    EXPECT_EQ(back.Look.BrushColor, clNone);
    EXPECT_EQ(back.Look.FontColor, clRed);
    EXPECT_EQ(back.Look.Alignment, taCenter);
    EXPECT_EQ(back.Look.FontStyle, 0b1010);
    EXPECT_EQ(back.Look.Value, -1234.5625);
    ASSERT_EQ(back.Look.Items.Count(), 3);
    EXPECT_EQ(back.Look.Items[1], u"\u4E2D\u6587");
    EXPECT_EQ(back.Look.Picture, c.Look.Picture);
    EXPECT_EQ(back.Look.Bitmap.Width(), 3);
    EXPECT_EQ(back.Look.Bitmap.Canvas().Pixels(1, 1), clRed);
    ASSERT_NE(back.Look.Image.Graphic(), nullptr);
    EXPECT_EQ(back.Look.Image.Bitmap().Canvas().Pixels(2, 3), clBlue);
    EXPECT_EQ(ImageOf(back), first);
    // The picture's data names its graphic's class, then a bitmap's sized file image.
    const std::size_t data = first.find(Str("Look.Image.Data"));
    ASSERT_NE(data, ByteString::npos);
    EXPECT_EQ(first.substr(data + 16 + 5, 8), Str("TBitmap"));
    EXPECT_EQ(first.substr(data + 16 + 5 + 8 + 4, 2), "BM");
    for (const char* tag : {"\x0C", "\x14", "\x12"})  // vaLString, vaUTF8String, vaWString all used
        EXPECT_NE(first.find(tag), ByteString::npos);
}

TEST(Streaming, AMalformedImageRaisesAndChangesNothing) {
    RegisterCarriers();
    TCarrier source;
    source.Col = 5;
    source.Cell = u"text";
    source.Look.Items.Add(u"one");
    const ByteString good = ImageOf(source);
    auto replaced = [&](const ByteString& what, const ByteString& with) {
        ByteString s = good;
        s.replace(s.find(what), what.size(), with);
        return s;
    };
    const struct {
        const char* what;
        ByteString image;
    } cases[] = {
        {"signature", "TPF1" + good.substr(4)},
        {"other class", replaced(Str("TCarrierIO"), Str("TOtherIO00"))},
        {"unknown property", replaced(Str("Cell"), Str("Cels"))},
        {"unknown nested property", replaced(Str("Look.Alignment"), Str("Look.Alignmemt"))},
        {"Boolean as integer", replaced(Str("HasProp") + B({vaFalse}), Str("HasProp") + B({vaInt8, 1}))},
        {"unknown enumeration value", replaced(Str("taLeftJustify"), Str("taSideJustify"))},
        {"unknown tag", replaced(Str("Col") + B({vaInt8}), Str("Col") + B({40}))},
        {"list left open", good.substr(0, good.find("one") + 3)},
        {"truncated", good.substr(0, good.size() - 1)},
        {"child component", good.substr(0, good.size() - 1) + "\x01"},
        {"count past the end", replaced(B({vaString, 4}) + "text", B({vaLString, 0xFF, 0xFF, 0xFF, 0x7F}) + "text")},
    };
    for (const auto& c : cases) {
        TCarrier target;
        target.SetName(u"Keep");
        target.Col = 99;
        target.Cell = u"old";
        target.Look.Items.Add(u"old item");
        TStringStream in(c.image);
        EXPECT_THROW(ReadComponentImage(in, target), EReadError) << c.what;
        EXPECT_EQ(target.Name(), u"Keep") << c.what;
        EXPECT_EQ(target.Col, 99) << c.what;
        EXPECT_EQ(target.Cell, u"old") << c.what;
        ASSERT_EQ(target.Look.Items.Count(), 1) << c.what;
        EXPECT_EQ(in.Position(), 0) << c.what;
    }
}

TEST(Streaming, ColourNamesAndNumbers) {
    const struct {
        TColor color;
        const char16_t* text;
    } cases[] = {
        {clBlack, u"clBlack"}, {clWhite, u"clWhite"}, {clNone, u"clNone"}, {clDefault, u"clDefault"},
        {clBtnFace, u"clBtnFace"}, {clMoneyGreen, u"clMoneyGreen"}, {clSilver, u"clSilver"},
        {0x00123456, u"$00123456"}, {SystemColor(25), u"$FF000019"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToString(c.color), c.text);
        EXPECT_EQ(StringToColor(c.text), c.color) << StringToUtf8(c.text);
    }
    EXPECT_EQ(StringToColor(u"CLRED"), clRed);
    EXPECT_EQ(StringToColor(u"255"), clRed);
    EXPECT_EQ(StringToColor(u"0xFF0000"), clBlue);
    String ident;
    EXPECT_FALSE(ColorToIdent(0x010203, ident));
    TColor color = clAqua;
    EXPECT_FALSE(IdentToColor(u"clNothing", color));
    EXPECT_EQ(color, clAqua);
    EXPECT_THROW(StringToColor(u"clNothing"), EConvertError);
    EXPECT_THROW(StringToColor(u"12x"), EConvertError);
}

TEST(Streaming, NamesMatchWithoutCase) {
    RegisterCarriers();
    TCarrier source;
    source.Look.Alignment = taCenter;
    source.Look.FontStyle = 2;
    source.Look.BrushColor = clRed;
    ByteString image = ImageOf(source);
    const std::pair<ByteString, ByteString> swaps[] = {
        {Str("Look.Alignment"), Str("LOOK.alignment")},
        {Str("taCenter"), Str("TACENTER")},
        {Str("fsItalic"), Str("FSitalic")},
        {Str("clRed"), Str("CLred")},
    };
    for (const auto& [what, with] : swaps) image.replace(image.find(what), what.size(), with);
    TCarrier target;
    TStringStream in(image);
    ReadComponentImage(in, target);
    EXPECT_EQ(target.Look.Alignment, taCenter);
    EXPECT_EQ(target.Look.FontStyle, 2);
    EXPECT_EQ(target.Look.BrushColor, clRed);
}

namespace {

class TSwap : public TComponent {
public:
    TSwap() : TComponent(nullptr) {}
    String ClassName() const override { return u"TSwapIO"; }
    int A = 0;
    int B = 0;
    TLook Inner;
};

// A table naming "Value" as the field given, and a nested object of the class given.
void RegisterSwap(int TSwap::*Field, const String& InnerClass) {
    TStreamClass c;
    c.ClassName = u"TSwapIO";
    c.Properties = {
        OrdinalProperty<TSwap>(u"Value", pkInteger, [Field](TSwap& o) { return o.*Field; },
                               [Field](TSwap& o, Int64 v) { o.*Field = int(v); }),
        ObjectProperty<TSwap>(u"Inner", InnerClass, [](TSwap& o) { return &o.Inner; }),
    };
    RegisterStreamClass(c);
}

ByteString SwapImage(const char* property) {
    return "TPF0" + Str("TSwapIO") + Str("") + Str(property) + B({vaInt8, 7}) + B({0, 0});
}

}  // namespace

TEST(Streaming, AReplacedTableGovernsTheNextRead) {
    RegisterCarriers();
    struct Step {
        int TSwap::*field;
        const char16_t* innerClass;
        const char* property;
        bool readable;
        int a, b;
    };
    const Step steps[] = {
        {&TSwap::A, u"TSwapLaterIO", "Value", true, 7, 0},
        {&TSwap::A, u"TSwapLaterIO", "Inner.Value", false, 0, 0},  // the nested class is unknown
        {&TSwap::B, u"TSwapLaterIO", "Value", true, 0, 7},
        {&TSwap::B, u"TLook", "Inner.Value", true, 0, 0},
    };
    for (const Step& s : steps) {
        RegisterSwap(s.field, s.innerClass);
        TSwap target;
        TStringStream in(SwapImage(s.property));
        if (!s.readable) {
            EXPECT_THROW(ReadComponentImage(in, target), EReadError) << s.property;
            continue;
        }
        ReadComponentImage(in, target);
        EXPECT_EQ(target.A, s.a) << s.property;
        EXPECT_EQ(target.B, s.b) << s.property;
        if (String(s.innerClass) == u"TLook") EXPECT_EQ(target.Inner.Value, 7.0);
    }
}

namespace {

// A component with a collection of items (a caption, and a number kept only
// when positive) and a font.
class TEntry : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    String Caption;
    int Number = 0;
};

class TListCarrier : public TComponent {
public:
    TListCarrier() : TComponent(nullptr) {}
    String ClassName() const override { return u"TListCarrierIO"; }
    TCollection Entries{[](TCollection* c) { return new TEntry(c); }};
    TFont Font;
};

void RegisterListCarrier() {
    static const bool done = [] {
        TStreamClass entry;
        entry.ClassName = u"TEntry";
        TPropertyInfo number = OrdinalProperty<TEntry>(u"Number", pkInteger, [](TEntry& o) { return o.Number; },
                                                       [](TEntry& o, Int64 v) { o.Number = int(v); });
        number.Stored = [](TPersistent& o) { return static_cast<TEntry&>(o).Number > 0; };
        entry.Properties = {StringProperty<TEntry>(u"Caption", [](TEntry& o) { return o.Caption; },
                                                   [](TEntry& o, const String& v) { o.Caption = v; }),
                            number};
        // Only read: a note replaces the caption.
        entry.DefineProperties = [](TPersistent& o, TFiler& filer) {
            auto& e = static_cast<TEntry&>(o);
            filer.DefineProperty(u"Note", [&e](TReader& r) { e.Caption = r.ReadString(); }, [](TWriter&) {}, false);
        };
        RegisterStreamClass(entry);
        TStreamClass carrier;
        carrier.ClassName = u"TListCarrierIO";
        carrier.Properties = {ObjectProperty<TListCarrier>(u"Font", u"TFont", [](TListCarrier& o) { return &o.Font; })};
        carrier.DefineProperties = [](TPersistent& p, TFiler& filer) {
            auto& o = static_cast<TListCarrier&>(p);
            filer.DefineProperty(
                u"Entries",
                [&o](TReader& r) {
                    if (r.ReadValue() != vaCollection) throw EReadError(u"Invalid property value");
                    r.ReadCollection(o.Entries, u"TEntry");
                },
                [&o](TWriter& w) { w.WriteCollection(o.Entries, u"TEntry"); }, true);
        };
        RegisterStreamClass(carrier);
        return true;
    }();
    (void)done;
}

TEntry* AddEntry(TListCarrier& c, const char16_t* Caption, int Number) {
    auto* e = static_cast<TEntry*>(c.Entries.Add());
    e->Caption = Caption;
    e->Number = Number;
    return e;
}

}  // namespace

TEST(Streaming, CollectionsAndFontsRoundTripAndABadItemChangesNothing) {
    RegisterListCarrier();
    TListCarrier c;
    c.Font.SetName(u"DejaVu Sans");
    c.Font.SetHeight(-13);
    c.Font.SetColor(clRed);
    c.Font.SetStyle({fsBold});
    AddEntry(c, u"first", 5);
    AddEntry(c, u"second", 0);  // its number is not stored
    TMemoryStream s;
    WriteComponentImage(s, c);
    const ByteString image(s.Bytes());
    const ByteString entries = Str("Entries") + B({vaCollection, vaList}) + Str("Caption") + B({vaString, 5}) + "first" +
                               Str("Number") + B({vaInt8, 5, vaNull, vaList}) + Str("Caption") + B({vaString, 6}) +
                               "second" + B({vaNull, vaNull});
    EXPECT_NE(image.find(entries), ByteString::npos) << "one list of stored properties per item";
    EXPECT_EQ(image.find("Font.Orientation"), ByteString::npos) << "a default is not written";

    TListCarrier back;
    AddEntry(back, u"old", 1);
    TStringStream in(image);
    ReadComponentImage(in, back);
    ASSERT_EQ(back.Entries.Count(), 2);
    EXPECT_EQ(back.Entries.ItemsAs<TEntry>(0)->Caption, u"first");
    EXPECT_EQ(back.Entries.ItemsAs<TEntry>(0)->Number, 5);
    EXPECT_EQ(back.Entries.ItemsAs<TEntry>(1)->Caption, u"second");
    EXPECT_EQ(back.Font.Name(), u"DejaVu Sans");
    EXPECT_EQ(back.Font.Height(), -13);
    EXPECT_EQ(back.Font.Color(), clRed);
    EXPECT_EQ(back.Font.Style(), TFontStyles{fsBold});

    // An unknown item property, or a value of the wrong kind (also one that only setting finds
    // wrong), leaves the collection as it was.
    for (const ByteString& bad : {ByteString(Str("Colour") + B({vaInt8, 1})), ByteString(Str("Number") + B({vaString, 1}) + "x"),
                                  ByteString(Str("Note") + B({vaInt8, 1}))}) {
        ByteString damaged = image;
        const ByteString second = Str("Caption") + B({vaString, 6}) + "second";
        damaged.insert(damaged.find(second) + second.size(), bad);
        TListCarrier target;
        AddEntry(target, u"kept", 1);
        TStringStream bin(damaged);
        EXPECT_THROW(ReadComponentImage(bin, target), EReadError);
        ASSERT_EQ(target.Entries.Count(), 1);
        EXPECT_EQ(target.Entries.ItemsAs<TEntry>(0)->Caption, u"kept");
    }
}

namespace {

// A stream that is not held in memory as a whole: images read from it take
// the general way, byte by byte.
class TPlainStream : public TStream {
public:
    explicit TPlainStream(const ByteString& Bytes) : FInner(Bytes) {}
    int Read(void* buffer, int count) override { return FInner.Read(buffer, count); }
    int Write(const void* buffer, int count) override { return FInner.Write(buffer, count); }
    Int64 Seek(Int64 offset, TSeekOrigin origin) override { return FInner.Seek(offset, origin); }

private:
    TStringStream FInner;
};

// Everything a read can change, and where the stream was left.
struct TReadOutcome {
    bool Raised = false;
    Int64 Position = 0;
    String Name, Cell, FontName;
    int Col = 0, Row = 0, FontStyle = 0;
    bool HasProp = false;
    TColor BrushColor = 0, FontColor = 0;
    TAlign Alignment = taLeftJustify;
    double Value = 0;
    bool operator==(const TReadOutcome&) const = default;
};

TReadOutcome ReadThrough(TStream& In) {
    TCarrier target;
    target.SetName(u"Before");
    target.Col = 11;
    target.Cell = u"before";
    target.Look.FontName = u"Before";
    TReadOutcome r;
    try {
        ReadComponentImage(In, target);
    } catch (const EReadError&) {
        r.Raised = true;
    }
    r.Position = In.Position();
    r.Name = target.Name();
    r.Cell = target.Cell;
    r.FontName = target.Look.FontName;
    r.Col = target.Col;
    r.Row = target.Row;
    r.FontStyle = target.Look.FontStyle;
    r.HasProp = target.HasProp;
    r.BrushColor = target.Look.BrushColor;
    r.FontColor = target.Look.FontColor;
    r.Alignment = target.Look.Alignment;
    r.Value = target.Look.Value;
    return r;
}

}  // namespace

// Images in memory are read straight from their bytes; whatever the image,
// the result is the one of reading it byte by byte from any other stream.
TEST(Streaming, AnImageInMemoryReadsAsFromAnyStream) {
    RegisterCarriers();
    const ByteString head = "TPF0" + Str("TCarrierIO") + Str("Named");
    const ByteString end = B({0, 0});
    const struct {
        const char* what;
        ByteString image;
        bool raises;
    } cases[] = {
        {"integers of each width",
         head + Str("Col") + B({vaInt8, 0x80}) + Str("Row") + B({vaInt16, 0x34, 0x92}) + Str("Look.BrushColor") +
             B({vaInt32, 1, 2, 3, 0}) + end,
         false},
        {"a 64-bit integer", head + Str("Col") + B({vaInt64, 5, 0, 0, 0, 0, 0, 0, 0}) + end, false},
        {"strings of each kind",
         head + Str("Cell") + B({vaString, 3}) + "a\xE9z" + Str("Look.FontName") +
             B({vaWString, 2, 0, 0, 0, 0x2D, 0x4E, 0x87, 0x65}) + end,
         false},
        {"long and UTF-8 strings",
         head + Str("Cell") + B({vaLString, 2, 0, 0, 0}) + "\x80x" + Str("Look.FontName") +
             B({vaUTF8String, 2, 0, 0, 0}) + "\xC3\xBC" + end,
         false},
        {"a single", head + Str("Look.Value") + B({vaSingle, 0, 0, 0xC0, 0x3F}) + end, false},
        {"a double", head + Str("Look.Value") + B({vaDouble, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) + end, false},
        {"an integer for a float", head + Str("Look.Value") + B({vaInt8, 0xFE}) + end, false},
        {"idents, sets and colour names",
         head + Str("HasProp") + B({vaTrue}) + Str("Look.Alignment") + B({vaIdent}) + Str("taCenter") +
             Str("Look.FontStyle") + B({vaSet}) + Str("fsItalic") + Str("fsBold") + Str("") + Str("Look.FontColor") +
             B({vaIdent}) + Str("clRed") + end,
         false},
        {"names in other case", head + Str("LOOK.alignment") + B({vaIdent}) + Str("TARIGHTJUSTIFY") + end, false},
        {"a nested object's properties one after another, then the next of the outer one",
         head + Str("Look.BrushColor") + B({vaIdent}) + Str("clWindow") + Str("Look.FontColor") + B({vaInt8, 5}) +
             Str("Look.Alignment") + B({vaIdent}) + Str("taRightJustify") + Str("Col") + B({vaInt8, 6}) +
             Str("Look.Value") + B({vaInt8, 2}) + end,
         false},
        {"a colour name in other case", head + Str("Look.FontColor") + B({vaIdent}) + Str("CLred") + end, false},
        {"an identifier of another property", head + Str("Look.Alignment") + B({vaIdent}) + Str("fsBold") + end, true},
        {"a non-ASCII byte in a nested name", head + Str("Look.F\xC3\xB6ntName") + B({vaString, 1}) + "x" + end, true},
        {"a non-ASCII byte in an identifier", head + Str("Look.Alignment") + B({vaIdent}) + Str("ta\xC3\xA4") + end,
         true},
        {"a non-ASCII class name", "TPF0" + Str("TCarrier\xC3\xA4O") + Str("") + end, true},
        {"out of table order and twice",
         head + Str("Look.Value") + B({vaInt8, 1}) + Str("Col") + B({vaInt8, 2}) + Str("Col") + B({vaInt8, 3}) + end,
         false},
        {"bytes after the image", head + Str("Col") + B({vaInt8, 4}) + end + "trailing", false},
        {"no name", "TPF0" + Str("TCarrierIO") + Str("") + Str("Col") + B({vaInt8, 4}) + end, false},
        {"a non-ASCII name", "TPF0" + Str("TCarrierIO") + Str("N\xC3\xA4me") + end, false},
        {"a nested list", head + Str("Look.Items.Strings") + B({vaList, vaString, 1}) + "x" + B({0}) + end, false},
        {"an unknown property", head + Str("Col") + B({vaInt8, 4}) + Str("Cels") + B({vaInt8, 4}) + end, true},
        {"a float for an integer", head + Str("Col") + B({vaSingle, 0, 0, 0xC0, 0x3F}) + end, true},
        {"an unknown set member", head + Str("Look.FontStyle") + B({vaSet}) + Str("fsHeavy") + Str("") + end, true},
        {"an unknown colour name", head + Str("Look.FontColor") + B({vaIdent}) + Str("clNothing") + end, true},
        {"a string cut short", head + Str("Cell") + B({vaString, 9}) + "abc", true},
        {"a child list", head + Str("Col") + B({vaInt8, 4}) + B({0, 1}), true},
        {"the wrong class", "TPF0" + Str("TOtherIO") + Str("") + end, true},
    };
    for (const auto& c : cases) {
        TStringStream memory(c.image);
        TPlainStream plain(c.image);
        const TReadOutcome fromMemory = ReadThrough(memory);
        const TReadOutcome fromPlain = ReadThrough(plain);
        EXPECT_TRUE(fromMemory == fromPlain) << c.what;
        EXPECT_EQ(fromMemory.Raised, fromPlain.Raised) << c.what;
        EXPECT_EQ(fromMemory.Position, fromPlain.Position) << c.what;
        EXPECT_EQ(fromMemory.Name, fromPlain.Name) << c.what;
        EXPECT_EQ(fromMemory.Raised, c.raises) << c.what;
    }
}

// Damaged copies of a full image, one to three bytes changed each: the read
// from memory ends as the read byte by byte does, raised or not.
TEST(Streaming, DamagedImagesInMemoryReadAsFromAnyStream) {
    RegisterCarriers();
    TCarrier source;
    source.SetName(u"Source");
    source.Col = 300;
    source.Row = -2;
    source.Cell = u"text \u00e9";
    source.HasProp = true;
    source.Look.BrushColor = clRed;
    source.Look.FontColor = 0x123456;
    source.Look.Alignment = taCenter;
    source.Look.FontStyle = 5;
    source.Look.FontName = u"Sans";
    source.Look.Value = 2.5;
    const ByteString image = ImageOf(source);
    // Bytes that make a damaged image interesting: value tags, ends, a dot,
    // letters of either case and bytes beyond ASCII.
    const unsigned char kBytes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 18, 19, '.', 'a', 'A', 'l', 'L', 0x80, 0xC3, 0xFF};
    std::mt19937 gen(7);
    std::uniform_int_distribution<std::size_t> at(0, image.size() - 1);
    std::uniform_int_distribution<int> pick(0, int(std::size(kBytes)) - 1), count(1, 3), any(0, 255);
    int raised = 0;
    for (int i = 0; i < 3000; ++i) {
        ByteString damaged = image;
        for (int n = count(gen); n > 0; --n)
            damaged[at(gen)] = static_cast<char>(i % 4 == 0 ? any(gen) : kBytes[pick(gen)]);
        TStringStream memory(damaged);
        TPlainStream plain(damaged);
        const TReadOutcome fromMemory = ReadThrough(memory);
        const TReadOutcome fromPlain = ReadThrough(plain);
        ASSERT_TRUE(fromMemory == fromPlain) << "case " << i;
        raised += fromMemory.Raised;
    }
    // Both kinds of outcome are met.
    EXPECT_GT(raised, 100);
    EXPECT_LT(raised, 2900);
}
