#pragma once
// Little-endian access to fixed-size byte buffers: the converter's parameter
// blocks, table entries and bank images are byte layouts, every multi-byte
// value little-endian. Each buffer knows its capacity and its name; a write
// past the end raises EImageError naming the buffer and its capacity instead
// of spilling into whatever lies behind it.

#include "framework/System.h"

#include <cstddef>

// A view of a fixed-size buffer addressed by offset.
class TLeBytes {
public:
    TLeBytes(Byte* data, std::size_t size, const char* name) : data_(data), size_(size), name_(name) {}

    std::size_t Size() const { return size_; }
    const char* Name() const { return name_; }
    Byte* Data() { return data_; }
    const Byte* Data() const { return data_; }

    // The low bits of value in the width of the field.
    void PutU8(std::size_t offset, Cardinal value);
    void PutU16(std::size_t offset, Cardinal value);
    void PutU32(std::size_t offset, Cardinal value);
    void PutBytes(std::size_t offset, const Byte* bytes, std::size_t count);
    void Fill(std::size_t offset, std::size_t count, Byte value);

    Byte GetU8(std::size_t offset) const;
    Word GetU16(std::size_t offset) const;
    Cardinal GetU32(std::size_t offset) const;

    // A text one byte per character (the low 8 bits of each character) from
    // the start of a field of fieldSize bytes, cut to maxChars characters
    // (never more than the field); the rest of the field becomes zero.
    void PutText(std::size_t offset, std::size_t fieldSize, std::size_t maxChars, std::u16string_view text);

private:
    void Check(std::size_t offset, std::size_t count) const;
    Byte* data_;
    std::size_t size_;
    const char* name_;
};

// The plain 32-bit byte sum that closes every 2048-byte parameter block.
Cardinal Byte_Sum(const Byte* bytes, std::size_t count);
