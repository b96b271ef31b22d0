#pragma once
// A check of an electronic data sheet against the rules of the CANopen EDS
// format that engineering tools enforce: sections and keys once each, the
// object lists consistent with the object sections, SubNumber equal to the
// sub-sections, sub-index 0 of a record or array the UNSIGNED8 count of its
// entries, known data and access types. Each breach is one line of text.

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace eds_rules {

struct TSection {
    std::map<std::string, std::string> Keys;
    int Line = 0;
};

inline bool Read_Number(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return end && *end == '\0';
}

inline std::string Hex4(long v) {
    char b[8];
    std::snprintf(b, sizeof b, "%04lX", v);
    return b;
}

inline std::string Sub_Name(long object, long sub) {
    char b[16];
    std::snprintf(b, sizeof b, "%04lXsub%lX", object, sub);
    return b;
}

inline bool Valid_Data_Type(long t) {
    static const std::set<long> types = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C,
                                         0x0D, 0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x18, 0x19, 0x1A, 0x1B};
    return types.count(t) != 0;
}

inline bool Valid_Access(const std::string& a) {
    return a == "ro" || a == "wo" || a == "rw" || a == "rwr" || a == "rww" || a == "const";
}

// The breaches of the data sheet's text (lines ended by CR LF or LF).
inline std::vector<std::string> Violations(const std::string& text) {
    std::vector<std::string> out;
    auto fail = [&out](const std::string& s) { out.push_back(s); };
    std::map<std::string, TSection> sections;
    std::vector<std::string> order;
    std::istringstream in(text);
    std::string line, current;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') {
                fail("line " + std::to_string(number) + ": unclosed section name");
                continue;
            }
            current = line.substr(1, line.size() - 2);
            if (sections.count(current)) fail("section [" + current + "] twice");
            sections[current].Line = number;
            order.push_back(current);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || current.empty()) {
            fail("line " + std::to_string(number) + " is neither a section nor a key");
            continue;
        }
        const std::string key = line.substr(0, eq);
        if (!sections[current].Keys.emplace(key, line.substr(eq + 1)).second)
            fail("[" + current + "] " + key + " twice");
    }
    auto value = [&](const std::string& section, const std::string& key) -> const std::string* {
        auto s = sections.find(section);
        if (s == sections.end()) return nullptr;
        auto k = s->second.Keys.find(key);
        return k == s->second.Keys.end() ? nullptr : &k->second;
    };
    auto number_of = [&](const std::string& section, const std::string& key, long& v) {
        const std::string* t = value(section, key);
        return t && Read_Number(*t, v);
    };
    for (const char* required : {"FileInfo", "DeviceInfo", "MandatoryObjects"})
        if (!sections.count(required)) fail(std::string("no [") + required + "]");

    // The three object lists: SupportedObjects, then 1..N, every object once.
    std::map<long, std::string> listed;
    for (const char* list : {"MandatoryObjects", "OptionalObjects", "ManufacturerObjects"}) {
        if (!sections.count(list)) continue;
        long n = -1;
        if (!number_of(list, "SupportedObjects", n) || n < 0) {
            fail(std::string("[") + list + "] has no SupportedObjects");
            continue;
        }
        if (static_cast<long>(sections[list].Keys.size()) != n + 1)
            fail(std::string("[") + list + "] lists " + std::to_string(sections[list].Keys.size() - 1) +
                 " objects, SupportedObjects says " + std::to_string(n));
        for (long i = 1; i <= n; ++i) {
            long object = -1;
            if (!number_of(list, std::to_string(i), object) || object < 0x1000 || object > 0xFFFF) {
                fail(std::string("[") + list + "] entry " + std::to_string(i) + " is not an object index");
                continue;
            }
            const bool manufacturer = object >= 0x2000 && object <= 0x5FFF;
            if ((std::string(list) == "ManufacturerObjects") != manufacturer)
                fail("object " + Hex4(object) + " is in the wrong list [" + list + "]");
            if (!listed.emplace(object, list).second) fail("object " + Hex4(object) + " is listed twice");
            if (!sections.count(Hex4(object))) fail("object " + Hex4(object) + " is listed but has no section");
        }
    }
    for (long mandatory : {0x1000L, 0x1001L, 0x1018L}) {
        auto at = listed.find(mandatory);
        if (at == listed.end() || at->second != "MandatoryObjects")
            fail("mandatory object " + Hex4(mandatory) + " missing");
    }

    // Every object and sub-object section.
    auto check_entry = [&](const std::string& name) {
        long t = 0;
        const std::string* access = value(name, "AccessType");
        if (!number_of(name, "DataType", t) || !Valid_Data_Type(t)) fail("[" + name + "] has no valid DataType");
        if (!access || !Valid_Access(*access)) fail("[" + name + "] has no valid AccessType");
        long type = 0;
        if (!number_of(name, "ObjectType", type) || type != 0x7) fail("[" + name + "] is not a variable");
        const std::string* pdo = value(name, "PDOMapping");
        if (pdo && *pdo != "0" && *pdo != "1") fail("[" + name + "] PDOMapping " + *pdo);
        const std::string* p = value(name, "ParameterName");
        if (!p || p->empty() || p->size() > 241) fail("[" + name + "] has no valid ParameterName");
        long low = 0, high = 0, def = 0;
        if (number_of(name, "DefaultValue", def)) {
            if (number_of(name, "LowLimit", low) && def < low) fail("[" + name + "] DefaultValue below LowLimit");
            if (number_of(name, "HighLimit", high) && def > high) fail("[" + name + "] DefaultValue above HighLimit");
            if (t == 0x05 && (def < 0 || def > 0xFF)) fail("[" + name + "] UNSIGNED8 DefaultValue out of range");
        }
        return t;
    };
    int rpdo = 0, tpdo = 0;
    for (const std::string& name : order) {
        if (name.size() == 4 && name.find_first_not_of("0123456789ABCDEF") == std::string::npos) {
            const long object = std::strtol(name.c_str(), nullptr, 16);
            if (!listed.count(object)) fail("object section [" + name + "] is in no object list");
            if (object >= 0x1400 && object <= 0x15FF) ++rpdo;
            if (object >= 0x1800 && object <= 0x19FF) ++tpdo;
            long type = 0;
            if (!number_of(name, "ObjectType", type)) {
                fail("[" + name + "] has no ObjectType");
                continue;
            }
            // The sub-sections that stand for this object.
            std::vector<long> subs;
            for (long sub = 0; sub <= 0xFF; ++sub)
                if (sections.count(Sub_Name(object, sub))) subs.push_back(sub);
            if (type == 0x7) {
                if (value(name, "SubNumber")) fail("variable [" + name + "] has a SubNumber");
                if (!subs.empty()) fail("variable [" + name + "] has sub-sections");
                check_entry(name);
            } else if (type == 0x8 || type == 0x9) {
                long n = -1;
                const std::string* p = value(name, "ParameterName");
                if (!p || p->empty()) fail("[" + name + "] has no ParameterName");
                if (!number_of(name, "SubNumber", n)) fail("[" + name + "] has no SubNumber");
                else if (n != static_cast<long>(subs.size()))
                    fail("[" + name + "] SubNumber=" + std::to_string(n) + " but " + std::to_string(subs.size()) +
                         " sub-sections");
                if (value(name, "DataType")) fail("[" + name + "] is a " + (type == 0x8 ? "ARRAY" : "RECORD") +
                                                  " with a DataType of its own");
                if (subs.empty() || subs.front() != 0) {
                    fail("[" + name + "] has no sub-index 0");
                    continue;
                }
                long entryType = -1;
                for (long sub : subs) {
                    const std::string s = Sub_Name(object, sub);
                    const long t = check_entry(s);
                    if (sub == 0) {
                        // Writable where writing it switches entries on, as in a PDO mapping.
                        if (t != 0x05) fail("[" + s + "] is not the UNSIGNED8 count of the entries");
                        long def = -1;
                        if (number_of(s, "DefaultValue", def) && def != subs.back())
                            fail("[" + s + "] says " + std::to_string(def) + " entries, the highest is " +
                                 std::to_string(subs.back()));
                    } else if (type == 0x8) {
                        if (entryType >= 0 && t != entryType) fail("ARRAY [" + name + "] mixes data types");
                        entryType = t;
                    }
                }
            } else {
                fail("[" + name + "] ObjectType " + *value(name, "ObjectType"));
            }
        } else if (name.size() > 7 && name.compare(4, 3, "sub") == 0) {
            const std::string parent = name.substr(0, 4);
            long type = 0;
            if (!number_of(parent, "ObjectType", type) || (type != 0x8 && type != 0x9))
                fail("[" + name + "] belongs to no record or array");
        }
    }
    long nr = -1;
    if (number_of("DeviceInfo", "NrOfRXPDO", nr) && nr != rpdo)
        fail("NrOfRXPDO=" + std::to_string(nr) + " but " + std::to_string(rpdo) + " receive PDOs");
    if (number_of("DeviceInfo", "NrOfTXPDO", nr) && nr != tpdo)
        fail("NrOfTXPDO=" + std::to_string(nr) + " but " + std::to_string(tpdo) + " transmit PDOs");
    return out;
}

}  // namespace eds_rules
