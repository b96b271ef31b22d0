#include "image/TableFile.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "image/ImageError.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <climits>
#include <string>

namespace table_file_detail {
struct TContext {
    TXmlDocument Document;
    String File_Name;
};
}  // namespace table_file_detail

using table_file_detail::TContext;

namespace {

String Quoted(const String& text) { return String(u"\"") + text + u"\""; }

[[noreturn]] void Fail_File(const String& fileName, const String& what) {
    throw EImageError(Lang_Message(1114, {Lang_Message(1115, {fileName, what})}));
}

}  // namespace

// The framework's number rule, telling "no number" apart from every value.
std::optional<int> Table_Number(const String& text) {
    constexpr Int64 No_Number = INT64_MIN;
    Int64 value = StrToInt64Def(text, No_Number);
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;  // what the 32-bit rule refuses
    return static_cast<int>(value);
}

TTable::TTable(std::shared_ptr<const TContext> context, String where, TXmlNode element)
    : context_(std::move(context)), name_(std::make_shared<const String>(std::move(where))), rows_(element.Children()) {}

int TTableRow::Number(const char16_t* attribute) const {
    std::optional<String> text = node_.Attribute(attribute);
    if (!text) Fail(Lang_Message(1120, {attribute}));
    std::optional<int> value = Table_Number(*text);
    if (!value) Fail(Lang_Message(1121, {attribute, *text}));
    return *value;
}

int TTableRow::Number(const char16_t* attribute, int defaultValue) const {
    std::optional<String> text = node_.Attribute(attribute);
    if (!text) return defaultValue;
    return Table_Number(*text).value_or(defaultValue);
}

bool TTableRow::Flag(const char16_t* attribute, TFlagFold fold) const {
    std::optional<String> text = node_.Attribute(attribute);
    if (!text) return false;
    switch (fold) {
    case TFlagFold::Exact: return *text == u"Y";
    case TFlagFold::Upper: return UpperCase(*text) == u"Y";
    case TFlagFold::Trim_Upper: return UpperCase(Trim(*text)) == u"Y";
    }
    return false;
}

std::optional<String> TTableRow::Text(const char16_t* attribute) const { return node_.Attribute(attribute); }

TTable TTableRow::Table(const char16_t* name) const {
    TXmlNode element = node_.ChildNode(name);
    if (!element) Fail(Lang_Message(1119, {name}));
    return TTable(context_, Lang_Message(1123, {name, IntToStr(number_), *table_}), element);
}

void TTableRow::Fail(const String& what) const {
    throw EImageError(
        Lang_Message(1114, {Lang_Message(1116, {context_->File_Name, IntToStr(number_), *table_, what})}));
}

std::optional<TTableFile> TTableFile::Load(const String& path) {
    if (path.empty() || !FileExists(path)) return std::nullopt;
    auto context = std::make_shared<TContext>();
    std::size_t slash = path.find_last_of(u"/\\");
    context->File_Name = slash == String::npos ? path : path.substr(slash + 1);
    try {
        context->Document.LoadFromFile(path);
    } catch (const Exception& e) {
        throw EImageError(Lang_Message(1114, {Lang_Message(1117, {context->File_Name, e.Message()})}));
    }
    if (!context->Document.DocumentElement()) Fail_File(context->File_Name, Lang_Table[1118]);
    return TTableFile(std::move(context));
}

TTable TTableFile::Table(const char16_t* name) const {
    TXmlNode element = context_->Document.DocumentElement().ChildNode(name);
    if (!element) Fail(Lang_Message(1119, {name}));
    return TTable(context_, Quoted(name), element);
}

TTable TTableFile::Root_Rows() const {
    TXmlNode root = context_->Document.DocumentElement();
    return TTable(context_, Quoted(root.NodeName()), root);
}

const String& TTableFile::File_Name() const { return context_->File_Name; }

void TTableFile::Check_Capacity(std::size_t filled, std::size_t limit, const String& what) const {
    if (filled >= limit)
        Fail(Lang_Message(1122, {IntToStr(static_cast<int>(limit)), what}));
}

void TTableFile::Fail(const String& what) const { Fail_File(context_->File_Name, what); }
