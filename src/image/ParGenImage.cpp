#include "image/ParGenImage.h"

#include "framework/SysUtils.h"
#include "framework/Files.h"
#include "image/ImageError.h"
#include "shell/ParGenSchema.h"

std::optional<TParGenImage> TParGenImage::Load(const String& path) {
    if (path.empty() || !FileExists(path)) return std::nullopt;
    try {
        return TParGenImage(TParGenFile::Load(path));
    } catch (const Exception& e) {
        std::size_t slash = path.find_last_of(u'/');
        String name = slash == String::npos ? path : path.substr(slash + 1);
        throw EImageError(S("The image cannot be built: the general parameters \"") + name + S("\" cannot be read: ") +
                          e.Message());
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
