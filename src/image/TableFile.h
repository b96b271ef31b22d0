#pragma once
// The one reader of a project's protocol table files (request lists, node
// lists, byte maps) for the image builders.
//
// A table file is an XML document whose root is its first element; a table
// is an element whose child elements are the rows, taken by position in
// document order whatever their names. Values are the rows' attributes.
//
// Every failure raises EImageError with the text to show, so the build stops
// before any bank file is written:
//  - a file that exists but cannot be read or is malformed names the file and
//    the parser's message;
//  - a missing table element names the file and the element;
//  - a required number that is missing or no number names the file, the
//    table, the row (counted from 1), the attribute and the text found, e.g.
//    "ModbusM_SetAccess.xml": row 7 of "Modbus_Read" has no number in
//    "PollTime" ("1s");
//  - a table filled beyond its capacity names the file, the table and the
//    limit (Check_Capacity).
//
// Numbers follow the framework's number rule (StrToIntDef, as "ParGen.xml"
// is read). Flags are compared with "Y" after the folding each attribute is
// read with (TFlagFold), since the files' readers differ per attribute.
//
// Usage:
//   std::optional<TTableFile> file = TTableFile::Load(path);  // nullopt: no file
//   if (file) {
//       TTable reads = file->Table(u"Modbus_Read");
//       for (int i = 0; i < reads.Count(); ++i) {
//           TTableRow row = reads.Row(i);
//           int slave = row.Number(u"Slave_ID");          // required
//           int port = row.Number(u"Port", 502);           // optional
//           bool swap = row.Flag(u"Swap", TFlagFold::Exact);
//       }
//   }

#include "framework/System.h"
#include "framework/XmlDoc.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

// How a flag attribute's text is folded before it is compared with "Y".
enum class TFlagFold {
    Exact,       // as written
    Upper,       // upper-cased, not trimmed
    Trim_Upper,  // trimmed, then upper-cased
};

// The number rule of every table value: StrToIntDef's, with nullopt for a
// text that is no number (a value beyond the 32-bit range included).
std::optional<int> Table_Number(const String& text);

namespace table_file_detail {
struct TContext;
}
class TTable;

// One row: its attributes, read with the row's place for messages.
class TTableRow {
public:
    // A required number: missing or no number raises EImageError.
    int Number(const char16_t* attribute) const;
    // An optional number: missing or no number gives defaultValue.
    int Number(const char16_t* attribute, int defaultValue) const;
    // True when the folded text is "Y"; a missing attribute is not "Y".
    bool Flag(const char16_t* attribute, TFlagFold fold) const;
    // The text as written; nullopt when the attribute is missing.
    std::optional<String> Text(const char16_t* attribute) const;

    // A child element of the row that itself holds rows; a missing element
    // raises EImageError naming the file, this row and the element.
    TTable Table(const char16_t* name) const;

    // Raises EImageError: "<file>": row <n> of "<table>" <what>; a table
    // inside a row is named "<name>" of row <m> of "<table>".
    [[noreturn]] void Fail(const String& what) const;

    int Row_Number() const { return number_; }  // counted from 1

private:
    friend class TTable;
    TTableRow(std::shared_ptr<const table_file_detail::TContext> context, std::shared_ptr<const String> table,
              TXmlNode node, int number)
        : context_(std::move(context)), table_(std::move(table)), node_(node), number_(number) {}
    std::shared_ptr<const table_file_detail::TContext> context_;  // keeps the document alive
    std::shared_ptr<const String> table_;  // the table as messages name it
    TXmlNode node_;
    int number_;
};

// The rows of one table element. Tables and rows keep their document alive.
class TTable {
public:
    int Count() const { return static_cast<int>(rows_.size()); }
    // index from 0 to Count() - 1.
    TTableRow Row(int index) const { return TTableRow(context_, name_, rows_[static_cast<std::size_t>(index)], index + 1); }

private:
    friend class TTableFile;
    friend class TTableRow;
    TTable(std::shared_ptr<const table_file_detail::TContext> context, String where, TXmlNode element);
    std::shared_ptr<const table_file_detail::TContext> context_;
    std::shared_ptr<const String> name_;  // the table as messages name it
    std::vector<TXmlNode> rows_;
};

class TTableFile {
public:
    // Reads path; nullopt when path is empty or the file does not exist (the
    // builders then fill no rows). Raises EImageError for a file that cannot
    // be read or is not a well-formed document.
    static std::optional<TTableFile> Load(const String& path);

    // The root's child element of that name as a table; raises EImageError
    // naming the file and the element when it is missing.
    TTable Table(const char16_t* name) const;
    // The root itself as the table: its children are the rows.
    TTable Root_Rows() const;

    // The file's name (without its folder), as messages give it.
    const String& File_Name() const;

    // Raises EImageError when a table that already holds filled rows cannot
    // take one more: "<file>" holds more than <limit> <what>, the most the
    // converter holds.
    void Check_Capacity(std::size_t filled, std::size_t limit, const String& what) const;

    // Raises EImageError: "<file>" <what>.
    [[noreturn]] void Fail(const String& what) const;

private:
    explicit TTableFile(std::shared_ptr<const table_file_detail::TContext> context) : context_(std::move(context)) {}
    std::shared_ptr<const table_file_detail::TContext> context_;
};
