#pragma once
// Component images: the binary form in which a component and the objects it
// carries are written to a stream and read back ("TPF0", the class name, the
// component name, the stored properties, the end of the property list and of
// the empty child list).
//
// C++ has no published properties to discover, so each streamable class
// registers a table of its properties, in declaration order, and may add
// properties of its own making through DefineProperties (a string list's
// "Strings", a picture's "Data"). A nested object's properties are written
// under the path of the property that holds it ("Font.Color").
//
// Reading checks the whole image before it changes anything: an image that
// does not follow the format (signature, property names, value tags, a list
// left open) raises EReadError and the component keeps every setting.

#include "framework/Components.h"
#include "framework/Graphics.h"
#include "framework/Streams.h"

#include <functional>
#include <optional>
#include <vector>

enum TValueType : Byte {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary, vaSet,
    vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String, vaDouble
};

class TReader;
class TWriter;

// The values of one image, written in the encodings every reader of the
// format expects: the smallest integer that holds the value, texts as short,
// long, UTF-8 or UTF-16 strings by their content, floats as 10-byte extended.
class TWriter {
public:
    explicit TWriter(TStream& stream) : FStream(stream) {}
    // Appends straight to Bytes, which is what stream writes to as well:
    // an image put together in memory skips a virtual call per value.
    TWriter(TStream& stream, ByteString& Bytes) : FStream(stream), FDirect(&Bytes) {}
    TStream& Stream() { return FStream; }
    void WriteValue(TValueType value);
    void WriteShortStr(const String& text);  // one length byte, then the bytes (UTF-8)
    void WriteInteger(Int64 value);
    void WriteBoolean(bool value);
    void WriteIdent(const String& ident);
    void WriteString(const String& text);
    void WriteFloat(double value);
    void WriteSet(const std::vector<String>& members);
    void WriteBinary(std::string_view bytes);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // vaCollection, then per item a list of its stored properties (the table
    // ItemClass), then the end of the collection.
    void WriteCollection(TCollection& Collection, const String& ItemClass);

private:
    void Put(const void* Buffer, std::size_t Count);
    void PutBytes(std::string_view Bytes);
    void PutByte(Byte Value);
    void PutLittle(UInt64 Value, int Count);
    TStream& FStream;
    ByteString* FDirect = nullptr;
};

// Reads values back; anything else than the value asked for raises
// EReadError "Invalid property value", a stream that ends early
// "Stream read error".
class TReader {
public:
    explicit TReader(TStream& stream) : FStream(stream) {}
    TStream& Stream() { return FStream; }
    TValueType ReadValue();
    TValueType NextValue();  // without taking it
    String ReadShortStr();
    Int64 ReadInteger();
    bool ReadBoolean();
    String ReadIdent();
    String ReadString();
    double ReadFloat();
    std::vector<String> ReadSet();
    ByteString ReadBinary();
    void ReadListBegin();
    bool EndOfList();  // true at the vaNull that ends a list
    void ReadListEnd();
    // The items after a vaCollection already taken, into Collection: every
    // item's property names and values are checked first (EReadError, the
    // collection unchanged); then the collection is emptied and one item added
    // per stored one, its properties set in stream order (table ItemClass). A
    // failure while setting gives the collection back its items as written before.
    void ReadCollection(TCollection& Collection, const String& ItemClass);

private:
    TStream& FStream;
};

// Given to a class's DefineProperties: properties beyond the published ones,
// written after them. HasData false leaves the property out when writing.
class TFiler {
public:
    virtual ~TFiler() = default;
    virtual void DefineProperty(const String& Name, std::function<void(TReader&)> ReadData,
                                std::function<void(TWriter&)> WriteData, bool HasData) = 0;
    // A vaBinary value; the procedures see the bytes as a stream.
    virtual void DefineBinaryProperty(const String& Name, std::function<void(TStream&)> ReadData,
                                      std::function<void(TStream&)> WriteData, bool HasData) = 0;
};

enum TPropertyKind { pkInteger, pkBoolean, pkEnumeration, pkSet, pkColor, pkFloat, pkString, pkObject };

