#pragma once
// Read access to a project's general parameters ("ParGen.xml") for every
// stage that uses them: the form, the table editors, the M-Bus editor, the
// image builder and the description-file writers. The element names, their
// encodings, defaults and per-model membership live in one schema table.

#include "framework/System.h"

#include <map>
#include <optional>

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
    // the current Model_Code (flags "0", positions as their decimal default).
    String Text(const String& element) const;
    // Text read by the number rule: -1 for text that is not a whole number.
    int Number(const String& element) const;
    // Exactly "1" is on; anything else, or a missing element, is off.
    bool Flag(const String& element) const;
    // A position element (decimal position, or a list text mapped by the
    // code routines); the schema default when missing or not a number.
    int Position(const String& element) const;

private:
    std::map<String, String> values_;  // takeable elements only
};
