#include "image/ParGenImage.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "image/ImageError.h"
#include "shell/Globals.h"
#include "shell/ParGenSchema.h"
#include "shell/ULanguage.h"

std::optional<TParGenImage> TParGenImage::Load(const String& path) {
    if (path.empty() || !FileExists(path)) return std::nullopt;
    try {
        return TParGenImage(TParGenFile::Load(path));
    } catch (const Exception& e) {
        std::size_t slash = path.find_last_of(u'/');
        String name = slash == String::npos ? path : path.substr(slash + 1);
        throw EImageError(Lang_Message(1114, {Lang_Message(1144, {name, e.Message()})}));
    }
}

int TParGenImage::Number(const char16_t* key, int missingDefault, int notNumberDefault) const {
    std::optional<String> text = file_.Raw(key);
    if (!text) return missingDefault;
    return StrToIntDef(*text, notNumberDefault);  // the same rule as the form that wrote it
}

bool TParGenImage::Flag(const char16_t* key) const {
    std::optional<String> text = file_.Raw(key);
    return text && *text == u"1";
}

bool TParGenImage::Put_Text(const char16_t* key, TLeBytes dst, std::size_t offset, std::size_t fieldSize,
                            std::size_t maxChars, const char16_t* defaultText) const {
    std::optional<String> text = file_.Raw(key);
    if (!text) {
        if (!defaultText) return false;
        text = String(defaultText);
    }
    dst.PutText(offset, fieldSize, maxChars, *text);
    return true;
}

std::array<Byte, 4> TParGenImage::Octets(const String& prefix, const std::array<int, 4>& missingDefault,
                                         const std::array<int, 4>& notNumberDefault) const {
    std::array<Byte, 4> octets{};
    for (int i = 0; i < 4; ++i) {
        String key = prefix + static_cast<Char>(u'1' + i);
        octets[i] = static_cast<Byte>(Number(key.c_str(), missingDefault[i], notNumberDefault[i]));
    }
    return octets;
}

TAddressSet Read_Address_Set(const TParGenImage& pg, const String& prefix, const std::array<int, 4>& missingAddress) {
    TAddressSet set;
    set.Address = pg.Octets(prefix + u"IP", missingAddress, Default_IP_Address);
    set.Mask = pg.Octets(prefix + u"SM", Default_Subnet_Mask);
    set.Gateway = pg.Octets(prefix + u"GAT", Default_Gateway);
    if (!pg.Flag((prefix + u"EN_GAT").c_str())) set.Gateway = {255, 255, 255, 255};
    return set;
}

void Put_Address_Set(TLeBytes dst, std::size_t address, std::size_t mask, std::size_t gateway, const TAddressSet& set) {
    dst.PutBytes(address, set.Address.data(), 4);
    dst.PutBytes(mask, set.Mask.data(), 4);
    dst.PutBytes(gateway, set.Gateway.data(), 4);
}

namespace {
// Ports the converter keeps for itself: the PROFINET real-time ports and its own service port.
constexpr int Reserved_Ports[] = {34962, 34963, 34964, 10000};
}  // namespace

Word Read_Profinet_Port(const TParGenImage& pg, Word familyDefault) {
    int port = pg.Number(u"PROFINET_PORT", familyDefault);
    for (int reserved : Reserved_Ports)
        if (port == reserved) return familyDefault;
    return static_cast<Word>(port);
}

std::optional<Cardinal> Read_Enabled_Address(const TParGenImage& pg, const char16_t* enableKey,
                                             const char16_t* addressKey) {
    if (!pg.Flag(enableKey)) return std::nullopt;
    // Missing: -1 + 1 = 0; no number: 0 + 1 = 1.
    return static_cast<Cardinal>(pg.Number(addressKey, -1, 0) + 1);
}

void Put_Station_Name(const TParGenImage& pg, TLeBytes dst, std::size_t offset) {
    constexpr std::size_t Station_Field = 16, Station_Chars = 15;
    pg.Put_Text(u"PROFINET_NAME_STA", dst, offset, Station_Field, Station_Chars, u"devicename1");
}

Cardinal Read_List_Choice(const TParGenImage& pg, const char16_t* key, std::span<const Cardinal> table,
                          int defaultPosition, Cardinal otherValue) {
    int position = pg.Number(key, defaultPosition);
    if (position < 0 || static_cast<std::size_t>(position) >= table.size()) return otherValue;
    return table[static_cast<std::size_t>(position)];
}

int Read_Stop_Bits(const TParGenImage& pg, const char16_t* key) {
    int stopBits = pg.Number(key, 0);
    return stopBits == 1 ? 2 : stopBits;
}
