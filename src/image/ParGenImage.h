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
