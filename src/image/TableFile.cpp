#include "image/TableFile.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "image/ImageError.h"

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
    throw EImageError(S("The image cannot be built: ") + Quoted(fileName) + S(" ") + what + S("."));
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
    if (!text) Fail(S("has no ") + Quoted(attribute));
    std::optional<int> value = Table_Number(*text);
    if (!value) Fail(S("has no number in ") + Quoted(attribute) + S(" (") + Quoted(*text) + S(")"));
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
    if (!element) Fail(S("has no ") + Quoted(name) + S(" element"));
    return TTable(context_, Quoted(name) + S(" of row ") + S(std::to_string(number_)) + S(" of ") + *table_, element);
}

void TTableRow::Fail(const String& what) const {
    throw EImageError(S("The image cannot be built: ") + Quoted(context_->File_Name) + S(": row ") +
                      S(std::to_string(number_)) + S(" of ") + *table_ + S(" ") + what + S("."));
}

std::optional<TTableFile> TTableFile::Load(const String& path) {
    if (path.empty() || !FileExists(path)) return std::nullopt;
    auto context = std::make_shared<TContext>();
    std::size_t slash = path.find_last_of(u"/\\");
    context->File_Name = slash == String::npos ? path : path.substr(slash + 1);
    try {
        context->Document.LoadFromFile(path);
    } catch (const Exception& e) {
        throw EImageError(S("The image cannot be built: ") + Quoted(context->File_Name) + S(" cannot be read: ") +
                          e.Message());
    }
    if (!context->Document.DocumentElement()) Fail_File(context->File_Name, S("has no root element"));
    return TTableFile(std::move(context));
}

TTable TTableFile::Table(const char16_t* name) const {
    TXmlNode element = context_->Document.DocumentElement().ChildNode(name);
    if (!element) Fail(S("has no ") + Quoted(name) + S(" element"));
    return TTable(context_, Quoted(name), element);
}

TTable TTableFile::Root_Rows() const {
    TXmlNode root = context_->Document.DocumentElement();
    return TTable(context_, Quoted(root.NodeName()), root);
}

const String& TTableFile::File_Name() const { return context_->File_Name; }

void TTableFile::Check_Capacity(std::size_t filled, std::size_t limit, const String& what) const {
    if (filled >= limit)
        Fail(S("holds more than ") + S(std::to_string(limit)) + S(" ") + what + S(", the most the converter holds"));
}

void TTableFile::Fail(const String& what) const { Fail_File(context_->File_Name, what); }
