#include "image/LeWriter.h"

#include "image/ImageError.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <cstring>
#include <string>

void TLeBytes::Check(std::size_t offset, std::size_t count) const {
    if (offset > size_ || count > size_ - offset)
        throw EImageError(Lang_Message(1168, {S(name_), S(std::to_string(size_)), S(std::to_string(count)),
                                              S(std::to_string(offset))}));
}

void TLeBytes::PutU8(std::size_t offset, Cardinal value) {
    Check(offset, 1);
    data_[offset] = static_cast<Byte>(value);
}

void TLeBytes::PutU16(std::size_t offset, Cardinal value) {
    Check(offset, 2);
    data_[offset] = static_cast<Byte>(value);
    data_[offset + 1] = static_cast<Byte>(value >> 8);
}

void TLeBytes::PutU32(std::size_t offset, Cardinal value) {
    Check(offset, 4);
    for (int i = 0; i < 4; ++i) data_[offset + i] = static_cast<Byte>(value >> (8 * i));
}

void TLeBytes::PutBytes(std::size_t offset, const Byte* bytes, std::size_t count) {
    Check(offset, count);
    if (count) std::memcpy(data_ + offset, bytes, count);
}

void TLeBytes::Fill(std::size_t offset, std::size_t count, Byte value) {
    Check(offset, count);
    if (count) std::memset(data_ + offset, value, count);
}

Byte TLeBytes::GetU8(std::size_t offset) const {
    Check(offset, 1);
    return data_[offset];
}

Word TLeBytes::GetU16(std::size_t offset) const {
    Check(offset, 2);
    return static_cast<Word>(data_[offset] | (data_[offset + 1] << 8));
}

Cardinal TLeBytes::GetU32(std::size_t offset) const {
    Check(offset, 4);
    Cardinal v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | data_[offset + i];
    return v;
}

void TLeBytes::PutText(std::size_t offset, std::size_t fieldSize, std::size_t maxChars, std::u16string_view text) {
    Check(offset, fieldSize);
    std::size_t n = std::min({text.size(), maxChars, fieldSize});
    for (std::size_t i = 0; i < n; ++i) data_[offset + i] = static_cast<Byte>(text[i]);
    std::memset(data_ + offset + n, 0, fieldSize - n);
}

Cardinal Byte_Sum(const Byte* bytes, std::size_t count) {
    Cardinal sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return sum;
}
