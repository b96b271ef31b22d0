#pragma once
// Read access to a project's general parameters ("ParGen.xml") for every
// stage that uses them: the form, the table editors, the M-Bus editor, the
// image builder and the description-file writers. The element names, their
// encodings, defaults and per-model membership live in one schema table.

#include "framework/System.h"

#include <map>
#include <optional>
#include <set>

class TParGenFile {
public:
    // Reads the file. Raises EFOpenError when it cannot be opened and
    // EXmlError when it is not a well-formed document; readers decide what
    // to tell the user.
    static TParGenFile Load(const String& path);
    // An empty set: every element reads as missing.
    TParGenFile() = default;

    // The stored text, exactly as written; nullopt when the element is missing
    // or its text cannot be taken.
    std::optional<String> Raw(const String& element) const;
    bool Has(const String& element) const { return Raw(element).has_value(); }

    // The stored text, or the element's "missing" default of the schema for
    // the current Model_Code (flags "0", positions as their decimal default,
    // list texts as the default entry's text).
    String Text(const String& element) const;
    // Text read by the number rule: -1 for text that is not a whole number.
    int Number(const String& element) const;
    // Exactly "1" is on; anything else, or a missing element, is off.
    bool Flag(const String& element) const;
    // A position element (decimal position, or a list text mapped by the
    // code routines); the schema default when missing, not a number, or a
    // position outside the element's fixed list.
    int Position(const String& element) const;
    // The SNMP version list position the three SNMP_VERSION flags select:
    // "3" (2) unless a flag reads "1"; a later one wins.
    int SNMP_Version() const;

    // Writing. Set stores an element's text as it is to be written.
    void Set(const String& element, const String& text);
    // A new project's values for the current Model_Code (the form's
    // defaults when no file exists yet).
    static TParGenFile New_Project();
    // The file for the current Model_Code: the root Par_Gen with the model's
    // elements in their order, each from Set (or its default), fixed elements
    // with their constant, then the version comment. Save replaces the file
    // whole; a failed write raises EFCreateError and leaves the old one.
    std::string SaveToUtf8() const;
    void Save(const String& path) const;

private:
    std::map<String, String> values_;  // takeable elements only
    std::set<String> unreadable_;      // first elements of a name whose text cannot be taken
};
