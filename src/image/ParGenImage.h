#pragma once
// "ParGen.xml" as the image readers read it: each key by itself, a number by
// the framework's number rule with the key's own default for a missing
// element and for a text that is no number, a flag only by the text "1", a
// text one byte per character into its fixed field.

#include "image/LeWriter.h"
#include "shell/ParGenFile.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

class TParGenImage {
public:
    // An empty file: every key is missing.
    TParGenImage() = default;
    explicit TParGenImage(TParGenFile file) : file_(std::move(file)) {}

    // Reads path; nullopt when the file does not exist (the readers then keep
    // the block defaults). A file that exists but cannot be read or is not a
    // well-formed document raises EImageError naming it.
    static std::optional<TParGenImage> Load(const String& path);

    std::optional<String> Raw(const char16_t* key) const { return file_.Raw(key); }
    int Number(const char16_t* key, int defaultValue) const { return Number(key, defaultValue, defaultValue); }
    int Number(const char16_t* key, int missingDefault, int notNumberDefault) const;
    bool Flag(const char16_t* key) const;

    // The key's text into a field of fieldSize bytes, cut to maxChars; a
    // missing key writes defaultText, or leaves the field as it is when there
    // is none. Returns whether the field was written.
    bool Put_Text(const char16_t* key, TLeBytes dst, std::size_t offset, std::size_t fieldSize,
                  std::size_t maxChars, const char16_t* defaultText = nullptr) const;

    // Four octet keys prefix + "1".."4", each stored as the low 8 bits of
    // its number, with per-octet defaults for missing and non-numeric text.
    std::array<Byte, 4> Octets(const String& prefix, const std::array<int, 4>& missingDefault,
                               const std::array<int, 4>& notNumberDefault) const;
    std::array<Byte, 4> Octets(const String& prefix, const std::array<int, 4>& defaults) const {
        return Octets(prefix, defaults, defaults);
    }

private:
    TParGenFile file_;
};

// The defaults every reader of a network port uses for its address set.
constexpr std::array<int, 4> Default_IP_Address{192, 168, 0, 5};
constexpr std::array<int, 4> Default_Subnet_Mask{255, 255, 255, 0};
constexpr std::array<int, 4> Default_Gateway{192, 168, 0, 1};

// ---------------------------------------------------------------------------
// Rules that several families read alike.
// ---------------------------------------------------------------------------

// A list choice stored as its position in the form's list: the table's
// entry at that position; the entry at defaultPosition (which may lie past
// the table, giving otherValue) for a missing key or a text that is no
// number; otherValue for any other number.
Cardinal Read_List_Choice(const TParGenImage& pg, const char16_t* key, std::span<const Cardinal> table,
                          int defaultPosition, Cardinal otherValue);

// A stop-bits choice (position 0 "1 Stop Bit", 1 "2 Stop Bits"; default 0)
// as the converter counts it: position 1 becomes 2, any other number stays.
int Read_Stop_Bits(const TParGenImage& pg, const char16_t* key);

// "PROFINET_NAME_STA" into a 16-byte station-name field, cut to the 15
// characters the form allows; "devicename1" when the element is missing, and
// an empty element leaves the field empty.
void Put_Station_Name(const TParGenImage& pg, TLeBytes dst, std::size_t offset);

// One network port's address, subnet mask and gateway, first octet first.
struct TAddressSet {
    std::array<Byte, 4> Address, Mask, Gateway;
};

// prefix + "IP1".."IP4", "SM1".."SM4", "GAT1".."GAT4": the address takes
// missingAddress for a missing octet and Default_IP_Address for one that is
// no number; mask and gateway their defaults. The gateway is 255.255.255.255
// unless prefix + "EN_GAT" is "1". Example: Read_Address_Set(pg, u"PROFINET_").
TAddressSet Read_Address_Set(const TParGenImage& pg, const String& prefix,
                             const std::array<int, 4>& missingAddress = Default_IP_Address);

// The three parts at their offsets in dst.
void Put_Address_Set(TLeBytes dst, std::size_t address, std::size_t mask, std::size_t gateway, const TAddressSet& set);

// "PROFINET_PORT": the user's port, familyDefault when missing or no number.
// The PROFINET ports 34962 to 34964 and the converter's own 10000 are taken
// by the converter, so they too become familyDefault (10001 for the Modbus
// RTU master, 2000 for CAN, 10002 for CANopen). Stored as the low 16 bits.
Word Read_Profinet_Port(const TParGenImage& pg, Word familyDefault);

// An "enable flag, then address" pair such as "PROFINET_ENABLE_DIAGNOSTIC" /
// "PROFINET_DIAGNOSTIC_ADDRESS": nullopt when enableKey is not "1" (the field
// keeps what it holds); otherwise the address + 1, where a text that is no
// number counts as 0 (giving 1) and a missing address element gives 0.
std::optional<Cardinal> Read_Enabled_Address(const TParGenImage& pg, const char16_t* enableKey,
                                             const char16_t* addressKey);
