#include "shell/ParGenFile.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/ParGenSchema.h"

namespace {

struct TResolved {
    TParGenEncoding Encoding;
    TParGenReading Reading;
    String Missing;
    std::span<const std::u16string_view> List;
};

// The element as the current model holds it, or its plain table entry when
// the model does not hold it (other readers may still ask).
bool Resolve(const String& element, TResolved& out) {
    if (const TParGenItem* item = ParGen_Model_Item(Model_Code, element)) {
        out = {item->Encoding, item->Reading, item->Missing, item->Element->List};
        return true;
    }
    if (const TParGenElement* e = ParGen_Find_Element(element)) {
        out = {e->Encoding, TParGenReading::Plain, String(e->Missing), e->List};
        return true;
    }
    return false;
}

// A default as it is written: list texts as their entry's text.
String Written_Form(const TResolved& r, const String& value) {
    if (r.Encoding == TParGenEncoding::ListText) {
        int pos = StrToIntDef(value, 0);
        if (pos >= 0 && pos < int(r.List.size())) return String(r.List[pos]);
    }
    return value;
}

}  // namespace

TParGenFile TParGenFile::Load(const String& path) {
    TXmlDocument doc;
    doc.LoadFromFile(path);
    TParGenFile file;
    TXmlNode root = doc.DocumentElement();
    for (const TXmlNode& child : root.Children()) {
        String name = child.NodeName();
        if (file.values_.count(name) || file.unreadable_.count(name)) continue;  // the first element of a name is the one read
        String text;
        // An element whose text cannot be taken counts as missing, but it still
        // hides later elements of the same name.
        if (child.TryText(text)) file.values_.emplace(name, text);
        else file.unreadable_.insert(name);
    }
    return file;
}

std::optional<String> TParGenFile::Raw(const String& element) const {
    auto it = values_.find(element);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

String TParGenFile::Text(const String& element) const {
    if (auto raw = Raw(element)) return *raw;
    TResolved r;
    if (Resolve(element, r)) return Written_Form(r, r.Missing);
    return String();
}

int TParGenFile::Number(const String& element) const { return StrToIntDef(Text(element), -1); }

bool TParGenFile::Flag(const String& element) const { return Text(element) == u"1"; }

int TParGenFile::Position(const String& element) const {
    TResolved r;
    if (!Resolve(element, r)) return StrToIntDef(Text(element), -1);
    const int fallback = StrToIntDef(r.Missing, 0);
    auto raw = Raw(element);
    if (!raw) return fallback;
    if (r.Reading == TParGenReading::ZeroOrOther) return *raw == u"0" ? 0 : 1;
    if (r.Encoding == TParGenEncoding::ListText) return ParGen_List_Text_Code(*raw, r.List);
    int pos = StrToIntDef(*raw, -1);
    // A position outside the fixed list would select nothing; it reads as the default.
    if (pos < 0 || (!r.List.empty() && pos >= int(r.List.size()))) return fallback;
    return pos;
}

int TParGenFile::SNMP_Version() const {
    int version = 2;
    for (int i = 0; i < 3; ++i) {
        String name = u"SNMP_VERSION" + String(1, Char(u'1' + i));
        auto raw = Raw(name);
        if (raw && *raw == u"1") version = i;
    }
    return version;
}

void TParGenFile::Set(const String& element, const String& text) {
    values_[element] = text;
    unreadable_.erase(element);
}

TParGenFile TParGenFile::New_Project() {
    TParGenFile file;
    for (const auto& item : ParGen_Model_Items(Model_Code)) {
        TResolved r{item.Encoding, item.Reading, item.Missing, item.Element->List};
        file.values_[String(item.Element->Name)] = Written_Form(r, item.NewProject);
    }
    return file;
}

// The document is rebuilt from nothing: the root, the model's elements in
// order, then the version comment after the root.
static void Build_Document(const TParGenFile& file, TXmlDocument& doc) {
    TXmlNode root = doc.CreateRoot(u"Par_Gen");
    for (const auto& item : ParGen_Model_Items(Model_Code)) {
        String name(item.Element->Name);
        root.AddChild(name, item.Encoding == TParGenEncoding::Fixed ? item.Missing : file.Text(name));
    }
    doc.AddComment(u"SW_VERSION = " + ParGen_Version(Model_Code));
}

std::string TParGenFile::SaveToUtf8() const {
    TXmlDocument doc;
    Build_Document(*this, doc);
    return doc.SaveToUtf8();
}

void TParGenFile::Save(const String& path) const {
    TXmlDocument doc;
    Build_Document(*this, doc);
    doc.SaveToFile(path);
}
