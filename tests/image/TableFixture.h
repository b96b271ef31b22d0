#pragma once
// Protocol table files as the editors write them (here pretty-printed, with
// the version comment after the root, which the readers must pass over), and
// table entries expected byte by byte.

#include "ImageFixture.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include "image/ImageBuild.h"
#include <initializer_list>
#include <string>
#include <vector>

// A table element and its rows as attribute texts, e.g. R"(Cob_Id="291" Dimension="2")".
struct TXmlTable {
    std::string Name;
    std::vector<std::string> Rows;
};

inline std::string Xml_Rows(const std::vector<std::string>& rows, const std::string& indent) {
    std::string xml;
    for (const std::string& r : rows) xml += indent + "<row " + r + "/>\r\n";
    return xml;
}

// A file whose root holds table elements.
inline void Table_File(const TProjectFixture& p, const std::string& file, const std::string& root,
                       const std::vector<TXmlTable>& tables) {
    std::string xml = "<" + root + ">\r\n";
    for (const TXmlTable& t : tables) xml += "  <" + t.Name + ">\r\n" + Xml_Rows(t.Rows, "    ") + "  </" + t.Name + ">\r\n";
    p.Raw_File(file, xml + "</" + root + ">\r\n<!--SW_VERSION = 1.000-->\r\n");
}

// A file whose rows stand directly under the root.
inline void Row_File(const TProjectFixture& p, const std::string& file, const std::string& root,
                     const std::vector<std::string>& rows) {
    p.Raw_File(file, "<" + root + ">\r\n" + Xml_Rows(rows, "  ") + "</" + root + ">\r\n<!--SW_VERSION = 1.000-->\r\n");
}

// Little-endian bytes of a table entry laid by offset.
struct TExpectedEntry {
    std::vector<std::uint8_t> b;
    explicit TExpectedEntry(std::size_t size, std::uint8_t fill = 0) : b(size, fill) {}
    TExpectedEntry& U8(std::size_t off, std::uint32_t v) { b[off] = std::uint8_t(v); return *this; }
    TExpectedEntry& U16(std::size_t off, std::uint32_t v) { U8(off, v); return U8(off + 1, v >> 8); }
    TExpectedEntry& U32(std::size_t off, std::uint32_t v) { U16(off, v); return U16(off + 2, v >> 16); }
    TExpectedEntry& U16s(std::size_t off, std::initializer_list<std::uint32_t> values) {
        for (std::uint32_t v : values) { U16(off, v); off += 2; }
        return *this;
    }
    std::string Str() const { return std::string(b.begin(), b.end()); }
};

inline std::string Hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    for (unsigned char c : bytes) {
        if (!s.empty()) s += ' ';
        s += digits[c >> 4];
        s += digits[c & 15];
    }
    return s;
}

// The message of a refused build, or "(built)".
inline std::string Refusal(const TProjectFixture& p) {
    try {
        Build_And_Write(p);
    } catch (const Exception& e) {
        return StringToUtf8(e.Message());
    }
    return "(built)";
}

