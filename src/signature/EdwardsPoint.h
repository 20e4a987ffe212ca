#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "signature/FieldElement.h"

namespace quillfen::signature {

// A point of the twisted Edwards curve -x^2 + y^2 = 1 + d x^2 y^2 (d = -121665/121666) that
// Ed25519 works on, in extended coordinates (X : Y : Z : T) with x = X/Z, y = Y/Z, xy = T/Z.
class EdwardsPoint {
public:
    using Encoding = std::array<std::uint8_t, 32>;

    static EdwardsPoint identity();
    // The generator B of the signatures' group.
    static const EdwardsPoint& base();
    // The point of an encoding (y, with the sign of x in the top bit), as RFC 8032 decodes it;
    // nullopt when y is not below p, no x fits y, or x is zero with its sign bit set.
    static std::optional<EdwardsPoint> decode(std::span<const std::uint8_t, 32> bytes);

    Encoding encode() const;

    friend EdwardsPoint operator+(const EdwardsPoint& left, const EdwardsPoint& right);
    // [scalar]point for a little-endian 256-bit scalar.
    EdwardsPoint times(std::span<const std::uint8_t, 32> scalar) const;

private:
    EdwardsPoint(const FieldElement& x, const FieldElement& y, const FieldElement& z,
                 const FieldElement& t)
        : x_(x), y_(y), z_(z), t_(t) {}

    FieldElement x_;
    FieldElement y_;
    FieldElement z_;
    FieldElement t_;
};

}  // namespace quillfen::signature
