#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace quillfen::signature {

// An integer modulo the prime p = 2^255 - 19, the field the curve of Ed25519 is defined over.
// Sixteen signed limbs of 16 bits each, so that every product of two limbs and the sums of them
// fit a 64-bit integer with room to spare; written for clarity, not speed, and not in constant
// time, which checking a public signature does not need.
class FieldElement {
public:
    using Encoding = std::array<std::uint8_t, 32>;

    constexpr FieldElement() = default;
    static FieldElement fromInteger(std::int64_t value);
    // The 255-bit little-endian number of the encoding (its top bit ignored); nullopt when the
    // number is not below p, which no canonical encoding holds.
    static std::optional<FieldElement> fromCanonicalBytes(std::span<const std::uint8_t, 32> bytes);

    // The unique little-endian encoding of the element's value in [0, p).
    Encoding toBytes() const;
    bool isZero() const;
    // Whether the value in [0, p) is odd, which the encodings of points call negative.
    bool isNegative() const;

    friend FieldElement operator+(const FieldElement& left, const FieldElement& right);
    friend FieldElement operator-(const FieldElement& left, const FieldElement& right);
    friend FieldElement operator*(const FieldElement& left, const FieldElement& right);
    friend bool operator==(const FieldElement& left, const FieldElement& right);

    FieldElement squared() const { return *this * *this; }
    // The element to the power of the 255-bit little-endian exponent.
    FieldElement power(const Encoding& exponent) const;
    // The multiplicative inverse (zero for zero), as x^(p-2).
    FieldElement inverted() const;

private:
    static constexpr int kLimbs = 16;
    using Limbs = std::array<std::int64_t, kLimbs>;

    explicit FieldElement(const Limbs& limbs) : limbs_(limbs) {}
    // Moves each limb's overflow into the next one, and the last one's back to the first as
    // 2^256 = 38 (mod p); the value modulo p stays the same.
    void carry();
    // Limbs in [0, 2^16) whose value is in [0, p).
    Limbs reduced() const;

    Limbs limbs_{};
};

}  // namespace quillfen::signature
