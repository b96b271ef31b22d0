#pragma once
// A small set of enumeration values, as the framework's option sets
// (control style, shift state, anchors, border icons) are written: values
// are added and tested by name, e.g. `Shift.Contains(ssCtrl)`.

#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values) bits_ |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet& Include(E v) { bits_ |= Bit(v); return *this; }
    constexpr TSet& Exclude(E v) { bits_ &= ~Bit(v); return *this; }
    constexpr TSet operator+(TSet o) const { TSet r; r.bits_ = bits_ | o.bits_; return r; }
    constexpr TSet operator-(TSet o) const { TSet r; r.bits_ = bits_ & ~o.bits_; return r; }
    constexpr TSet operator*(TSet o) const { TSet r; r.bits_ = bits_ & o.bits_; return r; }
    constexpr TSet& operator+=(TSet o) { bits_ |= o.bits_; return *this; }
    constexpr TSet& operator-=(TSet o) { bits_ &= ~o.bits_; return *this; }
    constexpr bool operator==(const TSet&) const = default;
    constexpr std::uint64_t Bits() const { return bits_; }

private:
    static constexpr std::uint64_t Bit(E v) { return std::uint64_t(1) << static_cast<unsigned>(v); }
    std::uint64_t bits_ = 0;
};
