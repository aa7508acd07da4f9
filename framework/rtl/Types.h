// Basic types of the runtime library: fixed-size integers, TDateTime, Currency and Set<Enum>.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

using Integer = int32_t;
using LongInt = int32_t;
using Cardinal = uint32_t;
using LongWord = uint32_t;
using Word = uint16_t;
using SmallInt = int16_t;
using Byte = uint8_t;
using ShortInt = int8_t;
using Int64 = int64_t;

// Days since 30 Dec 1899; the fraction is the time of day.
using TDateTime = double;

// Fixed-point number with 4 decimals, stored as a 64-bit integer scaled by 10000.
class Currency {
public:
    static constexpr Int64 Scale = 10000;

    constexpr Currency() = default;
    constexpr Currency(int value) : scaled_(Int64(value) * Scale) {}
    constexpr Currency(Int64 value) : scaled_(value * Scale) {}
    // Rounds to the nearest 1/10000, halves to even, as the FPU store does.
    explicit Currency(double value) : scaled_(static_cast<Int64>(std::nearbyint(value * double(Scale)))) {}

    static constexpr Currency FromScaled(Int64 scaled)
    {
        Currency c;
        c.scaled_ = scaled;
        return c;
    }
    constexpr Int64 Scaled() const { return scaled_; }
    constexpr double ToDouble() const { return double(scaled_) / double(Scale); }
    explicit constexpr operator double() const { return ToDouble(); }

    constexpr Currency operator-() const { return FromScaled(-scaled_); }
    constexpr Currency operator+(Currency o) const { return FromScaled(scaled_ + o.scaled_); }
    constexpr Currency operator-(Currency o) const { return FromScaled(scaled_ - o.scaled_); }
    Currency operator*(Currency o) const { return Currency(ToDouble() * o.ToDouble()); }
    Currency operator/(Currency o) const { return Currency(ToDouble() / o.ToDouble()); }
    Currency& operator+=(Currency o) { scaled_ += o.scaled_; return *this; }
    Currency& operator-=(Currency o) { scaled_ -= o.scaled_; return *this; }
    Currency& operator*=(Currency o) { return *this = *this * o; }
    Currency& operator/=(Currency o) { return *this = *this / o; }

    constexpr auto operator<=>(const Currency&) const = default;

private:
    Int64 scaled_ = 0;
};

// A set of up to 64 values of an enumeration (or small integer type), as a bit mask: bit n holds value n.
template <typename Enum>
class Set {
public:
    using Mask = uint64_t;

    constexpr Set() = default;
    constexpr Set(std::initializer_list<Enum> values)
    {
        for (Enum v : values) Include(v);
    }

    static constexpr Set FromMask(Mask mask)
    {
        Set s;
        s.bits_ = mask;
        return s;
    }
    constexpr Mask ToMask() const { return bits_; }

    constexpr Set& Include(Enum v) { bits_ |= Bit(v); return *this; }
    constexpr Set& Exclude(Enum v) { bits_ &= ~Bit(v); return *this; }
    constexpr bool Contains(Enum v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }

    constexpr Set operator+(Set o) const { return FromMask(bits_ | o.bits_); }
    constexpr Set operator*(Set o) const { return FromMask(bits_ & o.bits_); }
    constexpr Set operator-(Set o) const { return FromMask(bits_ & ~o.bits_); }
    constexpr Set& operator+=(Set o) { bits_ |= o.bits_; return *this; }
    constexpr Set& operator*=(Set o) { bits_ &= o.bits_; return *this; }
    constexpr Set& operator-=(Set o) { bits_ &= ~o.bits_; return *this; }
    // Subset and superset tests, as the platform's <= and >= on sets.
    constexpr bool operator<=(Set o) const { return (bits_ & ~o.bits_) == 0; }
    constexpr bool operator>=(Set o) const { return o <= *this; }
    constexpr bool operator==(const Set&) const = default;

private:
    static constexpr Mask Bit(Enum v) { return Mask(1) << static_cast<unsigned>(v); }

    Mask bits_ = 0;
};