// One property of a class table. Ordinal kinds (integers, Booleans,
// enumerations as the index into Idents, sets as a bit mask over Idents,
// colours) go through GetOrd/SetOrd.
struct TPropertyInfo {
    String Name;
    TPropertyKind Kind = pkInteger;
    std::function<Int64(TPersistent&)> GetOrd;
    std::function<void(TPersistent&, Int64)> SetOrd;
    std::function<String(TPersistent&)> GetStr;
    std::function<void(TPersistent&, const String&)> SetStr;
    std::function<double(TPersistent&)> GetFloat;
    std::function<void(TPersistent&, double)> SetFloat;
    std::function<TPersistent*(TPersistent&)> GetObject;  // a nested object, written under this name; null: none
    String ObjectClass;                                    // its class table
    std::vector<String> Idents;                            // enumeration values or set members
    // An ordinal equal to it is not written; without one it always is.
    // Strings are written when not empty, floats when not 0.
    std::optional<Int64> Default;
    // False leaves the property out when writing (set: only while it says so).
    std::function<bool(TPersistent&)> Stored;
};

struct TStreamClass {
    String ClassName;
    std::vector<TPropertyInfo> Properties;  // in declaration order, the order of the image
    std::function<void(TPersistent&, TFiler&)> DefineProperties;
};

// Replaces a table of the same class name. Registered from the start:
// "TStringList" (its items as the list property "Strings"), "TFont"
// (Charset, Color, Height, Name, Orientation, Pitch, Style), and the
// graphics "TBitmap", "TIcon", "TJPEGImage", "TPngImage", "TGIFImage" and
// "TPicture", each with its binary property "Data": a bitmap's or JPEG's
// 4-byte size and file image, an icon's or PNG's file image, a picture's
// graphic class name (a short string, empty for none) and that graphic's
// data.
void RegisterStreamClass(TStreamClass Class);
const TStreamClass* FindStreamClass(const String& ClassName);

// Typed helpers for the tables: Get and Set take the object as T&.
template <class T, class G, class S>
TPropertyInfo OrdinalProperty(const String& Name, TPropertyKind Kind, G Get, S Set, std::vector<String> Idents = {},
                              std::optional<Int64> Default = std::nullopt) {
    TPropertyInfo p;
    p.Name = Name;
    p.Kind = Kind;
    p.GetOrd = [Get](TPersistent& o) { return static_cast<Int64>(Get(static_cast<T&>(o))); };
    p.SetOrd = [Set](TPersistent& o, Int64 v) { Set(static_cast<T&>(o), v); };
    p.Idents = std::move(Idents);
    p.Default = Default;
    return p;
}
template <class T, class G, class S>
TPropertyInfo StringProperty(const String& Name, G Get, S Set) {
    TPropertyInfo p;
    p.Name = Name;
    p.Kind = pkString;
    p.GetStr = [Get](TPersistent& o) { return String(Get(static_cast<T&>(o))); };
    p.SetStr = [Set](TPersistent& o, const String& v) { Set(static_cast<T&>(o), v); };
    return p;
}
template <class T, class G, class S>
TPropertyInfo FloatProperty(const String& Name, G Get, S Set) {
    TPropertyInfo p;
    p.Name = Name;
    p.Kind = pkFloat;
    p.GetFloat = [Get](TPersistent& o) { return static_cast<double>(Get(static_cast<T&>(o))); };
    p.SetFloat = [Set](TPersistent& o, double v) { Set(static_cast<T&>(o), v); };
    return p;
}
template <class T, class G>
TPropertyInfo ObjectProperty(const String& Name, const String& ObjectClass, G Get) {
    TPropertyInfo p;
    p.Name = Name;
    p.Kind = pkObject;
    p.ObjectClass = ObjectClass;
    p.GetObject = [Get](TPersistent& o) -> TPersistent* { return Get(static_cast<T&>(o)); };
    return p;
}

// One image of Component (its ClassName's table) at the stream's position.
void WriteComponentImage(TStream& Stream, TComponent& Component);
// Reads one image into Component: the class name must be its own; the name
// read becomes its name. EReadError "Invalid stream format",
// "Property <name> does not exist", "Invalid property value" or
// "Stream read error", with nothing changed.
void ReadComponentImage(TStream& Stream, TComponent& Component);

// Colour names: the clXxx identifiers of the named colours, clNone and
// clDefault. ColorToString gives the name or "$00BBGGRR"; StringToColor
// takes a name (any case) or a number (decimal, "$" or "0x" hexadecimal),
// else EConvertError "'<text>' is not a valid colour".
bool ColorToIdent(TColor Color, String& Ident);
bool IdentToColor(const String& Ident, TColor& Color);
String ColorToString(TColor Color);
TColor StringToColor(const String& Text);
